// The likelihood model: ln L at points checked by hand, the integrals, the
// refusals, the fit with its bounds and the bootstrap's independence of the
// thread count.
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/fit/likelihood_model.h"
#include "core/fit/likelihood_search.h"
#include "core/stats/distributions.h"
#include "tests/core/load_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace tovimo {
namespace {

// A law that never censors: the warranty ends 10^9 h on average.
LikelihoodData NoCensoring(std::vector<double> times, double fleet, double tzenz) {
    AnalysisState st;
    for (double t : times)
        st.MasProbl.push_back({t, 1, "x", ""});
    st.Izd_Prived = fleet;
    st.Tzenz = tzenz;
    st.Sred = 1e9;
    st.SKO = 1;
    LikelihoodData d;
    EXPECT_EQ(PrepareLikelihoodData(st, WarrantyLawKind::Normal, LikelihoodKMode::Once, d, '.', tzenz), "");
    return d;
}

TEST(LikelihoodModel, ExponentialLawWithoutCensoringMatchesTheHandFormula) {
    const std::vector<double> t = {100, 250, 400, 900};
    const LikelihoodData d = NoCensoring(t, 20, 1000);
    LikelihoodEvaluator ev(d);
    const double sum = 100 + 250 + 400 + 900;
    for (double B : {500.0, 3000.0, 20000.0}) {
        const double n = 4, N = 20, T = 1000;
        const double once = -n * std::log(B) - sum / B + (N - n) * (-T / B);
        EXPECT_NEAR(ev.LogLikOnce(1, B), once, 1e-9) << B;
        for (double K : {0.5, 1.0, 3.0}) {
            const double freeL = n * std::log(N * K / B) - sum / B - N * K * (1 - std::exp(-T / B));
            EXPECT_NEAR(ev.LogLikFree(1, B, K), freeL, 1e-9) << B << " " << K;
        }
        EXPECT_NEAR(ev.ClosedFormK(1, B), n / (N * (1 - std::exp(-T / B))), 1e-9);
    }
    // With the shape held at 1 the scale's estimate is the total time on test over n.
    const double Bhat = (sum + 16 * 1000.0) / 4;
    EXPECT_NEAR(ProfileLogLik(ev, LikelihoodKMode::Once, LikFigure::A, 1), ev.LogLikOnce(1, Bhat), 1e-9);
}

TEST(LikelihoodModel, WeibullDensityTermsAtShapeTwo) {
    const LikelihoodData d = NoCensoring({100, 300}, 10, 500);
    LikelihoodEvaluator ev(d);
    const double A = 2, B = 400;
    double expected = 0;
    for (double t : {100.0, 300.0})
        expected += std::log(A / B * std::pow(t / B, A - 1)) - std::pow(t / B, A);
    expected += 8 * -std::pow(500 / B, A);
    EXPECT_NEAR(ev.LogLikOnce(A, B), expected, 1e-9);
}

TEST(LikelihoodModel, EmpiricalLawIntegralIsTheExactSumOverItsSteps) {
    LikelihoodData d;
    d.law = WarrantyLawKind::Empirical;
    d.exitTimes = {100, 200, 300};
    const double B = 150;
    auto F = [&](double t) { return 1 - std::exp(-t / B); };
    EXPECT_NEAR(FailureIntegral(d, 1, B, 250), (F(100) + F(200) + F(250)) / 3, 1e-15);
    EXPECT_NEAR(FailureIntegral(d, 1, B, 150, 250), ((F(200) - F(150)) + (F(250) - F(150))) / 3, 1e-15);
    EXPECT_DOUBLE_EQ(WarrantyShare(d, 200), 1.0 / 3); // strictly greater than t
    EXPECT_DOUBLE_EQ(WarrantyShare(d, 300), 0);
}

TEST(LikelihoodModel, NormalLawIntegralAgreesWithAFineSimpsonRule) {
    LikelihoodData d;
    d.law = WarrantyLawKind::Normal;
    d.Sred = 3000;
    d.SKO = 700;
    for (double A : {0.6, 1.0, 2.5}) {
        const double B = 4000, T = 5000;
        // Simpson on t^A-smooth pieces: substitute t = s^(1/A) is overkill; use the
        // u = F(t) form independently with a fine fixed grid.
        const double uT = 1 - std::exp(-std::pow(T / B, A));
        const int m = 200000;
        double s = 0;
        for (int i = 0; i <= m; ++i) {
            const double u = uT * i / m;
            const double t = B * std::pow(-std::log1p(-u), 1 / A);
            const double g = 1 - CDF_Gauss(d.Sred, d.SKO, t);
            s += g * (i == 0 || i == m ? 1 : (i % 2 ? 4 : 2));
        }
        s *= uT / m / 3;
        EXPECT_NEAR(FailureIntegral(d, A, B, T) / s, 1, 1e-8) << A;
    }
}

TEST(LikelihoodModel, Refusals) {
    AnalysisState st;
    st.Izd_Prived = 3;
    st.Tzenz = 1000;
    st.Sred = 500;
    st.SKO = 100;
    for (double t : {0.0, 100.0, 200.0, 300.0})
        st.MasProbl.push_back({t, 1, "x", ""});
    LikelihoodData d;
    // three failures in a fleet of three: K = 1 refused, K free fitted
    EXPECT_NE(PrepareLikelihoodData(st, WarrantyLawKind::Normal, LikelihoodKMode::Once, d).find("(3)"),
              std::string::npos);
    EXPECT_EQ(PrepareLikelihoodData(st, WarrantyLawKind::Normal, LikelihoodKMode::Free, d), "");
    EXPECT_EQ(d.zeroTimes, 1);
    EXPECT_EQ(d.times.size(), 3u);
    // the empirical law needs its file, and a failure after every exit contradicts it
    EXPECT_NE(
        PrepareLikelihoodData(st, WarrantyLawKind::Empirical, LikelihoodKMode::Free, d).find("по файлу"),
        std::string::npos);
    // observed until the last exit: a later failure is left out and counted
    st.MasTGarant = {150, 250};
    EXPECT_EQ(PrepareLikelihoodData(st, WarrantyLawKind::Empirical, LikelihoodKMode::Free, d), "");
    EXPECT_EQ(d.Tzenz, 250);
    EXPECT_EQ(d.afterWindow, 1);
    EXPECT_EQ(d.times.size(), 2u);
    // an end of observation past the law puts it inside, where no product is under warranty
    const std::string msg =
        PrepareLikelihoodData(st, WarrantyLawKind::Empirical, LikelihoodKMode::Free, d, ',', 1000);
    EXPECT_NE(msg.find("Отказ при наработке 300 ч"), std::string::npos) << msg;
    st.MasTGarant = {150, 350};
    EXPECT_EQ(PrepareLikelihoodData(st, WarrantyLawKind::Empirical, LikelihoodKMode::Free, d), "");
    EXPECT_EQ(d.afterWindow, 0);
}

TEST(LikelihoodSearch, MaximumAndRoot) {
    const SearchPoint p = Maximise1D([](double x) { return -(x - 0.3) * (x - 0.3); }, -2, 5);
    EXPECT_NEAR(p.x, 0.3, 1e-7);
    const SearchPoint edge = Maximise1D([](double x) { return x; }, 0, 1);
    EXPECT_NEAR(edge.x, 1, 1e-7);
    EXPECT_NEAR(FindRoot([](double x) { return x * x - 2; }, 0, 3), std::sqrt(2.0), 1e-9);
}

TEST(LikelihoodSearch, NewtonNearAStartFindsAConcaveMaximumAndDeclinesTheRest) {
    struct Case {
        const char* what;
        std::function<double(double, double)> f;
        double x0, y0;
        bool found;
        double x, y; // the maximum, where found
    };
    const Case cases[] = {
        {"a tilted concave bowl",
         [](double x, double y) { return -3 * (x - 1) * (x - 1) - (y + 2) * (y + 2) + (x - 1) * (y + 2); },
         0.6, -1.5, true, 1, -2},
        {"a ln L of large magnitude, as a million failures give",
         [](double x, double y) { return -1e7 + -4e5 * (x - 0.2) * (x - 0.2) - 9e5 * (y - 8.7) * (y - 8.7); },
         0.25, 8.6, true, 0.2, 8.7},
        {"a saddle", [](double x, double y) { return x * x - y * y; }, 0.1, 0.1, false, 0, 0},
        {"a tail that rises without end", [](double x, double) { return x; }, 0, 0, false, 0, 0},
        {"not defined around the start",
         [](double x, double y) { return x > 0 ? -x * x - y * y : -std::numeric_limits<double>::infinity(); },
         0, 0.5, false, 0, 0},
    };
    for (const Case& c : cases) {
        double x = c.x0, y = c.y0, value = 0;
        EXPECT_EQ(MaximiseNear(c.f, x, y, value), c.found) << c.what;
        if (c.found) {
            EXPECT_NEAR(x, c.x, 1e-7) << c.what;
            EXPECT_NEAR(y, c.y, 1e-7) << c.what;
            EXPECT_EQ(value, c.f(x, y)) << c.what;
        } else {
            EXPECT_EQ(x, c.x0) << c.what; // left as it was
            EXPECT_EQ(y, c.y0) << c.what;
        }
    }
}

// A simulated fleet: 2000 products, Weibull 1.5 / 6000 h, normal exit 3000 +- 700 h.
LikelihoodData SimulatedOnce(std::uint64_t seed, double fleet = 2000) {
    LikelihoodData d;
    d.law = WarrantyLawKind::Normal;
    d.Sred = 3000;
    d.SKO = 700;
    d.fleet = fleet;
    d.Tzenz = 1e9;
    EXPECT_TRUE(ReplaceTimes(d, SimulateFailureTimes(d, LikelihoodKMode::Once, 1.5, 6000, 1, seed, 0),
                             LikelihoodKMode::Once));
    d.Tzenz = d.times.back();
    return d;
}

TEST(LikelihoodFit, RecoversTheTruthAndBracketsEveryEstimate) {
    const LikelihoodData d = SimulatedOnce(7);
    LikelihoodSettings s;
    const LikelihoodResult r = FitLikelihood(d, s);
    ASSERT_TRUE(r.fitted);
    EXPECT_FALSE(r.atBound);
    EXPECT_NEAR(r.A, 1.5, 0.3);
    EXPECT_NEAR(r.B / 6000, 1, 0.3);
    EXPECT_EQ(r.K, 1);
    EXPECT_FALSE(r.intervals[static_cast<int>(LikFigure::K)].present);
    LikelihoodEvaluator ev(d);
    const double q95 = 3.841458820694124;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const LikInterval& in = r.intervals[i];
        if (!in.present) continue;
        EXPECT_LT(in.lower, r.estimates[i]) << i;
        EXPECT_GT(in.upper, r.estimates[i]) << i;
        EXPECT_FALSE(in.lowerOpen || in.upperOpen) << i;
        // the profile at each bound sits on the threshold
        for (double v : {in.lower, in.upper})
            EXPECT_NEAR(ProfileLogLik(ev, LikelihoodKMode::Once, static_cast<LikFigure>(i), v),
                        r.loglik - q95 / 2, 1e-4)
                << i;
    }
    // moving from the estimate lowers ln L
    EXPECT_GT(r.loglik, ev.LogLikOnce(r.A * 1.001, r.B));
    EXPECT_GT(r.loglik, ev.LogLikOnce(r.A, r.B * 1.001));
}

