// The maximum-likelihood model on a simulated fleet of about 3,000 failures:
// the fit with every bound (K = 1 and K free), the fit alone, and 200
// bootstrap replicates of the goodness of fit on two threads.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
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

} // namespace

BENCHMARK_MAIN();
