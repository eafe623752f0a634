// The controls the genetic-algorithm run uses, held in a MainForm: the host of
// runs without windows (command line, benchmarks, tests). The progress bar
// shows positions beyond its range as full; the hand-over after the initial
// population writes its line to the memo; the results refresh is the caller's.
#pragma once

#include "core/genetic/genetic_loop.h"
#include "core/state/main_form.h"
#include "core/state/run_inputs.h"

namespace tovimo {

class FormGaHost : public GaHost {
  public:
    explicit FormGaHost(MainForm& form) : f_(form) {}

    std::optional<int> populationSize() override;
    std::optional<int> generations() override;
    std::optional<long long> copyCount() override;
    std::pair<int, int> trackBars() override { return {f_.TrackBar1, f_.TrackBar2}; }
    void setTrackBar(int which, int pos) override;
    void setGenerationsText(std::string text) override { f_.NPokoleny = std::move(text); }
    void setProgress(int position) override;
    void memoLine(std::string line) override { f_.Memo2.push_back(std::move(line)); }
    void updMain(int genes) override { f_.Memo2.push_back(GenesCreatedLine(genes)); }
    void diaGen() override {}

  protected:
    MainForm& f_;
};

// The host of a run whose inputs came typed (the command line): the counts
// are the inputs', the bars start at their probabilities; the memo, the bars
// and the generations text go into `form` as the window would show them.
class InputsGaHost final : public FormGaHost {
  public:
    InputsGaHost(MainForm& form, const GeneticInputs& in);

    std::optional<int> populationSize() override { return whole(in_.population); }
    std::optional<int> generations() override { return whole(in_.generations); }
    std::optional<long long> copyCount() override { return in_.copyCount; }

  private:
    static std::optional<int> whole(const std::optional<long long>& v);
    GeneticInputs in_;
};

} // namespace tovimo
