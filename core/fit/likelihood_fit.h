// Model 3: the Weibull law fitted by maximum likelihood, with profile-
// likelihood confidence bounds of its parameters and of the results table's
// figures, the likelihood-ratio test of K = 1 and the goodness of fit.
#pragma once

#include "core/data/data_file.h"
#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/fit/likelihood_model.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"
#include "core/state/main_form.h"

namespace tovimo {

inline constexpr const char* kPravdDone = "Расчёт модели по максимуму правдоподобия выполнен за ";
inline constexpr const char* kPravdCaption = "Модель 3 (максимум правдоподобия)";

// The settings the form's controls give; the law falls back to the normal one
// when "по файлу" is chosen without warranty-end times.
LikelihoodSettings LikelihoodSettingsFromForm(const MainForm& form);

struct LikelihoodEstimate {
    double A = 0, B = 0, K = 1;
    double loglik = 0;
    bool atBound = false; // A, B or K at an end of its search range
};

// The maximum of ln L over the search ranges (K = 1, or K free in its closed form).
LikelihoodEstimate MaximiseLikelihood(LikelihoodEvaluator& ev, LikelihoodKMode kMode);

// The value of a figure at (A, B, K), as the results table computes it.
double LikelihoodFigure(LikFigure fig, double A, double B, double K);

// max ln L with the figure held at `value` (minus infinity where no point of
// the search ranges gives that value).
double ProfileLogLik(LikelihoodEvaluator& ev, LikelihoodKMode kMode, LikFigure fig, double value);

// The estimate, every interval at `level` and, with K free, the test of K = 1.
// No goodness of fit and no band.
LikelihoodResult FitLikelihood(const LikelihoodData& data, const LikelihoodSettings& settings);

// The pointwise band of the expected accumulation per product at `times`.
void LikelihoodBand(const LikelihoodData& data, LikelihoodResult& r, const std::vector<double>& times);

// The run's model 3: fits from the state with the form's settings, writes
// MPravd (with its per-column arrays) and Pravd, appends the elapsed-time line.
// Answers false after `message` when the model is refused; MPravd's Executed
// mark is then cleared.
bool Podbor_Weib_Pravd(AnalysisState& st, const MainForm& form, FitClock& clock, const FitCallbacks& cb,
                       const MessageFn& message);

} // namespace tovimo
