// The main calculation run ("Расчет"): reads the run inputs from the main
// window, rebuilds the histogram, fits the ticked models in the fixed order
// model 1.1, model 1.2, model 2, model 3 and computes the figures of the results
// refresh and the warnings on the models. The window then fills the table and the charts and beeps.
#pragma once

#include "core/data/data_file.h"
#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/run_inputs.h"

namespace tovimo {

// The message for a step-reduction factor that is not a positive number.
std::string FactorMessage(const char* fieldCaption);

struct RunCallbacks {
    MessageFn message;         // message boxes
    MemoFn memo;               // every memo line as it is appended to form.Memo2
    ElapsedTextFn elapsedText; // FormatElapsedDefault when empty
};

// bbRaschetClick. Answers false when the run did not start (a message said
// why, or no data are loaded). A text that is not a number in one of the
// four edits throws ConvertError; the values read before it stay stored.
bool RunCalculation(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb);

} // namespace tovimo
