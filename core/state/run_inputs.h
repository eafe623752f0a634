// The inputs of a calculation run and of a genetic-algorithm run, typed: the
// window reads them from its edits (ReadRunInputs), the command line sets them
// from its options. The checks that refuse a run, and the check that data are
// loaded before it starts.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"
#include "core/state/main_form.h"
#include "core/state/messages.h"

#include <optional>
#include <string>
#include <string_view>

namespace tovimo {

// A number a run reads from an edit: its value, or the edit's text when that
// is not a number. The run reports such a text (ConvertError) only when it
// comes to the edit, after the checks and the edits before it, as a run that
// read the edit at that point would.
class EditNumber {
  public:
    EditNumber(double value = 0) : value_(value) {} // NOLINT: a typed input is a plain number
    // The edit's text read with the decimal separator `sep`.
    static EditNumber Read(std::string_view text, char sep);

    bool readable() const { return !text_; }
    // The value; throws ConvertError naming the text when it is not a number.
    double value() const;

  private:
    double value_ = 0;
    std::optional<std::string> text_;
};

// The genetic algorithm's inputs (page 2).
struct GeneticInputs {
    EditNumber precision = 0.0000001; // "Точность подбора"
    // "Размер популяции", "Число поколений" and the copies of the best ("шт."):
    // nullopt for a text that is not a whole number
    std::optional<long long> population = 3000;
    std::optional<long long> generations = 1500;
    std::optional<long long> copyCount = 50;
    int crossover = 55; // probability of crossover, %
    int mutation = 15;  // probability of mutation, %
};

// What a run takes from the main window, converted once.
struct RunInputs {
    char decimalSeparator = '.'; // of the texts the run writes
    std::string path;            // "Путь": the data file
    // Read into Sred, SKO, Tzenz and T_Prirab, in this order.
    EditNumber mean, sd, tFin, runIn = 300;
    bool fitMean = false, fitSd = false; // the two check boxes
    int criterion = 1;                   // "Способ подбора параметров"
    bool spiral = true, newton = false, smirnov = false, likelihood = false;
    // The step-reduction factors: not a number (NaN) for a text that is not one.
    double factorSpiral = 1.00025, factorNewton = 1.00025, factorSmirnov = 1.00025;
    // Model 3; its window is -1 when the end of observation given is not a
    // positive number, and windowText then says what was given.
    LikelihoodSettings likelihoodSettings;
    std::string windowText;
    GeneticInputs genetic;
};

// The inputs as the window's edits, boxes and lists in `form` give them. Never
// throws: a text that is not a number is carried to the run (EditNumber), or
// read as a value the run's checks refuse with their own messages.
RunInputs ReadRunInputs(const MainForm& form);

// The end of observation given in hours: a positive finite number, or refused
// by model 3 quoting it.
void SetObservationEnd(RunInputs& in, double hours);

// Writes the inputs into the controls' values, as the window shows them: an
// edit whose text already reads as its value keeps that text.
void ShowRunInputs(const RunInputs& in, MainForm& form);

// Model 3's settings as the window's controls give them.
LikelihoodSettings LikelihoodSettingsFromForm(const MainForm& form);

inline constexpr const char* kMsgNoPath = "Не указан путь к файлу исходных данных";

// Copies the path into Path; an empty path is reported and answers false,
// otherwise the answer is `uk`.
bool GettingData(AnalysisState& st, const RunInputs& in, const MessageFn& message);

// Checks that the loaded series allows a run, before the edits are read (with
// no record the T fin edit is empty): it holds records, and a failure with an
// operating time above 0, which every model needs. Reports the problem
// through `message` and answers false.
bool SeriesUsable(const AnalysisState& st, const MessageFn& message);

// Puts the four edits into Sred, SKO, Tzenz and T_Prirab in this order; an
// edit that is not a number throws ConvertError and the values put before it
// keep their new values.
void ApplyRunEdits(AnalysisState& st, const RunInputs& in);

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
void ApplyRunFlags(AnalysisState& st, const RunInputs& in);

// ApplyRunEdits and ApplyRunFlags with the inputs read from the controls' values in `form`.
void ReadRunEdits(AnalysisState& st, const MainForm& form);
void ReadRunFlags(AnalysisState& st, const MainForm& form);

// The message for a step-reduction factor that is not a positive number.
std::string FactorMessage(const char* fieldCaption);

// A ticked model's factor of 0 or below, or not a number, would divide by
// zero or never shorten the steps: the first is reported and the answer is
// false. The factors of the models not ticked are not looked at.
bool FactorsUsable(const RunInputs& in, const MessageFn& message);

} // namespace tovimo
