#include "cli/json_output.h"

#include <cmath>

namespace tovimo::cli {

using nlohmann::json;

json Num(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    return v;
}

json NumArray(const std::vector<double>& v) {
    json a = json::array();
    for (double x : v)
        a.push_back(Num(x));
    return a;
}

json HistogramJson(const AnalysisState& st) {
    json h = json::array();
    for (const Hist_Rec& c : st.Hist_Stol) {
        json npr = json::array();
        for (int x : c.Npr)
            npr.push_back(x);
        h.push_back({{"time", Num(c.time)}, {"Sum", c.Sum}, {"Npr", npr}});
    }
    return h;
}

json ModelJson(const Mod_Weib& m) {
    return {{"Executed", m.Executed},
            {"A", Num(m.A)},
            {"B", Num(m.B)},
            {"K_powtor", Num(m.K_powtor)},
            {"Sred", Num(m.Sred)},
            {"SKO", Num(m.SKO)},
            {"SKO_out", Num(m.SKO_out)},
            {"LamStart", Num(m.LamStart)},
            {"Lam1000", Num(m.Lam1000)},
            {"KolmCrt", Num(m.KolmCrt)},
            {"Kol_Nakopl", Num(m.Kol_Nakopl)},
            {"Unsens", Num(m.Unsens)},
            {"Kol_F_priv", NumArray(m.Kol_F_priv)},
            {"F_Weib", NumArray(m.F_Weib)},
            {"F_norm", NumArray(m.F_norm)},
            {"criterion", Num(m.criterion)},
            {"evaluations", m.evaluations},
            {"seconds", Num(m.seconds)}};
}

json StateJson(const AnalysisState& st) {
    json j;
    j["Comment"] = st.Comment;
    j["Sred"] = Num(st.Sred);
    j["SKO"] = Num(st.SKO);
    j["Kol_Izd_All"] = Num(st.Kol_Izd_All);
    j["KolOtk"] = st.KolOtk;
    j["NPrich"] = st.NPrich;
    json causes = json::array();
    for (size_t k = 1; k < st.Vidy_otkazov.size(); ++k)
        causes.push_back(
            {{"Nazv_Prich", st.Vidy_otkazov[k].Nazv_Prich}, {"Dolya", Num(st.Vidy_otkazov[k].Dolya)}});
    j["Vidy_otkazov"] = causes;
    json recs = json::array();
    for (const Problems& p : st.MasProbl)
        recs.push_back({{"time", Num(p.time)}, {"chey", p.chey}, {"Pri", p.Pri}, {"komment", p.komment}});
    j["MasProbl"] = recs;
    j["Kol_izw"] = st.Kol_izw;
    j["Popravka_Unknow"] = Num(st.Popravka_Unknow);
    j["Izd_Prived"] = Num(st.Izd_Prived);
    j["TL90expl"] = Num(st.TL90expl);
    j["TL80expl"] = Num(st.TL80expl);
    j["T50expl"] = Num(st.T50expl);
    j["t50zen"] = Num(st.t50zen);
    j["Otk_Izd"] = Num(st.Otk_Izd);
    j["Tst"] = st.Tst;
    j["A_ln"] = Num(st.A_ln);
    j["B_ln"] = Num(st.B_ln);
    j["Tzenz"] = Num(st.Tzenz);
    j["T_Prirab"] = Num(st.T_Prirab);
    j["D_Hist1"] = st.D_Hist1;
    j["D_Hist2"] = st.D_Hist2;
    j["Hist_Stol"] = HistogramJson(st);
    json spc = json::array();
    for (double v : st.Sum_PrichCol)
        spc.push_back(Num(v));
    j["Sum_PrichCol"] = spc;
    j["models"] = {{"MPirsN", ModelJson(st.MPirsN)},
                   {"MPirsS", ModelJson(st.MPirsS)},
                   {"MSmirn", ModelJson(st.MSmirn)},
                   {"MGenet", ModelJson(st.MGenet)}};
    return j;
}

} // namespace tovimo::cli
