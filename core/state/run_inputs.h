// The inputs every calculation run reads from the main window, and the check
// that data are loaded before a run starts.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/messages.h"

#include <optional>
#include <string>

namespace tovimo {

inline constexpr const char* kMsgNoPath = "Не указан путь к файлу исходных данных";

// Copies FilePath into Path; an empty path is reported and answers false,
// otherwise the answer is `uk`.
bool GettingData(AnalysisState& st, const MainForm& form, const MessageFn& message);

// Checks that the loaded series allows a run, before the edits are read (with
// no record the T fin edit is empty): it holds records, and a failure with an
// operating time above 0, which every model needs. Reports the problem
// through `message` and answers false.
bool SeriesUsable(const AnalysisState& st, const MessageFn& message);

// Reads meSred, meSKO, LabeledEdit2 and LabeledEdit3 into Sred, SKO, Tzenz and
// T_Prirab in this order; a text that is not a number throws ConvertError and
// the values read before it keep their new values.
void ReadRunEdits(AnalysisState& st, const MainForm& form);

// Checks that the inputs just read allow a run: a positive warranty law, a positive T fin, a run-in time of
// zero or more and a reduced fleet that is a positive number. Reports the first problem through `message` and
// answers false.
bool RunStateUsable(const AnalysisState& st, const MessageFn& message);

inline constexpr const char* kMsgNoRecords = "В ряду отказов нет ни одной записи: расчет невозможен";
inline constexpr const char* kMsgNoOperatingTime =
    "В ряду отказов нет отказов с наработкой больше 0: расчет невозможен";
inline constexpr const char* kMsgSredNotPositive = "Среднее время гарантии должно быть больше нуля";
inline constexpr const char* kMsgSkoNotPositive = "СКО времени гарантии должно быть больше нуля";
inline constexpr const char* kMsgTfinNotPositive = "T fin временного ряда отказов должно быть больше нуля";
inline constexpr const char* kMsgRunInNegative = "Расчетное время приработки не может быть отрицательным";
inline constexpr const char* kMsgFleetNotPositive = "Приведенный парк изделий должен быть больше нуля: "
                                                    "проверьте парк и число отказов в файле исходных данных";

// The flags of the two check boxes.
void ReadRunFlags(AnalysisState& st, const MainForm& form);

// What a calculation run takes from the main window besides the four edits
// and the two flags (which ReadRunEdits and ReadRunFlags put into the state),
// converted once before any fit.
struct RunSettings {
    char decimalSeparator = '.';
    int criterion = 1; // "Способ подбора параметров"
    bool spiral = false, newton = false, smirnov = false, likelihood = false;
    // The step-reduction factors of the ticked models (0 for the others).
    double factorSpiral = 0, factorNewton = 0, factorSmirnov = 0;
};

// The message for a step-reduction factor that is not a positive number.
std::string FactorMessage(const char* fieldCaption);

// The ticked models and their factors: a ticked model's factor of 0 or below,
// or not a number, would divide by zero or never shorten the steps; it is
// reported and the answer is nullopt.
std::optional<RunSettings> ReadRunSettings(const MainForm& form, const MessageFn& message);

} // namespace tovimo
