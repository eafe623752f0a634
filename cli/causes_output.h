// Model 3 by cause and the warranty forecast on the command line: JSON views
// and the text tables (the same cells as the windows show).
#pragma once

#include "core/fit/likelihood_causes.h"
#include "core/fit/warranty_forecast.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace tovimo::cli {

// {refusal?, level, causes: [{name, n, fitted, estimates, intervals, assumed_shape,
// at_mean, share_4000, note}], shape_test: {done, stat, df, p, common_A}}
nlohmann::json CausesJson(const CausesResult& r);

// {refusal?, fleet, law, mean, sd, horizon, law_end, level, k_mode, rows: [...],
// total, extended?, extra?}; each figure {time, expected, confidence, prediction}.
nlohmann::json ForecastJson(const ForecastResult& r);

void PrintCauses(std::ostream& out, const CausesResult& r, char decimalSeparator);
void PrintForecast(std::ostream& out, const ForecastResult& r, char decimalSeparator);

} // namespace tovimo::cli
