// The maximum-likelihood model's settings and everything its fit produces
// beyond the model slot: the likelihood, the confidence bounds of the
// parameters and of the results table's figures, the test of one failure per
// product, the goodness of fit and the pointwise band of the accumulation.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tovimo {

// How a product fails: at most once (K = 1), or repeatedly as a Poisson
// process whose expected count per product is K times the Weibull law.
enum class LikelihoodKMode { Once, Free };

// The share of the fleet still under warranty: the normal law of the run, or
// the empirical law of the loaded warranty-end times.
enum class WarrantyLawKind { Normal, Empirical };

inline constexpr double kLikelihoodLevels[3] = {0.90, 0.95, 0.99};

struct LikelihoodSettings {
    LikelihoodKMode kMode = LikelihoodKMode::Once;
    double level = 0.95; // confidence level of the bounds and the tests
    WarrantyLawKind law = WarrantyLawKind::Normal;
    int bootstrap = 200;    // replicates of the goodness-of-fit p-value, 0 for none
    std::uint64_t seed = 1; // of the bootstrap
    int threads = 0;        // bootstrap threads, 0 for the hardware's count
};

// The figures that get a confidence interval, in this order.
enum class LikFigure { A, B, K, T10, T20, T50, F1000, F2000, F4000 };
inline constexpr int kLikFigureCount = 9;
// JSON keys of the figures, in the order of LikFigure.
inline constexpr const char* kLikFigureKeys[kLikFigureCount] = {"A",   "B",     "K_powtor", "T10",  "T20",
                                                                "T50", "F1000", "F2000",    "F4000"};

// A two-sided interval; an open side was not reached inside the search range
// and holds the range end.
struct LikInterval {
    bool present = false; // no interval for K when K is held at 1
    double lower = 0, upper = 0;
    bool lowerOpen = false, upperOpen = false;
};

struct LikelihoodResult {
    bool fitted = false;
    std::string refusal; // the message when the model was not fitted
    LikelihoodSettings settings;

    int n = 0;              // failures in (0, Tzenz]
    int zeroTimes = 0;      // failures at t <= 0 left out
    double fleet = 0;       // Izd_Prived
    double lastFailure = 0; // time of the last failure used

    double A = 0, B = 0, K = 1;
    double loglik = 0;
    bool atBound = false; // an estimate at a bound of its search range

    std::array<double, kLikFigureCount> estimates{};
    std::array<LikInterval, kLikFigureCount> intervals{};

    // K free only: likelihood-ratio test of K = 1.
    bool lrDone = false;
    double lrStat = 0, lrP = 1;

    // Pearson chi-square over the histogram columns up to Tzenz with its
    // bootstrap p-value (p not a number when no replicate was run).
    double gofChi2 = 0;
    double gofP = 0;
    int gofReplicates = 0;

    // The expected accumulation per product with the warranty correction at the
    // histogram columns' upper edges, with its pointwise bounds.
    std::vector<double> bandTimes, bandValue, bandLower, bandUpper;
};

} // namespace tovimo
