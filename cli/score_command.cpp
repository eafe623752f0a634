#include "cli/commands.h"
#include "cli/data_input.h"
#include "cli/json_output.h"

#include "core/fit/likelihood_model.h"
#include "core/state/run_inputs.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

#include <cmath>
#include <iostream>
#include <limits>

namespace tovimo::cli {

namespace {

// Every figure score reports for the given A, B and K.
struct ScoreFigures {
    Mod_Weib m; // the model with its arrays, spread and intensities
    double p0 = 0, p1 = 0, p2 = 0, sm = 0, kolm = 0, celev = 0, skoStolb = 0;
    std::string kolmStr, line;
    double llOnce = 0, llFree = 0;
    std::string refusalOnce, refusalFree;
};

// The log-likelihood of both ways of failing at the given A, B and K.
void scoreLikelihood(const AnalysisState& st, const ScoreOptions& o, char sep, ScoreFigures& f) {
    const WarrantyLawKind law =
        o.law ? (*o.law == "empirical" ? WarrantyLawKind::Empirical : WarrantyLawKind::Normal)
              : (o.warrantyFile ? WarrantyLawKind::Empirical : WarrantyLawKind::Normal);
    auto loglik = [&](LikelihoodKMode mode, std::string& refusal) {
        LikelihoodData d;
        refusal = PrepareLikelihoodData(st, law, mode, d, sep);
        if (!refusal.empty()) return std::numeric_limits<double>::quiet_NaN();
        LikelihoodEvaluator ev(d);
        return mode == LikelihoodKMode::Once ? ev.LogLikOnce(o.A, o.B) : ev.LogLikFree(o.A, o.B, o.K);
    };
    f.llOnce = loglik(LikelihoodKMode::Once, f.refusalOnce);
    f.llFree = loglik(LikelihoodKMode::Free, f.refusalFree);
}

ScoreFigures scoreModel(AnalysisState& st, const ScoreOptions& o, char sep) {
    ScoreFigures f;
    Mod_Weib& m = f.m;
    m.A = o.A;
    m.B = o.B;
    m.K_powtor = o.K;
    m.Sred = st.Sred;
    m.SKO = st.SKO;
    SizeModelArrays(m, st.Hist_Stol.size());
    f.p0 = Pirson(st, 0, o.A, o.B, o.K, st.Sred, st.SKO, m);
    f.p2 = Pirson(st, 2, o.A, o.B, o.K, st.Sred, st.SKO, m);
    f.p1 = Pirson(st, 1, o.A, o.B, o.K, st.Sred, st.SKO, m);
    std::vector<double> phi;
    phi.reserve(st.MasProbl.size());
    for (const Problems& p : st.MasProbl)
        phi.push_back(CDF_Gauss(st.Sred, st.SKO, p.time));
    f.sm = Smirnow(st, o.A, o.B, o.K, phi);
    Kolmogor(st, o.K, o.A, o.B, st.Sred, st.SKO, f.kolm, f.kolmStr);
    Mod_Weib g;
    g.K_powtor = o.K;
    ParamVector ao{};
    ao[1] = o.B;
    ao[2] = o.A;
    f.celev = CelevFunction(st, ao, g); // the run flags stay off: only A and B are given
    Sigmas(st, m, st.T_Prirab);
    f.line = Hist_SKO(st, m, sep, &f.skoStolb);
    scoreLikelihood(st, o, sep, f);
    return f;
}

void printScoreJson(const AnalysisState& st, const ScoreFigures& f,
                    const std::vector<std::string>& messages) {
    const Mod_Weib& m = f.m;
    nlohmann::json j;
    j["loglik_once"] = f.refusalOnce.empty() ? Num(f.llOnce) : nlohmann::json(nullptr);
    j["loglik_free"] = f.refusalFree.empty() ? Num(f.llFree) : nlohmann::json(nullptr);
    if (!f.refusalOnce.empty()) j["loglik_once_refusal"] = f.refusalOnce;
    if (!f.refusalFree.empty()) j["loglik_free_refusal"] = f.refusalFree;
    j["Pirson0"] = Num(f.p0);
    j["Pirson1"] = Num(f.p1);
    j["Pirson2"] = Num(f.p2);
    j["Smirnow"] = Num(f.sm);
    j["Kolmogor"] = Num(f.kolm);
    j["KolmStr"] = f.kolmStr;
    j["CelevFunction"] = Num(f.celev);
    j["LamStart"] = Num(m.LamStart);
    j["Lam1000"] = Num(m.Lam1000);
    j["SKO_out"] = Num(m.SKO_out);
    j["SKO_Stolb"] = Num(f.skoStolb);
    j["Hist_SKO_line"] = f.line;
    j["Kol_F_priv"] = NumArray(m.Kol_F_priv);
    j["F_Weib"] = NumArray(m.F_Weib);
    j["F_norm"] = NumArray(m.F_norm);
    j["Hist_Stol"] = HistogramJson(st);
    j["messages"] = messages;
    std::cout << j.dump(1) << "\n";
}

void printScoreText(const ScoreFigures& f, const std::vector<std::string>& messages, char sep) {
    const Mod_Weib& m = f.m;
    for (const auto& msg : messages)
        std::cout << "Сообщение: " << msg << "\n";
    // a figure that is not finite reads as a dash, as in the tables
    auto g15 = [&](double v) { return std::isfinite(v) ? FloatToStr(v, sep) : std::string("—"); };
    std::cout << "Критерий Пирсона (Специальный 1 / Стандарт / Специальный 2): " << g15(f.p0) << " / "
              << g15(f.p1) << " / " << g15(f.p2) << "\n";
    std::cout << "Критерий Смирнова: " << g15(f.sm) << "\n";
    std::cout << "Критерий Колмогорова: "
              << (std::isfinite(f.kolm) ? Format(sep, "{:6.3f}", f.kolm) : std::string("—")) << f.kolmStr
              << "\n";
    std::cout << "Целевая функция генетического алгоритма: " << g15(f.celev) << "\n";
    std::cout << "Интенсивность на 1000 ч при приработке / при 1000 ч: " << g15(m.LamStart) << " / "
              << g15(m.Lam1000) << "\n";
    std::cout << "СКО модели: " << g15(m.SKO_out) << "\n";
    std::cout << f.line << "\n";
    std::cout << "ln L при K = 1: " << (f.refusalOnce.empty() ? g15(f.llOnce) : f.refusalOnce) << "\n";
    std::cout << "ln L при повторных отказах: " << (f.refusalFree.empty() ? g15(f.llFree) : f.refusalFree)
              << "\n";
}

} // namespace

int RunScore(const ScoreOptions& o) {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    if (!LoadCommandData(st, form, o.dataFile, messages)) return kFileError;
    if (o.warrantyFile && !LoadWarrantyOption(st, form, *o.warrantyFile, messages)) return kFileError;
    const char sep = form.decimalSeparator;
    // the edits as the loaded files leave them, then the options
    RunInputs in = ReadRunInputs(form);
    if (o.mean) in.mean = *o.mean;
    if (o.sd) in.sd = *o.sd;
    if (o.tFin) in.tFin = *o.tFin;
    if (o.runIn) in.runIn = *o.runIn;
    try {
        ApplyRunEdits(st, in);
    } catch (const ConvertError& e) {
        std::cerr << e.what() << "\n";
        return kUsage;
    }
    if (st.MasProbl.empty()) {
        std::cerr << "В файле исходных данных нет ни одной записи об отказе: оценка модели невозможна\n";
        return kFileError;
    }
    hist_Format(st);

    const ScoreFigures f = scoreModel(st, o, sep);
    if (o.json)
        printScoreJson(st, f, messages);
    else
        printScoreText(f, messages, sep);
    return kDone;
}

} // namespace tovimo::cli
