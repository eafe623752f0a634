// The start of a genetic-algorithm run: the run inputs as for the main run,
// the parameter space (iop, Precision, NormA), the histogram and the sizes of
// the genetic model's arrays, and the checks that refuse a run that could not
// evolve anything.
#pragma once

#include "core/genetic/genetic_loop.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/messages.h"
#include "core/state/run_inputs.h"

#include <functional>
#include <optional>
#include <string>

namespace tovimo {

inline constexpr const char* kMsgGaPopulation =
    "Размер популяции должен быть целым числом от 2 до 1000000; расчет не запущен";
inline constexpr const char* kMsgGaGenerations =
    "Число поколений должно быть целым числом не меньше 1; расчет не запущен";
inline constexpr const char* kMsgGaNotSetUp =
    "Генетический алгоритм не запущен: размер популяции или число поколений не является целым числом "
    "в допустимых пределах; модель не изменена";
inline constexpr const char* kMsgGaSetUpFailed =
    "Генетический алгоритм не запущен: не удалось создать популяцию (не хватает памяти или ресурсов "
    "системы); модель не изменена";
inline constexpr const char* kMsgGaPrecision =
    "Точность подбора слишком груба: ген получает меньше 2 двоичных разрядов; расчет не запущен";

// Prepares the state for RunGenerationLoop from the run's inputs. Answers
// false, after reporting why through `message` where there is something to
// say, when the run is not to start. One of the run edits or "Точность
// подбора" holding a text that is not a number throws ConvertError; what was
// put into the state before it stays.
bool PrepareGeneticRun(AnalysisState& st, const RunInputs& in, const MessageFn& message);
// The same with the inputs read from the controls' values in `form`.
bool PrepareGeneticRun(AnalysisState& st, const MainForm& form, const MessageFn& message);

// The generation loop a run goes through: RunGenerationLoop, or a test's own.
using GenerationLoop = std::function<GaRunEnd(AnalysisState&, GaHost&, GaFlags&, const GaRunOptions&)>;

// Runs `loop` on the state PrepareGeneticRun prepared and answers what the
// user is to be told when the run ended before its first generation: the
// population size or generation count was unusable when the run read them
// (kMsgGaNotSetUp), or the population could not be made for want of memory
// or of a thread (kMsgGaSetUpFailed). Nothing for a run that got that far;
// any other error leaves as an exception.
std::optional<std::string> RunGeneticAlgorithm(AnalysisState& st, GaHost& host, GaFlags& flags,
                                               const GaRunOptions& options,
                                               const GenerationLoop& loop = RunGenerationLoop);

} // namespace tovimo
