// Cost of one criterion evaluation against the floor that its exponentials
// set: a loop that does nothing but the same number of vectorised
// exponentials (two per column or failure, one for a step of the Smirnov
// scale). The evaluation and its floor are timed in turns within one
// benchmark, on the thread's processor time, so that the load of a shared
// machine falls on both alike; the counter x_floor is their ratio.
#include "core/genetic/genetic_objective.h"
#include "core/genetic/genetic_random.h"
#include "core/genetic/genetic_run.h"
#include "core/stats/distributions.h"
#include "core/stats/fast_criteria.h"
#include "core/stats/vector_math.h"
#include "tools/fit_datasets.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <functional>
#include <vector>

using namespace tovimo;

namespace {

tools::Dataset& Data(int which) {
    return tools::BenchDataset(which, TOVIMO_SAMPLE);
}

// The floor: `exps` passes of the vector exponential over n values.
class Floor {
  public:
    Floor(size_t n, int exps) : exps_(exps), x_(n), y_(n) {
        for (size_t i = 0; i < n; ++i)
            x_[i] = -4 + 5.0 * static_cast<double>(i) / static_cast<double>(n + 1);
    }
    double operator()() {
        ExpArray(x_.data(), y_.data(), x_.size());
        for (int k = 1; k < exps_; ++k)
            ExpArray(y_.data(), y_.data(), y_.size());
        x_[0] += 1e-12;
        return y_[0];
    }

  private:
    int exps_;
    std::vector<double> x_, y_;
};

// Times `evaluate` and `floor` in turns of `batch` calls and reports both per call and their ratio.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

void Alternate(benchmark::State& state, size_t n, const std::function<double()>& evaluate, Floor floor) {
    constexpr int batch = 100;
    double evalNs = 0, floorNs = 0, sink = 0;
    long long calls = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        for (int i = 0; i < batch; ++i)
            sink += evaluate();
        const double t1 = ThreadSeconds();
        for (int i = 0; i < batch; ++i)
            sink += floor();
        const double t2 = ThreadSeconds();
        evalNs += 1e9 * (t1 - t0);
        floorNs += 1e9 * (t2 - t1);
        calls += batch;
    }
    benchmark::DoNotOptimize(sink);
    state.counters["ns_eval"] = evalNs / static_cast<double>(calls);
    state.counters["ns_floor"] = floorNs / static_cast<double>(calls);
    state.counters["x_floor"] = evalNs / floorNs;
    state.counters["n"] = static_cast<double>(n);
}

size_t ColumnsUpToTzenz(const AnalysisState& st) {
    size_t n = 0;
    while (n < st.Hist_Stol.size() && st.Hist_Stol[n].time <= st.Tzenz)
        ++n;
    return n;
}

// A Pearson evaluation as a swing makes it: the shape moves a little each time.
void BM_PearsonVsFloor(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    PirsonEvaluator pirson(d.st, 1);
    double A = 1.3;
    const size_t n = ColumnsUpToTzenz(d.st);
    Alternate(
        state, n, [&] { return pirson(A += 1e-7, 9000, 1.4, d.st.Sred, d.st.SKO); }, Floor(n, 2));
    state.SetLabel(d.name);
}
BENCHMARK(BM_PearsonVsFloor)->Arg(0)->Arg(1);

// The objective as a default run prepares it.
GeneticObjective RunObjective(const AnalysisState& st) {
    const double failures = static_cast<double>(st.MasProbl.size());
    return GeneticObjective(st, (failures - 1) / st.Izd_Prived * 8000 / st.MasProbl.back().time);
}

// Candidates spread across the initial ranges of the two genes.
std::vector<ParamVector> GeneticCandidates(const AnalysisState& st) {
    GaRandom rng(1);
    std::vector<ParamVector> points(1024, st.Ao);
    for (auto& p : points) {
        p[1] = Alim[1][1] + rng.Uniform() * Alim[2][1];
        p[2] = Alim[1][2] + rng.Uniform() * Alim[2][2];
    }
    return points;
}

// A genetic objective evaluation over candidates spread across the initial
// ranges; with the second argument 1, four at once as the run makes them,
// against the exponentials of four evaluations (ns_eval and ns_floor are then
// per four).
void BM_GeneticObjectiveVsFloor(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    const bool inFours = state.range(1) == 1;
    const GeneticObjective objective = RunObjective(d.st);
    const auto points = GeneticCandidates(d.st);
    size_t i = 0;
    const auto four = [&] {
        const ParamVector* lanes[4] = {&points[i & 1023], &points[(i + 1) & 1023], &points[(i + 2) & 1023],
                                       &points[(i + 3) & 1023]};
        i += 4;
        double out[4];
        objective.Evaluate4(lanes, out);
        return out[0] + out[3];
    };
    const size_t n = ColumnsUpToTzenz(d.st);
    Alternate(
        state, n, [&] { return inFours ? four() : objective(points[i++ & 1023]); },
        Floor(inFours ? 4 * n : n, 2));
    state.SetLabel(d.name + (inFours ? ", four at once" : ""));
}
BENCHMARK(BM_GeneticObjectiveVsFloor)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1});

// Steps of the Smirnov search: the shape moves (two exponentials per
// failure) or, with the second argument 1, the scale moves (one).
void BM_SmirnovStepVsFloor(benchmark::State& state) {
    auto& d = Data(static_cast<int>(state.range(0)));
    const bool scaleStep = state.range(1) == 1;
    const auto phi = tools::FailureShares(d.st);
    SmirnowEvaluator smirnow(d.st, phi);
    double A = 1.3, B = 9000;
    const size_t n = d.st.MasProbl.size();
    Alternate(
        state, n, [&] { return scaleStep ? smirnow(1.3, B += 1e-4, 1.4) : smirnow(A += 1e-7, 9000, 1.4); },
        Floor(n, scaleStep ? 1 : 2));
    state.SetLabel(d.name + (scaleStep ? ", scale step" : ", shape step"));
}
BENCHMARK(BM_SmirnovStepVsFloor)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1});

} // namespace

BENCHMARK_MAIN();
