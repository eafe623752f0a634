// A small analysis state for the tests of the results table and its files:
// six failures, a fleet of 50 and a model slot with every figure set.
#pragma once

#include "core/state/analysis_state.h"

namespace tovimo::table_test {

inline Mod_Weib Model(double A, double B, double K) {
    Mod_Weib m;
    m.A = A;
    m.B = B;
    m.K_powtor = K;
    m.Kol_Nakopl = 37.4;
    m.SKO_out = 1.25;
    m.Sred = 3000;
    m.SKO = 700.04;
    m.LamStart = 0.5;
    m.Lam1000 = 0.08;
    m.Executed = true;
    return m;
}

inline AnalysisState State() {
    AnalysisState st;
    for (double t : {120.0, 350.0, 500.0, 800.0, 1000.0, 1300.0})
        st.MasProbl.push_back({t, 1, "x", ""});
    st.Kol_izw = 6;
    st.KolOtk = 41;
    st.Izd_Prived = 50;
    st.Sred = 3000;
    st.SKO = 700;
    st.T_Prirab = 300;
    st.T50expl = 2500.5; // halves go to the even neighbour
    st.t50zen = 3501.5;
    st.TL90expl = 0;
    st.TL80expl = 1499.5;
    st.Otk_Izd = 0.125;
    st.Pot08 = 2;
    return st;
}

} // namespace tovimo::table_test
