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

} // namespace tovimo
