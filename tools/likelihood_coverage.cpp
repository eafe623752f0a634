// Coverage of the maximum-likelihood bounds: simulates fleets whose truth is
// known (each product fails at most once, or repeatedly), fits model 3 with
// the warranty law of the simulated products' own exit times, and prints the
// share of the bounds that contain the true A, B, T10 and F2000.
//
//   likelihood_coverage [--fleets 200] [--mode once|free] [--level 0.95] [--failures 50,300,3000]
//                       [--first-seed 1000]
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/fit/likelihood_fit.h"
#include "core/state/run_inputs.h"
#include "core/stats/distributions.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace tovimo;

namespace {

constexpr LikFigure kFigures[] = {LikFigure::A, LikFigure::B, LikFigure::T10, LikFigure::F2000};

struct Outcome {
    bool fitted = false;
    bool covered[4] = {};
    bool open[4] = {};
};

Outcome OneFleet(const FleetParams& base, std::uint64_t seed, const LikelihoodSettings& s) {
    FleetParams p = base;
    p.seed = seed;
    const SimulatedFleet fleet = SimulateFleet(p);
    AnalysisState st;
    MainForm form;
    LoadDataText(st, form, fleet.text, [](const std::string&) {});
    ReadRunEdits(st, form);
    st.MasTGarant = fleet.exitTimes; // what simulate --units writes
    LikelihoodData d;
    Outcome o;
    if (!PrepareLikelihoodData(st, s.law, s.kMode, d).empty()) return o;
    const LikelihoodResult r = FitLikelihood(d, s);
    const double K = s.kMode == LikelihoodKMode::Once ? 1 : p.repeat;
    o.fitted = true;
    for (int i = 0; i < 4; ++i) {
        const double truth = LikelihoodFigure(kFigures[i], p.shape, p.scale, K);
        const LikInterval& in = r.intervals[static_cast<int>(kFigures[i])];
        o.covered[i] = in.lower <= truth && truth <= in.upper;
        o.open[i] = in.lowerOpen || in.upperOpen;
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    int fleets = 200;
    std::uint64_t firstSeed = 1000;
    LikelihoodSettings s;
    s.law = WarrantyLawKind::Empirical;
    s.bootstrap = 0;
    std::vector<double> sizes = {50, 300, 3000};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--fleets") fleets = std::atoi(value.c_str());
        if (key == "--mode") s.kMode = value == "free" ? LikelihoodKMode::Free : LikelihoodKMode::Once;
        if (key == "--first-seed") firstSeed = std::strtoull(value.c_str(), nullptr, 10);
        if (key == "--level") s.level = std::atof(value.c_str());
        if (key == "--failures") {
            sizes.clear();
            std::stringstream ss(value);
            std::string item;
            while (std::getline(ss, item, ','))
                sizes.push_back(std::atof(item.c_str()));
        }
    }
    std::printf("mode %s, level %.2f, %d fleets per case (seeds from %llu), shape 1.3, scale 9000 h%s, exit "
                "3000 +- 700 h\n",
                s.kMode == LikelihoodKMode::Once ? "K = 1" : "K free", s.level, fleets,
                static_cast<unsigned long long>(firstSeed),
                s.kMode == LikelihoodKMode::Once ? "" : ", K 1.4");
    std::printf("%9s %7s %7s %7s %7s %7s   (open sides: A B T10 F2000)\n", "failures", "fitted", "A", "B",
                "T10", "F2000");
    for (double n : sizes) {
        FleetParams p;
        p.once = s.kMode == LikelihoodKMode::Once;
        p.unknownShare = 0;
        p.fleet = FleetSizeFor(p, n);
        std::vector<Outcome> out(static_cast<size_t>(fleets));
        std::atomic<int> next{0};
        auto work = [&] {
            for (int i = next++; i < fleets; i = next++)
                out[static_cast<size_t>(i)] = OneFleet(p, firstSeed + static_cast<std::uint64_t>(i), s);
        };
        std::vector<std::thread> pool;
        const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(work);
        work();
        for (auto& t : pool)
            t.join();
        int fitted = 0, covered[4] = {}, open[4] = {};
        for (const Outcome& o : out) {
            if (!o.fitted) continue;
            ++fitted;
            for (int i = 0; i < 4; ++i) {
                covered[i] += o.covered[i];
                open[i] += o.open[i];
            }
        }
        auto pct = [&](int c) { return fitted ? 100.0 * c / fitted : 0.0; };
        std::printf("%9.0f %7d %6.1f%% %6.1f%% %6.1f%% %6.1f%%   (%d %d %d %d)\n", n, fitted, pct(covered[0]),
                    pct(covered[1]), pct(covered[2]), pct(covered[3]), open[0], open[1], open[2], open[3]);
        std::fflush(stdout);
    }
    return 0;
}
