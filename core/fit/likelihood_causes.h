// Model 3 by failure cause. With K free the likelihood of the whole series is
// a sum of one term per cause: each cause is a Poisson process of intensity
// N K_c f_c(t) G(t) with the same fleet and warranty law, so each cause gets
// its own A_c, B_c, K_c fitted on its failures alone. A likelihood-ratio test
// of one shape for all causes (own scales and K) says whether they age
// differently.
#pragma once

#include "core/fit/likelihood_model.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <string>
#include <vector>

namespace tovimo {

// Fewer failures than this give a cause only its count and the bounds for
// assumed shapes.
inline constexpr int kCauseMinFailures = 3;

inline constexpr const char* kCauseNoteBurnIn = "приработочные отказы";
inline constexpr const char* kCauseNoteWearOut = "износ";

struct CauseFit {
    int cause = 0;    // index in the ranked cause table (NPrich + 1: "Другие")
    std::string name; // UTF-8
    int n = 0;        // its failures in the observation window
    bool fitted = false;
    std::string refusal;  // why a cause with enough failures was not fitted
    LikelihoodResult fit; // K free: A, B, K and the failures per product with their bounds
    std::vector<AssumedShapeBound> assumedShape; // fewer than kCauseMinFailures
    double atMean = 0;                           // failures per product at the warranty law's mean, K F(mean)
    double share4000 = 0;                        // of the causes' total failures per product at 4000 h
    std::string note;                            // burn-in, wear-out or nothing, from the bounds of A
    // The observed accumulation per product, corrected for the products that
    // left warranty: after each failure time, the sum of 1 / (N G(t_i)).
    std::vector<double> observedTimes, observedPerProduct;
};

// Likelihood-ratio test of "all causes share one shape" over the fitted
// causes: free shapes against one shape with each cause's own scale and K.
struct ShapeTest {
    bool done = false; // needs two fitted causes
    int causes = 0;    // fitted causes in the test; degrees of freedom causes - 1
    double commonA = 0;
    double stat = 0, p = 1;
};

struct CausesResult {
    bool done = false;
    std::string refusal;
    double level = 0.95;
    double fleet = 0, windowEnd = 0, lawMean = 0;
    // sorted by failures per product at the law's mean, largest first; causes
    // with too few failures after the fitted ones, by their count
    std::vector<CauseFit> causes;
    ShapeTest shapeTest;
};

// The failures of one cause as model 3 sees them: the times of the records
// whose cause index is `cause`, inside the window of `all`.
std::vector<double> CauseTimes(const AnalysisState& st, const LikelihoodData& all, int cause);

// The burn-in or wear-out note from the interval of A at the level.
std::string CauseNote(const LikInterval& a);

// Fits every cause of the ranked table, "Другие" last, with the law, level and
// window of `settings` (K is free whatever settings.kMode says, and no
// bootstrap runs). Refuses, with the Russian message, when the data give no
// likelihood at all (a warranty law without spread, no fleet).
CausesResult FitByCause(const AnalysisState& st, const LikelihoodSettings& settings,
                        char decimalSeparator = '.', const LikelihoodHooks& hooks = {});

// The test of one shape on data already split by cause and fitted.
ShapeTest TestCommonShape(const std::vector<LikelihoodData>& data, const std::vector<double>& logliks);

// The expected failures per product of a cause by time t: K F(t).
double CauseFailuresPerProduct(const CauseFit& c, double t);

// The observed accumulation per product of the fitted causes together: their
// failures merged in time order, each adding what it added to its own cause's.
struct ObservedAccumulation {
    std::vector<double> times, perProduct;
};
ObservedAccumulation ObservedTotalPerProduct(const CausesResult& r);

} // namespace tovimo
