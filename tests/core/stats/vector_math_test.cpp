#include "core/stats/vector_math.h"

#include "core/stats/distributions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tovimo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Distance in representable doubles between two values of one sign (subnormals included).
double UnitsApart(double a, double b) {
    if (a == b) return 0;
    if (std::isnan(a) || std::isnan(b) || std::signbit(a) != std::signbit(b)) return kInf;
    const auto ia = std::bit_cast<std::int64_t>(a), ib = std::bit_cast<std::int64_t>(b);
    return std::fabs(static_cast<double>(ia - ib));
}

// Runs each test on the scalar path and, where the processor has it, on the
// AVX2 path; the path in force before is restored afterwards.
class EachPath : public ::testing::TestWithParam<VectorPath> {
  protected:
    void SetUp() override {
        before_ = ActiveVectorPath();
        if (GetParam() == VectorPath::Avx2Fma && !ProcessorHasAvx2Fma())
            GTEST_SKIP() << "the processor has no AVX2 and FMA";
        ASSERT_EQ(SelectVectorPath(GetParam()), GetParam());
    }
    void TearDown() override { SelectVectorPath(before_); }

  private:
    VectorPath before_ = VectorPath::Scalar;
};

std::vector<double> Exps(const std::vector<double>& x) {
    std::vector<double> y(x.size());
    ExpArray(x.data(), y.data(), x.size());
    return y;
}

TEST_P(EachPath, ExponentialWithinOneUnitOverTheWholeRange) {
    // Every argument the criteria can produce, from results that underflow to 0
    // through the subnormal ones to overflow; dense where the loops live.
    std::mt19937_64 rng(3);
    std::vector<double> x;
    for (const auto& [lo, hi, count] : {std::tuple{-760.0, 712.0, 200000}, std::tuple{-45.0, 5.0, 200000},
                                        std::tuple{-745.2, -708.3, 20000}, std::tuple{-1e-6, 1e-6, 20000}}) {
        std::uniform_real_distribution<double> u(lo, hi);
        for (int i = 0; i < count; ++i)
            x.push_back(u(rng));
    }
    const auto y = Exps(x);
    double worst = 0, worstAt = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double d = UnitsApart(y[i], std::exp(x[i]));
        if (d > worst) {
            worst = d;
            worstAt = x[i];
        }
    }
    EXPECT_LE(worst, 1) << "at " << worstAt;
}

TEST_P(EachPath, ExponentialSpecialResults) {
    const double subnormalArg = std::log(std::numeric_limits<double>::denorm_min()) + 0.2;
    struct Case {
        double x;
        double expected;
        double units; // allowed distance
    } cases[] = {
        {0.0, 1, 0},
        {-0.0, 1, 0},
        {1e-17, 1, 0}, // rounds to 1
        {-1e-17, 1, 0},
        {-5e-17, 1, 0},
        {-746, 0, 0}, // below the least subnormal
        {-1000, 0, 0},
        {-kInf, 0, 0},
        {710, kInf, 0}, // overflow
        {1e6, kInf, 0},
        {kInf, kInf, 0},
        {-709.5, std::exp(-709.5), 1}, // subnormal results
        {-720, std::exp(-720.0), 1},
        {subnormalArg, std::exp(subnormalArg), 1},
        {709.78, std::exp(709.78), 1}, // the largest finite results
        {1, std::exp(1.0), 1},
    };
    std::vector<double> x;
    for (const Case& c : cases)
        x.push_back(c.x);
    const auto y = Exps(x);
    for (size_t i = 0; i < x.size(); ++i)
        EXPECT_LE(UnitsApart(y[i], cases[i].expected), cases[i].units) << "exp(" << x[i] << ") = " << y[i];
    EXPECT_TRUE(std::isnan(Exps({kNaN})[0]));
}

TEST_P(EachPath, ValueDoesNotDependOnItsPlaceInTheArray) {
    const double probe = -3.123456789;
    const double alone = Exps({probe})[0];
    for (size_t len = 1; len <= 11; ++len)
        for (size_t at = 0; at < len; ++at) {
            std::vector<double> x(len, 0.7);
            x[at] = probe;
            EXPECT_EQ(Exps(x)[at], alone) << "length " << len << " place " << at;
        }
    // in place
    std::vector<double> x{probe, probe, probe, probe, probe};
    ExpArray(x.data(), x.data(), x.size());
    for (double v : x)
        EXPECT_EQ(v, alone);
}

