// A large manufacturer's series: a simulated fleet with a million failures
// (times to 0.1 h, seven causes). Loading it, one evaluation of model 2's
// criterion (a shape step and a scale step) and model 2's whole fit under
// its wall-clock rule. Model 3 on the same series is in likelihood_bench.
#include "core/fit/fit_smirnov.h"
#include "core/stats/fast_criteria.h"
#include "tools/fit_datasets.h"

#include <benchmark/benchmark.h>

using namespace tovimo;

namespace {

const std::string& MillionText() {
    static const std::string text = [] {
        FleetParams p;
        p.unknownShare = 0;
        p.fleet = FleetSizeFor(p, 1e6);
        return SimulateFleet(p).text;
    }();
    return text;
}

tools::Dataset& Million() {
    static tools::Dataset d = tools::LoadDataset("a million failures", MillionText());
    return d;
}

void BM_LoadMillion(benchmark::State& state) {
    const std::string& text = MillionText();
    for (auto _ : state)
        benchmark::DoNotOptimize(tools::LoadDataset("a million failures", text).st.MasProbl.size());
    state.counters["records"] = static_cast<double>(Million().st.MasProbl.size());
}
BENCHMARK(BM_LoadMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Argument 0: the shape moves; 1: the scale moves.
void BM_SmirnovEvaluationMillion(benchmark::State& state) {
    auto& d = Million();
    const auto phi = tools::FailureShares(d.st);
    SmirnowEvaluator smirnow(d.st, phi);
    double A = 1.3, B = 9000;
    for (auto _ : state)
        benchmark::DoNotOptimize(state.range(0) ? smirnow(1.3, B += 1e-4, 1.4)
                                                : smirnow(A += 1e-7, 9000, 1.4));
    state.SetLabel(state.range(0) ? "scale step" : "shape step");
}
BENCHMARK(BM_SmirnovEvaluationMillion)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SmirnovFitMillion(benchmark::State& state) {
    for (auto _ : state) {
        AnalysisState st = Million().st;
        SteadyFitClock clock;
        double A = 0, B = 0;
        FitSettings settings;
        settings.factor = std::stod(MainForm{}.Edit5); // the window's step-reduction factor
        Podbor_Weib_Smirnow(st, settings, A, B, clock, {});
        state.counters["evaluations"] = static_cast<double>(st.MSmirn.evaluations);
        state.counters["criterion"] = st.MSmirn.criterion;
        state.counters["K"] = st.MSmirn.K_powtor;
        state.counters["A"] = A;
        state.counters["B"] = B;
    }
}
BENCHMARK(BM_SmirnovFitMillion)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
