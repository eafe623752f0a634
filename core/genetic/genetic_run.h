// The start of a genetic-algorithm run: the run inputs as for the main run,
// the parameter space (iop, Precision, NormA), the histogram and the sizes of
// the genetic model's arrays, and the checks that refuse a run that could not
// evolve anything.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/messages.h"

namespace tovimo {

inline constexpr const char* kMsgGaPopulation =
    "Размер популяции должен быть целым числом от 2 до 1000000; расчет не запущен";
inline constexpr const char* kMsgGaGenerations =
    "Число поколений должно быть целым числом не меньше 1; расчет не запущен";
inline constexpr const char* kMsgGaPrecision =
    "Точность подбора слишком груба: ген получает меньше 2 двоичных разрядов; расчет не запущен";

// Prepares the state for RunGenerationLoop from the form. Answers false, after
// reporting why through `message` where there is something to say, when the
// run is not to start. A text in one of the run edits or in "Точность подбора"
// that is not a number throws ConvertError; what was read before it stays read.
bool PrepareGeneticRun(AnalysisState& st, const MainForm& form, const MessageFn& message);

} // namespace tovimo
