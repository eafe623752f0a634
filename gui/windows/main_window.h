// The main window: opening the data and warranty-end times files, the run
// inputs, the calculation and genetic-algorithm runs and their progress.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "gui/windows/form_fields.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QButtonGroup;
class QElapsedTimer;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableView;
class QWidget;
class QFrame;
class QGridLayout;
class QVBoxLayout;

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace tovimo {

class CalcThread;
class RecordGridModel;
class TGen;
class UiCallQueue;

// The most the main window's smallest size may be: its layouts keep every
// control whole and apart down to their own minimum, which fits in this.
inline constexpr QSize kMainMinimumBound{1024, 700};
// From this width on the log-log chart stands at the top right, as designed.
inline constexpr int kMainWideFrom = 1300;

class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // `st` is the analysis state shared with the results windows; the
    // settings file is "rel.txt" where SettingsFilePath() puts it unless given.
    explicit TForm1(AnalysisState& st, const QString& settingsFile = QString(), QWidget* parent = nullptr);
    ~TForm1() override;

    // The results refresh and the log-log window, provided by the results side.
    void setDiaStart(std::function<void()> diaStart) { diaStart_ = std::move(diaStart); }
    void setExpand(std::function<void()> expand) { expand_ = std::move(expand); }
    // Called after every load of a data or warranty-end times file: the
    // results side drops what the load made stale.
    void setAfterLoad(std::function<void()> afterLoad) { afterLoad_ = std::move(afterLoad); }
    // A data file the first file dialog offers when no file was opened before.
    void setSampleFile(const QString& file) { sampleFile_ = file; }
    // Opens a data file as "Путь" does once the dialog has chosen it (a file
    // given to the program at its start).
    void openDataFile(const QString& file);
    // Population's thread count for the genetic runs (0: all cores).
    void setGeneticThreads(int threads) { geneticThreads_ = threads; }
    // The clock of the fits and of the timing test (tests give their own).
    void setClock(FitClock* clock) { clock_ = clock; }
    // The generation loop of the genetic runs (tests give one that fails).
    void setGenerationLoop(GenerationLoop loop) { loop_ = std::move(loop); }
    // Evaluations of the timing test (tests use fewer).
    void setTimingCount(long long count) { timingCount_ = count; }

    // The precondition of every run: a path is given and data are loaded.
    bool GettingData();
    // The controls' values as the core reads them (refreshed on every call).
    const MainForm& form();
    AnalysisState& state() { return st_; }
    // The genetic-algorithm worker while one runs.
    TGen* Gen() const;
    bool geneticRunning() const;
    // Asks a running genetic algorithm to stop and serves it until it has ended.
    void stopGeneticRun();
    // A calculation run is going on, or its end is still to be handled.
    bool calculationRunning() const;
    // Ends a running calculation after the current cycle of its fit, without
    // a results refresh, and waits until it has.
    void stopCalculationRun();
    // A calculation or a genetic-algorithm run is going on.
    bool runActive() const { return calculationRunning() || geneticRunning() || !timing_.isNull(); }
    // The results refresh, as the runs call it.
    void DiaStart();
    // The warranty law the data file loaded last gave (mean, sd), if any.
    std::optional<std::pair<double, double>> dataFileLaw() const { return dataFileLaw_; }

  public slots:
    void OpenFileStartClick();
    void ImportTableClick();
    void SpeedButton1Click();
    void bbRaschetClick();
    void Button1Click();
    void ToolBRunGenOptimClick();
    void StopBtnClick();
    void btnCopyBestClick();
    void Button2Click();
    void ThreadTerminated();
    void CalculationFinished();

  protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormCreate();
    void buildUi();
    QWidget* buildTopArea();
    QWidget* buildPanel1();
    QWidget* buildChart2();
    QWidget* buildTabSheet1();
    QWidget* buildTabSheet2();
    QWidget* buildPravdBox(QWidget* page);
    void setPravdLawChoices(bool fileLoaded, int law);
    void connectHandlers();
    // The log-log chart at the top right when the window is wide enough,
    // else over the record grid.
    void arrange(bool wide);

    // Widgets into form_ and back, through fields_.
    void bindFields();
    void readControls();
    void showForm();
    void showGrid();
    void showChart();
    void fitGridColumns();
    void appendMemoLines();
    void appendMemoLine(const std::string& line);
    void showRunningFit(const QString& text);
    // The user's "Отмена" of a calculation run.
    void cancelCalculationRun();
    void setRunControlsEnabled(bool enabled);
    // Runs a handler body; a text that is no number or any other error ends
    // it with the standard error box.
    void guarded(const std::function<void()>& body);
    void showMessage(const std::string& text);
    // After a data load: the edits, the load's findings (one a box, several a
    // list), the grid and the chart, as "Путь" shows them.
    // `loading` runs from the start of the load: the memo's line names its time.
    void showLoaded(const QStringList& found, const QElapsedTimer& loading);
    void loadDataFile(const QString& file);
    // The caption of the number edit holding `text` that does not convert,
    // looked for in the order the runs read their edits; empty when none does.
    QString fieldOfBadNumber(const QString& text) const;
    char localeSeparator() const;
    FitClock& clock();
    void waitForThread(QThread* thread);

    AnalysisState& st_;
    MainForm form_; // its defaults are the controls' defaults
    std::vector<AnyFormField> fields_;
    QString settingsFile_;
    QString sampleFile_;
    QString dialogFile_;   // the data file the shared file dialog chose last
    QString warrantyFile_; // the warranty-end times file it chose last
    std::optional<std::pair<double, double>> dataFileLaw_;
    std::function<void()> diaStart_;
    std::function<void()> expand_;
    std::function<void()> afterLoad_;
    QPointer<TGen> gen_;
    QPointer<CalcThread> calc_;
    QPointer<QThread> timing_; // "Тест" on its worker, until its end has been handled
    std::atomic<bool> calcStop_{false};
    GaFlags flags_;
    GenerationLoop loop_ = RunGenerationLoop;
    UiCallQueue* calls_ = nullptr; // the worker's way to the controls
    int geneticThreads_ = 0;
    FitClock* clock_ = nullptr;
    long long timingCount_ = 100'000'000;
    bool closing_ = false;
    size_t memoShown_ = 0;                 // lines of form_.Memo2 already in Memo2
    RecordGridModel* gridModel_ = nullptr; // Mass_List's rows: the records of st_
    QGridLayout* grid_ = nullptr;
    QVBoxLayout* rightColumn_ = nullptr;
    QWidget* topArea_ = nullptr;
    bool wide_ = false;

    // Controls, named after their components; tests find them by these
    // object names.
    QLabel* Label10 = nullptr;
    QLineEdit* FilePath = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OpenFileStart = nullptr;
    QPushButton* btnImportTable = nullptr;
    QFrame* Panel1 = nullptr;
    QLineEdit* meKolAll = nullptr;
    QLineEdit* meKolOtk = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLineEdit* meSred = nullptr;
    QLineEdit* meSKO = nullptr;
    QLineEdit* LabeledEdit2 = nullptr;
    QLineEdit* LabeledEdit3 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QLineEdit* MaskEditSrednee = nullptr;
    QLineEdit* MaskEditSKO = nullptr;
    QTableView* Mass_List = nullptr;
    QChartView* Chart2 = nullptr;
    QLineSeries* Series1 = nullptr;
    QLineSeries* Series2 = nullptr;
    QValueAxis* Chart2Bottom = nullptr;
    QValueAxis* Chart2Left = nullptr;
    QPushButton* Button2 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QTabWidget* PageControl = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QPushButton* bbRaschet = nullptr;
    QCheckBox* SpirSpusk = nullptr;
    QCheckBox* BoxNewton = nullptr;
    QCheckBox* BoxSmirnow = nullptr;
    QCheckBox* BoxPravd = nullptr;
    QCheckBox* PravdOnce = nullptr;
    QComboBox* PravdLevel = nullptr;
    QComboBox* PravdLaw = nullptr;
    QLineEdit* PravdWindow = nullptr; // "Конец наблюдения, ч"
    QCheckBox* Sred_flag = nullptr;
    QCheckBox* SKO_Flag = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Buttons = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* NPokoleny = nullptr;
    QPushButton* ToolBRunGenOptim = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QLineEdit* LabeledEdit1 = nullptr;
    QPushButton* btnCopyBest = nullptr;
    QPushButton* Button1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QPushButton* StopBtn = nullptr;
    // The busy indicator of a calculation run, in the status bar.
    QLabel* RunStatus = nullptr;
    QProgressBar* RunBusy = nullptr;
    QPushButton* RunCancel = nullptr; // "Отмена": ends a calculation run after the fit's present step
};

} // namespace tovimo
