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

bool RunCalculation(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb) {
    const MessageFn message = cb.message ? cb.message : [](const std::string&) {};
    ReadRunEdits(st, form);
    if (!GettingData(st, form, message)) return false;
    ReadRunFlags(st, form);
    if (!InputsUsable(st, form, message)) return false;

    FitCallbacks fit;
    fit.memo = [&](const std::string& line) {
        form.Memo2.push_back(line);
        if (cb.memo) cb.memo(line);
    };
    fit.elapsedText = cb.elapsedText;
    auto spread = [&](Mod_Weib& m) {
        Sigmas(st, m, st.T_Prirab);
        fit.memo(Hist_SKO(st, m, form.decimalSeparator));
    };

    hist_Format(st);
    if (form.SpirSpusk) {
        SpirSp_Execute(st, form, clock, fit);
        spread(st.MPirsS);
    }
    if (form.BoxNewton) {
        Podbor_Weib_Pirson(st, form, st.MPirsN.A, st.MPirsN.B, clock, fit);
        spread(st.MPirsN);
    }
    if (form.BoxSmirnow) {
        Podbor_Weib_Smirnow(st, form, st.MSmirn.A, st.MSmirn.B, clock, fit);
        spread(st.MSmirn);
    }
    if (form.BoxPravd && Podbor_Weib_Pravd(st, form, clock, fit, message)) spread(st.MPravd);
    RefreshResultFigures(st, form);
    UpdateModelWarnings(st, form.decimalSeparator, fit.memo);
    return true;
}

} // namespace tovimo
