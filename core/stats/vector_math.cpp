#include "core/stats/vector_math.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>

// The AVX2 kernels exist on x86 only; elsewhere every function takes the
// scalar path, which gives the same bits.
#if defined(__x86_64__) || defined(__i386__)
#define TOVIMO_X86_KERNELS 1
#include <immintrin.h>
#else
#define TOVIMO_X86_KERNELS 0
#endif

// This file is compiled with -ffp-contract=off: a multiplication followed by
// an addition must round twice on both paths, never once in a fused
// instruction on the AVX2 path only.

namespace tovimo {

namespace {

// exp(x) = 2^m * 2^(j/32) * exp(r), with n = 32 m + j the integer nearest to
// x * 32 / ln 2 and |r| <= ln 2 / 64: a table of the 32 powers 2^(j/32), a
// polynomial of degree 6 for exp(r) - 1 (the first neglected term is below
// 4e-18) and the power 2^m applied in two halves, so that results in the
// subnormal range are rounded once and the largest arguments overflow to
// infinity. Within about one unit in the last place of the exact value.
//
// The scalar path and the AVX2 path perform exactly the same operations in
// the same order, so both give the same bits: a run on a processor without
// AVX2 finds the same results as one with it.

constexpr double kArgLow = -746; // exp rounds to 0 below
constexpr double kArgHigh = 710; // and overflows above
constexpr double kLn2 = 0x1.62e42fefa39efp-1;
constexpr double kLn2Tail = 2.319046813846299558e-17; // ln 2 - kLn2
constexpr double kInvStep = 32 / kLn2;
// ln 2 / 32 in two parts; the first has 36 significant bits, so that its
// product with any |n| < 2^16 is exact.
constexpr double kStepHi =
    std::bit_cast<double>(std::bit_cast<std::uint64_t>(kLn2 / 32) & ~std::uint64_t{0x1FFFF});
constexpr double kStepLo = (kLn2 / 32 - kStepHi) + kLn2Tail / 32;
// Adding 1.5 * 2^52 rounds to a whole number and leaves n + 2^51 in the low
// 52 bits of the sum.
constexpr double kShifter = 0x1.8p52;
constexpr std::uint64_t kLow52 = (std::uint64_t{1} << 52) - 1;
// (m + 2^46) / 2 + kHalfBias is the biased exponent of 2^(m/2), wrapping.
constexpr std::uint64_t kHalfBias = 1023 - (std::uint64_t{1} << 45);
constexpr double kC2 = 1.0 / 2, kC3 = 1.0 / 6, kC4 = 1.0 / 24, kC5 = 1.0 / 120, kC6 = 1.0 / 720;

const double* powerTable() {
    static const std::array<double, 32> table = [] {
        std::array<double, 32> t{};
        for (int j = 0; j < 32; ++j)
            t[static_cast<size_t>(j)] = std::exp2(j / 32.0);
        return t;
    }();
    return table.data();
}

// The Weibull forms work on a clamped argument: exp(-exp(u)) rounds to 1 for
// every u below -40 and to 0 for every u above 4 (an inner value above 40), so
// the clamp changes no result while keeping the exponentials away from their
// overflow and subnormal ranges. A not-a-number passes through.
constexpr double kLogArgLow = -40;
constexpr double kLogArgHigh = 4;
constexpr double kInnerHigh = 40;

inline double clampArg(double u, double lo, double hi) {
    if (u < lo) return lo;
    if (u > hi) return hi;
    return u;
}

inline double floored(double w) {
    return w > 0 ? w : kWeibullCdfFloor; // also for a not-a-number
}

inline double expScalarOne(double x, const double* table) {
    x = clampArg(x, kArgLow, kArgHigh);
    const double shifted = x * kInvStep + kShifter;
    const std::uint64_t n = std::bit_cast<std::uint64_t>(shifted) & kLow52; // n + 2^51
    const double nd = shifted - kShifter;
    const double r = (x - nd * kStepHi) - nd * kStepLo;
    double q = kC6;
    q = q * r + kC5;
    q = q * r + kC4;
    q = q * r + kC3;
    q = q * r + kC2;
    const double p = r + (r * r) * q;
    const double t = table[n & 31];
    const double y = t + t * p;
    const std::uint64_t m = n >> 5; // m + 2^46
    const std::uint64_t half = m >> 1;
    const double s1 = std::bit_cast<double>((half + kHalfBias) << 52);
    const double s2 = std::bit_cast<double>((m - half + kHalfBias) << 52);
    return (y * s1) * s2;
}

void expScalar(const double* x, double* out, std::size_t n) {
    const double* table = powerTable();
    for (std::size_t i = 0; i < n; ++i)
        out[i] = expScalarOne(x[i], table);
}

void weibullLogsScalar(double A, double logB, const double* logT, double* F, std::size_t n) {
    const double* table = powerTable();
    for (std::size_t i = 0; i < n; ++i) {
        const double u = clampArg(A * (logT[i] - logB), kLogArgLow, kLogArgHigh);
        F[i] = floored(1 - expScalarOne(0 - expScalarOne(u, table), table));
    }
}

void weibullPowersScalar(const double* powT, double scale, double* F, std::size_t n) {
    const double* table = powerTable();
    for (std::size_t i = 0; i < n; ++i) {
        const double e = clampArg(powT[i] * scale, -kInnerHigh, kInnerHigh);
        F[i] = floored(1 - expScalarOne(0 - e, table));
    }
}

void laneRunningSumsScalar(const double* F, const double* keep, const double before[4], double* sums,
                           std::size_t rows, double totals[4]) {
    double prev[4] = {before[0], before[1], before[2], before[3]};
    double sum[4] = {0, 0, 0, 0};
    for (std::size_t j = 0; j < rows; ++j)
        for (std::size_t b = 0; b < 4; ++b) {
            const std::size_t q = 4 * j + b;
            sum[b] = sum[b] + (F[q] - prev[b]) * keep[q];
            prev[b] = F[q];
            sums[q] = sum[b];
        }
    for (std::size_t b = 0; b < 4; ++b)
        totals[b] = sum[b];
}

void weibullPowerRunningSumsScalar(const double* powT, double scale, const double* keep,
                                   const double before[4], double* F, double* sums, std::size_t rows,
                                   double totals[4]) {
    weibullPowersScalar(powT, scale, F, 4 * rows);
    laneRunningSumsScalar(F, keep, before, sums, rows, totals);
}

double laneSquaredMissesScalar(const double* rank, const double* sums, const double* weight,
                               const double base[4], double scale, std::size_t rows) {
    double acc[4] = {0, 0, 0, 0};
    for (std::size_t j = 0; j < rows; ++j)
        for (std::size_t b = 0; b < 4; ++b) {
            const std::size_t q = 4 * j + b;
            const double d = rank[q] - (base[b] + sums[q]) * scale;
            acc[b] = acc[b] + weight[q] * (d * d);
        }
    return (acc[0] + acc[1]) + (acc[2] + acc[3]);
}

void weibullExpectedMisses4Scalar(const double A[4], const double logB[4], const bool valid[4],
                                  const double* logT, const double* keep, const double* observed,
                                  double scale, std::size_t n, double expected[4], double misses[4]) {
    const double* table = powerTable();
    for (std::size_t b = 0; b < 4; ++b) {
        double prev = kWeibullCdfFloor, total = 0, miss = 0;
        for (std::size_t k = 0; k < n; ++k) {
            double F = kWeibullCdfFloor;
            if (valid[b]) {
                const double u = clampArg(A[b] * (logT[k] - logB[b]), kLogArgLow, kLogArgHigh);
                F = floored(1 - expScalarOne(0 - expScalarOne(u, table), table));
            }
            const double e = (scale * (F - prev)) * keep[4 * k + b];
            prev = F;
            total = total + e;
            const double d = observed[k] - e;
            miss = miss + d * d;
        }
        expected[b] = total;
        misses[b] = miss;
    }
}

#if TOVIMO_X86_KERNELS

// The AVX2 kernels, four lanes at a time; a short tail goes through a padded
// register so that a value never depends on where it stands in the array.

#define TOVIMO_AVX2 __attribute__((target("avx2,fma")))

TOVIMO_AVX2 inline __m256d clampLanes(__m256d u, double lo, double hi) {
    // min/max return their second operand when one is not a number: u passes through
    return _mm256_max_pd(_mm256_set1_pd(lo), _mm256_min_pd(_mm256_set1_pd(hi), u));
}

TOVIMO_AVX2 inline __m256d flooredLanes(__m256d w) {
    const __m256d above = _mm256_cmp_pd(w, _mm256_setzero_pd(), _CMP_GT_OQ);
    return _mm256_blendv_pd(_mm256_set1_pd(kWeibullCdfFloor), w, above);
}

TOVIMO_AVX2 inline __m256d expLanes(__m256d x, const double* table) {
    x = clampLanes(x, kArgLow, kArgHigh);
    const __m256d shifter = _mm256_set1_pd(kShifter);
    const __m256d shifted = _mm256_add_pd(_mm256_mul_pd(x, _mm256_set1_pd(kInvStep)), shifter);
    const __m256i n =
        _mm256_and_si256(_mm256_castpd_si256(shifted), _mm256_set1_epi64x(static_cast<long long>(kLow52)));
    const __m256d nd = _mm256_sub_pd(shifted, shifter);
    const __m256d r = _mm256_sub_pd(_mm256_sub_pd(x, _mm256_mul_pd(nd, _mm256_set1_pd(kStepHi))),
                                    _mm256_mul_pd(nd, _mm256_set1_pd(kStepLo)));
    __m256d q = _mm256_set1_pd(kC6);
    q = _mm256_add_pd(_mm256_mul_pd(q, r), _mm256_set1_pd(kC5));
    q = _mm256_add_pd(_mm256_mul_pd(q, r), _mm256_set1_pd(kC4));
    q = _mm256_add_pd(_mm256_mul_pd(q, r), _mm256_set1_pd(kC3));
    q = _mm256_add_pd(_mm256_mul_pd(q, r), _mm256_set1_pd(kC2));
    const __m256d p = _mm256_add_pd(r, _mm256_mul_pd(_mm256_mul_pd(r, r), q));
    const __m256d t = _mm256_i64gather_pd(table, _mm256_and_si256(n, _mm256_set1_epi64x(31)), 8);
    const __m256d y = _mm256_add_pd(t, _mm256_mul_pd(t, p));
    const __m256i m = _mm256_srli_epi64(n, 5);
    const __m256i half = _mm256_srli_epi64(m, 1);
    const __m256i bias = _mm256_set1_epi64x(static_cast<long long>(kHalfBias));
    const __m256d s1 = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_add_epi64(half, bias), 52));
    const __m256d s2 =
        _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_add_epi64(_mm256_sub_epi64(m, half), bias), 52));
    return _mm256_mul_pd(_mm256_mul_pd(y, s1), s2);
}

