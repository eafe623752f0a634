#include "core/fit/calc_run.h"

#include "core/fit/fit_newton.h"
#include "core/fit/fit_smirnov.h"
#include "core/fit/fit_spiral.h"
#include "core/fit/likelihood_fit.h"
#include "core/results/model_warnings.h"
#include "core/results/results_refresh.h"
#include "core/state/run_inputs.h"
#include "core/stats/criteria.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

namespace tovimo {

const char* RunFitName(RunFit fit) {
    switch (fit) {
    case RunFit::Spiral:
        return "модель 1.1 (Пирсон, спиральный спуск)";
    case RunFit::Newton:
        return "модель 1.2 (Пирсон, метод Ньютона)";
    case RunFit::Smirnov:
        return "модель 2 (Смирнов)";
    case RunFit::Likelihood:
        return "модель 3 (максимум правдоподобия)";
    }
    return "";
}

bool PrepareCalculation(AnalysisState& st, const RunInputs& in, const MessageFn& message) {
    const MessageFn say = message ? message : [](const std::string&) {};
    if (!SeriesUsable(st, say)) return false;
    ApplyRunEdits(st, in);
    if (!GettingData(st, in, say)) return false;
    ApplyRunFlags(st, in);
    if (!RunStateUsable(st, say)) return false;
    return FactorsUsable(in, say);
}

bool RunCalculationFits(AnalysisState& st, MainForm& form, const RunInputs& run, FitClock& clock,
                        const RunCallbacks& cb) {
    const char sep = run.decimalSeparator;
    FitCallbacks fit;
    fit.memo = [&](const std::string& line) {
        form.Memo2.push_back(line);
        if (cb.memo) cb.memo(line);
    };
    fit.elapsedText = cb.elapsedText;
    fit.stop = cb.stop;
    fit.progress = cb.progress;
    auto spread = [&](Mod_Weib& m) {
        Sigmas(st, m, st.T_Prirab);
        fit.memo(Hist_SKO(st, m, sep));
    };
    // Before each fit: false when the run is to end here.
    auto starting = [&](RunFit f) {
        if (StopAsked(cb.stop)) return false;
        if (cb.fitStarted) cb.fitStarted(f);
        return true;
    };

    hist_Format(st);
    if (run.spiral) {
        if (!starting(RunFit::Spiral)) return false;
        SpirSp_Execute(st, {run.factorSpiral, run.criterion, sep}, clock, fit);
        spread(st.MPirsS);
    }
    if (run.newton) {
        if (!starting(RunFit::Newton)) return false;
        Podbor_Weib_Pirson(st, {run.factorNewton, run.criterion, sep}, st.MPirsN.A, st.MPirsN.B, clock, fit);
        spread(st.MPirsN);
    }
    if (run.smirnov) {
        if (!starting(RunFit::Smirnov)) return false;
        Podbor_Weib_Smirnow(st, {run.factorSmirnov, run.criterion, sep}, st.MSmirn.A, st.MSmirn.B, clock,
                            fit);
        spread(st.MSmirn);
    }
    if (run.likelihood) {
        if (!starting(RunFit::Likelihood)) return false;
        if (Podbor_Weib_Pravd(st, run, clock, fit, cb.message)) spread(st.MPravd);
    }
    if (StopAsked(cb.stop)) return false;
    RefreshResultFigures(st);
    std::vector<std::string> ran;
    if (run.spiral) ran.emplace_back("MPirsS");
    if (run.newton) ran.emplace_back("MPirsN");
    if (run.smirnov) ran.emplace_back("MSmirn");
    if (run.likelihood) ran.emplace_back("MPravd");
    UpdateModelWarnings(st, sep, ran, fit.memo);
    return true;
}

bool RunCalculation(AnalysisState& st, MainForm& form, const RunInputs& in, FitClock& clock,
                    const RunCallbacks& cb) {
    if (!PrepareCalculation(st, in, cb.message)) return false;
    RunCalculationFits(st, form, in, clock, cb);
    return true;
}

bool RunCalculation(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb) {
    return RunCalculation(st, form, ReadRunInputs(form), clock, cb);
}

} // namespace tovimo
