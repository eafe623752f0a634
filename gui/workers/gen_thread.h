// The genetic-algorithm worker: a thread running the generation loop, whose
// every control read and write is carried to the user-interface thread.
#pragma once

#include "core/genetic/genetic_loop.h"
#include "core/state/analysis_state.h"

#include <QThread>

#include <atomic>

namespace tovimo {

class TForm1;
class UiCallQueue;

class TGen : public QThread {
    Q_OBJECT

  public:
    // The run works on `st`; the window's controls are its host.
    TGen(AnalysisState& st, GaFlags& flags, TForm1& window, UiCallQueue& calls, const GaRunOptions& options);

    // How the run ended (valid once the thread has finished).
    GaRunEnd end() const { return end_.load(); }

  protected:
    void run() override; // Execute

  private:
    AnalysisState& st_;
    GaFlags& flags_;
    TForm1& window_;
    UiCallQueue& calls_;
    GaRunOptions options_;
    std::atomic<GaRunEnd> end_{GaRunEnd::NotStarted};
};

} // namespace tovimo
