// The texts of model 3 by cause and of the warranty forecast, as the windows,
// the text output, the report and the CSV files show them: one place for the
// cells, the columns and their number formats.
#pragma once

#include "core/fit/likelihood_causes.h"
#include "core/fit/warranty_forecast.h"

#include <array>
#include <string>
#include <vector>

namespace tovimo {

inline constexpr int kCausesColumns = 10;
inline constexpr const char* kCausesHeader[kCausesColumns] = {"Причина",
                                                              "Отказов",
                                                              "A",
                                                              "B, ч",
                                                              "K",
                                                              "Отказов/изд. за 1000 ч",
                                                              "Отказов/изд. за 2000 ч",
                                                              "Отказов/изд. за 4000 ч",
                                                              "Доля отказов/изд. за 4000 ч",
                                                              "Примечание"};
using CausesRow = std::array<std::string, kCausesColumns>;

// One row per cause in the result's order: each figure as "estimate (lower–upper)"
// in the bounds panel's formats, an open side as "≥ x" or "≤ x"; a cause with
// too few failures gets its count and the upper bounds of its failures per
// product for the assumed shapes 1, 2 and 3.
std::vector<CausesRow> CausesRows(const CausesResult& r, char decimalSeparator);

// The test of one shape in a line: the statistic, the degrees of freedom, p and
// what it means at the level; or why it was not made.
std::string ShapeTestLine(const CausesResult& r, char decimalSeparator);

// causes.csv: a row per cause, every figure and bound its own numeric cell.
std::string CausesCsv(const CausesResult& r, char decimalSeparator);

inline constexpr int kForecastColumns = 4;
inline constexpr const char* kForecastHeader[kForecastColumns] = {
    "Наработка, ч", "Ожидаемое число отказов", "Доверительный интервал", "Интервал предсказания"};
using ForecastRow = std::array<std::string, kForecastColumns>;

// The table every step up to the horizon, then the total under warranty and,
// with an extension, the extended total and what the extension costs.
std::vector<ForecastRow> ForecastRows(const ForecastResult& r, char decimalSeparator);

// The forecast's conditions in a line: fleet, law, level, the model.
std::string ForecastSummaryLine(const ForecastResult& r, char decimalSeparator);

// forecast.csv: time, expected count, the bounds of both intervals as numbers.
std::string ForecastCsv(const ForecastResult& r, char decimalSeparator);

} // namespace tovimo
