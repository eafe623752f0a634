// The maximum-likelihood model on a simulated fleet of about 3,000 failures:
// the fit with every bound (K = 1 and K free), the fit alone, and 200
// bootstrap replicates of the goodness of fit on two threads; and model 3's
// whole run (fit, bounds, both bootstraps, band) where it used to be slow: the
// law of leaving warranty from a file of 11,170 warranty-end times, and a
// fleet of ten million products; and a million failures.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/data/warranty_file.h"
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/state/run_inputs.h"
#include "core/stats/histogram.h"

#include <benchmark/benchmark.h>

using namespace tovimo;

namespace {

struct Fleet {
    AnalysisState st;
    LikelihoodData once, free;
};

// Each product fails at most once for the K = 1 data, repeatedly for K free.
Fleet& Data() {
    static Fleet f = [] {
        Fleet x;
        for (bool once : {true, false}) {
            FleetParams p;
            p.once = once;
            p.unknownShare = 0;
            p.fleet = FleetSizeFor(p, 3000);
            AnalysisState st;
            MainForm form;
            LoadDataText(st, form, SimulateFleet(p).text, [](const std::string&) {});
            ReadRunEdits(st, form);
            hist_Format(st);
            PrepareLikelihoodData(st, WarrantyLawKind::Normal,
                                  once ? LikelihoodKMode::Once : LikelihoodKMode::Free,
                                  once ? x.once : x.free);
            if (once) x.st = st;
        }
        return x;
    }();
    return f;
}

void BM_FitWithEveryBound(benchmark::State& state) {
    const bool once = state.range(0) == 0;
    Fleet& f = Data();
    LikelihoodSettings s;
    s.kMode = once ? LikelihoodKMode::Once : LikelihoodKMode::Free;
    for (auto _ : state)
        benchmark::DoNotOptimize(FitLikelihood(once ? f.once : f.free, s));
    state.counters["failures"] = static_cast<double>((once ? f.once : f.free).times.size());
    state.SetLabel(once ? "K = 1" : "K free");
}
BENCHMARK(BM_FitWithEveryBound)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EstimateOnly(benchmark::State& state) {
    Fleet& f = Data();
    for (auto _ : state) {
        LikelihoodEvaluator ev(f.once);
        benchmark::DoNotOptimize(MaximiseLikelihood(ev, LikelihoodKMode::Once));
    }
}
BENCHMARK(BM_EstimateOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Bootstrap200(benchmark::State& state) {
    Fleet& f = Data();
    LikelihoodSettings s;
    s.bootstrap = 200;
    s.threads = static_cast<int>(state.range(0));
    LikelihoodEvaluator ev(f.once);
    const LikelihoodEstimate e = MaximiseLikelihood(ev, LikelihoodKMode::Once);
    for (auto _ : state) {
        LikelihoodResult r;
        r.settings = s;
        r.A = e.A;
        r.B = e.B;
        r.K = e.K;
        r.n = static_cast<int>(f.once.times.size());
        BootstrapGof(f.once, r);
        benchmark::DoNotOptimize(r.gofP);
    }
}
BENCHMARK(BM_Bootstrap200)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// A loaded fleet ready for model 3's run.
struct LoadedFleet {
    AnalysisState st;
    MainForm form;
};

// 0: 3,000 failures, normal law; 1: the same fleet with its 11,170
// warranty-end times as the law; 2: ten million products, normal law;
// 3: a million failures (times to 0.1 h), normal law; 4: the same with its
// 3.7 million warranty-end times as the law.
LoadedFleet& Loaded(int which) {
    static LoadedFleet fleets[5];
    static bool ready[5] = {};
    LoadedFleet& f = fleets[which];
    if (ready[which]) return f;
    FleetParams p;
    p.unknownShare = 0;
    if (which >= 3) {
        p.fleet = FleetSizeFor(p, 1e6);
    } else {
        p.fleet = which == 2 ? 1e7 : 11170;
        p.repeat = 3000 / p.fleet * 4.7;
    }
    const SimulatedFleet sim = SimulateFleet(p);
    LoadDataText(f.st, f.form, sim.text, [](const std::string&) {});
    if (which == 1 || which == 4) {
        LoadWarrantyText(f.st, f.form, WarrantyTimesText(sim.exitTimes), [](const std::string&) {});
        f.form.PravdLaw = 1;
    }
    ReadRunEdits(f.st, f.form);
    hist_Format(f.st);
    ready[which] = true;
    return f;
}

// Arguments: the fleet (as above), K = 1 (1) or free (0), bootstrap replicates.
void BM_ModelRun(benchmark::State& state) {
    LoadedFleet& f = Loaded(static_cast<int>(state.range(0)));
    f.form.PravdOnce = state.range(1) != 0;
    f.form.PravdBootstrap = static_cast<int>(state.range(2));
    f.form.PravdThreads = 2;
    SteadyFitClock clock;
    for (auto _ : state) {
        state.PauseTiming(); // a copy of the loaded series is no part of the run
        AnalysisState st = f.st;
        state.ResumeTiming();
        const bool ok = Podbor_Weib_Pravd(st, f.form, clock, {}, [](const std::string&) {});
        if (!ok) state.SkipWithError("model 3 refused");
        benchmark::DoNotOptimize(st.Pravd.A);
    }
    static const char* law[] = {"normal law", "law from 11,170 warranty-end times", "fleet 1e7, normal law",
                                "a million failures, normal law", "a million failures, law from a file"};
    state.SetLabel(std::string(law[state.range(0)]) + (state.range(1) ? ", K = 1" : ", K free") +
                   ", bootstrap " + std::to_string(state.range(2)));
    state.counters["failures"] = static_cast<double>(f.st.MasProbl.size());
}
BENCHMARK(BM_ModelRun)
    ->Args({0, 1, 200})
    ->Args({0, 0, 200})
    ->Args({1, 0, 0})
    ->Args({1, 0, 200})
    ->Args({1, 1, 200})
    ->Args({2, 1, 200})
    ->Args({2, 0, 200})
    ->Args({3, 1, 0})
    ->Args({3, 0, 0})
    ->Args({4, 1, 0})
    ->Args({4, 0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