TEST(LikelihoodFit, FreeRepeatsTestOnceAndShowOpenSides) {
    LikelihoodData d;
    d.law = WarrantyLawKind::Normal;
    d.Sred = 3000;
    d.SKO = 700;
    d.fleet = 300;
    d.Tzenz = 1e9;
    // repeat failures with K = 3: K = 1 must be rejected
    ASSERT_TRUE(ReplaceTimes(d, SimulateFailureTimes(d, LikelihoodKMode::Free, 1.2, 2000, 3, 11, 0),
                             LikelihoodKMode::Free));
    d.Tzenz = d.times.back();
    LikelihoodSettings s;
    s.kMode = LikelihoodKMode::Free;
    const LikelihoodResult r = FitLikelihood(d, s);
    ASSERT_TRUE(r.lrDone);
    EXPECT_LT(r.lrP, 0.05);
    const LikInterval& k = r.intervals[static_cast<int>(LikFigure::K)];
    ASSERT_TRUE(k.present);
    EXPECT_FALSE(k.lowerOpen);
    EXPECT_GT(k.lower, 1);
}

TEST(LikelihoodGof, BootstrapIsTheSameForAnyThreadCount) {
    const LikelihoodData d = SimulatedOnce(3, 300);
    LikelihoodSettings s;
    s.bootstrap = 12;
    s.seed = 99;
    LikelihoodResult one = FitLikelihood(d, s);
    LikelihoodResult two = one;
    one.settings.threads = 1;
    two.settings.threads = 2;
    BootstrapGof(d, one);
    BootstrapGof(d, two);
    EXPECT_EQ(one.gofReplicates, 12);
    EXPECT_EQ(one.gofP, two.gofP);
    EXPECT_EQ(one.gofChi2, two.gofChi2);
    EXPECT_GE(one.gofP, 0);
    EXPECT_LE(one.gofP, 1);
}

TEST(LikelihoodGof, CountsPerColumnWithEdgesBelongingBelow) {
    GofColumns c{{0, 100, 200}, {100, 200, 300}};
    EXPECT_EQ(CountPerColumn(c, {5, 100, 100.05, 150, 300, 400}), (std::vector<int>{2, 2, 1}));
}

} // namespace
} // namespace tovimo
