// Sorting the failure series and building the failure histogram.
#pragma once

#include "core/state/analysis_state.h"

namespace tovimo {

// Sorts MasProbl by time, ascending; equal times keep their order.
void sort_MinMax(AnalysisState& st);

// Builds Hist_Stol, Sum_PrichCol, D_Hist1 and D_Hist2 from the sorted,
// non-empty series. Refinement stops once D_Hist1 has reached 1 hour.
void hist_Format(AnalysisState& st);

} // namespace tovimo
