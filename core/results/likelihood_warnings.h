// The warnings that come from model 3: its flat tail, its open bounds, the
// rejection of K = 1, a poor fit, left-out failures, and the figures of the
// other models that its bounds exclude.
#pragma once

#include "core/state/analysis_state.h"

#include <string>
#include <vector>

namespace tovimo {

struct WarningText {
    const char* code;
    std::string text;
};

// Model 3's own warnings after its fit: `bound` for a maximum in a flat tail,
// `open_interval`, `k1_rejected`, `gof`, `zero_times`, `after_window`.
std::vector<WarningText> LikelihoodWarnings(const Mod_Weib& m, const LikelihoodResult& r,
                                            char decimalSeparator);

// `moved_times`: how many failures the loader moved down to Sred + 3·SKO and
// the largest move, which model 3 does not take (it fits the times as read);
// empty when none was moved.
std::vector<WarningText> MovedTimesWarnings(const std::vector<Problems>& failures, char decimalSeparator);

// `outside_bounds`: each percentile and failures per product of `m`, as the
// results table computes them, that lies outside model 3's interval; an open
// side excludes nothing. Empty when model 3 was not fitted.
std::vector<WarningText> OutsideBoundsWarnings(const Mod_Weib& m, const LikelihoodResult& r,
                                               char decimalSeparator);

} // namespace tovimo
