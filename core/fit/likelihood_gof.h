// Goodness of fit of the maximum-likelihood model: Pearson's chi-square over
// the histogram columns up to Tzenz, and its p-value by a parametric
// bootstrap that simulates fleets from the fitted model and refits them.
#pragma once

#include "core/fit/likelihood_model.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <cstdint>
#include <vector>

namespace tovimo {

// The histogram columns whose upper edge is at most Tzenz, as intervals.
struct GofColumns {
    std::vector<double> lower, upper;
};

GofColumns LikelihoodColumns(const AnalysisState& st);

// Failures per column, a failure counted in the first column whose upper edge
// plus 0.1 h lies beyond it (the histogram's rule); later failures are not counted.
std::vector<int> CountPerColumn(const GofColumns& cols, const std::vector<double>& times);

// sum (O - E)^2 / E over the columns with E > 0, E = N K times the integral
// of f G over the column (K = 1 in the once mode).
double PearsonChi2(const LikelihoodData& d, const GofColumns& cols, const std::vector<int>& observed,
                   double A, double B, double K);

// Failure times of one fleet simulated from the model: N products (rounded),
// each leaving warranty by the data's law and failing by the Weibull law once
// (K = 1) or as a Poisson process with mean K F(t), observed up to Tzenz.
std::vector<double> SimulateFailureTimes(const LikelihoodData& d, LikelihoodKMode mode, double A, double B,
                                         double K, std::uint64_t seed, std::uint64_t replicate);

// The data with other failure times; answers false when the likelihood is
// not defined on them (no failure, n >= N with K = 1, a failure where G = 0).
bool ReplaceTimes(LikelihoodData& d, std::vector<double> times, LikelihoodKMode mode);

// Fills gofChi2, gofP and gofReplicates of a fitted result: the replicates
// run on `settings.threads` threads (the hardware's count for 0), each from
// its own generator seeded by the seed and its number, so the p-value is the
// same for any thread count. p is the share of replicates whose chi-square is
// at least the observed one (not a number with no replicate).
void BootstrapGof(const LikelihoodData& d, const GofColumns& cols, LikelihoodResult& r);

} // namespace tovimo
