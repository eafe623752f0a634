// The inputs every calculation run reads from the main window, and the check
// that data are loaded before a run starts.
#pragma once

#include "analysis_state.h"
#include "data_file.h"
#include "main_form.h"

namespace tovimo {

inline constexpr const char* kMsgNoPath = "Не указан путь к файлу исходных данных";

// Copies FilePath into Path; an empty path is reported and answers false,
// otherwise the answer is `uk`.
bool GettingData(AnalysisState& st, const MainForm& form, const MessageFn& message);

// Reads meSred, meSKO, LabeledEdit2 and LabeledEdit3 into Sred, SKO, Tzenz and
// T_Prirab in this order; a text that is not a number throws ConvertError and
// the values read before it keep their new values.
void ReadRunEdits(AnalysisState& st, const MainForm& form);

// The flags of the two check boxes.
void ReadRunFlags(AnalysisState& st, const MainForm& form);

}  // namespace tovimo
