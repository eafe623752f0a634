// Model 3: the Weibull law fitted by maximum likelihood, with profile-
// likelihood confidence bounds of its parameters and of the results table's
// figures, the likelihood-ratio test of K = 1 and the goodness of fit.
#pragma once

#include "core/fit/fit_clock.h"
#include "core/fit/fit_common.h"
#include "core/fit/likelihood_model.h"
#include "core/state/analysis_state.h"
#include "core/state/likelihood_result.h"
#include "core/state/main_form.h"
#include "core/state/messages.h"
#include "core/state/run_inputs.h"

namespace tovimo {

inline constexpr const char* kPravdDone = "Расчёт модели по максимуму правдоподобия выполнен за ";
inline constexpr const char* kPravdCaption = "Модель 3 (максимум правдоподобия)";
// A scale this many times the end of observation has run off: the failures
// fit a power law, and where the search stopped says nothing of B or K.
inline constexpr double kScaleRunsOff = 1000;

struct LikelihoodEstimate {
    double A = 0, B = 0, K = 1;
    double loglik = 0;
    bool atBound = false;      // the maximum lies in a flat tail
    std::string flatParameter; // "A" or "B" (K with it): the one that runs off
};

// The maximum of ln L (K = 1, or K free in its closed form), searched without
// a box: a parameter whose best value runs off is named in the estimate. With
// `near` (a refit of data like those of an estimate, as in the bootstrap) the
// searches start around its shape and scale and widen from there.
LikelihoodEstimate MaximiseLikelihood(LikelihoodEvaluator& ev, LikelihoodKMode kMode,
                                      const LikelihoodEstimate* near = nullptr);

// The maximum of ln L of the Poisson process with K held.
LikelihoodEstimate MaximiseAtK(LikelihoodEvaluator& ev, double K, const LikelihoodEstimate* near = nullptr);

// The value of a figure at (A, B, K); a percentile that the expected count
// per product never reaches (K <= p) is not a number.
double LikelihoodFigure(LikFigure fig, double A, double B, double K);

// max ln L with the figure held at `value` (minus infinity where no model
// gives that value).
double ProfileLogLik(LikelihoodEvaluator& ev, LikelihoodKMode kMode, LikFigure fig, double value);

// A figure of the form K u(A, B), such as the expected failures of a fleet
// (u the fleet times the integral of f under its warranty law): with K free, K
// follows from the held value; with K = 1 the scale follows from u(A, B) =
// value. The side of its profile-likelihood interval where ln L falls `drop`
// below its maximum `e`, walking from the estimate in ln of the figure towards
// `dir` (-1 lower, +1 upper); open (not a number) when the data do not close it.
using ShareOfModel = std::function<double(double A, double B)>;
struct ProfileSide {
    double value = 0;
    bool open = true;
};
ProfileSide ScaledFigureSide(LikelihoodEvaluator& ev, LikelihoodKMode kMode, const LikelihoodEstimate& e,
                             const ShareOfModel& u, double drop, int dir);

// Too few failures for a fit: upper bounds at `level` of the failures per
// product at 1000, 2000 and 4000 h for the assumed shapes 1, 2 and 3, from the
// fleet's exposure under the warranty law and the `n` failures seen.
std::vector<AssumedShapeBound> AssumedShapeBounds(const LikelihoodData& data, int n, double level);

// The estimate, every interval at `level` and, with K free, the test of K = 1.
// No goodness of fit and no band.
LikelihoodResult FitLikelihood(const LikelihoodData& data, const LikelihoodSettings& settings,
                               const LikelihoodHooks& hooks = {});

// The pointwise band of the expected accumulation per product at `times`.
void LikelihoodBand(const LikelihoodData& data, LikelihoodResult& r, const std::vector<double>& times);

// The run's model 3: fits from the state with the inputs' settings, writes
// MPravd (with its per-column arrays) and Pravd, appends the elapsed-time line.
// Answers false after `message` when the model is refused (a numerical failure
// or the user's stop included); MPravd's Executed mark is then cleared.
bool Podbor_Weib_Pravd(AnalysisState& st, const RunInputs& in, FitClock& clock, const FitCallbacks& cb,
                       const MessageFn& message);
// The same with the settings of the controls' values in `form`.
bool Podbor_Weib_Pravd(AnalysisState& st, const MainForm& form, FitClock& clock, const FitCallbacks& cb,
                       const MessageFn& message);

} // namespace tovimo
