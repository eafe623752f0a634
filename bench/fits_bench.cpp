// Criterion evaluations per second of the step-search fits on the bundled
// sample and on a simulated fleet of 3,000 failures: the evaluators the fits
// use beside the plain criteria written straight from the formulas.
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/fast_criteria.h"
#include "tools/fit_datasets.h"

#include <benchmark/benchmark.h>

using namespace tovimo;

namespace {

tools::Dataset& Data(int which) {
    return tools::BenchDataset(which, TOVIMO_SAMPLE);
}

// The shape moves by a small step on every evaluation, as in a swing.
void BM_PirsonFit(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    PirsonEvaluator pirson(d.st, 1);
    double A = 1.3, sink = 0;
    for (auto _ : state) {
        A += 1e-7;
        sink += pirson(A, 9000, 1.4, d.st.Sred, d.st.SKO);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(d.name);
}

void BM_PirsonPlain(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    Mod_Weib m;
    SizeModelArrays(m, d.st.Hist_Stol.size());
    double A = 1.3, sink = 0;
    for (auto _ : state) {
        A += 1e-7;
        sink += Pirson(d.st, 1, A, 9000, 1.4, d.st.Sred, d.st.SKO, m);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(d.name);
}

// The scale or the shape moves: the Weibull shares are recomputed.
void BM_SmirnowFitShapeStep(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    const auto phi = tools::FailureShares(d.st);
    SmirnowEvaluator smirnow(d.st, phi);
    double A = 1.3, sink = 0;
    for (auto _ : state) {
        A += 1e-7;
        sink += smirnow(A, 9000, 1.4);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(d.name);
}

// The scale moves: the powers of the failure times are reused.
void BM_SmirnowFitScaleStep(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    const auto phi = tools::FailureShares(d.st);
    SmirnowEvaluator smirnow(d.st, phi);
    double B = 9000, sink = 0;
    for (auto _ : state) {
        B += 1e-4;
        sink += smirnow(1.3, B, 1.4);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(d.name);
}

// Only the repeat coefficient moves: the shares are reused.
void BM_SmirnowFitRepeatStep(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    const auto phi = tools::FailureShares(d.st);
    SmirnowEvaluator smirnow(d.st, phi);
    double K = 1.4, sink = 0;
    for (auto _ : state) {
        K += 1e-7;
        sink += smirnow(1.3, 9000, K);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(d.name);
}

void BM_SmirnowPlain(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    const auto phi = tools::FailureShares(d.st);
    double A = 1.3, sink = 0;
    for (auto _ : state) {
        A += 1e-7;
        sink += Smirnow(d.st, A, 9000, 1.4, phi);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(d.name);
}

} // namespace

// 0: the sample, 1: the 3,000-failure fleet
BENCHMARK(BM_PirsonFit)->Arg(0)->Arg(1);
BENCHMARK(BM_PirsonPlain)->Arg(0)->Arg(1);
BENCHMARK(BM_SmirnowFitShapeStep)->Arg(0)->Arg(1);
BENCHMARK(BM_SmirnowFitScaleStep)->Arg(0)->Arg(1);
BENCHMARK(BM_SmirnowFitRepeatStep)->Arg(0)->Arg(1);
BENCHMARK(BM_SmirnowPlain)->Arg(0)->Arg(1);

BENCHMARK_MAIN();
