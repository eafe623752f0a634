// The calculation run's worker: the ticked fits, one after another, off the
// user-interface thread. Memo lines and the name of the fit in progress are
// carried to the window as they come; the window refreshes the results once
// the thread has finished.
#pragma once

#include "core/fit/calc_run.h"
#include "core/fit/fit_clock.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <QThread>

#include <atomic>
#include <functional>
#include <string>

namespace tovimo {

class UiCallQueue;

class CalcThread : public QThread {
    Q_OBJECT

  public:
    struct Host {
        std::function<void(const std::string&)> memoLine; // on the user-interface thread
        std::function<void(RunFit)> fitStarted;           // on the user-interface thread
        std::function<void(const std::string&)> message;  // a fit's message box, on the user-interface thread
        std::function<void(const std::string&)>
            progress; // what a long fit is doing, on the user-interface thread
    };

    // Works on `st` with its own copy of the controls' values `form` and the
    // run's inputs `run`; `stop` is read once per search cycle.
    CalcThread(AnalysisState& st, const MainForm& form, const RunInputs& run, FitClock& clock,
               const std::atomic<bool>& stop, UiCallQueue& calls, Host host, QObject* parent = nullptr);

    // Valid once the thread has finished: all ticked fits ran, and the error
    // text when one of them failed.
    bool completed() const { return completed_.load(); }
    const std::string& error() const { return error_; }

  protected:
    void run() override;

  private:
    AnalysisState& st_;
    MainForm form_;
    RunInputs run_;
    FitClock& clock_;
    const std::atomic<bool>& stop_;
    UiCallQueue& calls_;
    Host host_;
    std::atomic<bool> completed_{false};
    std::string error_;
};

} // namespace tovimo
