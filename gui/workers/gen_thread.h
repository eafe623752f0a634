// The genetic-algorithm worker: a thread running the generation loop, whose
// every control read and write is carried to the user-interface thread. The
// window hands it the reads and writes as functions; the worker knows no
// widget.
#pragma once

#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/analysis_state.h"

#include <QString>
#include <QThread>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace tovimo {

class UiCallQueue;

class TGen : public QThread {
    Q_OBJECT

  public:
    // The window's side of a run; every function runs on the user-interface
    // thread, the reads while the worker waits for them.
    struct Host {
        std::function<QString()> populationText;  // Edit3
        std::function<QString()> generationsText; // NPokoleny
        std::function<QString()> copyCountText;   // LabeledEdit1
        std::function<std::pair<int, int>()> trackBars;
        std::function<void(int which, int position)> setTrackBar;
        std::function<void(const QString&)> setGenerationsText;
        std::function<void(int)> setProgress; // 0..100
        std::function<void(const std::string&)> memoLine;
        std::function<void()> diaGen; // the results refresh at the end of a run
    };

    // The run works on `st` through `loop`; `host` reads and writes the controls.
    TGen(AnalysisState& st, GaFlags& flags, Host host, UiCallQueue& calls, const GaRunOptions& options,
         GenerationLoop loop, QObject* parent = nullptr);

    // Once the thread has finished: the message for a run that could not be
    // set up, or the text of an error that ended it later; nothing when it ran.
    std::optional<QString> setUpFailure() const;
    std::optional<QString> error() const;

  protected:
    void run() override; // Execute

  private:
    AnalysisState& st_;
    GaFlags& flags_;
    Host host_;
    UiCallQueue& calls_;
    GaRunOptions options_;
    GenerationLoop loop_;
    // Written by the thread, read by the window: QThread::wait orders them
    // already, but through Qt's own futexes, which race detectors do not see.
    mutable std::mutex outcomeMutex_;
    std::optional<QString> setUpFailure_;
    std::optional<QString> error_;
};

} // namespace tovimo
