// The genetic-algorithm worker: a thread running the generation loop, whose
// every control read and write is carried to the user-interface thread.
#pragma once

#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/analysis_state.h"

#include <QString>
#include <QThread>

#include <mutex>
#include <optional>

namespace tovimo {

class TForm1;
class UiCallQueue;

class TGen : public QThread {
    Q_OBJECT

  public:
    // The run works on `st` through `loop`; the window's controls are its host.
    TGen(AnalysisState& st, GaFlags& flags, TForm1& window, UiCallQueue& calls, const GaRunOptions& options,
         GenerationLoop loop);

    // Once the thread has finished: the message for a run that could not be
    // set up, or the text of an error that ended it later; nothing when it ran.
    std::optional<QString> setUpFailure() const;
    std::optional<QString> error() const;

  protected:
    void run() override; // Execute

  private:
    AnalysisState& st_;
    GaFlags& flags_;
    TForm1& window_;
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
