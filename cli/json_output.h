// JSON views of the analysis state for the command-line front end.
#pragma once

#include "core/state/analysis_state.h"

#include <nlohmann/json.hpp>

namespace tovimo::cli {

// A number, or null for one that is not finite.
nlohmann::json Num(double v);
nlohmann::json NumArray(const std::vector<double>& v);
// {"lower", "upper", "lower_open", "upper_open"}, an open side null; null
// when there is no interval.
nlohmann::json IntervalJson(const LikInterval& in);
// The upper bounds of the failures per product for assumed shapes:
// [{shape, F1000_upper, F2000_upper, F4000_upper}].
nlohmann::json AssumedShapeJson(const std::vector<AssumedShapeBound>& bounds);
nlohmann::json HistogramJson(const AnalysisState& st);
nlohmann::json ModelJson(const Mod_Weib& m);
// The slot fields of model 3 with its likelihood, bounds, tests and band.
nlohmann::json LikelihoodJson(const Mod_Weib& m, const LikelihoodResult& r);
// Model 3's bounds as its panel shows them: {header, summary, rows}.
nlohmann::json BoundsJson(const AnalysisState& st, char decimalSeparator);
// A list of {model, code, text}.
nlohmann::json WarningsJson(const std::vector<ModelWarning>& warnings);
// Everything a load and a run leave in the state, under the state's names.
nlohmann::json StateJson(const AnalysisState& st);

} // namespace tovimo::cli
