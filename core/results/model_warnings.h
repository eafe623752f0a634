// The warnings on every executed model after a run: a model that is not
// defined (K = 0), an estimate at a bound of its search, a repeat coefficient
// taken from a formula or from model 2, a percentile at a clamped
// probability, a figure past the last failure, a figure outside model 3's
// bounds, and for model 3 its flat tail, open bounds, the rejection of K = 1,
// a poor fit and left-out failures.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/model_warning.h"

#include <functional>
#include <string>
#include <vector>

namespace tovimo {

// Search range of one parameter of a fit, for the `bound` warning.
struct ParamBound {
    const char* name; // "A", "B", "K_powtor"
    double min, max;
};

// The caption of a model slot in the warnings ("Модель 1.1", ...).
std::string ModelCaption(const std::string& slot);

std::vector<ModelWarning> ModelWarnings(const AnalysisState& st, char decimalSeparator);

// "Предупреждение (<model>): <text>"
std::string WarningMemoLine(const ModelWarning& w);

// Recomputes st.Warnings (every executed model) and appends one memo line per
// warning on the models of `runModels` (slot names): the models the run just
// computed, so that the memo does not repeat the warnings of earlier runs.
void UpdateModelWarnings(AnalysisState& st, char decimalSeparator, const std::vector<std::string>& runModels,
                         const std::function<void(const std::string&)>& memo);

} // namespace tovimo
