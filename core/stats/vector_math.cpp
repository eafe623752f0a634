#include "core/stats/vector_math.h"

#include <atomic>
#include <cmath>
#include <immintrin.h>

// glibc's vector exponential for AVX2 registers (libmvec); within 4 units in
// the last place of the exact value, and exact in its special cases.
extern "C" __attribute__((target("avx2,fma"))) __m256d _ZGVdN4v_exp(__m256d);

namespace tovimo {

namespace {

// The Weibull forms work on a clamped argument: exp(-exp(u)) rounds to 1 for
// every u below -40 and to 0 for every u above 4 (an inner value above 40), so
// the clamp changes no result while keeping every lane away from the
// overflow, underflow and subnormal cases that the vector library hands to
// its slow scalar fallback. A not-a-number passes through.
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

void expScalar(const double* x, double* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::exp(x[i]);
}

void weibullLogsScalar(double A, double logB, const double* logT, double* F, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const double u = clampArg(A * (logT[i] - logB), kLogArgLow, kLogArgHigh);
        F[i] = floored(1 - std::exp(-std::exp(u)));
    }
}

void weibullPowersScalar(const double* powT, double scale, double* F, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const double e = clampArg(powT[i] * scale, -kInnerHigh, kInnerHigh);
        F[i] = floored(1 - std::exp(-e));
    }
}

// The AVX2 kernels: the same operations in the same order as the scalar ones,
// four lanes at a time; a short tail goes through a padded register so that a
// value never depends on where it stands in the array.

__attribute__((target("avx2,fma"))) inline __m256d clampLanes(__m256d u, double lo, double hi) {
    // min/max return their second operand when one is not a number: u passes through
    return _mm256_max_pd(_mm256_set1_pd(lo), _mm256_min_pd(_mm256_set1_pd(hi), u));
}

__attribute__((target("avx2,fma"))) inline __m256d flooredLanes(__m256d w) {
    const __m256d above = _mm256_cmp_pd(w, _mm256_setzero_pd(), _CMP_GT_OQ);
    return _mm256_blendv_pd(_mm256_set1_pd(kWeibullCdfFloor), w, above);
}

__attribute__((target("avx2,fma"))) inline __m256d oneMinusExpNeg(__m256d e) {
    const __m256d negated = _mm256_sub_pd(_mm256_setzero_pd(), e);
    return _mm256_sub_pd(_mm256_set1_pd(1.0), _ZGVdN4v_exp(negated));
}

template <typename Lanes>
__attribute__((target("avx2,fma"))) inline void eachQuad(const double* in, double* out, std::size_t n,
                                                         Lanes lanes) {
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

#define TOVIMO_AVX2 __attribute__((target("avx2,fma")))

struct ExpLanes {
    TOVIMO_AVX2 __m256d operator()(__m256d v) const { return _ZGVdN4v_exp(v); }
};

struct ClampedExpLanes {
    double A, logB;
    TOVIMO_AVX2 __m256d operator()(__m256d logT) const {
        const __m256d d = _mm256_sub_pd(logT, _mm256_set1_pd(logB));
        return _ZGVdN4v_exp(clampLanes(_mm256_mul_pd(_mm256_set1_pd(A), d), kLogArgLow, kLogArgHigh));
    }
};

struct WeibullInnerLanes {
    TOVIMO_AVX2 __m256d operator()(__m256d e) const { return flooredLanes(oneMinusExpNeg(e)); }
};

struct WeibullPowerLanes {
    double scale;
    TOVIMO_AVX2 __m256d operator()(__m256d powT) const {
        const __m256d e = clampLanes(_mm256_mul_pd(powT, _mm256_set1_pd(scale)), -kInnerHigh, kInnerHigh);
        return flooredLanes(oneMinusExpNeg(e));
    }
};

TOVIMO_AVX2 void expAvx2(const double* x, double* out, std::size_t n) {
    eachQuad(x, out, n, ExpLanes{});
}

TOVIMO_AVX2 void weibullLogsAvx2(double A, double logB, const double* logT, double* F, std::size_t n) {
    // Two passes, each with independent lanes: one pass holding both
    // exponentials would wait on the first of every quad before the second.
    eachQuad(logT, F, n, ClampedExpLanes{A, logB});
    eachQuad(F, F, n, WeibullInnerLanes{});
}

TOVIMO_AVX2 void weibullPowersAvx2(const double* powT, double scale, double* F, std::size_t n) {
    eachQuad(powT, F, n, WeibullPowerLanes{scale});
}

#undef TOVIMO_AVX2

std::atomic<VectorPath>& pathInForce() {
    static std::atomic<VectorPath> path{ProcessorHasAvx2Fma() ? VectorPath::Avx2Fma : VectorPath::Scalar};
    return path;
}

bool useAvx2() {
    return pathInForce().load(std::memory_order_relaxed) == VectorPath::Avx2Fma;
}

} // namespace

bool ProcessorHasAvx2Fma() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
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
    if (useAvx2())
        expAvx2(x, out, n);
    else
        expScalar(x, out, n);
}

void WeibullCdfFromLogs(double A, double logB, const double* logT, double* F, std::size_t n) {
    if (useAvx2())
        weibullLogsAvx2(A, logB, logT, F, n);
    else
        weibullLogsScalar(A, logB, logT, F, n);
}

void WeibullCdfFromPowers(const double* powT, double scale, double* F, std::size_t n) {
    if (useAvx2())
        weibullPowersAvx2(powT, scale, F, n);
    else
        weibullPowersScalar(powT, scale, F, n);
}

} // namespace tovimo
