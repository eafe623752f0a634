#include "core/genetic/genetic_objective.h"
#include "core/genetic/genetic_random.h"
#include "core/stats/criteria.h"
#include "core/stats/vector_math.h"
#include "tests/core/genetic/genetic_test_fixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace tovimo {
namespace {

using Point = std::array<double, N_Param_Opt + 1>;

// The prepared objective takes the Weibull law from logarithms and vector
// exponentials: it must give CelevFunction's value on the scalar path and on
// the AVX2 path alike. Both forms of a small F(t) = 1 - exp(-x) carry an
// absolute error of a unit of the last place of 1, which is relatively large
// for the small columns; the sums agree to about 1e-12.
void ExpectSameAsCelevFunction(const AnalysisState& st, double K, const std::vector<Point>& points) {
    const VectorPath before = ActiveVectorPath();
    for (const VectorPath path : {VectorPath::Scalar, VectorPath::Avx2Fma}) {
        if (SelectVectorPath(path) != path) continue; // no AVX2 here
        const GeneticObjective objective(st, K);
        Mod_Weib work;
        work.K_powtor = K;
        for (const Point& p : points) {
            const double expected = CelevFunction(st, p, work);
            const double got = objective(p);
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(got)) << p[1] << " " << p[2];
            } else {
                EXPECT_NEAR(got, expected, 1e-11 * std::fabs(expected))
                    << p[1] << " " << p[2] << " " << p[3] << " " << p[4];
            }
        }
        // Four at a time, each lane bit for bit the value alone, whatever
        // stands in the other lanes (the groups are cut at every offset).
        for (size_t offset = 0; offset < 4; ++offset)
            for (size_t first = offset; first + 4 <= points.size(); first += 4) {
                const ParamVector* lanes[4] = {&points[first], &points[first + 1], &points[first + 2],
                                               &points[first + 3]};
                double got[4];
                objective.Evaluate4(lanes, got);
                for (size_t b = 0; b < 4; ++b) {
                    const double alone = objective(points[first + b]);
                    EXPECT_EQ(std::bit_cast<std::uint64_t>(got[b]), std::bit_cast<std::uint64_t>(alone))
                        << got[b] << " vs " << alone << " at " << first + b;
                }
            }
    }
    SelectVectorPath(before);
}

std::vector<Point> Candidates(std::uint64_t seed, int count) {
    GaRandom rng(seed);
    std::vector<Point> points;
    for (int i = 0; i < count; ++i) {
        Point p{};
        for (int k = 1; k <= N_Param_Opt; ++k)
            p[static_cast<size_t>(k)] = rng.Uniform() * 2 * (Alim[1][k] + Alim[2][k]);
        points.push_back(p);
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    points.push_back({0, 9000, 1.3, 3000, 700});
    points.push_back({0, 0, 1.3, 3000, 700});   // B = 0
    points.push_back({0, 9000, 0, 3000, 700});  // A = 0
    points.push_back({0, 9000, -1, 3000, 700}); // A < 0
    points.push_back({0, nan, 1.3, 3000, 700});
    points.push_back({0, 9000, 1.3, 0, 0}); // no spread of the warranty end
    return points;
}

TEST(PreparedObjective, EqualsCelevFunctionForEverySearchChoice) {
    const struct { bool sred, sko; } choices[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& c : choices) {
        test::GaFleet f = test::PreparedFleet({}, [&](MainForm& form) {
            form.Sred_flag = c.sred;
            form.SKO_Flag = c.sko;
        });
        ExpectSameAsCelevFunction(f.st, 1.3, Candidates(3, 300));
    }
}

TEST(PreparedObjective, EqualsCelevFunctionAtTheEdges) {
    test::GaFleet f = test::PreparedFleet();
    // A very large repeat factor scales the value; 5080 and below leave it alone.
    for (double K : {1.3, 5080.0, 10160.0})
        ExpectSameAsCelevFunction(f.st, K, Candidates(4, 50));
    // The end of the series inside a column, and below the first column.
    f.st.Tzenz = f.st.Hist_Stol[3].time + 1;
    ExpectSameAsCelevFunction(f.st, 1.3, Candidates(5, 50));
    f.st.Tzenz = f.st.Hist_Stol[0].time / 2;
    ExpectSameAsCelevFunction(f.st, 1.3, Candidates(6, 50));
    const GeneticObjective none(f.st, 1.3);
    EXPECT_EQ(none({0, 9000, 1.3, 0, 0}), static_cast<double>(f.st.Kol_izw) * f.st.Kol_izw);
}

} // namespace
} // namespace tovimo
