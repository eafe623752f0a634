// Exponentials of whole arrays, the cost that dominates every criterion
// evaluation. The build targets baseline x86-64; where the processor has AVX2
// and FMA, four lanes are computed at a time, otherwise one. Both paths run
// the same table-and-polynomial kernel operation for operation, so they give
// the same bits, within about one unit in the last place of the exact value.
// The path is chosen once per process from the processor's features and may
// be switched, so that tests and benchmarks can compare the two.
#pragma once

#include <cstddef>

namespace tovimo {

enum class VectorPath { Scalar, Avx2Fma };

bool ProcessorHasAvx2Fma();
VectorPath ActiveVectorPath();
// Puts `path` in force for the whole process (AVX2 only where the processor
// has it) and returns the path now in force. Not to be called while another
// thread evaluates.
VectorPath SelectVectorPath(VectorPath path);

// out[i] = exp(x[i]) for i < n, subnormal results, 0, infinity and
// not-a-number included; `out` may be `x`. Every value is the same whatever
// its position in the array.
void ExpArray(const double* x, double* out, std::size_t n);

// The least value of the Weibull distribution function (weibCDF).
inline constexpr double kWeibullCdfFloor = 1e-30;

// F[i] = 1 - exp(-exp(A (logT[i] - logB))), floored at kWeibullCdfFloor:
// weibCDF(A, B, t) of a valid pair from the logarithms of t and B.
void WeibullCdfFromLogs(double A, double logB, const double* logT, double* F, std::size_t n);

// F[i] = 1 - exp(-(powT[i] * scale)), floored: weibCDF from t^A and B^-A.
void WeibullCdfFromPowers(const double* powT, double scale, double* F, std::size_t n);

// Four Weibull laws side by side, lane b with A[b] and logB[b], over the
// columns k < n with upper times e^logT[k]: in lane b, F_k = weibCDF as
// WeibullCdfFromLogs gives it (kWeibullCdfFloor for every column of a lane
// whose `valid[b]` is false), the expected count
// e_k = (scale * (F_k - F_{k-1})) * keep[4k + b] with F_{-1} the floor, and,
// summed in column order, expected[b] = sum of e_k and
// misses[b] = sum of (observed[k] - e_k)^2. Each lane performs exactly the
// operations of one law computed alone, so its bits do not depend on the
// other lanes.
void WeibullExpectedMisses4(const double A[4], const double logB[4], const bool valid[4], const double* logT,
                            const double* keep, const double* observed, double scale, std::size_t n,
                            double expected[4], double misses[4]);

// Sums of four interleaved sequences: element 4j + b is the j-th of sequence
// b. Both paths do the same operations per sequence in the same order.
//
// sums[4j + b] = sums[4(j - 1) + b] + (F[4j + b] - F[4(j - 1) + b]) * keep[4j + b],
// with before[b] standing for the F before the first and 0 for the sum before
// the first; totals[b] receives the last sum of sequence b.
void LaneRunningSums(const double* F, const double* keep, const double before[4], double* sums,
                     std::size_t rows, double totals[4]);

// WeibullCdfFromPowers(powT, scale, F, 4 rows) and then
// LaneRunningSums(F, keep, before, sums, rows, totals) in one pass, with the
// same bits.
void WeibullPowerRunningSums(const double* powT, double scale, const double* keep, const double before[4],
                             double* F, double* sums, std::size_t rows, double totals[4]);

// The sum over all elements q of weight[q] * (rank[q] - (base[q % 4] + sums[q]) * scale)^2,
// summed per sequence and then as (s0 + s1) + (s2 + s3).
double LaneSquaredMisses(const double* rank, const double* sums, const double* weight, const double base[4],
                         double scale, std::size_t rows);

} // namespace tovimo
