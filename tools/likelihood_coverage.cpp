// Coverage of the maximum-likelihood bounds and the level of its tests:
// simulates fleets whose truth is known, fits model 3 as the program does
// (normal warranty law, observation to the end of the law) and prints, per
// setting, the share of the intervals that hold the true figure (an open side
// holds whatever lies beyond it) with its 95 % Wilson interval, and the share
// of fleets in which the test of K = 1 and the goodness of fit reject at 5 %.
//
//   likelihood_coverage [--fleets 200] [--setting NAME|all] [--bootstrap 0] [--first-seed 1000]
//   likelihood_coverage --setting forecast-free|forecast-once [--fleets 200]
//
// Settings: young (12 failures in a fleet of about 70,000, A = 3), repeat
// (K free, true K = 2.5, 150 failures), once-free (K free, true K = 1, 300
// failures), remote (about 20 failures from A = 1, B = 3e8 h), short (K free,
// true K = 1.4, A = 2, B = 800 h: every product has failed long before it
// leaves warranty), gof12 / gof50 / gof300
// (K = 1, A = 1.5, the goodness of fit's level with that many failures).
// forecast-free / forecast-once: pairs of fleets from one truth (K free, K =
// 1.4, A = 1.3, about 150 failures; K = 1, A = 1.5, about 50 failures): model
// 3 fitted on the first forecasts the failures under warranty of the second,
// of the same size and law; the share of second fleets whose count falls in
// the 95 % prediction interval, and of forecasts whose confidence interval
// holds the true expected count.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/fit/warranty_forecast.h"
#include "core/state/run_inputs.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace tovimo;

namespace {

struct Setting {
    const char* name;
    LikelihoodKMode mode;
    double shape, scale, repeat, failures;
    bool tests; // the goodness of fit (and with K free the test of K = 1) run
};

const Setting kSettings[] = {
    {"young", LikelihoodKMode::Once, 3, 56800, 1, 12, false},
    {"repeat", LikelihoodKMode::Free, 1.3, 9000, 2.5, 150, true},
    {"once-free", LikelihoodKMode::Free, 1.3, 9000, 1, 300, true},
    {"remote", LikelihoodKMode::Once, 1, 3e8, 1, 20, false},
    {"short", LikelihoodKMode::Free, 2, 800, 1.4, 300, false},
    {"gof12", LikelihoodKMode::Once, 1.5, 9000, 1, 12, true},
    {"gof50", LikelihoodKMode::Once, 1.5, 9000, 1, 50, true},
    {"gof300", LikelihoodKMode::Once, 1.5, 9000, 1, 300, true},
};

struct Outcome {
    bool fitted = false;
    bool covered[kLikFigureCount] = {};
    bool open[kLikFigureCount] = {};
    bool lrReject = false, gofReject = false;
};

Outcome OneFleet(const Setting& set, const FleetParams& base, std::uint64_t seed, LikelihoodSettings s) {
    FleetParams p = base;
    p.seed = seed;
    const SimulatedFleet fleet = SimulateFleet(p);
    AnalysisState st;
    MainForm form;
    LoadDataText(st, form, fleet.text, [](const std::string&) {});
    ReadRunEdits(st, form);
    LikelihoodData d;
    Outcome o;
    if (!PrepareLikelihoodData(st, s.law, s.kMode, d).empty()) return o;
    s.seed = seed;
    LikelihoodResult r = FitLikelihood(d, s);
    if (!r.fitted) return o;
    o.fitted = true;
    const double K = set.mode == LikelihoodKMode::Once ? 1 : set.repeat;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const LikInterval& in = r.intervals[i];
        if (!in.present) continue;
        const double truth = LikelihoodFigure(static_cast<LikFigure>(i), set.shape, set.scale, K);
        o.covered[i] = (in.lowerOpen || in.lower <= truth) && (in.upperOpen || truth <= in.upper);
        o.open[i] = in.lowerOpen || in.upperOpen;
    }
    if (set.tests && s.bootstrap > 0) {
        BootstrapGof(d, r);
        BootstrapKTest(d, r);
        o.gofReject = r.gofP <= 0.05;
        o.lrReject = r.lrDone && r.lrP <= 0.05;
    }
    return o;
}

// The share k / n with its 95 % Wilson interval, in per cent.
std::string Wilson(int k, int n) {
    if (n == 0) return "      —      ";
    const double z = 1.959963984540054, p = static_cast<double>(k) / n;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4.0 * n * n)) / (1 + z * z / n);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%5.1f [%4.1f-%5.1f]", 100 * p, 100 * (centre - half),
                  100 * (centre + half));
    return buf;
}

struct ForecastOutcome {
    bool done = false, predicted = false, confident = false;
};

ForecastOutcome OnePair(const FleetParams& base, LikelihoodKMode mode, std::uint64_t seed) {
    FleetParams p = base;
    p.seed = seed;
    AnalysisState st;
    MainForm form;
    LoadDataText(st, form, SimulateFleet(p).text, [](const std::string&) {});
    ReadRunEdits(st, form);
    LikelihoodSettings s;
    s.kMode = mode;
    ForecastSettings f;
    f.step = 1e9; // the total only
    const ForecastResult r = ForecastFromState(st, s, 0, f);
    ForecastOutcome o;
    if (!r.done) return o;
    o.done = true;
    FleetParams next = base;
    next.seed = seed + 1000000;
    const double count = static_cast<double>(SimulateFleet(next).times.size());
    const LikInterval& pi = r.total.prediction;
    o.predicted = (pi.lowerOpen || pi.lower <= count) && (pi.upperOpen || count <= pi.upper);
    const double truth = ExpectedFailuresPerProduct(base) * base.fleet;
    const LikInterval& ci = r.total.confidence;
    o.confident = (ci.lowerOpen || ci.lower <= truth) && (ci.upperOpen || truth <= ci.upper);
    return o;
}

