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

std::string FactorMessage(const char* fieldCaption) {
    return std::string("Поле \"") + fieldCaption + "\" должно содержать положительное число";
}

namespace {

// The factors of the ticked models: a factor of 0 or below (or no number)
// would divide by zero or never shorten the steps.
bool FactorsUsable(const MainForm& form, const MessageFn& message) {
    struct Factor {
        bool ticked;
        const std::string& text;
        const char* caption;
    };
    const Factor factors[] = {{form.SpirSpusk, form.Edit1, "Коэф-т уменьшения шага модели 1.1"},
                              {form.BoxNewton, form.Edit6, "Коэф-т уменьшения шага модели 1.2"},
                              {form.BoxSmirnow, form.Edit5, "Коэф-т уменьшения шага модели 2"}};
    for (const Factor& f : factors) {
        if (!f.ticked) continue;
        const auto v = ParseFloat(f.text, form.decimalSeparator);
        if (!v || !(*v > 0)) {
            message(FactorMessage(f.caption));
            return false;
        }
    }
    return true;
}

bool InputsUsable(const AnalysisState& st, const MainForm& form, const MessageFn& message) {
    if (!RunStateUsable(st, message)) return false;
    return FactorsUsable(form, message);
}

} // namespace

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

bool PrepareCalculation(AnalysisState& st, MainForm& form, const MessageFn& message) {
    const MessageFn say = message ? message : [](const std::string&) {};
    ReadRunEdits(st, form);
    if (!GettingData(st, form, say)) return false;
    ReadRunFlags(st, form);
    return InputsUsable(st, form, say);
}

bool RunCalculationFits(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb) {
    FitCallbacks fit;
    fit.memo = [&](const std::string& line) {
        form.Memo2.push_back(line);
        if (cb.memo) cb.memo(line);
    };
    fit.elapsedText = cb.elapsedText;
    fit.stop = cb.stop;
    auto spread = [&](Mod_Weib& m) {
        Sigmas(st, m, st.T_Prirab);
        fit.memo(Hist_SKO(st, m, form.decimalSeparator));
    };
    // Before each fit: false when the run is to end here.
    auto starting = [&](RunFit f) {
        if (StopAsked(cb.stop)) return false;
        if (cb.fitStarted) cb.fitStarted(f);
        return true;
    };

    hist_Format(st);
    if (form.SpirSpusk) {
        if (!starting(RunFit::Spiral)) return false;
        SpirSp_Execute(st, form, clock, fit);
        spread(st.MPirsS);
    }
    if (form.BoxNewton) {
        if (!starting(RunFit::Newton)) return false;
        Podbor_Weib_Pirson(st, form, st.MPirsN.A, st.MPirsN.B, clock, fit);
        spread(st.MPirsN);
    }
    if (form.BoxSmirnow) {
        if (!starting(RunFit::Smirnov)) return false;
        Podbor_Weib_Smirnow(st, form, st.MSmirn.A, st.MSmirn.B, clock, fit);
        spread(st.MSmirn);
    }
    if (form.BoxPravd) {
        if (!starting(RunFit::Likelihood)) return false;
        if (Podbor_Weib_Pravd(st, form, clock, fit, cb.message)) spread(st.MPravd);
    }
    if (StopAsked(cb.stop)) return false;
    RefreshResultFigures(st, form);
    std::vector<std::string> ran;
    if (form.SpirSpusk) ran.emplace_back("MPirsS");
    if (form.BoxNewton) ran.emplace_back("MPirsN");
    if (form.BoxSmirnow) ran.emplace_back("MSmirn");
    if (form.BoxPravd) ran.emplace_back("MPravd");
    UpdateModelWarnings(st, form.decimalSeparator, ran, fit.memo);
    return true;
}

bool RunCalculation(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb) {
    if (!PrepareCalculation(st, form, cb.message)) return false;
    RunCalculationFits(st, form, clock, cb);
    return true;
}

} // namespace tovimo
