// The warranty forecast of a fitted model 3: how many failures a fleet of M
// products whose warranty ends by a given law will report under warranty, by
// operating time t and in all, with a confidence interval of the expected count
// (parameter uncertainty, by the profile likelihood of the count) and a
// prediction interval of the count itself (adding the Poisson, or with K = 1
// binomial, scatter of the new fleet's failures).
//
// The expected count by t is E(t) = M K integral from 0 to t of f(s) G'(s) ds
// with G' the new fleet's share still under warranty. The prediction interval
// mixes the count's law over the expected counts the data allow: the signed
// root of the profile's drop, sign(E - Ê) sqrt(2 (ln L̂ - ln L_p(E))), is taken
// as standard normal, and the count's distribution function is averaged over
// the E at five Gauss-Hermite nodes of it.
#pragma once

#include "core/fit/likelihood_model.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <string>
#include <vector>

namespace tovimo {

// The new fleet and its warranty law.
struct ForecastSettings {
    double fleet = 0; // M; 0: the fitted fleet
    WarrantyLawKind law = WarrantyLawKind::Normal;
    double mean = 0, sd = 0;       // normal law; 0 and 0: the fitted law
    std::vector<double> exitTimes; // empirical law: warranty-end times
    double horizon = 0;            // hours; 0: the law's mean + 3 SD
    double step = 500;             // hours between the table's rows
    double level = 0.95;
    double extend = 0; // hours the warranty is extended by in the "what if" line; 0: none
};

// One forecast figure: the expected count and the intervals of it and of the
// count itself. An open side (the data do not close it) is not a number.
struct ForecastFigure {
    double time = 0; // operating time; for the totals the law's end
    double expected = 0;
    LikInterval confidence, prediction;
};

struct ForecastResult {
    bool done = false;
    std::string refusal; // Russian, when nothing could be forecast
    double fleet = 0, mean = 0, sd = 0, horizon = 0, lawEnd = 0, level = 0.95;
    WarrantyLawKind law = WarrantyLawKind::Normal;
    LikelihoodKMode kMode = LikelihoodKMode::Once;
    std::vector<ForecastFigure> rows; // cumulative failures by time, every step up to the horizon
    ForecastFigure total;             // under warranty, over the whole law
    bool extended = false;
    double extend = 0;
    ForecastFigure extendedTotal; // under the extended warranty
    ForecastFigure extra;         // what the extension costs: extendedTotal - total
};

// The new law as data for FailureIntegral: the fitted data with the new law.
LikelihoodData ForecastLaw(const LikelihoodData& fitted, const ForecastSettings& s, double shift = 0);

// The forecast from the data model 3 was fitted on and its estimate (A, B, K,
// ln L). Refuses, in Russian, on a law without spread, a fleet that is not a
// positive number, or a model that was not fitted.
ForecastResult ForecastWarranty(const LikelihoodData& fitted, LikelihoodKMode kMode, double A, double B,
                                double K, double loglik, const ForecastSettings& s);

// The forecast of model 3 fitted on the state's series with the K mode, law
// and window of `settings`; with `cause` > 0 of that cause's own model (K free
// on its failures alone). The refusal names why no model could be fitted.
ForecastResult ForecastFromState(const AnalysisState& st, const LikelihoodSettings& settings, int cause,
                                 const ForecastSettings& forecast, char decimalSeparator = '.');

// The bounds [lower, upper] of a count with expected value `mean` at `level`,
// mixed over the expected counts `nodes` (with weights summing to 1): Poisson,
// or with `fleet` > 0 binomial with fleet trials.
std::pair<double, double> MixedCountInterval(const std::vector<double>& nodes,
                                             const std::vector<double>& weights, double level, double fleet);

} // namespace tovimo
