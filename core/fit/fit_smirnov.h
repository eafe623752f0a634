// Model 2: the Smirnov criterion minimised over the Weibull scale and shape
// and the repeat coefficient, stored in MSmirn. The warranty law is used as
// it stands when the fit starts.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

inline constexpr const char* kSmirnovDone = "Расчёт модели по Смирнову выполнен за ";

// The step search over (B, A, K_powtor) from `v` with step-reduction factor
// `factor`; `start` is the clock reading the elapsed time counts from.
// Leaves the fitted point in v.A_s.
void SmirnovSearch(AnalysisState& st, SearchVectors& v, double factor, double start,
                   const SearchCriterion& criterion, FitClock& clock, const StopFn& stop = {});

// Reads its factor from Edit5 (ConvertError when not a number); `Arez` and
// `Brez` receive the fitted shape and scale.
void Podbor_Weib_Smirnow(AnalysisState& st, const MainForm& form, double& Arez, double& Brez, FitClock& clock,
                         const FitCallbacks& cb);

} // namespace tovimo
