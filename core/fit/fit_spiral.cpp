#include "core/fit/fit_spiral.h"

#include "core/stats/criteria.h"
#include "core/stats/fast_criteria.h"
#include "core/text/number_format.h"

namespace tovimo {

void SpiralSearch(AnalysisState& st, SearchVectors& v, double factor, const SearchCriterion& ZF,
                  FitClock& clock, const StopFn& stop) {
    const int Np = v.Np;
    double KdivSpir = factor;
    double P = 0;
    double B_ss = ZF(v.A_s);
    for (;;) {
        for (int i = 1; i <= Np; ++i) {
            for (;;) {
                v.A_sr = v.A_s;
                // a step that would make the parameter zero or negative is not taken, and
                // it ends the swing: the same point would otherwise be evaluated forever
                if (!(v.A_s[i] + v.h_s[i] > 0)) break;
                v.A_s[i] = v.A_s[i] + v.h_s[i];
                if (v.A_s[i] > v.A_max[i] || v.A_s[i] < v.A_min[i]) break;
                P = B_ss;
                B_ss = ZF(v.A_s);
                if (B_ss > P) break;
            }
            // back to one step behind the last accepted point, with the reference
            // from before the latest evaluation
            B_ss = P;
            v.A_s[i] = v.A_sr[i] - v.h_s[i];
            v.h_s[i] = ReversedStep(v.h_s[i], KdivSpir, v.A_max[i] - v.A_min[i]);
        }
        StoreElapsed(st, clock.Seconds() - st.Tim);
        if (KdivSpir < 5 && st.ts > 0.5 * Np * Np) KdivSpir = KdivSpir * 1.0755;
        if (StepsBelowTolerance(v) || st.ts > 10 || StopAsked(stop)) break;
    }
}

void SpirSp_Execute(AnalysisState& st, const MainForm& form, FitClock& clock, const FitCallbacks& cb) {
    const char sep = form.decimalSeparator;
    Mod_Weib& M = st.MPirsS;
    SearchVectors v =
        SetupSearch(st.Sred_Opt, st.SKO_Opt, {1000, 10, 99000, 0.25, 1e-8}, {1, 0.35, 10, 5e-5, 1e-9},
                    {2000, 150, 6000, 0.125, 0.01}, {600, 50, 2000, 0.125, 0.01}, {100, 80, 900, 0.25, 0.1});
    SizeModelArrays(M, st.Hist_Stol.size());
    M.K_powtor = st.MSmirn.Executed ? st.MSmirn.K_powtor : (static_cast<double>(st.MasProbl.size()) - 1) / 11;

    st.Tim = clock.Seconds();
    const double KdivSpir = StrToFloat(form.Edit1, sep);
    PirsonEvaluator pirson(st, form.RadioGroup1);
    const SearchCriterion ZF = PearsonCriterion(st, pirson, M.K_powtor);
    SpiralSearch(st, v, KdivSpir, ZF, clock, cb.stop);

    FinishPearsonFit(st, form, M, v, clock.Seconds() - st.Tim, pirson.evaluations(), kSpiralDone, cb);
}

} // namespace tovimo
