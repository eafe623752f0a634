// The calculation run, the timing test and the genetic-algorithm runs.
#include "gui/windows/main_window.h"

#include "gui/platform/time_text.h"
#include "gui/platform/ui_call_queue.h"
#include "gui/platform/ui_seams.h"
#include "gui/workers/gen_thread.h"

#include "core/fit/calc_run.h"
#include "core/fit/evaluation_timing.h"
#include "core/genetic/genetic_run.h"

#include <QLineEdit>

namespace tovimo {

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

void TForm1::bbRaschetClick() {
    if (geneticRunning()) return;
    guarded([&] {
        readControls();
        RunCallbacks cb;
        // a message ends the busy time: the box is not shown under the wait cursor
        cb.message = [this](const std::string& m) {
            Ui().setWaitCursor(false);
            showMessage(m);
        };
        cb.memo = [this](const std::string&) { appendMemoLines(); };
        cb.elapsedText = ElapsedTimeFormatter();
        Ui().setWaitCursor(true);
        const bool ran = RunCalculation(st_, form_, clock(), cb);
        showForm();
        if (!ran) {
            Ui().setWaitCursor(false);
            return;
        }
        DiaStart();
        Ui().setWaitCursor(false);
        Ui().beep();
    });
}

void TForm1::Button1Click() {
    if (geneticRunning()) return;
    guarded([&] {
        const double seconds = tovimo::Button1Click(clock(), timingCount_);
        showMessage(EvaluationTimingText(ElapsedTimeText(seconds).toStdString()));
    });
}

void TForm1::ToolBRunGenOptimClick() {
    if (geneticRunning()) return;
    guarded([&] {
        readControls();
        if (!PrepareGeneticRun(st_, form_, [this](const std::string& m) { showMessage(m); })) return;
        GaRunOptions options;
        options.decimalSeparator = form_.decimalSeparator;
        options.threads = static_cast<unsigned>(geneticThreads_);
        auto* gen = new TGen(st_, flags_, *this, *calls_, options, loop_);
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
