// The calculation run, the timing test and the genetic-algorithm runs.
#include "gui/windows/main_window.h"

#include "gui/platform/time_text.h"
#include "gui/platform/ui_call_queue.h"
#include "gui/platform/ui_seams.h"
#include "gui/workers/calc_thread.h"
#include "gui/workers/gen_thread.h"

#include "core/fit/calc_run.h"
#include "core/fit/evaluation_timing.h"
#include "core/genetic/genetic_run.h"
#include "core/results/model_warnings.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QThread>

#include <memory>

namespace tovimo {

namespace {

const char* const kMsgNoDataYet = "Сначала выберите файл исходных данных кнопкой «Путь»";

} // namespace

TGen* TForm1::Gen() const {
    return gen_;
}

bool TForm1::geneticRunning() const {
    return gen_ && !gen_->isFinished();
}

FitClock& TForm1::clock() {
    static SteadyFitClock steady;
    return clock_ ? *clock_ : steady;
}

bool TForm1::calculationRunning() const {
    return !calc_.isNull(); // until its end has been handled here
}

void TForm1::bbRaschetClick() {
    if (runActive()) return;
    if (!st_.uk && st_.MasProbl.empty()) { // nothing was ever loaded: the edits are still empty
        showMessage(kMsgNoDataYet);
        return;
    }
    guarded([&] {
        readControls();
        const RunInputs run = ReadRunInputs(form_);
        const bool ready = PrepareCalculation(st_, run, [this](const std::string& m) { showMessage(m); });
        showForm();
        if (!ready) return;

        // The fits run on a worker; the window stays responsive with its run
        // controls locked, and the results refresh follows on this thread.
        calcStop_ = false;
        CalcThread::Host host;
        host.memoLine = [this](const std::string& line) { appendMemoLine(line); };
        host.fitStarted = [this](RunFit fit) {
            showRunningFit(QStringLiteral("Расчет: %1…").arg(QString::fromUtf8(RunFitName(fit))));
        };
        host.message = [this](const std::string& m) { showMessage(m); }; // model 3 refused
        host.progress = [this](const std::string& text) {
            if (calc_ && !calcStop_)
                showRunningFit(QStringLiteral("Расчет: ") + QString::fromStdString(text));
        };
        auto* calc = new CalcThread(st_, form_, run, clock(), calcStop_, *calls_, std::move(host), this);
        calc_ = calc;
        connect(calc, &QThread::finished, this, &TForm1::CalculationFinished);
        setRunControlsEnabled(false);
        Button2->setEnabled(false); // the run sorts the series "Expand" would read
        showRunningFit(QStringLiteral("Расчет…"));
        Ui().setWaitCursor(true);
        calc->start();
    });
}

void TForm1::CalculationFinished() {
    auto* calc = qobject_cast<CalcThread*>(sender());
    if (!calc) return;
    calc->wait(); // finished: returns at once and orders its writes before ours
    calc->deleteLater();
    calc_ = nullptr;
    showRunningFit(QString());
    setRunControlsEnabled(true);
    Button2->setEnabled(true);
    Ui().setWaitCursor(false);
    if (!calc->error().empty()) {
        Ui().error(this, QString::fromStdString(calc->error()));
        return;
    }
    if (!calc->completed()) { // stopped: by "Отмена", or the window is closing
        if (!closing_) appendMemoLine("Расчет прерван");
        return;
    }
    guarded([&] {
        DiaStart();
        Ui().setWaitCursor(false);
        Ui().beep();
    });
}

void TForm1::stopCalculationRun() {
    if (!calc_) return;
    calcStop_ = true;
    waitForThread(calc_);
}

void TForm1::cancelCalculationRun() {
    if (!calc_ || calcStop_) return;
    calcStop_ = true; // the fits ask for it once per step
    showRunningFit(QStringLiteral("Расчет: отмена…"));
}

void TForm1::showRunningFit(const QString& text) {
    RunStatus->setText(text);
    RunStatus->setVisible(!text.isEmpty());
    RunBusy->setVisible(!text.isEmpty());
    RunCancel->setVisible(!text.isEmpty() && calc_);
}

void TForm1::Button1Click() {
    if (runActive()) return;
    // seconds of evaluations: on a worker like the fits, the window stays responsive
    auto seconds = std::make_shared<double>(0);
    FitClock& timingClock = clock();
    const long long count = timingCount_;
    QThread* thread = QThread::create(
        [&timingClock, count, seconds] { *seconds = tovimo::Button1Click(timingClock, count); });
    thread->setParent(this);
    timing_ = thread;
    connect(thread, &QThread::finished, this, [this, thread, seconds] {
        thread->wait(); // finished: returns at once and orders its writes before ours
        thread->deleteLater();
        timing_ = nullptr;
        showRunningFit(QString());
        setRunControlsEnabled(true);
        if (!closing_) showMessage(EvaluationTimingText(ElapsedTimeText(*seconds).toStdString()));
    });
    setRunControlsEnabled(false);
    showRunningFit(QStringLiteral("Тест…"));
    thread->start();
}

void TForm1::ToolBRunGenOptimClick() {
    if (runActive()) return;
    if (!st_.uk && st_.MasProbl.empty()) {
        showMessage(kMsgNoDataYet);
        return;
    }
    guarded([&] {
        readControls();
        if (!PrepareGeneticRun(st_, ReadRunInputs(form_), [this](const std::string& m) { showMessage(m); }))
            return;
        GaRunOptions options;
        options.decimalSeparator = form_.decimalSeparator;
        options.threads = static_cast<unsigned>(geneticThreads_);
        TGen::Host host;
        host.populationText = [this] { return Edit3->text(); };
        host.generationsText = [this] { return NPokoleny->text(); };
        host.copyCountText = [this] { return LabeledEdit1->text(); };
        host.trackBars = [this] { return std::pair{TrackBar1->value(), TrackBar2->value()}; };
        host.setTrackBar = [this](int which, int pos) {
            (which == 1 ? TrackBar1 : TrackBar2)->setValue(pos);
        };
        host.setGenerationsText = [this](const QString& text) { NPokoleny->setText(text); };
        host.setProgress = [this](int position) { ProgressBar2->setValue(position); };
        host.memoLine = [this](const std::string& line) { appendMemoLine(line); };
        host.diaGen = [this] {
            // the warnings of the last run now cover the genetic model too
            UpdateModelWarnings(st_, form().decimalSeparator, {"MGenet"},
                                [this](const std::string& line) { appendMemoLine(line); });
            DiaStart();
        };
        auto* gen = new TGen(st_, flags_, std::move(host), *calls_, options, loop_, this);
        gen_ = gen;
        connect(gen, &QThread::finished, this, &TForm1::ThreadTerminated);
        setRunControlsEnabled(false);
        gen->start(QThread::HighPriority);
    });
}

void TForm1::ThreadTerminated() {
    std::optional<QString> setUpFailure, error;
    if (auto* gen = qobject_cast<TGen*>(sender())) {
        gen->wait(); // it has finished: this returns at once and orders its writes before ours
        setUpFailure = gen->setUpFailure();
        error = gen->error();
        gen->deleteLater();
    }
    gen_ = nullptr;
    setRunControlsEnabled(true);
    if (setUpFailure) Ui().message(this, *setUpFailure);
    if (error) Ui().error(this, *error);
}

} // namespace tovimo
