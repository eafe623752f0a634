// What the three step-search fits share: the callbacks for the progress memo,
// the 1-based search vectors, the Pearson criterion at a search point and the
// end of the Pearson fits.
#pragma once

#include "core/state/analysis_state.h"

#include <array>
#include <functional>
#include <string>

namespace tovimo {

using MemoFn = std::function<void(const std::string&)>;
// Elapsed seconds as the user's time of day text.
using ElapsedTextFn = std::function<std::string(double)>;
// Asked once per search cycle: true ends the search at the point it has
// reached. It reads no clock, so a search that is not stopped is the same.
using StopFn = std::function<bool()>;

// What a fit takes from the run's settings.
struct FitSettings {
    double factor = 1;           // step-reduction factor, positive
    int criterion = 1;           // "Способ подбора параметров"
    char decimalSeparator = '.'; // of the memo lines
};

struct FitCallbacks {
    MemoFn memo;               // appends one line to the progress memo
    ElapsedTextFn elapsedText; // FormatElapsedDefault when empty
    StopFn stop;               // never stops when empty
    // What a long fit is doing now ("Модель 3: границы, 4 из 9"), for a status
    // line; none when empty. Called from the fit's thread.
    std::function<void(const std::string&)> progress;
};

inline bool StopAsked(const StopFn& stop) {
    return stop && stop();
}

// Start, bounds, first step and tolerance of one searched parameter.
struct ParamRow {
    double start, min, max, step, tol;
};

// The criterion a search minimises, evaluated at A_s.
using SearchCriterion = std::function<double(const ParamVector&)>;

struct SearchVectors {
    int Np = 2;
    ParamVector A_s{}, A_sr{}, A_min{}, A_max{}, h_s{}, ee{};
};

// The rows a fit searches from: B and A, the warranty mean, the warranty sd
// after the mean and the sd alone.
struct SearchRows {
    ParamRow b, a, sred, skoAfterSred, skoAlone;
};

// B and A always, then the warranty mean (with Sred_Opt), the warranty sd
// after it (with both flags) or alone (with SKO_Opt only).
SearchVectors SetupSearch(bool sredOpt, bool skoOpt, const SearchRows& rows);

// True when every used step is below its tolerance.
bool StepsBelowTolerance(const SearchVectors& v);

// The next step after a reversal: -h / factor. A factor below 1 lets the
// steps grow; they are held to the width of the parameter's range so that
// they never overflow before the time rule raises the factor.
double ReversedStep(double h, double factor, double rangeWidth);

class PirsonEvaluator;
// The Pearson criterion of a search point with the repeat coefficient K.
SearchCriterion PearsonCriterion(const AnalysisState& st, PirsonEvaluator& pirson, double K);

// The plain Pearson criterion at A_s with the repeat coefficient of `m`,
// evaluated on a scratch copy so that `m` is left as it is.
double PearsonAt(const AnalysisState& st, int formIndex, const Mod_Weib& m, const ParamVector& A_s);

// The end of both Pearson fits: publishes the point of `v` into `m` and the
// fitted warranty globals, records the run statistics, fills the final arrays,
// computes the spread and appends the two memo lines.
void FinishPearsonFit(AnalysisState& st, const FitSettings& fs, Mod_Weib& m, const SearchVectors& v,
                      double elapsed, long long evaluations, const char* donePrefix, const FitCallbacks& cb);

// "<prefix><elapsed>ч/мин/с".
std::string ElapsedLine(const char* prefix, const FitCallbacks& cb, double seconds);

// The step line of the Pearson fits.
std::string StepLine(double shapeStep, double Sred, double SKO, char decimalSeparator);

void AppendMemo(const FitCallbacks& cb, const std::string& line);

} // namespace tovimo
