#include "core/genetic/genetic_run.h"

#include "core/genetic/genetic_engine.h"
#include "core/state/run_inputs.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

#include <climits>
#include <exception>
#include <new>
#include <stdexcept>
#include <system_error>

namespace tovimo {

namespace {

// A population beyond this would not fit in memory.
constexpr long long kMaxPopulation = 1000000;

// No memory for the population or no thread for its evaluations.
bool outOfResources(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return true;
    } catch (const std::length_error&) {
        return true;
    } catch (const std::system_error&) {
        return true;
    } catch (...) {
        return false;
    }
}

// Passes every call on to the run's host and notes the hand-over after the
// initial population, with which the set-up ends.
class SetUpWatch final : public GaHost {
  public:
    explicit SetUpWatch(GaHost& host) : host_(host) {}
    bool setUp() const { return setUp_; }

    std::optional<int> populationSize() override { return host_.populationSize(); }
    std::optional<int> generations() override { return host_.generations(); }
    std::optional<long long> copyCount() override { return host_.copyCount(); }
    std::pair<int, int> trackBars() override { return host_.trackBars(); }
    void setTrackBar(int which, int pos) override { host_.setTrackBar(which, pos); }
    void setGenerationsText(std::string text) override { host_.setGenerationsText(std::move(text)); }
    void setProgress(int position) override { host_.setProgress(position); }
    void memoLine(std::string line) override { host_.memoLine(std::move(line)); }
    void updMain(int genes) override {
        setUp_ = true;
        host_.updMain(genes);
    }
    void diaGen() override { host_.diaGen(); }

  private:
    GaHost& host_;
    bool setUp_ = false;
};

} // namespace

bool PrepareGeneticRun(AnalysisState& st, const RunInputs& in, const MessageFn& message) {
    if (!SeriesUsable(st, message)) return false;
    ApplyRunEdits(st, in);
    if (!GettingData(st, in, message)) return false;
    ApplyRunFlags(st, in);
    if (!RunStateUsable(st, message)) return false;

    const GeneticInputs& g = in.genetic;
    if (!g.population || *g.population < 2 || *g.population > kMaxPopulation) {
        message(kMsgGaPopulation);
        return false;
    }
    if (!g.generations || *g.generations < 1 || *g.generations > INT_MAX) {
        message(kMsgGaGenerations);
        return false;
    }

    // The parameter space is written only once the run is sure to start.
    const double precision = g.precision.value();
    if (GeneLength(precision) < 2) {
        message(kMsgGaPrecision);
        return false;
    }
    st.iop = 2 + (st.Sred_Opt ? 1 : 0) + (st.SKO_Opt ? 1 : 0);
    st.Precision = precision;
    for (int k = 1; k <= st.iop; ++k)
        st.NormA[static_cast<size_t>(k)] = (Alim[1][k] + Alim[2][k]) * st.Precision;
    hist_Format(st);
    // The genetic model's arrays are sized to the histogram when a result is
    // published, so that a run that finds nothing leaves the model untouched.
    return true;
}

bool PrepareGeneticRun(AnalysisState& st, const MainForm& form, const MessageFn& message) {
    return PrepareGeneticRun(st, ReadRunInputs(form), message);
}

std::optional<std::string> RunGeneticAlgorithm(AnalysisState& st, GaHost& host, GaFlags& flags,
                                               const GaRunOptions& options, const GenerationLoop& loop) {
    SetUpWatch watch(host);
    try {
        if (loop(st, watch, flags, options) == GaRunEnd::NotStarted) return kMsgGaNotSetUp;
    } catch (...) {
        if (watch.setUp() || !outOfResources(std::current_exception())) throw;
        return kMsgGaSetUpFailed;
    }
    return std::nullopt;
}

} // namespace tovimo
