// The texts of the bounds panel: one row per figure of the maximum-likelihood
// model with its estimate, its confidence bounds and a note, and the lines
// that say how the model was fitted and tested.
#pragma once

#include "core/state/likelihood_result.h"

#include <array>
#include <string>
#include <vector>

namespace tovimo {

inline constexpr int kBoundsColumns = 5;
inline constexpr const char* kBoundsHeader[kBoundsColumns] = {"Показатель", "Оценка", "Нижняя граница",
                                                              "Верхняя граница", "Примечание"};
inline constexpr const char* kBoundsOpenNote = "не ограничено данными";
inline constexpr const char* kBoundsExtrapolationNote = "экстраполяция";

using BoundsRow = std::array<std::string, kBoundsColumns>;

// One row per figure in the order of LikFigure; empty when the model was not fitted.
std::vector<BoundsRow> LikelihoodBoundsRows(const LikelihoodResult& r, char decimalSeparator);

// The fit in a few lines: the way of failing, the law, the level and ln L,
// the test of K = 1 and the goodness of fit; the refusal when it was not fitted.
std::vector<std::string> LikelihoodSummaryLines(const LikelihoodResult& r, bool executed,
                                                char decimalSeparator);

} // namespace tovimo
