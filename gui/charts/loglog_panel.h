// The log-log accumulation panel: every failure on logarithmic axes with the
// straight line fitted when the data were loaded, the data file's comment
// over the plot and the line's slope and intercept beside it. The log-log
// window shows it under its buttons; the chart export draws it alone.
#pragma once

#include "core/state/analysis_state.h"
#include "gui/charts/chart_view.h"

#include <QWidget>

class QGraphicsSimpleTextItem;
class QLabel;

namespace tovimo {

class LogLogPanel : public QWidget {
    Q_OBJECT

  public:
    // Built at its design size (kLogLogPanelSize) with the chart empty; the
    // chart follows the panel's size.
    explicit LogLogPanel(QWidget* parent = nullptr);

    // Series, comment and the line's slope and intercept from the state.
    void fill(const AnalysisState& st, char decimalSeparator);

    // The horizontal axis title, drawn at the start of the axis.
    QGraphicsSimpleTextItem* bottomTitle() const { return bottomTitle_; }

    // Labels are placed from the chart's top left corner.
    ChartView* Chart1 = nullptr;
    QLabel* Label1 = nullptr; // slope
    QLabel* Label2 = nullptr; // intercept
    QLabel* Label3 = nullptr; // comment

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeLabels();
    void placeBottomTitle();

    QGraphicsSimpleTextItem* bottomTitle_ = nullptr;
    QString comment_;
};

} // namespace tovimo
