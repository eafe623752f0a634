#include "core/fit/fit_newton.h"

#include "core/stats/criteria.h"
#include "core/stats/fast_criteria.h"
#include "core/text/number_format.h"

namespace tovimo {

double NewtonSearch(AnalysisState& st, SearchVectors& v, double factor, double start,
                    const SearchCriterion& ZF, FitClock& clock, const StopFn& stop) {
    const int Np = v.Np;
    double Kdiv_Pirs = factor;
    // One more step of parameter j would leave its range (the lower bound counts as outside).
    auto limit = [&](int j) {
        const double x = v.A_s[j] + v.h_s[j];
        return x <= v.A_min[j] || x > v.A_max[j];
    };
    double Big_ZF = ZF(v.A_s);
    do {
        double cur = Big_ZF;
        for (int j = 1; j <= Np; ++j) {
            double prev;
            for (;;) {
                v.A_sr = v.A_s;
                v.A_s[j] = v.A_s[j] + v.h_s[j];
                Big_ZF = ZF(v.A_s);
                prev = cur;
                cur = Big_ZF;
                if (!(cur < prev)) break; // a criterion that is not a number is no improvement
                if (limit(j)) break;
            }
            // the last step is undone also when it improved but the next one would leave the range
            cur = prev;
            v.A_s = v.A_sr;
            v.h_s[j] = ReversedStep(v.h_s[j], Kdiv_Pirs, v.A_max[j] - v.A_min[j]);
            StoreElapsed(st, clock.Seconds() - start);
            if (st.ts > 0.35 * Np * Np && Kdiv_Pirs < 3) Kdiv_Pirs = Kdiv_Pirs * 1.075;
        }
        // the point of each cycle is published; only the last one stays, so it is
        // published once after the search
        Big_ZF = ZF(v.A_s);
    } while (!StepsBelowTolerance(v) && !StopAsked(stop));
    return Big_ZF;
}

void Podbor_Weib_Pirson(AnalysisState& st, const MainForm& form, double& Arez, double& Brez, FitClock& clock,
                        const FitCallbacks& cb) {
    const char sep = form.decimalSeparator;
    Mod_Weib& M = st.MPirsN;
    const double Kdiv_Pirs = StrToFloat(form.Edit6, sep);
    M.Sred = StrToFloat(form.meSred, sep);
    M.SKO = StrToFloat(form.meSKO, sep);
    M.K_powtor = StartRepeatFactor(st);

    SearchVectors v =
        SetupSearch(st.Sred_Opt, st.SKO_Opt, {2000, 10, 50000, 0.25, 1e-5}, {1, 0.5, 3, 0.001, 1e-8},
                    {1500, 100, 6000, 1, 0.05}, {500, 30, 2000, 1, 0.005}, {150, 30, 900, 5, 0.01});
    SizeModelArrays(M, st.Hist_Stol.size());

    PirsonEvaluator pirson(st, form.RadioGroup1);
    const SearchCriterion ZF = PearsonCriterion(st, pirson, M.K_powtor);
    const double start = clock.Seconds();
    NewtonSearch(st, v, Kdiv_Pirs, start, ZF, clock, cb.stop);

    FinishPearsonFit(st, form, M, v, clock.Seconds() - start, pirson.evaluations(), kNewtonDone, cb);
    Arez = M.A;
    Brez = M.B;
}

} // namespace tovimo
