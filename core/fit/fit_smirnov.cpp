#include "core/fit/fit_smirnov.h"

#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/fast_criteria.h"
#include "core/text/number_format.h"

#include <cmath>

namespace tovimo {

void SmirnovSearch(AnalysisState& st, SearchVectors& v, double factor, double start,
                   const SearchCriterion& criterion, FitClock& clock, const StopFn& stop) {
    double KdivSm = factor;
    double Big_ZF = criterion(v.A_s);
    for (;;) {
        for (int j = 1; j <= 3; ++j) {
            double prev;
            for (;;) {
                v.A_sr = v.A_s;
                v.A_s[j] = v.A_s[j] + v.h_s[j];
                const double x = v.A_s[j] + v.h_s[j];
                const bool limit = x <= v.A_min[j] || x > v.A_max[j];
                const double value = criterion(v.A_s); // evaluated also when the next step would leave
                prev = Big_ZF;
                Big_ZF = value;
                if (value >= prev || limit) break;
            }
            Big_ZF = prev;
            v.A_s = v.A_sr;
            v.h_s[j] = ReversedStep(v.h_s[j], KdivSm, v.A_max[j] - v.A_min[j]);
        }
        StoreElapsed(st, clock.Seconds() - start);
        if (KdivSm < 3) {
            if (st.ts > 5) KdivSm = KdivSm * 1.0875;
            if (st.ts > 15) KdivSm = KdivSm * 1.2875;
        }
        const bool scaleStillMoving =
            std::fabs(v.h_s[1]) >= v.ee[1] && std::fabs(v.h_s[2]) < v.ee[2] && std::fabs(v.h_s[3]) < v.ee[3];
        if (!(st.ts < 10 || scaleStillMoving) || StopAsked(stop)) break;
    }
}

void Podbor_Weib_Smirnow(AnalysisState& st, const MainForm& form, double& Arez, double& Brez, FitClock& clock,
                         const FitCallbacks& cb) {
    Mod_Weib& M = st.MSmirn;
    // the repeat coefficient is the third searched parameter
    SearchVectors v = SetupSearch(true, false, {2000, 1, 90000, 0.25, 1e-5}, {1, 0.3, 3, 0.0002, 1e-7},
                                  {1.1, 1.01, 30, 0.0001, 1e-8}, {}, {});
    const double KdivSm = StrToFloat(form.Edit5, form.decimalSeparator);

    const auto& m = st.MasProbl;
    M.F_norm.assign(m.size(), 0);
    for (size_t i = 0; i < m.size(); ++i)
        M.F_norm[i] = CDF_Gauss(st.Sred, st.SKO, m[i].time);
    M.F_Weib.resize(st.Hist_Stol.size());
    M.Kol_F_priv.resize(st.Hist_Stol.size());

    SmirnowEvaluator smirnow(st, M.F_norm);
    auto criterion = [&](const ParamVector& p) { return smirnow(p[2], p[1], p[3]); };
    const double start = clock.Seconds();
    SmirnovSearch(st, v, KdivSm, start, criterion, clock, cb.stop);

    Arez = v.A_s[2];
    Brez = v.A_s[1];
    M.A = v.A_s[2];
    M.B = v.A_s[1];
    M.K_powtor = v.A_s[3];
    M.SKO = st.SKO;
    M.Sred = st.Sred;

    const double elapsed = clock.Seconds() - start;
    StoreElapsed(st, elapsed);
    M.criterion = Smirnow(st, M.A, M.B, M.K_powtor, M.F_norm);
    M.evaluations = smirnow.evaluations();
    M.seconds = elapsed;

    FillModelColumns(st, M, true);
    M.Executed = !StopAsked(cb.stop); // a search cut short by the stop flag is no model
    Sigmas(st, M, st.T_Prirab);
    AppendMemo(cb, ElapsedLine(kSmirnovDone, cb, elapsed));
}

} // namespace tovimo