TOVIMO_AVX2 inline __m256d oneMinusExpNeg(__m256d e, const double* table) {
    const __m256d negated = _mm256_sub_pd(_mm256_setzero_pd(), e);
    return _mm256_sub_pd(_mm256_set1_pd(1.0), expLanes(negated, table));
}

template <typename Lanes>
TOVIMO_AVX2 inline void eachQuad(const double* in, double* out, std::size_t n, Lanes lanes) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        _mm256_storeu_pd(out + i, lanes(_mm256_loadu_pd(in + i)));
    if (i < n) {
        alignas(32) double buf[4] = {0, 0, 0, 0};
        for (std::size_t k = i; k < n; ++k)
            buf[k - i] = in[k];
        _mm256_store_pd(buf, lanes(_mm256_load_pd(buf)));
        for (std::size_t k = i; k < n; ++k)
            out[k] = buf[k - i];
    }
}

struct ExpLanes {
    const double* table;
    TOVIMO_AVX2 __m256d operator()(__m256d x) const { return expLanes(x, table); }
};

struct ClampedExpLanes {
    double A, logB;
    const double* table;
    TOVIMO_AVX2 __m256d operator()(__m256d logT) const {
        const __m256d d = _mm256_sub_pd(logT, _mm256_set1_pd(logB));
        return expLanes(clampLanes(_mm256_mul_pd(_mm256_set1_pd(A), d), kLogArgLow, kLogArgHigh), table);
    }
};

