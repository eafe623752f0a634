// The figures every results refresh computes before the table and the charts
// are filled: the empirical failure flow between the burn-in time and 1000 h,
// and the running totals of the executed model slots.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

// Potok08: re-reads the burn-in time field into T_Prirab (a field that no
// longer holds a number leaves the value the run read) and sets Pot08. Answers
// false, with Pot08 not a number, when the flow has no meaning: no failure in
// the window, or a failure where the share out of warranty reaches 1.
bool Potok08(AnalysisState& st, const MainForm& form);

// Unsens and Kol_Nakopl of every slot: zeroed, then summed over the columns
// that hold failures for the executed slots (Unsens not for MSmirn), with
// their values after each column in Unsens_col and Kol_Nakopl_col. A slot
// whose arrays end before the histogram adds nothing for the missing columns.
void AccumulateModelTotals(AnalysisState& st);

// Potok08 followed by the totals, as the refresh does them.
void RefreshResultFigures(AnalysisState& st, const MainForm& form);

} // namespace tovimo
