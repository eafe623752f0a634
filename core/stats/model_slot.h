// What every fit does to a model slot: sizing its per-column arrays, filling
// them for a published model, and the repeat factor a fit starts from; and
// what a load does to every slot.
#pragma once

#include "core/state/analysis_state.h"

#include <cstddef>

namespace tovimo {

// Sizes a model's per-column arrays to the histogram (no work when they fit).
void SizeModelArrays(Mod_Weib& m, size_t columns);

// F_Weib, F_norm and Kol_F_priv of a published model over every histogram
// column: the Weibull increment of the column (`clampNegative` replaces a
// negative one by 0), the warranty share at the column's middle with the
// state's Sred and SKO, and the expected count
// Izd_Prived * K_powtor * F_Weib * (1 - F_norm).
void FillModelColumns(const AnalysisState& st, Mod_Weib& m, bool clampNegative);

// The repeat factor a fit starts from: (n - 1) / Izd_Prived * 8000 / t_last
// for n failures, the last at t_last (0 for an empty series).
double StartRepeatFactor(const AnalysisState& st);

// Whether any model slot is marked executed.
bool AnyModelExecuted(const AnalysisState& st);

// Every model slot loses its Executed mark, model 3 its result and the run
// its warnings: what was computed no longer belongs to the data (another data
// file, another warranty law), so nothing of it is shown again.
void ForgetModels(AnalysisState& st);

} // namespace tovimo