struct WeibullInnerLanes {
    const double* table;
    TOVIMO_AVX2 __m256d operator()(__m256d e) const { return flooredLanes(oneMinusExpNeg(e, table)); }
};

struct WeibullPowerLanes {
    double scale;
    const double* table;
    TOVIMO_AVX2 __m256d operator()(__m256d powT) const {
        const __m256d e = clampLanes(_mm256_mul_pd(powT, _mm256_set1_pd(scale)), -kInnerHigh, kInnerHigh);
        return flooredLanes(oneMinusExpNeg(e, table));
    }
};

TOVIMO_AVX2 void expAvx2(const double* x, double* out, std::size_t n) {
    eachQuad(x, out, n, ExpLanes{powerTable()});
}

TOVIMO_AVX2 void weibullLogsAvx2(double A, double logB, const double* logT, double* F, std::size_t n) {
    // Two passes, each with independent lanes: one pass holding both
    // exponentials would wait on the first of every quad before the second.
    eachQuad(logT, F, n, ClampedExpLanes{A, logB, powerTable()});
    eachQuad(F, F, n, WeibullInnerLanes{powerTable()});
}

TOVIMO_AVX2 void weibullPowersAvx2(const double* powT, double scale, double* F, std::size_t n) {
    eachQuad(powT, F, n, WeibullPowerLanes{scale, powerTable()});
}

