// Time of a default genetic-algorithm run (3000 individuals, 1500 generations,
// two genes) on the bundled sample with one and with two threads, beside a
// naive loop over as many evaluations, and the cost of one objective
// evaluation.
#include "core/data/data_file.h"
#include "core/genetic/genetic_form_host.h"
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_objective.h"
#include "core/genetic/genetic_random.h"
#include "core/genetic/genetic_run.h"
#include "core/stats/criteria.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#ifndef TOVIMO_SAMPLE
#define TOVIMO_SAMPLE "data/sample.txt"
#endif

namespace {

using namespace tovimo;

struct Loaded {
    AnalysisState st;
    MainForm form;
};

Loaded loadSample() {
    Loaded l;
    l.form.FilePath = TOVIMO_SAMPLE;
    const auto ignore = [](const std::string&) {};
    if (!LoadDataFile(l.st, l.form, l.form.FilePath, ignore))
        throw std::runtime_error("cannot load " + l.form.FilePath);
    // The form defaults of a run: 3000 individuals, 1500 generations.
    l.form.Edit3 = "3000";
    l.form.NPokoleny = "1500";
    return l;
}

using Point = std::array<double, N_Param_Opt + 1>;

Loaded preparedSample() {
    Loaded l = loadSample();
    const auto ignore = [](const std::string&) {};
    if (!PrepareGeneticRun(l.st, l.form, ignore)) throw std::runtime_error("run refused");
    return l;
}

// Candidates spread over the initial ranges of the two genes.
std::vector<Point> candidates() {
    GaRandom rng(1);
    std::vector<Point> points(1024);
    for (auto& p : points) {
        p[1] = Alim[1][1] + rng.Uniform() * Alim[2][1];
        p[2] = Alim[1][2] + rng.Uniform() * Alim[2][2];
    }
    return points;
}

// The naive loop: `count` evaluations of the objective as written from its
// formulas (CelevFunction), spread over `threads` threads.
double NaiveLoopSeconds(const AnalysisState& st, long long count, unsigned threads, double K) {
    const auto points = candidates();
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    std::vector<double> sinks(threads);
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            Mod_Weib work;
            work.K_powtor = K;
            double sink = 0;
            for (long long i = t; i < count; i += threads)
                sink += CelevFunction(st, points[static_cast<size_t>(i) & 1023], work);
            sinks[t] = sink;
        });
    for (auto& th : pool)
        th.join();
    benchmark::DoNotOptimize(sinks);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The default run with seed 7 on 1 or 2 threads, then the naive loop over
// as many evaluations on as many threads: x_naive is how many times faster
// the run is.
// Runs the default run with seed 7 on `threads` threads on l; its seconds.
double DefaultRunSeconds(Loaded& l, unsigned threads) {
    FormGaHost host(l.form);
    GaFlags flags;
    GaRunOptions options;
    options.seed = 7;
    options.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    RunGenerationLoop(l.st, host, flags, options);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DefaultRun(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    long long evaluations = 0;
    double runSeconds = 0, naiveSeconds = 0;
    for (auto _ : state) {
        Loaded l = preparedSample();
        runSeconds = DefaultRunSeconds(l, threads);
        evaluations = l.st.MGenet.evaluations;
        naiveSeconds = NaiveLoopSeconds(l.st, evaluations, threads, l.st.MGenet.K_powtor);
        state.SetIterationTime(runSeconds);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations);
    state.counters["s_run"] = runSeconds;
    state.counters["s_naive"] = naiveSeconds;
    state.counters["x_naive"] = naiveSeconds / runSeconds;
}
BENCHMARK(BM_DefaultRun)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

// The default run while another thread keeps one processor busy, as another
// program would: the run's threads must not wait long for one that is not
// running. `x_quiet` is how many times slower it is than the same run alone.
void BM_DefaultRunBesideALoad(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    const auto timeRun = [&] {
        Loaded l = preparedSample();
        return DefaultRunSeconds(l, threads);
    };
    double loaded = 0, quiet = 0;
    for (auto _ : state) {
        quiet = timeRun();
        std::atomic<bool> stop{false};
        std::thread load([&] {
            volatile unsigned long spin = 0;
            while (!stop.load(std::memory_order_relaxed))
                spin = spin + 1;
        });
        loaded = timeRun();
        stop.store(true);
        load.join();
        state.SetIterationTime(loaded);
    }
    state.counters["s_quiet"] = quiet;
    state.counters["s_loaded"] = loaded;
    state.counters["x_quiet"] = loaded / quiet;
}
BENCHMARK(BM_DefaultRunBesideALoad)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

// One evaluation as the run makes it.
void BM_Objective(benchmark::State& state) {
    Loaded l = preparedSample();
    const double n = static_cast<double>(l.st.MasProbl.size());
    const GeneticObjective objective(l.st, (n - 1) / l.st.Izd_Prived * 8000 / l.st.MasProbl.back().time);
    const auto points = candidates();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(objective(points[i++ & 1023]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Objective)->Threads(1)->Threads(2);

// Four evaluations at a time, as the run makes them: time per evaluation.
void BM_ObjectiveInFours(benchmark::State& state) {
    Loaded l = preparedSample();
    const double n = static_cast<double>(l.st.MasProbl.size());
    const GeneticObjective objective(l.st, (n - 1) / l.st.Izd_Prived * 8000 / l.st.MasProbl.back().time);
    std::vector<ParamVector> points;
    for (const auto& p : candidates()) {
        ParamVector a = l.st.Ao;
        a[1] = p[1];
        a[2] = p[2];
        points.push_back(a);
    }
    size_t i = 0;
    double out[4];
    for (auto _ : state) {
        const ParamVector* lanes[4] = {&points[i & 1023], &points[(i + 1) & 1023], &points[(i + 2) & 1023],
                                       &points[(i + 3) & 1023]};
        i += 4;
        objective.Evaluate4(lanes, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(4 * state.iterations());
}
BENCHMARK(BM_ObjectiveInFours);

// The unprepared objective, for comparison.
void BM_CelevFunction(benchmark::State& state) {
    Loaded l = preparedSample();
    Mod_Weib work;
    work.K_powtor = 1.4;
    const auto points = candidates();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(CelevFunction(l.st, points[i++ & 1023], work));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CelevFunction);

} // namespace

BENCHMARK_MAIN();
