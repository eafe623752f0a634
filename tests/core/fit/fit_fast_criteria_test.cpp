#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/fast_criteria.h"
#include "tests/core/fit/fit_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace tovimo {
namespace {

// Agreement to the last few bits of every Weibull probability; the criteria
// sum many of them, so a relative 1e-10 is tight.
constexpr double kRel = 1e-10;

void ExpectClose(double fast, double plain, const std::string& what) {
    if (!std::isfinite(plain)) { // a column expecting nothing under form 0
        EXPECT_TRUE(fast == plain || (std::isnan(fast) && std::isnan(plain))) << what;
        return;
    }
    EXPECT_NEAR(fast, plain, kRel * std::max(1.0, std::fabs(plain))) << what;
}

TEST(PirsonEvaluator, AgreesWithThePlainCriterion) {
    auto c = test::FleetCase(300);
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> a(0.35, 10), logB(std::log(10.0), std::log(99000.0)), k(0.2, 30),
        mu(100, 6000), sig(30, 2000);
    const double lastEdge = c.st.Hist_Stol.back().time;
    for (double tzenz : {lastEdge, lastEdge * 0.6, c.st.Hist_Stol.front().time / 2}) {
        c.st.Tzenz = tzenz;
        for (int form = 0; form <= 2; ++form) {
            PirsonEvaluator fast(c.st, form);
            Mod_Weib m;
            SizeModelArrays(m, c.st.Hist_Stol.size());
            for (int i = 0; i < 200; ++i) {
                const double A = a(rng), B = std::exp(logB(rng)), K = k(rng);
                // the warranty law moves on every fourth point only, as when it is not fitted
                const double Mu = i % 4 ? c.st.Sred : mu(rng), Sig = i % 4 ? c.st.SKO : sig(rng);
                ExpectClose(fast(A, B, K, Mu, Sig), Pirson(c.st, form, A, B, K, Mu, Sig, m),
                            "form " + std::to_string(form) + " A " + std::to_string(A) + " B " +
                                std::to_string(B));
            }
            EXPECT_EQ(fast.evaluations(), 200);
        }
    }
}

TEST(PirsonEvaluator, InvalidPairAndTzenzBeforeTheFirstColumn) {
    auto c = test::FleetCase(60);
    Mod_Weib m;
    SizeModelArrays(m, c.st.Hist_Stol.size());
    PirsonEvaluator fast(c.st, 1);
    for (double A : {0.0, -1.0})
        EXPECT_EQ(fast(A, 2000, 1, c.st.Sred, c.st.SKO), Pirson(c.st, 1, A, 2000, 1, c.st.Sred, c.st.SKO, m));
    c.st.Tzenz = c.st.Hist_Stol.front().time / 2;
    PirsonEvaluator none(c.st, 1);
    EXPECT_EQ(none(1.2, 3000, 1, c.st.Sred, c.st.SKO), 0);
}

TEST(SmirnowEvaluator, AgreesWithThePlainCriterion) {
    // A fleet whose failures take the two-pass sums, one whose failures take
    // the single pass (4 * 256 failures and more), and one large enough that
    // runs of failures at one time (times to 0.1 h) are one element each.
    for (int failures : {400, 1500, 60000}) {
        auto c = test::FleetCase(failures);
        if (failures > 10000) {
            ASSERT_GE(c.st.MasProbl.size(), SmirnowEvaluator::kRunsFrom);
            size_t repeats = 0;
            for (size_t i = 1; i < c.st.MasProbl.size(); ++i)
                repeats += c.st.MasProbl[i].time == c.st.MasProbl[i - 1].time;
            ASSERT_GT(repeats, c.st.MasProbl.size() / 10); // the runs are there to merge
        }
        std::vector<double> phi;
        for (const Problems& p : c.st.MasProbl)
            phi.push_back(CDF_Gauss(c.st.Sred, c.st.SKO, p.time));
        std::mt19937_64 rng(9);
        std::uniform_real_distribution<double> a(0.3, 3), logB(0, std::log(90000.0)), k(1.01, 30);
        for (double tzenz : {c.st.MasProbl.back().time, c.st.MasProbl[c.st.MasProbl.size() / 2].time}) {
            c.st.Tzenz = tzenz;
            SmirnowEvaluator fast(c.st, phi);
            for (int i = 0; i < (failures > 10000 ? 20 : 300); ++i) {
                const double A = a(rng), B = std::exp(logB(rng)), K = k(rng);
                ExpectClose(fast(A, B, K), Smirnow(c.st, A, B, K, phi), "A " + std::to_string(A));
                // the same pair with another coefficient reuses the Weibull shares
                const double K2 = k(rng);
                ExpectClose(fast(A, B, K2), Smirnow(c.st, A, B, K2, phi), "K " + std::to_string(K2));
            }
        }
    }
}

// A large series' criterion along the walks of the step search comes from a
// series about an anchor on the walk's line: every point of a long walk of the
// scale, then of the shape, then of the repeat coefficient, then of the scale
// again, agrees with the plain criterion, also where the walk has gone far
// enough from its anchor that the series must be summed anew.
TEST(SmirnowEvaluator, LongWalksOfALargeSeriesAgreeWithThePlainCriterion) {
    auto c = test::FleetCase(60000);
    ASSERT_GE(c.st.MasProbl.size(), SmirnowEvaluator::kRunsFrom);
    std::vector<double> phi;
    for (const Problems& p : c.st.MasProbl)
        phi.push_back(CDF_Gauss(c.st.Sred, c.st.SKO, p.time));
    struct Walk {
        int parameter; // 0 scale, 1 shape, 2 repeat coefficient
        double step;
        int steps;
    };
    const Walk walks[] = {
        {0, 0.25, 4000}, {1, 0.0002, 1500}, {2, 0.0001, 600}, {0, -0.5, 3000}, {1, -0.0004, 400}};
    SmirnowEvaluator fast(c.st, phi);
    double p[3] = {2000, 1, 1.1}; // B, A, K as the search starts
    long long checked = 0;
    for (const Walk& w : walks)
        for (int i = 0; i < w.steps; ++i) {
            p[w.parameter] += w.step;
            const double value = fast(p[1], p[0], p[2]);
            if (i % 97 == 0 || i == w.steps - 1) {
                const double plain = Smirnow(c.st, p[1], p[0], p[2], phi);
                EXPECT_NEAR(value, plain, 1e-11 * plain)
                    << "walk of parameter " << w.parameter << ", step " << i << ": B " << p[0] << ", A "
                    << p[1] << ", K " << p[2];
                ++checked;
            }
        }
    EXPECT_GT(checked, 100);
    // the series served: a few anchors for thousands of steps
    EXPECT_GT(fast.anchors(), 1);
    EXPECT_LT(fast.anchors(), 200);
}

TEST(SmirnowEvaluator, ZeroWhenTzenzLiesBeforeTheFirstFailure) {
    auto c = test::FleetCase(40);
    std::vector<double> phi(c.st.MasProbl.size(), 0.1);
    c.st.Tzenz = c.st.MasProbl.front().time / 2;
    SmirnowEvaluator fast(c.st, phi);
    EXPECT_EQ(fast(1.3, 5000, 2), 0);
    EXPECT_EQ(Smirnow(c.st, 1.3, 5000, 2, phi), 0);
}

} // namespace
} // namespace tovimo