TOVIMO_AVX2 void weibullExpectedMisses4Avx2(const double A[4], const double logB[4], const bool valid[4],
                                            const double* logT, const double* keep, const double* observed,
                                            double scale, std::size_t n, double expected[4],
                                            double misses[4]) {
    const double* table = powerTable();
    const __m256d a = _mm256_loadu_pd(A), lb = _mm256_loadu_pd(logB), s = _mm256_set1_pd(scale);
    const __m256d floor = _mm256_set1_pd(kWeibullCdfFloor);
    const __m256d isValid = _mm256_castsi256_pd(
        _mm256_set_epi64x(valid[3] ? -1 : 0, valid[2] ? -1 : 0, valid[1] ? -1 : 0, valid[0] ? -1 : 0));
    __m256d prev = floor, total = _mm256_setzero_pd(), miss = _mm256_setzero_pd();
    // A block of columns at a time, in three passes with independent columns
    // in the first two: the inner exponentials, the outer ones, then the sums.
    constexpr std::size_t kBlock = 32;
    alignas(32) double F[4 * kBlock];
    for (std::size_t first = 0; first < n; first += kBlock) {
        const std::size_t count = std::min(kBlock, n - first);
        for (std::size_t k = 0; k < count; ++k) {
            const __m256d d0 = _mm256_sub_pd(_mm256_set1_pd(logT[first + k]), lb);
            const __m256d u = clampLanes(_mm256_mul_pd(a, d0), kLogArgLow, kLogArgHigh);
            _mm256_store_pd(F + 4 * k, expLanes(u, table));
        }
        for (std::size_t k = 0; k < count; ++k) {
            const __m256d w = flooredLanes(oneMinusExpNeg(_mm256_load_pd(F + 4 * k), table));
            _mm256_store_pd(F + 4 * k, _mm256_blendv_pd(floor, w, isValid));
        }
        for (std::size_t k = 0; k < count; ++k) {
            const __m256d f = _mm256_load_pd(F + 4 * k);
            const __m256d e = _mm256_mul_pd(_mm256_mul_pd(s, _mm256_sub_pd(f, prev)),
                                            _mm256_loadu_pd(keep + 4 * (first + k)));
            prev = f;
            total = _mm256_add_pd(total, e);
            const __m256d d = _mm256_sub_pd(_mm256_set1_pd(observed[first + k]), e);
            miss = _mm256_add_pd(miss, _mm256_mul_pd(d, d));
        }
    }
    _mm256_storeu_pd(expected, total);
    _mm256_storeu_pd(misses, miss);
}

TOVIMO_AVX2 void laneRunningSumsAvx2(const double* F, const double* keep, const double before[4],
                                     double* sums, std::size_t rows, double totals[4]) {
    __m256d prev = _mm256_loadu_pd(before);
    __m256d sum = _mm256_setzero_pd();
    for (std::size_t j = 0; j < rows; ++j) {
        const __m256d f = _mm256_loadu_pd(F + 4 * j);
        sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_sub_pd(f, prev), _mm256_loadu_pd(keep + 4 * j)));
        prev = f;
        _mm256_storeu_pd(sums + 4 * j, sum);
    }
    _mm256_storeu_pd(totals, sum);
}

TOVIMO_AVX2 void weibullPowerRunningSumsAvx2(const double* powT, double scale, const double* keep,
                                             const double before[4], double* F, double* sums,
                                             std::size_t rows, double totals[4]) {
    const WeibullPowerLanes lanes{scale, powerTable()};
    __m256d prev = _mm256_loadu_pd(before);
    __m256d sum = _mm256_setzero_pd();
    for (std::size_t j = 0; j < rows; ++j) {
        const __m256d f = lanes(_mm256_loadu_pd(powT + 4 * j));
        _mm256_storeu_pd(F + 4 * j, f);
        sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_sub_pd(f, prev), _mm256_loadu_pd(keep + 4 * j)));
        prev = f;
        _mm256_storeu_pd(sums + 4 * j, sum);
    }
    _mm256_storeu_pd(totals, sum);
}

