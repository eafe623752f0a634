// The texts of the bounds panel: one row per figure of the maximum-likelihood
// model with its estimate, its confidence bounds and a note, and the lines
// that say how the model was fitted and tested. The figures' number formats
// live here too, so that a warning writes a figure as the panel does.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"

#include <array>
#include <string>
#include <vector>

namespace tovimo {

inline constexpr int kBoundsColumns = 5;
inline constexpr const char* kBoundsHeader[kBoundsColumns] = {"Показатель", "Оценка", "Нижняя граница",
                                                              "Верхняя граница", "Примечание"};
inline constexpr const char* kBoundsOpenNote = "не ограничена данными";
inline constexpr const char* kBoundsExtrapolationNote = "экстраполяция";

using BoundsRow = std::array<std::string, kBoundsColumns>;

// A figure's value in its one format ("%.3f" for A, "%.2f" for B, "%.4f" for
// K and the failures per product, whole hours for the percentiles), without
// its unit; a dash when it is not finite.
std::string LikFigureNumber(LikFigure fig, double v, char decimalSeparator);
// The value as that format rounds it, for comparisons that must agree with the texts.
double LikFigureRounded(LikFigure fig, double v);
// The same followed by the figure's unit (" ч" for B and the percentiles).
std::string LikFigureValue(LikFigure fig, double v, char decimalSeparator);
// The figure's name in running text: "A", "10% перцентиль", "отказов/изд. за 1000 ч".
const char* LikFigureName(LikFigure fig);
// The time a failures-per-product figure is taken at (1000, 2000, 4000 h); 0 for the others.
double LikFigureTime(LikFigure fig);
// The interval in running text: "2041–21170 ч", "≥ 2041 ч" (the upper side
// open), "≤ 21170 ч" (the lower side open) or "не ограничена данными".
std::string LikIntervalText(LikFigure fig, const LikInterval& in, char decimalSeparator);
// A side of an interval that has a value: not marked open and finite.
bool LowerClosed(const LikInterval& in);
bool UpperClosed(const LikInterval& in);

// One row per figure in the order of LikFigure; empty when the model was not
// fitted. An open side's cell is a dash and the closed side carries "≥" or
// "≤"; the parameter of a flat tail has no estimate.
std::vector<BoundsRow> LikelihoodBoundsRows(const LikelihoodResult& r, char decimalSeparator);

// A fit refused for too few failures: a row per assumed shape and time with
// the upper bound of the failures per product, marked as resting on that shape.
std::vector<BoundsRow> AssumedShapeRows(const LikelihoodResult& r, char decimalSeparator);

// The rows the panel, the report, the CSV and the text output show: the
// fit's rows when model 3 ran, the assumed-shape rows when it was refused.
std::vector<BoundsRow> ShownBoundsRows(const AnalysisState& st, char decimalSeparator);

// The fit in a few lines: the way of failing, the law, the failures and the
// reduced fleet, the end of observation, the level and ln L, the test of K = 1
// with its reading and the goodness of fit; the refusal when it was not
// fitted, with what the assumed-shape rows rest on.
std::vector<std::string> LikelihoodSummaryLines(const LikelihoodResult& r, bool executed,
                                                char decimalSeparator);

} // namespace tovimo