TEST_P(EachPath, WeibullFormsAgreeWithTheDistributionFunction) {
    // The shapes and scales a run can reach, times from 0 to far beyond the scale.
    std::mt19937_64 rng(8);
    std::uniform_real_distribution<double> shape(0.005, 10), logScale(0, std::log(1e5)), logTime(-3, 13);
    for (int round = 0; round < 2000; ++round) {
        const double A = shape(rng), B = std::exp(logScale(rng));
        std::vector<double> t{0}, logT{-kInf};
        for (int i = 0; i < 13; ++i) {
            t.push_back(std::exp(logTime(rng)));
            logT.push_back(std::log(t.back()));
        }
        std::vector<double> fromLogs(t.size()), powT(t.size()), fromPowers(t.size());
        WeibullCdfFromLogs(A, std::log(B), logT.data(), fromLogs.data(), t.size());
        for (size_t i = 0; i < t.size(); ++i)
            powT[i] = std::pow(t[i], A);
        WeibullCdfFromPowers(powT.data(), std::pow(B, -A), fromPowers.data(), t.size());
        for (size_t i = 0; i < t.size(); ++i) {
            const double plain = weibCDF(A, B, t[i]);
            // 1 - exp(-x) cancels for small x: the agreement is absolute there
            const double tol = 1e-13 * std::max(plain, 1e-2);
            EXPECT_NEAR(fromLogs[i], plain, tol) << "A " << A << " B " << B << " t " << t[i];
            EXPECT_NEAR(fromPowers[i], plain, tol) << "A " << A << " B " << B << " t " << t[i];
            EXPECT_GE(fromLogs[i], kWeibullCdfFloor);
        }
    }
}

TEST_P(EachPath, WeibullFormsAtTheirEnds) {
    const double logB = std::log(1000.0);
    const double logT[] = {-kInf, std::log(1e-9), std::log(1000.0), std::log(1e5), kInf, kNaN};
    double F[6];
    WeibullCdfFromLogs(2, logB, logT, F, 6);
    EXPECT_EQ(F[0], kWeibullCdfFloor); // t = 0
    EXPECT_EQ(F[1], kWeibullCdfFloor); // rounds to 0
    EXPECT_NEAR(F[2], 1 - std::exp(-1.0), 1e-15);
    EXPECT_EQ(F[3], 1); // rounds to 1
    EXPECT_EQ(F[4], 1);
    EXPECT_EQ(F[5], kWeibullCdfFloor); // a time that is not a number
    const double pows[] = {0, 1e-20, 1, 50, 1e300, kInf};
    WeibullCdfFromPowers(pows, 1, F, 6);
    EXPECT_EQ(F[0], kWeibullCdfFloor);
    EXPECT_EQ(F[1], kWeibullCdfFloor);
    EXPECT_NEAR(F[2], 1 - std::exp(-1.0), 1e-15);
    EXPECT_EQ(F[3], 1);
    EXPECT_EQ(F[4], 1);
    EXPECT_EQ(F[5], 1);
}

TEST_P(EachPath, LaneSumsFollowEachSequence) {
    // Four sequences interleaved; each running sum and the squared misses
    // against a plain loop over the sequences one after the other.
    std::mt19937_64 rng(12);
    std::uniform_real_distribution<double> u(0, 1);
    const size_t rows = 37;
    std::vector<double> F(4 * rows), keep(4 * rows), rank(4 * rows), weight(4 * rows), sums(4 * rows);
    for (size_t q = 0; q < F.size(); ++q) {
        F[q] = u(rng);
        keep[q] = u(rng);
        rank[q] = static_cast<double>(q);
        weight[q] = q % 7 ? 1 : 0;
    }
    const double before[4] = {1e-30, 0.25, 0.5, 0.75}, base[4] = {0, 1, 2, 3};
    double totals[4];
    LaneRunningSums(F.data(), keep.data(), before, sums.data(), rows, totals);
    double expectedSquares = 0;
    for (size_t b = 0; b < 4; ++b) {
        double sum = 0, prev = before[b];
        for (size_t j = 0; j < rows; ++j) {
            const size_t q = 4 * j + b;
            sum += (F[q] - prev) * keep[q];
            prev = F[q];
            EXPECT_NEAR(sums[q], sum, 1e-13) << "sequence " << b << " row " << j;
            const double d = rank[q] - (base[b] + sum) * 1.7;
            expectedSquares += weight[q] * d * d;
        }
        EXPECT_NEAR(totals[b], sum, 1e-13);
    }
    EXPECT_NEAR(LaneSquaredMisses(rank.data(), sums.data(), weight.data(), base, 1.7, rows), expectedSquares,
                1e-12 * expectedSquares);
}