TOVIMO_AVX2 double laneSquaredMissesAvx2(const double* rank, const double* sums, const double* weight,
                                         const double base[4], double scale, std::size_t rows) {
    const __m256d b = _mm256_loadu_pd(base), s = _mm256_set1_pd(scale);
    __m256d acc = _mm256_setzero_pd();
    for (std::size_t j = 0; j < rows; ++j) {
        const __m256d d = _mm256_sub_pd(_mm256_loadu_pd(rank + 4 * j),
                                        _mm256_mul_pd(_mm256_add_pd(b, _mm256_loadu_pd(sums + 4 * j)), s));
        acc = _mm256_add_pd(acc, _mm256_mul_pd(_mm256_loadu_pd(weight + 4 * j), _mm256_mul_pd(d, d)));
    }
    alignas(32) double lanes[4];
    _mm256_store_pd(lanes, acc);
    return (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
}

#undef TOVIMO_AVX2

#endif // TOVIMO_X86_KERNELS

std::atomic<VectorPath>& pathInForce() {
    static std::atomic<VectorPath> path{ProcessorHasAvx2Fma() ? VectorPath::Avx2Fma : VectorPath::Scalar};
    return path;
}

#if TOVIMO_X86_KERNELS
bool useAvx2() {
    return pathInForce().load(std::memory_order_relaxed) == VectorPath::Avx2Fma;
}
#endif

} // namespace

bool ProcessorHasAvx2Fma() {
#if TOVIMO_X86_KERNELS
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#else
    return false;
#endif
}

VectorPath ActiveVectorPath() {
    return pathInForce().load();
}

VectorPath SelectVectorPath(VectorPath path) {
    if (path == VectorPath::Avx2Fma && !ProcessorHasAvx2Fma()) path = VectorPath::Scalar;
    pathInForce().store(path);
    return path;
}

void ExpArray(const double* x, double* out, std::size_t n) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) {
        expAvx2(x, out, n);
        return;
    }
#endif
    expScalar(x, out, n);
}

void WeibullCdfFromLogs(double A, double logB, const double* logT, double* F, std::size_t n) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) {
        weibullLogsAvx2(A, logB, logT, F, n);
        return;
    }
#endif
    weibullLogsScalar(A, logB, logT, F, n);
}

void WeibullCdfFromPowers(const double* powT, double scale, double* F, std::size_t n) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) {
        weibullPowersAvx2(powT, scale, F, n);
        return;
    }
#endif
    weibullPowersScalar(powT, scale, F, n);
}

void WeibullExpectedMisses4(const double A[4], const double logB[4], const bool valid[4], const double* logT,
                            const double* keep, const double* observed, double scale, std::size_t n,
                            double expected[4], double misses[4]) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) {
        weibullExpectedMisses4Avx2(A, logB, valid, logT, keep, observed, scale, n, expected, misses);
        return;
    }
#endif
    weibullExpectedMisses4Scalar(A, logB, valid, logT, keep, observed, scale, n, expected, misses);
}

void LaneRunningSums(const double* F, const double* keep, const double before[4], double* sums,
                     std::size_t rows, double totals[4]) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) {
        laneRunningSumsAvx2(F, keep, before, sums, rows, totals);
        return;
    }
#endif
    laneRunningSumsScalar(F, keep, before, sums, rows, totals);
}

void WeibullPowerRunningSums(const double* powT, double scale, const double* keep, const double before[4],
                             double* F, double* sums, std::size_t rows, double totals[4]) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) {
        weibullPowerRunningSumsAvx2(powT, scale, keep, before, F, sums, rows, totals);
        return;
    }
#endif
    weibullPowerRunningSumsScalar(powT, scale, keep, before, F, sums, rows, totals);
}

double LaneSquaredMisses(const double* rank, const double* sums, const double* weight, const double base[4],
                         double scale, std::size_t rows) {
#if TOVIMO_X86_KERNELS
    if (useAvx2()) return laneSquaredMissesAvx2(rank, sums, weight, base, scale, rows);
#endif
    return laneSquaredMissesScalar(rank, sums, weight, base, scale, rows);
}

} // namespace tovimo
