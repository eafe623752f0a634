// Model 1.1: the Pearson criterion minimised by spiral descent, stored in
// MPirsS. A swing that fails returns one step beyond the last accepted
// point, and the fit ends at the latest about 11 seconds after its start.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

inline constexpr const char* kSpiralDone = "Расчёт модели по Пирсону методом спирального спуска выполнен за ";

// The spiral descent from `v` with step-reduction factor `factor`; the
// elapsed time counts from st.Tim. Leaves the fitted point in v.A_s.
void SpiralSearch(AnalysisState& st, SearchVectors& v, double factor, const SearchCriterion& ZF,
                  FitClock& clock, const StopFn& stop = {});

// Reads its factor from Edit1 (ConvertError when not a number) and the form's
// criterion choice.
void SpirSp_Execute(AnalysisState& st, const MainForm& form, FitClock& clock, const FitCallbacks& cb);

} // namespace tovimo
