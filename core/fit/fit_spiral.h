// Model 1.1: the Pearson criterion minimised by spiral descent, stored in
// MPirsS. A swing that fails returns one step beyond the last accepted
// point, and the fit ends at the latest about 11 seconds after its start.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"

namespace tovimo {

inline constexpr SearchRows kSpiralRows{{1000, 10, 99000, 0.25, 1e-8},
                                        {1, 0.35, 10, 5e-5, 1e-9},
                                        {2000, 150, 6000, 0.125, 0.01},
                                        {600, 50, 2000, 0.125, 0.01},
                                        {100, 80, 900, 0.25, 0.1}};

inline constexpr const char* kSpiralDone = "Расчёт модели по Пирсону методом спирального спуска выполнен за ";

// The spiral descent from `v` with step-reduction factor `factor`; the
// elapsed time counts from st.Tim. Leaves the fitted point in v.A_s.
void SpiralSearch(AnalysisState& st, SearchVectors& v, double factor, const SearchCriterion& ZF,
                  FitClock& clock, const StopFn& stop = {});

void SpirSp_Execute(AnalysisState& st, const FitSettings& fs, FitClock& clock, const FitCallbacks& cb);

} // namespace tovimo
