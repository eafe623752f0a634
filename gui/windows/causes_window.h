// "Причины отказов": model 3 fitted for each failure cause, with the bounds of
// its figures, the test of one shape for all causes and a chart of each
// cause's expected accumulation per product beside the observed one.
#pragma once

#include "core/fit/likelihood_causes.h"
#include "core/state/analysis_state.h"

#include <QWidget>

#include <functional>

class QChartView;
class QLabel;
class QProgressBar;
class QSplitter;
class QPushButton;
class QTableWidget;

namespace tovimo {

class TaskThread;

class TCausesWindow : public QWidget {
    Q_OBJECT

  public:
    explicit TCausesWindow(QWidget* parent = nullptr);

    // Fits every cause of the state on a worker thread, the window busy and
    // usable meanwhile, and shows the result when it comes (a failure is
    // refused in a message); a computation still running is stopped and its
    // result never shown. Model 3's own curve comes from st.Pravd when it was
    // fitted.
    void compute(const AnalysisState& st, const LikelihoodSettings& settings, char decimalSeparator);
    // Whether a computation is running.
    bool busy() const { return task_ != nullptr; }
    // Shows a result already computed.
    void fill(const CausesResult& r, const AnalysisState& st, char decimalSeparator);
    const CausesResult& result() const { return result_; }
    // Forgets the shown result (a new results refresh makes it stale).
    void clear();
    // The cause of the selected row (index in the ranked table), 0 when none.
    int selectedCause() const;

    // "Прогноз по причине": asks for the forecast of the selected cause.
    std::function<void(int cause, const std::string& name)> onForecast;

    QLabel* Summary = nullptr;
    QTableWidget* Causes_Grid = nullptr;
    QChartView* Causes_Chart = nullptr; // each cause's curve and observed marks
    QChartView* Total_Chart = nullptr;  // the causes' sum, its observed marks and model 3's curve
    QProgressBar* Busy = nullptr;       // shown while the causes are being fitted
    QPushButton* btnForecastCause = nullptr;
    QPushButton* CloseButton = nullptr;

  private:
    void fillChart(const AnalysisState& st);
    CausesResult result_;
    TaskThread* task_ = nullptr;
    QSplitter* split_ = nullptr;
};

} // namespace tovimo
