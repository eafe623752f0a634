// Model 1.2: the Pearson criterion minimised by a one-parameter-at-a-time
// step search ("метод Ньютона"), stored in MPirsN.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

inline constexpr const char* kNewtonDone = "Расчёт модели по Пирсону методом Ньютона выполнен за ";

// The step search from `v` with step-reduction factor `factor`; `start` is
// the clock reading the elapsed time counts from. Leaves the fitted point in
// v.A_s and returns the criterion there.
double NewtonSearch(AnalysisState& st, SearchVectors& v, double factor, double start,
                    const SearchCriterion& ZF, FitClock& clock, const StopFn& stop = {});

// Reads its factor from Edit6 (ConvertError when not a number) and the form's
// criterion choice; `Arez` and `Brez` receive the fitted shape and scale.
void Podbor_Weib_Pirson(AnalysisState& st, const MainForm& form, double& Arez, double& Brez, FitClock& clock,
                        const FitCallbacks& cb);

} // namespace tovimo
