#include "cli/json_output.h"

#include "core/results/likelihood_bounds_table.h"

#include <cmath>
#include <iterator>

namespace tovimo::cli {

using nlohmann::json;

json Num(double v) {
    if (!std::isfinite(v)) return nullptr;
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

json IntervalJson(const LikInterval& in) {
    if (!in.present) return nullptr;
    const bool lo = in.lowerOpen || !std::isfinite(in.lower), hi = in.upperOpen || !std::isfinite(in.upper);
    return {{"lower", lo ? json(nullptr) : Num(in.lower)},
            {"upper", hi ? json(nullptr) : Num(in.upper)},
            {"lower_open", lo},
            {"upper_open", hi}};
}

json AssumedShapeJson(const std::vector<AssumedShapeBound>& bounds) {
    json assumed = json::array();
    for (const AssumedShapeBound& a : bounds)
        assumed.push_back({{"shape", Num(a.shape)},
                           {"F1000_upper", Num(a.upper[0])},
                           {"F2000_upper", Num(a.upper[1])},
                           {"F4000_upper", Num(a.upper[2])}});
    return assumed;
}

json LikelihoodJson(const Mod_Weib& m, const LikelihoodResult& r) {
    json j = ModelJson(m);
    j["fitted"] = r.fitted;
    j["loglik"] = Num(r.loglik);
    j["k_mode"] = r.settings.kMode == LikelihoodKMode::Once ? "once" : "free";
    j["law"] = r.settings.law == WarrantyLawKind::Empirical ? "empirical" : "normal";
    j["level"] = Num(r.settings.level);
    j["n"] = r.n;
    j["zero_times"] = r.zeroTimes;
    j["after_window"] = r.afterWindow;
    j["fleet"] = Num(r.fleet);
    j["last_failure"] = Num(r.lastFailure);
    j["window_end"] = Num(r.windowEnd);
    j["window_given"] = r.windowGiven;
    j["at_bound"] = r.atBound;
    j["flat_parameter"] = r.flatParameter.empty() ? json(nullptr) : json(r.flatParameter);
    if (!r.refusal.empty()) j["refusal"] = r.refusal;
    // an open side has no value: null, with its mark
    json intervals = json::object();
    for (int i = 0; i < kLikFigureCount; ++i)
        intervals[kLikFigureKeys[i]] = IntervalJson(r.intervals[static_cast<size_t>(i)]);
    j["intervals"] = intervals;
    json estimates = json::object();
    for (int i = 0; i < kLikFigureCount; ++i)
        estimates[kLikFigureKeys[i]] = Num(r.estimates[static_cast<size_t>(i)]);
    j["estimates"] = estimates;
    // the upper bounds of the failures per product for assumed shapes, when
    // too few failures gave no fit
    j["assumed_shape"] = AssumedShapeJson(r.assumedShape);
    j["lr_k1"] = r.lrDone ? json{{"stat", Num(r.lrStat)}, {"p", Num(r.lrP)}, {"replicates", r.lrReplicates}}
                          : json(nullptr);
    j["gof"] = {{"chi2", Num(r.gofChi2)},
                {"p", Num(r.gofP)},
                {"replicates", r.gofReplicates},
                {"requested", r.gofRequested},
                {"columns", r.gofColumns}};
    j["band"] = {{"time", NumArray(r.bandTimes)},
                 {"value", NumArray(r.bandValue)},
                 {"lower", NumArray(r.bandLower)},
                 {"upper", NumArray(r.bandUpper)}};
    return j;
}

json BoundsJson(const AnalysisState& st, char decimalSeparator) {
    json rows = json::array();
    for (const BoundsRow& row : ShownBoundsRows(st, decimalSeparator))
        rows.push_back(row);
    return {{"header", std::vector<std::string>(std::begin(kBoundsHeader), std::end(kBoundsHeader))},
            {"summary", LikelihoodSummaryLines(st.Pravd, st.MPravd.Executed, decimalSeparator)},
            {"rows", rows}};
}

json WarningsJson(const std::vector<ModelWarning>& warnings) {
    json a = json::array();
    for (const ModelWarning& w : warnings)
        a.push_back({{"model", w.model}, {"code", w.code}, {"text", w.text}});
    return a;
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
                   {"MGenet", ModelJson(st.MGenet)},
                   {"MPravd", LikelihoodJson(st.MPravd, st.Pravd)}};
    j["warnings"] = WarningsJson(st.Warnings);
    return j;
}

} // namespace tovimo::cli
