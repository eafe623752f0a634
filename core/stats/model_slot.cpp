#include "core/stats/model_slot.h"

#include "core/stats/distributions.h"

namespace tovimo {

void SizeModelArrays(Mod_Weib& m, size_t columns) {
    if (m.F_Weib.size() != columns) m.F_Weib.resize(columns);
    if (m.F_norm.size() != columns) m.F_norm.resize(columns);
    if (m.Kol_F_priv.size() != columns) m.Kol_F_priv.resize(columns);
}

void FillModelColumns(const AnalysisState& st, Mod_Weib& m, bool clampNegative) {
    const auto& h = st.Hist_Stol;
    SizeModelArrays(m, h.size());
    double t1 = 0;
    for (size_t i = 0; i < h.size(); ++i) {
        const double t2 = h[i].time;
        double fw = weibCDF2(m.A, m.B, t1, t2);
        if (clampNegative && fw < 0) fw = 0;
        m.F_Weib[i] = fw;
        m.F_norm[i] = CDF_Gauss(st.Sred, st.SKO, (t1 + t2) / 2);
        m.Kol_F_priv[i] = st.Izd_Prived * m.K_powtor * m.F_Weib[i] * (1 - m.F_norm[i]);
        t1 = t2;
    }
}

double StartRepeatFactor(const AnalysisState& st) {
    const double n = static_cast<double>(st.MasProbl.size());
    const double tLast = st.MasProbl.empty() ? 0 : st.MasProbl.back().time;
    return (n - 1) / st.Izd_Prived * 8000 / tLast;
}

bool AnyModelExecuted(const AnalysisState& st) {
    return st.MPirsN.Executed || st.MPirsS.Executed || st.MSmirn.Executed || st.MGenet.Executed ||
           st.MPravd.Executed;
}

void ForgetModels(AnalysisState& st) {
    for (Mod_Weib* m : {&st.MPirsN, &st.MPirsS, &st.MSmirn, &st.MGenet, &st.MPravd})
        m->Executed = false;
    st.Pravd = LikelihoodResult{};
    st.Warnings.clear();
}

} // namespace tovimo
