// The indicators a loaded series gives by itself: ranked causes, reduced
// fleet, sorted series, threshold times, failures per product and the
// log-log regression, with the record grid and the small log-log chart.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

void DeriveIndicators(AnalysisState& st, MainForm& form);

// Frac: x minus its integer part.
double Frac(double x);

} // namespace tovimo
