// Model 2: the Smirnov criterion minimised over the Weibull scale and shape
// and the repeat coefficient, stored in MSmirn. The warranty law is used as
// it stands when the fit starts.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"

namespace tovimo {

// B, A and, in the place of the warranty mean, the repeat coefficient.
inline constexpr SearchRows kSmirnovRows{
    {2000, 1, 90000, 0.25, 1e-5}, {1, 0.3, 3, 0.0002, 1e-7}, {1.1, 1.01, 30, 0.0001, 1e-8}, {}, {}};

inline constexpr const char* kSmirnovDone = "Расчёт модели по Смирнову выполнен за ";

// The step search over (B, A, K_powtor) from `v` with step-reduction factor
// `factor`; `start` is the clock reading the elapsed time counts from.
// Leaves the fitted point in v.A_s.
void SmirnovSearch(AnalysisState& st, SearchVectors& v, double factor, double start,
                   const SearchCriterion& criterion, FitClock& clock, const StopFn& stop = {});

// `Arez` and `Brez` receive the fitted shape and scale.
void Podbor_Weib_Smirnow(AnalysisState& st, const FitSettings& fs, double& Arez, double& Brez,
                         FitClock& clock, const FitCallbacks& cb);

} // namespace tovimo