int ForecastStudy(const std::string& which, int pairs, std::uint64_t firstSeed) {
    const bool once = which == "forecast-once";
    FleetParams p;
    p.once = once;
    p.shape = once ? 1.5 : 1.3;
    p.scale = 9000;
    p.repeat = once ? 1 : 1.4;
    p.unknownShare = 0;
    p.fleet = std::round(FleetSizeFor(p, once ? 50 : 150));
    const LikelihoodKMode mode = once ? LikelihoodKMode::Once : LikelihoodKMode::Free;
    std::vector<ForecastOutcome> out(static_cast<size_t>(pairs));
    ForEachReplicate(pairs, 0, [&](int i) {
        out[static_cast<size_t>(i)] = OnePair(p, mode, firstSeed + static_cast<std::uint64_t>(i));
    });
    int done = 0, predicted = 0, confident = 0;
    for (const ForecastOutcome& o : out) {
        done += o.done;
        predicted += o.predicted;
        confident += o.confident;
    }
    std::printf("%s: A %.3g, B %.3g h, %s, fleet %.0f, expected %.1f failures; forecast %d of %d pairs\n",
                which.c_str(), p.shape, p.scale, once ? "K = 1" : "K free, true K 1.4", p.fleet,
                ExpectedFailuresPerProduct(p) * p.fleet, done, pairs);
    std::printf("  new fleet's count inside the 95 %% prediction interval: %s %%\n",
                Wilson(predicted, done).c_str());
    std::printf("  true expected count inside the 95 %% confidence interval: %s %%\n",
                Wilson(confident, done).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int fleets = 200;
    std::uint64_t firstSeed = 1000;
    std::string which = "all";
    int bootstrap = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--fleets") fleets = std::atoi(value.c_str());
        if (key == "--first-seed") firstSeed = std::strtoull(value.c_str(), nullptr, 10);
        if (key == "--setting") which = value;
        if (key == "--bootstrap") bootstrap = std::atoi(value.c_str());
    }
    if (which.rfind("forecast", 0) == 0) return ForecastStudy(which, fleets, firstSeed);
    std::printf("%d fleets per setting (seeds from %llu), level 0.95, normal warranty law 3000 +- 700 h, "
                "bootstrap %d\n",
                fleets, static_cast<unsigned long long>(firstSeed), bootstrap);
    for (const Setting& set : kSettings) {
        if (which != "all" && which != set.name) continue;
        LikelihoodSettings s;
        s.kMode = set.mode;
        s.law = WarrantyLawKind::Normal;
        s.bootstrap = set.tests ? bootstrap : 0;
        s.threads = 1;
        FleetParams p;
        p.once = set.mode == LikelihoodKMode::Once;
        p.shape = set.shape;
        p.scale = set.scale;
        p.repeat = set.repeat;
        p.unknownShare = 0;
        p.fleet = std::round(FleetSizeFor(p, set.failures));
        std::vector<Outcome> out(static_cast<size_t>(fleets));
        std::atomic<int> next{0};
        auto work = [&] {
            for (int i = next++; i < fleets; i = next++)
                out[static_cast<size_t>(i)] = OneFleet(set, p, firstSeed + static_cast<std::uint64_t>(i), s);
        };
        std::vector<std::thread> pool;
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(work);
        work();
        for (auto& t : pool)
            t.join();
        int fitted = 0, covered[kLikFigureCount] = {}, open[kLikFigureCount] = {}, lr = 0, gof = 0;
        for (const Outcome& o : out) {
            if (!o.fitted) continue;
            ++fitted;
            for (int i = 0; i < kLikFigureCount; ++i) {
                covered[i] += o.covered[i];
                open[i] += o.open[i];
            }
            lr += o.lrReject;
            gof += o.gofReject;
        }
        std::printf("\n%s: A %.3g, B %.3g h, %s, fleet %.0f, about %.0f failures; fitted %d of %d\n",
                    set.name, set.shape, set.scale,
                    set.mode == LikelihoodKMode::Once
                        ? "K = 1"
                        : (std::string("K free, true K ") + std::to_string(set.repeat)).c_str(),
                    p.fleet, set.failures, fitted, fleets);
        for (int i = 0; i < kLikFigureCount; ++i) {
            if (set.mode == LikelihoodKMode::Once && static_cast<LikFigure>(i) == LikFigure::K) continue;
            std::printf("  %-8s covered %s %%, open sides in %d\n", kLikFigureKeys[i],
                        Wilson(covered[i], fitted).c_str(), open[i]);
        }
        if (set.tests && bootstrap > 0) {
            std::printf("  goodness of fit rejects at 5 %%: %s %%\n", Wilson(gof, fitted).c_str());
            if (set.mode == LikelihoodKMode::Free)
                std::printf("  test of K = 1 rejects at 5 %%: %s %%\n", Wilson(lr, fitted).c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}
