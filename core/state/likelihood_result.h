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
    int bootstrap = 200;          // replicates of the goodness-of-fit p-value, 0 for none
    std::uint64_t seed = 1;       // of the bootstrap
    int threads = 0;              // bootstrap threads, 0 for the hardware's count
    double window = 0;            // end of observation in hours, 0: where the warranty law ends
    bool percentileBounds = true; // bounds of T10, T20, T50 (the fits by cause do without)
};

// The figures that get a confidence interval, in this order.
enum class LikFigure { A, B, K, T10, T20, T50, F1000, F2000, F4000 };
inline constexpr int kLikFigureCount = 9;
// JSON keys of the figures, in the order of LikFigure.
inline constexpr const char* kLikFigureKeys[kLikFigureCount] = {"A",   "B",     "K_powtor", "T10",  "T20",
                                                                "T50", "F1000", "F2000",    "F4000"};

// A two-sided interval. A side the data do not close (the profile stays above
// its cutoff however far it is followed, or flattens out) is open: its value is
// not a number and the figure reads "≥ lower", "≤ upper" or, with both sides
// open, "не ограничена данными".
struct LikInterval {
    bool present = false; // no interval for K when K is held at 1
    double lower = 0, upper = 0;
    bool lowerOpen = false, upperOpen = false;
};

// Upper bounds of the failures per product at 1000, 2000 and 4000 h for an
// assumed shape, when the series holds too few failures to fit one: the
// expected count that would have given the observed failures or fewer with
// probability 1 - level, under the fleet's exposure.
struct AssumedShapeBound {
    double shape = 1;
    std::array<double, 3> upper{}; // at 1000, 2000, 4000 h
};

struct LikelihoodResult {
    bool fitted = false;
    std::string refusal; // the message when the model was not fitted
    LikelihoodSettings settings;

    int n = 0;                // failures in (0, windowEnd]
    int zeroTimes = 0;        // failures at t <= 0 left out
    int afterWindow = 0;      // failures after the end of observation, left out
    double fleet = 0;         // Izd_Prived
    double lastFailure = 0;   // time of the last failure used
    double windowEnd = 0;     // end of observation: where the warranty law ends, or the user's
    bool windowGiven = false; // the end was given by the user

    double A = 0, B = 0, K = 1;
    double loglik = 0;
    // The maximum lies in a flat tail: the likelihood still rises, or no longer
    // changes, as a parameter runs off to zero or infinity; the estimate is
    // where the search stopped and says nothing by itself.
    bool atBound = false;
    std::string flatParameter; // "A", "B" or "K": which one runs off

    // Fewer than two failures: no fit; upper bounds for assumed shapes 1, 2, 3.
    std::vector<AssumedShapeBound> assumedShape;

    std::array<double, kLikFigureCount> estimates{};
    std::array<LikInterval, kLikFigureCount> intervals{};

    // K free only: likelihood-ratio test of K = 1. Its p-value comes from a
    // parametric bootstrap of the statistic under K = 1 (the bootstrap's count
    // and seed); with no replicate it falls back to chi-square with one degree
    // of freedom (lrReplicates 0).
    bool lrDone = false;
    double lrStat = 0, lrP = 1;
    int lrReplicates = 0;

    // Pearson chi-square over columns of equal expected count under the fitted
    // model, with its bootstrap p-value (p not a number when no replicate was
    // run); every replicate is kept, gofReplicates of gofRequested were used.
    double gofChi2 = 0;
    double gofP = 0;
    int gofReplicates = 0;
    int gofRequested = 0;
    int gofColumns = 0;

    // The expected accumulation per product with the warranty correction at the
    // histogram columns' upper edges, with its pointwise bounds.
    std::vector<double> bandTimes, bandValue, bandLower, bandUpper;
};

} // namespace tovimo
