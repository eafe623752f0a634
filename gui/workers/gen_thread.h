// The genetic-algorithm worker: a thread running the generation loop, whose
// every control read and write is carried to the user-interface thread.
#pragma once

#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/analysis_state.h"

#include <QString>
#include <QThread>

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
    std::optional<QString> setUpFailure() const { return setUpFailure_; }
    std::optional<QString> error() const { return error_; }

  protected:
    void run() override; // Execute

  private:
    AnalysisState& st_;
    GaFlags& flags_;
    TForm1& window_;
    UiCallQueue& calls_;
    GaRunOptions options_;
    GenerationLoop loop_;
    std::optional<QString> setUpFailure_;
    std::optional<QString> error_;
};

} // namespace tovimo
