// Goodness of fit of the maximum-likelihood model and the calibration of its
// test of K = 1: Pearson's chi-square over columns of equal expected count
// under the fitted model, and p-values by parametric bootstraps that simulate
// fleets from a fitted model and refit them.
#pragma once

#include "core/fit/likelihood_model.h"
#include "core/state/likelihood_result.h"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace tovimo {

// Runs `work(i)` for i in [0, count) on `threads` threads (the hardware's for
// 0); the first exception is carried back to the caller.
void ForEachReplicate(int count, int threads, const std::function<void(int)>& work);

// Column edges over (0, Tzenz]: lower[i] < upper[i] = lower[i + 1].
struct GofColumns {
    std::vector<double> lower, upper;
};

// `count` columns of equal expected failures under the model (A, B): fixed
// before any replicate is drawn, so every replicate is judged on the same ones.
GofColumns ModelColumns(const LikelihoodData& d, double A, double B, int count);

// How many columns a series of n failures is judged on: about four expected
// failures a column, from 3 to 12.
int GofColumnCount(int n);

// Failures per column (a time on an edge belongs to the column below it);
// times outside the columns are not counted.
std::vector<int> CountPerColumn(const GofColumns& cols, const std::vector<double>& times);

// sum (O - E)^2 / E over the columns with E > 0, E = N K times the integral
// of f G over the column (K = 1 in the once mode).
double PearsonChi2(const LikelihoodData& d, const GofColumns& cols, const std::vector<int>& observed,
                   double A, double B, double K);

// Draws failure times of one model: the density f(t) G(t) over (0, Tzenz],
// exactly, from a table of the integral over cells in which G barely changes
// (the steps of the empirical law; short cells of the normal law) and a
// rejection inside the chosen cell.
class FailureTimeSampler {
  public:
    FailureTimeSampler(const LikelihoodData& d, double A, double B);
    double total() const { return total_; } // the integral of f G over (0, Tzenz]
    double Draw(std::mt19937_64& gen) const;

  private:
    const LikelihoodData& d_;
    double A_, B_, total_ = 0;
    std::vector<double> edges_, cumulative_;
};

// The generator of a replicate: the same draws for a seed and a replicate
// number on every platform and for any thread count.
std::mt19937_64 ReplicateGenerator(std::uint64_t seed, std::uint64_t replicate);

// Failure times of one fleet simulated from the model: N products (rounded),
// each failing at most once within the observation (K = 1: a binomial count
// with the share I) or as a Poisson process with mean N K I, the times drawn
// from f G.
std::vector<double> SimulateFailureTimes(const FailureTimeSampler& sampler, const LikelihoodData& d,
                                         LikelihoodKMode mode, double K, std::mt19937_64& gen);
std::vector<double> SimulateFailureTimes(const LikelihoodData& d, LikelihoodKMode mode, double A, double B,
                                         double K, std::uint64_t seed, std::uint64_t replicate);

// The data with other failure times; answers false when the likelihood is
// not defined on them (fewer than two failures, n >= N with K = 1, a failure
// where G = 0).
bool ReplaceTimes(LikelihoodData& d, std::vector<double> times, LikelihoodKMode mode);

// Fills the goodness of fit of a fitted result: columns from the fitted model,
// the observed chi-square and its bootstrap p-value over `settings.bootstrap`
// replicates drawn from the fitted model and refitted. A replicate too poor to
// refit (fewer than two failures) is judged by the model it was drawn from, so
// no replicate is dropped. p = (1 + replicates at least as large) / (1 + used).
void BootstrapGof(const LikelihoodData& d, LikelihoodResult& r, const LikelihoodHooks& hooks = {});

// K free only: the p-value of the test of K = 1 from replicates drawn under
// K = 1 (the model of the best shape and scale at K = 1), each refitted with K
// free and with K = 1; the bootstrap's count and seed.
void BootstrapKTest(const LikelihoodData& d, LikelihoodResult& r, const LikelihoodHooks& hooks = {});

} // namespace tovimo
