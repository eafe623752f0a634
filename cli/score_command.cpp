#include "cli/commands.h"
#include "cli/data_input.h"
#include "cli/json_output.h"

#include "core/fit/likelihood_model.h"
#include "core/state/run_inputs.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

#include <iostream>
#include <limits>

namespace tovimo::cli {

int RunScore(const ScoreOptions& o) {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    if (!LoadCommandData(st, form, o.dataFile, messages)) return kFileError;
    if (o.warrantyFile && !LoadWarrantyOption(st, form, *o.warrantyFile, messages)) return kFileError;
    const char sep = form.decimalSeparator;
    if (o.mean) form.meSred = FloatToStr(*o.mean, sep);
    if (o.sd) form.meSKO = FloatToStr(*o.sd, sep);
    if (o.tFin) form.LabeledEdit2 = FloatToStr(*o.tFin, sep);
    if (o.runIn) form.LabeledEdit3 = FloatToStr(*o.runIn, sep);
    try {
        ReadRunEdits(st, form);
    } catch (const ConvertError& e) {
        std::cerr << e.what() << "\n";
        return kUsage;
    }
    if (st.MasProbl.empty()) {
        std::cerr << "В файле исходных данных нет ни одной записи об отказе: оценка модели невозможна\n";
        return kFileError;
    }
    hist_Format(st);

    Mod_Weib m;
    m.A = o.A;
    m.B = o.B;
    m.K_powtor = o.K;
    m.Sred = st.Sred;
    m.SKO = st.SKO;
    SizeModelArrays(m, st.Hist_Stol.size());
    const double p0 = Pirson(st, 0, o.A, o.B, o.K, st.Sred, st.SKO, m);
    const double p2 = Pirson(st, 2, o.A, o.B, o.K, st.Sred, st.SKO, m);
    const double p1 = Pirson(st, 1, o.A, o.B, o.K, st.Sred, st.SKO, m);
    std::vector<double> phi;
    phi.reserve(st.MasProbl.size());
    for (const Problems& p : st.MasProbl)
        phi.push_back(CDF_Gauss(st.Sred, st.SKO, p.time));
    const double sm = Smirnow(st, o.A, o.B, o.K, phi);
    double kolm = 0;
    std::string kolmStr;
    Kolmogor(st, o.K, o.A, o.B, st.Sred, st.SKO, kolm, kolmStr);
    Mod_Weib g;
    g.K_powtor = o.K;
    std::array<double, N_Param_Opt + 1> ao{};
    ao[1] = o.B;
    ao[2] = o.A;
    const double celev = CelevFunction(st, ao, g); // the run flags stay off: only A and B are given
    Sigmas(st, m, st.T_Prirab);
    double skoStolb = 0;
    const std::string line = Hist_SKO(st, m, sep, &skoStolb);

    // The log-likelihood of both ways of failing at the given A, B and K.
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
    std::string refusalOnce, refusalFree;
    const double llOnce = loglik(LikelihoodKMode::Once, refusalOnce);
    const double llFree = loglik(LikelihoodKMode::Free, refusalFree);

    if (o.json) {
        nlohmann::json j;
        j["loglik_once"] = refusalOnce.empty() ? Num(llOnce) : nlohmann::json(nullptr);
        j["loglik_free"] = refusalFree.empty() ? Num(llFree) : nlohmann::json(nullptr);
        if (!refusalOnce.empty()) j["loglik_once_refusal"] = refusalOnce;
        if (!refusalFree.empty()) j["loglik_free_refusal"] = refusalFree;
        j["Pirson0"] = Num(p0);
        j["Pirson1"] = Num(p1);
        j["Pirson2"] = Num(p2);
        j["Smirnow"] = Num(sm);
        j["Kolmogor"] = Num(kolm);
        j["KolmStr"] = kolmStr;
        j["CelevFunction"] = Num(celev);
        j["LamStart"] = Num(m.LamStart);
        j["Lam1000"] = Num(m.Lam1000);
        j["SKO_out"] = Num(m.SKO_out);
        j["SKO_Stolb"] = Num(skoStolb);
        j["Hist_SKO_line"] = line;
        j["Kol_F_priv"] = NumArray(m.Kol_F_priv);
        j["F_Weib"] = NumArray(m.F_Weib);
        j["F_norm"] = NumArray(m.F_norm);
        j["Hist_Stol"] = HistogramJson(st);
        j["messages"] = messages;
        std::cout << j.dump(1) << "\n";
        return kDone;
    }
    for (const auto& msg : messages)
        std::cout << "Сообщение: " << msg << "\n";
    auto g15 = [&](double v) { return FloatToStr(v, sep); };
    std::cout << "Критерий Пирсона (Специальный 1 / Стандарт / Специальный 2): " << g15(p0) << " / "
              << g15(p1) << " / " << g15(p2) << "\n";
    std::cout << "Критерий Смирнова: " << g15(sm) << "\n";
    std::cout << "Критерий Колмогорова: " << Format("%6.3f", {kolm}, sep) << kolmStr << "\n";
    std::cout << "Целевая функция генетического алгоритма: " << g15(celev) << "\n";
    std::cout << "Интенсивность на 1000 ч при приработке / при 1000 ч: " << g15(m.LamStart) << " / "
              << g15(m.Lam1000) << "\n";
    std::cout << "СКО модели: " << g15(m.SKO_out) << "\n";
    std::cout << line << "\n";
    std::cout << "ln L при K = 1: " << (refusalOnce.empty() ? g15(llOnce) : refusalOnce) << "\n";
    std::cout << "ln L при повторных отказах: " << (refusalFree.empty() ? g15(llFree) : refusalFree) << "\n";
    return kDone;
}

} // namespace tovimo::cli
