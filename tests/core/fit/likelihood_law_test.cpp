// The law of leaving warranty inside model 3: the grouped sum of Weibull
// shares over many warranty-end times against the plain sum, product by
// product, in long double; and the bootstrap's draws of failure times.
#include "core/fit/exit_time_sums.h"
#include "core/fit/likelihood_gof.h"
#include "core/fit/likelihood_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace tovimo;

namespace {

long double PlainShare(const std::vector<double>& w, double A, double B, double U) {
    long double s = 0;
    for (double x : w) {
        const long double t = std::min(x, U);
        if (t > 0) s += -std::expm1(-std::pow(t / static_cast<long double>(B), static_cast<long double>(A)));
    }
    return s / w.size();
}

std::vector<double> ExitTimes(int count, double mean, double sd, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::normal_distribution<double> law(mean, sd);
    std::vector<double> w;
    for (int i = 0; i < count; ++i)
        w.push_back(std::round(law(gen) * 10) / 10); // to 0.1 h, as files give them
    w.push_back(-5);                                 // a time at or below zero counts in M and adds nothing
    w.push_back(0);
    std::sort(w.begin(), w.end());
    return w;
}

} // namespace

TEST(ExitTimeSums, AgreeWithThePlainSumOverEveryProduct) {
    const std::vector<double> w = ExitTimes(11170, 5000, 1500, 3);
    const ExitTimeSums sums(w);
    ASSERT_LT(sums.groups(), 700u); // grouped, not one group per product
    struct Case {
        double A, B, U;
    };
    const Case cases[] = {
        {1.5, 9000, 20000},  // an ordinary law, observed past every exit
        {1.5, 9000, 4000},   // the end of observation inside the exits
        {0.3, 1e8, 20000},   // early failures, a far scale: F tiny
        {4, 3e8, 20000},     // wear-out far beyond the warranty: F about 1e-20
        {3, 2000, 20000},    // most products fail before they leave: H large
        {2, 1500, 20000},    // H about 10 to 40 at the exits: the series bounded by exp(-H)
        {12, 6000, 20000},   // a steep law: the series steps aside for the product sum
        {0.005, 1e-3, 9000}, // the searches' limits
        {500, 1e200, 9000},  {500, 4000, 9000}, {2, 5000, 0.5}, // observation ending before any exit
    };
    ExitTimeSums::ShapeCache cache;
    for (const Case& c : cases) {
        const long double plain = PlainShare(w, c.A, c.B, c.U);
        const double fast = sums.Share(c.A, std::log(c.B), c.U, cache);
        SCOPED_TRACE(testing::Message() << "A " << c.A << " B " << c.B << " U " << c.U);
        if (plain == 0)
            EXPECT_EQ(fast, 0);
        else
            EXPECT_NEAR(fast / plain, 1, 1e-12);
        EXPECT_EQ(fast, sums.Share(c.A, std::log(c.B), c.U)); // the cache changes nothing
    }
}

TEST(ExitTimeSums, ModelThreeIntegralUsesThemWhereTheLawIsAFile) {
    LikelihoodData d;
    d.law = WarrantyLawKind::Empirical;
    d.exitTimes = ExitTimes(3000, 3000, 700, 5);
    d.Tzenz = d.exitTimes.back();
    const double exact = FailureIntegral(d, 1.7, 8000, d.Tzenz);
    d.exitSums = std::make_shared<const ExitTimeSums>(d.exitTimes);
    EXPECT_NEAR(FailureIntegral(d, 1.7, 8000, d.Tzenz) / exact, 1, 1e-12);
    LikelihoodEvaluator ev(d);
    EXPECT_NEAR(ev.Integral(1.7, 8000) / exact, 1, 1e-12);
}

// The times drawn for a bootstrap replicate follow f G, normalised, under both
// laws: the largest gap between their empirical distribution and the exact one
// stays within what 20,000 draws allow (the 1 % Kolmogorov bound, 1.63 / sqrt n).
TEST(FailureTimeSampler, DrawsFollowTheModelUnderEitherLaw) {
    for (bool fromFile : {false, true}) {
        LikelihoodData d;
        d.Sred = 3000;
        d.SKO = 700;
        if (fromFile) {
            d.law = WarrantyLawKind::Empirical;
            d.exitTimes = ExitTimes(2000, 3000, 700, 9);
            d.exitSums = std::make_shared<const ExitTimeSums>(d.exitTimes);
            d.Tzenz = d.exitTimes.back();
        } else {
            d.Tzenz = NormalLawEnd(d.Sred, d.SKO);
        }
        const double A = 1.8, B = 5000;
        const FailureTimeSampler sampler(d, A, B);
        const double total = FailureIntegral(d, A, B, d.Tzenz);
        EXPECT_NEAR(sampler.total() / total, 1, 1e-9);
        std::mt19937_64 gen = ReplicateGenerator(7, 0);
        std::vector<double> t(20000);
        for (double& x : t)
            x = sampler.Draw(gen);
        std::sort(t.begin(), t.end());
        double gap = 0;
        for (size_t i = 0; i < t.size(); i += 97) {
            const double exact = FailureIntegral(d, A, B, t[i]) / total;
            gap = std::max(
                {gap, std::fabs(exact - double(i) / t.size()), std::fabs(exact - double(i + 1) / t.size())});
        }
        EXPECT_LT(gap, 1.63 / std::sqrt(double(t.size()))) << (fromFile ? "law from a file" : "normal law");
    }
}
