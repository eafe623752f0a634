// The log-likelihood of the failure series under the expected-count model:
// a fleet of N products, a Weibull law of failing (shape A, scale B hours) and
// a law of leaving warranty, G(t) the share still under warranty at t.
//   K = 1 (each product fails at most once):
//     ln L = sum ln(f(t_i) G(t_i)) + (N - n) ln(1 - I)
//   K free (failures a Poisson process of intensity N K f(t) G(t)):
//     ln L = sum ln(N K f(t_i) G(t_i)) - N K I
// with I = integral of f(t) G(t) from 0 to Tzenz.
#pragma once

#include "core/fit/exit_time_sums.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tovimo {

// Relative accuracy of the integrals.
inline constexpr double kLikIntegralTolerance = 1e-10;

// A run of model 3 stopped by the user.
struct LikelihoodCancelled : std::runtime_error {
    LikelihoodCancelled() : std::runtime_error("cancelled") {}
};

// What a long run of model 3 tells and asks: a line on what it does now, and
// whether to stop (then it throws LikelihoodCancelled). Either may be empty;
// both may be called from the bootstrap's threads.
struct LikelihoodHooks {
    std::function<void(const std::string&)> progress;
    std::function<bool()> stop;
    void Report(const std::string& text) const {
        if (progress) progress(text);
    }
    void CheckStop() const {
        if (stop && stop()) throw LikelihoodCancelled();
    }
};

// The end of observation under the normal warranty law: where the share still
// under warranty falls below 1e-12.
double NormalLawEnd(double Sred, double SKO);

// The data one likelihood is evaluated on.
struct LikelihoodData {
    std::vector<double> times; // failures with 0 < t <= Tzenz, ascending
    int zeroTimes = 0;         // failures at t <= 0, left out
    int afterWindow = 0;       // failures after Tzenz, left out
    double fleet = 0;          // N
    double Tzenz = 0;          // end of observation: where the law ends, or the user's end
    WarrantyLawKind law = WarrantyLawKind::Normal;
    double Sred = 0, SKO = 0;                     // normal law
    std::vector<double> exitTimes;                // empirical law: warranty-end times, ascending
    std::shared_ptr<const ExitTimeSums> exitSums; // their fast integral (exact sums without it)
    double sumLogT = 0;                           // sum of ln t_i
    double sumLogG = 0;                           // sum of ln G(t_i)
};

// Builds the data from the state, observed up to `window` hours (0: to where
// the warranty law ends). Answers the Russian message that refuses the model,
// or an empty text; the law and the fleet are filled even then. `kMode`
// matters for the check n < N; numbers in the message use `decimalSeparator`.
std::string PrepareLikelihoodData(const AnalysisState& st, WarrantyLawKind law, LikelihoodKMode kMode,
                                  LikelihoodData& data, char decimalSeparator = '.', double window = 0);

// Fewer failures than this give no fit of a shape.
inline constexpr int kLikMinFailures = 2;

// G(t): the share of the fleet still under warranty at t.
double WarrantyShare(const LikelihoodData& d, double t);

// The integral of f(t) G(t) from 0 to `upper`: an exact sum over the steps of
// the empirical law, adaptive Gauss-Kronrod quadrature for the normal law.
double FailureIntegral(const LikelihoodData& d, double A, double B, double upper);

// The integral of f(t) G(t) from `lower` to `upper`.
double FailureIntegral(const LikelihoodData& d, double A, double B, double lower, double upper);

// Evaluates ln L over the distinct failure times with their counts (a large
// series repeats its times); keeps the sum of t_i^A of the last shape, so that
// a search over the scale at one shape costs no pass over the failures.
class LikelihoodEvaluator {
  public:
    explicit LikelihoodEvaluator(const LikelihoodData& d);
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
    std::vector<double> logTimes_; // distinct ln t_i, ascending
    std::vector<double> counts_;   // failures at each
    ExitTimeSums::ShapeCache lawCache_;
    double powA_ = -1, sumPow_ = 0;
    double intA_ = -1, intB_ = -1, intValue_ = 0;
    long long evaluations_ = 0;
};

} // namespace tovimo
