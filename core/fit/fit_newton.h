// Model 1.2: the Pearson criterion minimised by a one-parameter-at-a-time
// step search ("метод Ньютона"), stored in MPirsN.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"

namespace tovimo {

inline constexpr SearchRows kNewtonRows{{2000, 10, 50000, 0.25, 1e-5},
                                        {1, 0.5, 3, 0.001, 1e-8},
                                        {1500, 100, 6000, 1, 0.05},
                                        {500, 30, 2000, 1, 0.005},
                                        {150, 30, 900, 5, 0.01}};

inline constexpr const char* kNewtonDone = "Расчёт модели по Пирсону методом Ньютона выполнен за ";

// The step search from `v` with step-reduction factor `factor`; `start` is
// the clock reading the elapsed time counts from. Leaves the fitted point in
// v.A_s and returns the criterion there.
double NewtonSearch(AnalysisState& st, SearchVectors& v, double factor, double start,
                    const SearchCriterion& ZF, FitClock& clock, const StopFn& stop = {});

// `Arez` and `Brez` receive the fitted shape and scale.
void Podbor_Weib_Pirson(AnalysisState& st, const FitSettings& fs, double& Arez, double& Brez, FitClock& clock,
                        const FitCallbacks& cb);

} // namespace tovimo
