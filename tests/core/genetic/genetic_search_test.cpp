// On simulated fleets a short run comes within 1 % of the lowest objective an
// exhaustive search finds over the values the two genes can hold.
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_objective.h"
#include "tests/core/genetic/genetic_test_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tovimo {
namespace {

// Grid search over [0, top of gene 1] x [0, top of gene 2], refined around the
// best point of each pass.
double ExhaustiveMinimum(const GeneticObjective& objective, double topB, double topA) {
    double loB = 0, hiB = topB, loA = 0, hiA = topA;
    double best = INFINITY, bestB = 0, bestA = 0;
    for (int pass = 0; pass < 7; ++pass) {
        const int steps = pass == 0 ? 500 : 80;
        for (int i = 0; i <= steps; ++i) {
            for (int j = 0; j <= steps; ++j) {
                std::array<double, N_Param_Opt + 1> p{};
                p[1] = loB + (hiB - loB) * i / steps;
                p[2] = loA + (hiA - loA) * j / steps;
                const double v = objective(p);
                if (v < best) {
                    best = v;
                    bestB = p[1];
                    bestA = p[2];
                }
            }
        }
        const double wB = (hiB - loB) * 3 / steps, wA = (hiA - loA) * 3 / steps;
        loB = std::max(0.0, bestB - wB);
        hiB = std::min(topB, bestB + wB);
        loA = std::max(0.0, bestA - wA);
        hiA = std::min(topA, bestA + wA);
    }
    return best;
}

TEST(GeneticSearch, ShortRunsComeWithinOnePercentOfTheExhaustiveMinimum) {
    FleetParams sharp;
    sharp.shape = 2.1;
    sharp.scale = 6000;
    sharp.seed = 5;
    FleetParams early;
    early.shape = 0.8;
    early.scale = 20000;
    early.repeat = 2.5;
    early.seed = 9;
    for (const FleetParams& p : {FleetParams{}, sharp, early}) {
        test::GaFleet f = test::PreparedFleet(p, [](MainForm& form) {
            form.Edit3 = "400";
            form.NPokoleny = "300";
        });
        test::RecordingHost host(f.form);
        GaFlags flags;
        GaRunOptions options;
        options.seed = 2024;
        ASSERT_EQ(RunGenerationLoop(f.st, host, flags, options), GaRunEnd::Published);
        const GeneticObjective objective(f.st, f.st.MGenet.K_powtor);
        const double found = objective(f.st.Aopt);
        const double full = (std::ldexp(1.0, 23) - 1);
        const double exhaustive = ExhaustiveMinimum(objective, f.st.NormA[1] * full, f.st.NormA[2] * full);
        EXPECT_LE(found, exhaustive * 1.01)
            << "shape " << p.shape << ": A " << f.st.MGenet.A << " B " << f.st.MGenet.B;
    }
}

} // namespace
} // namespace tovimo
