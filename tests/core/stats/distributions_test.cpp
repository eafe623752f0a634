#include "core/stats/distributions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;

TEST(Distributions, ErfBranches) {
    EXPECT_EQ(Erf(0), 0);
    EXPECT_DOUBLE_EQ(Erf(-0.3), -Erf(0.3));
    EXPECT_EQ(Erf(10), 1);
    EXPECT_EQ(Erf(12), 1);
    EXPECT_EQ(ErfC(10), 0);
    EXPECT_DOUBLE_EQ(ErfC(0.3), 1 - Erf(0.3));
    EXPECT_DOUBLE_EQ(ErfC(-1), 2 - ErfC(1));
    // series branch against the exact value, rational branch likewise
    EXPECT_NEAR(Erf(0.3), std::erf(0.3), 4e-9);
    EXPECT_NEAR(ErfC(2.0), std::erfc(2.0), 1e-13);
    const double below = Erf(std::nextafter(0.5, 0.0));
    EXPECT_NEAR(below - Erf(0.5), 3.6e-9, 0.5e-9);
}

TEST(Distributions, NormalAndFloors) {
    EXPECT_EQ(NormalDistribution(0), 0.5);
    EXPECT_EQ(CDF_Gauss(1000, 100, 1000), 0.5);
    EXPECT_EQ(CDF_Gauss(1000, 100, 0), 1e-12);
}

TEST(Distributions, Weibull) {
    EXPECT_DOUBLE_EQ(WeibF(1, 500, 200), std::exp(-200.0 / 500) / 500);
    EXPECT_EQ(WeibF(0, 500, 200), 1e-305);
    EXPECT_EQ(WeibF(2, 1, 1e6), 1e-30);
    EXPECT_EQ(weibCDF(2, 1000, 0), 1e-30);
    EXPECT_EQ(weibCDF2(2, 1000, 0, 500), weibCDF(2, 1000, 500) - 1e-30);
    EXPECT_EQ(weibCDF2(-1, 1000, 0, 500), 0);
    EXPECT_LT(weibCDF2(2, 1000, 600, 500), 0); // reversed bounds give a negative value, no abort
    EXPECT_EQ(weibinv(2, 1000, 0), 0);
    EXPECT_EQ(weibinv(2, 1000, 1), weibinv(2, 1000, 0.999999));
    EXPECT_NEAR(weibinv(2, 1000, 1), 1000 * std::pow(std::log(1e6), 0.5), 1e-6);
    EXPECT_DOUBLE_EQ(weibinv(2, 1000, 0.5), 1000 * std::sqrt(std::log(2.0)));
}
