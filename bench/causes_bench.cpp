// Model 3 by cause: the sample data file and a simulated fleet of about 3,000
// failures over 50 causes with their own laws; and the warranty forecast of
// model 3 on the sample.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/fit/likelihood_causes.h"
#include "core/fit/likelihood_fit.h"
#include "core/fit/warranty_forecast.h"
#include "core/state/run_inputs.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace tovimo;

namespace {

// Fifty causes, named so that none is part of another's name.
FleetParams FiftyCauses() {
    FleetParams p;
    p.unknownShare = 0;
    p.causes.clear();
    for (int i = 1; i <= 50; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Узел %02d", i);
        p.causes.push_back(name);
        // shapes from burn-in to wear-out, frequencies falling with the rank
        p.causeLaws.push_back({0.6 + 0.06 * i, 6000 + 200.0 * i, 0.9 / (1 + 0.08 * i)});
    }
    p.fleet = 3000 / ExpectedFailuresPerProduct(p);
    return p;
}

AnalysisState Load(const std::string& text) {
    AnalysisState st;
    MainForm form;
    LoadDataText(st, form, text, [](const std::string&) {});
    ReadRunEdits(st, form);
    return st;
}

void BM_ByCause(benchmark::State& state) {
    static const AnalysisState sample = [] {
        AnalysisState st;
        MainForm form;
        LoadDataFile(st, form, TOVIMO_SAMPLE, [](const std::string&) {});
        ReadRunEdits(st, form);
        return st;
    }();
    static const AnalysisState fifty = Load(SimulateFleet(FiftyCauses()).text);
    const AnalysisState& st = state.range(0) == 0 ? sample : fifty;
    LikelihoodSettings s;
    s.threads = static_cast<int>(state.range(1));
    int failures = 0;
    for (auto _ : state) {
        const CausesResult r = FitByCause(st, s);
        failures = 0;
        for (const CauseFit& c : r.causes)
            failures += c.n;
        benchmark::DoNotOptimize(r);
    }
    state.counters["failures"] = failures;
    state.counters["causes"] = st.NPrich + 1;
    state.SetLabel(state.range(0) == 0 ? "sample" : "50 causes");
}
BENCHMARK(BM_ByCause)->Args({0, 1})->Args({1, 1})->Args({1, 2})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Forecast(benchmark::State& state) {
    AnalysisState st;
    MainForm form;
    LoadDataFile(st, form, TOVIMO_SAMPLE, [](const std::string&) {});
    ReadRunEdits(st, form);
    LikelihoodSettings s;
    s.kMode = state.range(0) == 0 ? LikelihoodKMode::Once : LikelihoodKMode::Free;
    LikelihoodData d;
    PrepareLikelihoodData(st, s.law, s.kMode, d);
    LikelihoodEvaluator ev(d);
    const LikelihoodEstimate e = MaximiseLikelihood(ev, s.kMode);
    ForecastSettings f;
    f.extend = 500;
    size_t rows = 0;
    for (auto _ : state) {
        const ForecastResult r = ForecastWarranty(d, s.kMode, e.A, e.B, e.K, e.loglik, f);
        rows = r.rows.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetLabel(state.range(0) == 0 ? "K = 1" : "K free");
}
BENCHMARK(BM_Forecast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