TEST_P(EachPath, PowerRunningSumsAreThoseOfTheTwoStepsBitForBit) {
    // The fused pass against WeibullCdfFromPowers then LaneRunningSums, on
    // powers across the clamp and a row count that is not a multiple of any
    // block.
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> power(0, 60), u(0, 1);
    const size_t rows = 53;
    std::vector<double> powT(4 * rows), keep(4 * rows);
    for (size_t q = 0; q < powT.size(); ++q) {
        powT[q] = q % 11 ? power(rng) / 30 : power(rng);
        keep[q] = u(rng);
    }
    const double before[4] = {1e-30, 0.125, 0.5, 0.875};
    for (const double scale : {1e-3, 0.7, 3.0}) {
        std::vector<double> F(powT.size()), sums(powT.size()), fusedF(powT.size()), fusedSums(powT.size());
        double totals[4], fusedTotals[4];
        WeibullCdfFromPowers(powT.data(), scale, F.data(), F.size());
        LaneRunningSums(F.data(), keep.data(), before, sums.data(), rows, totals);
        WeibullPowerRunningSums(powT.data(), scale, keep.data(), before, fusedF.data(), fusedSums.data(),
                                rows, fusedTotals);
        for (size_t q = 0; q < F.size(); ++q) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(fusedF[q]), std::bit_cast<std::uint64_t>(F[q])) << q;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(fusedSums[q]), std::bit_cast<std::uint64_t>(sums[q])) << q;
        }
        for (size_t b = 0; b < 4; ++b)
            EXPECT_EQ(std::bit_cast<std::uint64_t>(fusedTotals[b]), std::bit_cast<std::uint64_t>(totals[b]));
    }
}

INSTANTIATE_TEST_SUITE_P(VectorMath, EachPath, ::testing::Values(VectorPath::Scalar, VectorPath::Avx2Fma),
                         [](const auto& info) {
                             return info.param == VectorPath::Scalar ? "Scalar" : "Avx2Fma";
                         });

TEST(VectorMath, PathsGiveTheSameBits) {
    // A run on a processor without AVX2 must find what a run with it finds.
    if (!ProcessorHasAvx2Fma()) GTEST_SKIP() << "the processor has no AVX2 and FMA";
    const VectorPath before = ActiveVectorPath();
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> arg(-760, 712), shape(0.005, 10), logScale(0, std::log(1e5)),
        logTime(-3, 13), power(0, 60);
    std::vector<double> x(40001), logT(4099), powT(4099);
    for (double& v : x)
        v = arg(rng);
    for (double& v : logT)
        v = logTime(rng);
    for (double& v : powT)
        v = power(rng);
    const auto both = [&](const auto& compute) {
        SelectVectorPath(VectorPath::Scalar);
        const std::vector<double> scalar = compute();
        SelectVectorPath(VectorPath::Avx2Fma);
        const std::vector<double> avx = compute();
        for (size_t i = 0; i < scalar.size(); ++i)
            if (std::bit_cast<std::uint64_t>(scalar[i]) != std::bit_cast<std::uint64_t>(avx[i])) return false;
        return true;
    };
    EXPECT_TRUE(both([&] { return Exps(x); }));
    for (int round = 0; round < 100; ++round) {
        const double A = shape(rng), logB = logScale(rng);
        EXPECT_TRUE(both([&] {
            std::vector<double> F(logT.size());
            WeibullCdfFromLogs(A, logB, logT.data(), F.data(), F.size());
            return F;
        })) << "A "
            << A;
        EXPECT_TRUE(both([&] {
            std::vector<double> F(powT.size());
            WeibullCdfFromPowers(powT.data(), std::exp(-A * logB), F.data(), F.size());
            return F;
        })) << "A "
            << A;
    }
    const size_t rows = 1024;
    std::vector<double> F(4 * rows), keep(4 * rows), rank(4 * rows), weight(4 * rows, 1.0);
    for (size_t q = 0; q < F.size(); ++q) {
        F[q] = std::exp(-power(rng));
        keep[q] = F[q] / 2;
        rank[q] = static_cast<double>(q + 1);
    }
    const double first[4] = {1e-30, 0.1, 0.2, 0.3}, base[4] = {0, 10, 20, 30};
    EXPECT_TRUE(both([&] {
        std::vector<double> sums(F.size() + 5);
        LaneRunningSums(F.data(), keep.data(), first, sums.data(), rows, sums.data() + F.size());
        sums.back() = LaneSquaredMisses(rank.data(), sums.data(), weight.data(), base, 1.3, rows);
        return sums;
    }));
    SelectVectorPath(before);
}

} // namespace
} // namespace tovimo
