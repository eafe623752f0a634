// The log-log accumulation window: every failure on logarithmic axes with the
// straight line fitted when the data were loaded. Made anew on every "Expand",
// released when the user leaves it.
#pragma once

#include "core/state/analysis_state.h"
#include "gui/charts/chart_view.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tovimo {

class TLNview : public QWidget {
    Q_OBJECT

  public:
    explicit TLNview(QWidget* mainWindow = nullptr);

    // Series, comment and the line's slope and intercept from the state.
    void fill(const AnalysisState& st, char decimalSeparator);

    ChartView* Chart1 = nullptr;
    QLabel* Label1 = nullptr; // slope
    QLabel* Label2 = nullptr; // intercept
    QLabel* Label3 = nullptr; // comment
    QPushButton* Button2 = nullptr;
    QPushButton* Prodolgenie = nullptr;

  public slots:
    void Button2Click();
    void ProdolgenieClick();

  protected:
    void closeEvent(QCloseEvent* event) override; // FormClose

  private:
    QPointer<QWidget> mainWindow_;
};

// The window open at present, if any.
extern QPointer<TLNview> LNview;

// "Expand": a new log-log window from the state; the main window hides
// until the user leaves it.
TLNview* OpenLnView(QWidget* mainWindow, const AnalysisState& st, char decimalSeparator);

} // namespace tovimo
