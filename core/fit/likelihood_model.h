// The log-likelihood of the failure series under the expected-count model:
// a fleet of N products, a Weibull law of failing (shape A, scale B hours) and
// a law of leaving warranty, G(t) the share still under warranty at t.
//   K = 1 (each product fails at most once):
//     ln L = sum ln(f(t_i) G(t_i)) + (N - n) ln(1 - I)
//   K free (failures a Poisson process of intensity N K f(t) G(t)):
//     ln L = sum ln(N K f(t_i) G(t_i)) - N K I
// with I = integral of f(t) G(t) from 0 to Tzenz.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <string>
#include <vector>

namespace tovimo {

// Search ranges of the maximum-likelihood fit.
inline constexpr double kLikAMin = 0.05, kLikAMax = 20;
inline constexpr double kLikBMin = 1, kLikBMax = 1e7;
inline constexpr double kLikKMin = 1e-4, kLikKMax = 1e4;
// Relative accuracy of the integrals.
inline constexpr double kLikIntegralTolerance = 1e-10;

// The data one likelihood is evaluated on.
struct LikelihoodData {
    std::vector<double> times; // failures with 0 < t <= Tzenz, ascending
    int zeroTimes = 0;         // failures at t <= 0, left out
    double fleet = 0;          // N
    double Tzenz = 0;
    WarrantyLawKind law = WarrantyLawKind::Normal;
    double Sred = 0, SKO = 0;      // normal law
    std::vector<double> exitTimes; // empirical law: warranty-end times, ascending
    double sumLogT = 0;            // sum of ln t_i
    double sumLogG = 0;            // sum of ln G(t_i)
};

// Builds the data from the state. Answers the Russian message that refuses the
// model, or an empty text. `kMode` matters for the check n < N; numbers in the
// message use `decimalSeparator`.
std::string PrepareLikelihoodData(const AnalysisState& st, WarrantyLawKind law, LikelihoodKMode kMode,
                                  LikelihoodData& data, char decimalSeparator = '.');

// G(t): the share of the fleet still under warranty at t.
double WarrantyShare(const LikelihoodData& d, double t);

// The integral of f(t) G(t) from 0 to `upper`: an exact sum over the steps of
// the empirical law, adaptive Gauss-Kronrod quadrature for the normal law.
double FailureIntegral(const LikelihoodData& d, double A, double B, double upper);

// The integral of f(t) G(t) from `lower` to `upper`.
double FailureIntegral(const LikelihoodData& d, double A, double B, double lower, double upper);

// Evaluates ln L; keeps the sum of t_i^A of the last shape, so that a search
// over the scale at one shape costs one pass over the failures.
class LikelihoodEvaluator {
  public:
    explicit LikelihoodEvaluator(const LikelihoodData& d) : d_(d) {}
    const LikelihoodData& data() const { return d_; }

    // sum ln f(t_i)
    double SumLogDensity(double A, double B);
    // ln L with K = 1; minus infinity where 1 - I is not positive.
    double LogLikOnce(double A, double B);
    // ln L of the Poisson process with the given K.
    double LogLikFree(double A, double B, double K);
    // The K that maximises LogLikFree at A and B: n / (N I), not clamped.
    double ClosedFormK(double A, double B);
    // The integral up to Tzenz, kept for the last (A, B).
    double Integral(double A, double B);
    long long evaluations() const { return evaluations_; }

  private:
    const LikelihoodData& d_;
    double powA_ = -1, sumPow_ = 0;
    double intA_ = -1, intB_ = -1, intValue_ = 0;
    long long evaluations_ = 0;
};

} // namespace tovimo
