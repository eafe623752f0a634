#include "core/results/results_refresh.h"

#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <cmath>
#include <limits>

namespace tovimo {

bool Potok08(AnalysisState& st, const MainForm& form) {
    if (auto v = ParseFloat(form.LabeledEdit3, form.decimalSeparator)) st.T_Prirab = *v;
    double sum = 0, last = 0;
    bool any = false, defined = true;
    for (const Problems& p : st.MasProbl) {
        const double t = p.time;
        if (!(st.T_Prirab < t && t <= 1000)) continue;
        const double stay = 1 - CDF_Gauss(st.Sred, st.SKO, t);
        if (!(stay > 0)) defined = false; // every product has left warranty by t
        sum += 1 / stay;
        last = t;
        any = true;
    }
    if (!any || !defined) {
        st.Pot08 = std::numeric_limits<double>::quiet_NaN();
        return false;
    }
    st.Pot08 = sum * 1000 / (last - st.T_Prirab) / st.Izd_Prived;
    return std::isfinite(st.Pot08) && st.Pot08 > 0;
}

void AccumulateModelTotals(AnalysisState& st) {
    const size_t columns = st.Hist_Stol.size();
    Mod_Weib* slots[] = {&st.MPirsN, &st.MPirsS, &st.MSmirn, &st.MGenet, &st.MPravd};
    for (Mod_Weib* m : slots) {
        m->Unsens = 0;
        m->Kol_Nakopl = 0;
        m->Unsens_col.assign(columns, 0);
        m->Kol_Nakopl_col.assign(columns, 0);
    }
    for (size_t i = 0; i < columns; ++i) {
        for (Mod_Weib* m : slots) {
            // A slot fitted to an earlier series may have fewer columns: those
            // it lacks add nothing.
            if (m->Executed && st.Hist_Stol[i].Sum > 0) {
                if (m != &st.MSmirn && i < m->F_Weib.size()) m->Unsens += m->F_Weib[i];
                if (i < m->Kol_F_priv.size()) m->Kol_Nakopl += m->Kol_F_priv[i];
            }
            m->Unsens_col[i] = m->Unsens;
            m->Kol_Nakopl_col[i] = m->Kol_Nakopl;
        }
    }
}

void RefreshResultFigures(AnalysisState& st, const MainForm& form) {
    Potok08(st, form);
    AccumulateModelTotals(st);
}

} // namespace tovimo
