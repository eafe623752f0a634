// "Прогноз": how many failures a fleet will report under warranty by model 3
// (or by one cause's model): the expected cumulative count every step up to a
// horizon with its confidence and prediction intervals, the total under
// warranty, and what extending the warranty would cost.
#pragma once

#include "core/fit/warranty_forecast.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <QWidget>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tovimo {

class TaskThread;

class TForecastWindow : public QWidget {
    Q_OBJECT

  public:
    explicit TForecastWindow(QWidget* parent = nullptr);

    // The series and model the forecast rests on (cause 0: model 3 itself);
    // the edits take the current fleet and warranty law.
    void setSource(const AnalysisState& st, const LikelihoodSettings& settings, int cause,
                   const std::string& causeName, char decimalSeparator);
    const ForecastResult& result() const { return result_; }
    // The cause the forecast is of; empty for model 3 of the whole series.
    const std::string& causeName() const { return causeName_; }
    // Forgets the shown forecast (a new results refresh makes it stale).
    void clear();
    // Whether a forecast is being computed.
    bool busy() const { return task_ != nullptr; }

    QLabel* Source = nullptr;
    QLineEdit* edFleet = nullptr;
    QLineEdit* edMean = nullptr;
    QLineEdit* edSd = nullptr;
    QPushButton* btnUnits = nullptr; // a warranty-end times file instead of the mean and SD
    QLabel* UnitsLabel = nullptr;
    QLineEdit* edHorizon = nullptr;
    QLineEdit* edExtend = nullptr;
    QComboBox* cbLevel = nullptr;
    QPushButton* btnCalc = nullptr;
    QProgressBar* Busy = nullptr; // shown while the forecast is being computed
    QLabel* Summary = nullptr;
    QTableWidget* Forecast_Grid = nullptr;
    QChartView* Forecast_Chart = nullptr;
    QPushButton* CloseButton = nullptr;

  public slots:
    // Reads the edits and computes on a worker thread, the window usable
    // meanwhile ("Рассчитать" waits for the result; a computation started
    // before is superseded); a text that is not a number is refused in a message.
    void btnCalcClick();
    void btnUnitsClick();

  private:
    void fill();
    void fillChart();
    AnalysisState st_;
    LikelihoodSettings settings_;
    int cause_ = 0;
    std::string causeName_;
    char sep_ = '.';
    std::vector<double> units_; // warranty-end times from a file, empty: the normal law
    ForecastResult result_;
    TaskThread* task_ = nullptr;
    // Drops a computation still running: its result is never shown.
    void dropTask();
};

} // namespace tovimo
