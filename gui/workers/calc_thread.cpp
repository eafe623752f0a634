#include "gui/workers/calc_thread.h"

#include "gui/platform/time_text.h"
#include "gui/platform/ui_call_queue.h"

namespace tovimo {

CalcThread::CalcThread(AnalysisState& st, const MainForm& form, const RunInputs& run, FitClock& clock,
                       const std::atomic<bool>& stop, UiCallQueue& calls, Host host, QObject* parent)
    : QThread(parent), st_(st), form_(form), run_(run), clock_(clock), stop_(stop), calls_(calls),
      host_(std::move(host)) {
    setObjectName(QStringLiteral("CalcThread"));
}

void CalcThread::run() {
    RunCallbacks cb;
    cb.memo = [this](const std::string& line) {
        calls_.post([this, line] {
            if (host_.memoLine) host_.memoLine(line);
        });
    };
    cb.fitStarted = [this](RunFit fit) {
        calls_.post([this, fit] {
            if (host_.fitStarted) host_.fitStarted(fit);
        });
    };
    cb.message = [this](const std::string& text) {
        calls_.post([this, text] {
            if (host_.message) host_.message(text);
        });
    };
    cb.progress = [this](const std::string& text) {
        calls_.post([this, text] {
            if (host_.progress) host_.progress(text);
        });
    };
    cb.stop = [this] { return stop_.load(std::memory_order_relaxed); };
    cb.elapsedText = ElapsedTimeFormatter();
    try {
        completed_ = RunCalculationFits(st_, form_, run_, clock_, cb);
    } catch (const std::exception& e) {
        error_ = e.what(); // nothing may leave the thread; the window shows it
    } catch (...) {
        error_ = "?";
    }
}

} // namespace tovimo
