// The main calculation run ("Расчет"): reads the run inputs from the main
// window, rebuilds the histogram, fits the ticked models in the fixed order
// model 1.1, model 1.2, model 2, model 3 and computes the figures of the results
// refresh and the warnings on the models. The window then fills the table and the charts and beeps.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/run_inputs.h"

#include <optional>

namespace tovimo {

// The fits of a main run, in the order they run.
enum class RunFit { Spiral, Newton, Smirnov, Likelihood };

// "модель 1.1 (Пирсон, спиральный спуск)" and the like, for the busy indicator.
const char* RunFitName(RunFit fit);

struct RunCallbacks {
    MessageFn message;         // message boxes
    MemoFn memo;               // every memo line as it is appended to form.Memo2
    ElapsedTextFn elapsedText; // FormatElapsedDefault when empty
    StopFn stop;               // asked once per search cycle and between the fits
    std::function<void(RunFit)> fitStarted;
    // What a long fit is doing now ("Модель 3: бутстреп, 37 из 200"); called from the fits' thread.
    std::function<void(const std::string&)> progress;
};

// The part of bbRaschetClick before the busy time: the four edits, the
// path check, the two flags and the factors of the ticked models, in this
// order. Answers false when the run does not start (a message said why, or no
// data are loaded). An edit that is not a number throws ConvertError; the
// values put before it stay stored.
bool PrepareCalculation(AnalysisState& st, const RunInputs& in, const MessageFn& message);

// The busy part, with the inputs PrepareCalculation accepted: the histogram,
// the ticked fits in their fixed order and the figures of the results
// refresh; the memo lines go to form.Memo2. Touches no control, so it may run
// off the user-interface thread. Answers false when `cb.stop` ended it early;
// the slots of the fits not yet run keep what they held.
bool RunCalculationFits(AnalysisState& st, MainForm& form, const RunInputs& in, FitClock& clock,
                        const RunCallbacks& cb);

// bbRaschetClick without the windows: both parts on the calling thread.
// Answers whether the run started.
bool RunCalculation(AnalysisState& st, MainForm& form, const RunInputs& in, FitClock& clock,
                    const RunCallbacks& cb);

// The same with the inputs read from the controls' values in `form`.
bool RunCalculation(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb);

} // namespace tovimo
