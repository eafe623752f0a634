#include "core/fit/calc_run.h"

#include "core/fit/fit_newton.h"
#include "core/fit/fit_smirnov.h"
#include "core/fit/fit_spiral.h"
#include "core/results/results_refresh.h"
#include "core/state/run_inputs.h"
#include "core/stats/criteria.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

namespace tovimo {

bool RunCalculation(AnalysisState& st, MainForm& form, FitClock& clock, const RunCallbacks& cb) {
    const MessageFn message = cb.message ? cb.message : [](const std::string&) {};
    ReadRunEdits(st, form);
    if (!GettingData(st, form, message)) return false;
    ReadRunFlags(st, form);
    if (!RunStateUsable(st, message)) return false;
    const std::optional<RunSettings> run = ReadRunSettings(form, message);
    if (!run) return false;
    const char sep = run->decimalSeparator;

    FitCallbacks fit;
    fit.memo = [&](const std::string& line) {
        form.Memo2.push_back(line);
        if (cb.memo) cb.memo(line);
    };
    fit.elapsedText = cb.elapsedText;
    auto spread = [&](Mod_Weib& m) {
        Sigmas(st, m, st.T_Prirab);
        fit.memo(Hist_SKO(st, m, sep));
    };

    hist_Format(st);
    if (run->spiral) {
        SpirSp_Execute(st, {run->factorSpiral, run->criterion, sep}, clock, fit);
        spread(st.MPirsS);
    }
    if (run->newton) {
        Podbor_Weib_Pirson(st, {run->factorNewton, run->criterion, sep}, st.MPirsN.A, st.MPirsN.B, clock,
                           fit);
        spread(st.MPirsN);
    }
    if (run->smirnov) {
        Podbor_Weib_Smirnow(st, {run->factorSmirnov, run->criterion, sep}, st.MSmirn.A, st.MSmirn.B, clock,
                            fit);
        spread(st.MSmirn);
    }
    RefreshResultFigures(st);
    return true;
}

} // namespace tovimo
