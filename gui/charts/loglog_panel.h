// The log-log accumulation panel: every failure on logarithmic axes with the
// straight line fitted when the data were loaded, the data file's comment
// over the plot and the line's slope and intercept beside it. The log-log
// window shows it under its buttons; the chart export draws it alone.
#pragma once

#include "core/state/analysis_state.h"
#include "gui/charts/chart_view.h"

#include <QWidget>

class QLabel;

namespace tovimo {

class LogLogPanel : public QWidget {
    Q_OBJECT

  public:
    // Built at its design size (kLogLogPanelSize) with the chart empty.
    explicit LogLogPanel(QWidget* parent = nullptr);

    // Series, comment and the line's slope and intercept from the state.
    void fill(const AnalysisState& st, char decimalSeparator);

    // Labels are placed from the chart's top left corner.
    ChartView* Chart1 = nullptr;
    QLabel* Label1 = nullptr; // slope
    QLabel* Label2 = nullptr; // intercept
    QLabel* Label3 = nullptr; // comment
};

} // namespace tovimo
