// The main window's view of a loaded series, filled from the state after a
// load: the record grid (with the notes of the threshold times) and the small
// log-log chart with its regression line.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

void FillSeriesControls(const AnalysisState& st, MainForm& form);

} // namespace tovimo
