#include "core/results/model_warnings.h"

#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tovimo {

namespace {

struct SlotInfo {
    const char* slot;
    const Mod_Weib& model;
    bool fixedK;                    // K_powtor from a formula
    std::vector<ParamBound> bounds; // the fit's search ranges
};

// Four significant digits in the general form.
std::string Short(double v, char sep) {
    if (!std::isfinite(v) || v == 0) return FloatToStr(v, sep);
    const double scale = std::pow(10.0, 3 - std::floor(std::log10(std::fabs(v))));
    return FloatToStr(std::round(v * scale) / scale, sep);
}

std::vector<SlotInfo> Slots(const AnalysisState& st) {
    // The ranges of the step searches (scale, shape, and the Smirnov fit's K)
    // and the draw ranges of the genetic algorithm.
    return {
        {"MPirsN", st.MPirsN, true, {{"B", 10, 50000}, {"A", 0.5, 3}}},
        {"MPirsS", st.MPirsS, true, {{"B", 10, 99000}, {"A", 0.35, 10}}},
        {"MSmirn", st.MSmirn, false, {{"B", 1, 90000}, {"A", 0.3, 3}, {"K_powtor", 1.01, 30}}},
        {"MGenet",
         st.MGenet,
         true,
         {{"B", Alim[1][1], Alim[1][1] + Alim[2][1]}, {"A", Alim[1][2], Alim[1][2] + Alim[2][2]}}},
        {"MPravd", st.MPravd, false, {}},
    };
}

double ParamValue(const Mod_Weib& m, const std::string& name) {
    if (name == "A") return m.A;
    if (name == "B") return m.B;
    return m.K_powtor;
}

const char* const kFigureNames[kLikFigureCount] = {"A",   "B",     "K",     "T10",  "T20",
                                                   "T50", "F1000", "F2000", "F4000"};

} // namespace

std::string ModelCaption(const std::string& slot) {
    if (slot == "MPirsN") return "Модель 1.2";
    if (slot == "MPirsS") return "Модель 1.1";
    if (slot == "MSmirn") return "Модель 2";
    if (slot == "MGenet") return "Генетическая модель";
    return "Модель 3";
}

std::vector<ModelWarning> ModelWarnings(const AnalysisState& st, char sep) {
    std::vector<ModelWarning> out;
    double lastFailure = 0;
    for (const Problems& p : st.MasProbl)
        if (p.time <= st.Tzenz || st.Tzenz <= 0) lastFailure = std::max(lastFailure, p.time);
    for (const SlotInfo& s : Slots(st)) {
        const Mod_Weib& m = s.model;
        if (!m.Executed) continue;
        auto add = [&](const char* code, const std::string& text) { out.push_back({s.slot, code, text}); };
        const bool pravd = std::string(s.slot) == "MPravd";
        for (const ParamBound& b : s.bounds) {
            const double v = ParamValue(m, b.name);
            const double edge = 1e-3 * (b.max - b.min);
            if (v - b.min <= edge || b.max - v <= edge)
                add("bound", std::string("Параметр ") + b.name + " = " + Short(v, sep) +
                                 " на границе области поиска (" + Short(b.min, sep) + " … " +
                                 Short(b.max, sep) + "): его задает граница, а не данные");
        }
        if (pravd && st.Pravd.atBound)
            add("bound", "Оценка A = " + Short(m.A, sep) + ", B = " + Short(m.B, sep) +
                             " ч, K = " + Short(m.K_powtor, sep) +
                             " на границе области поиска: её задает граница, а не данные");
        if (s.fixedK)
            add("fixed_K", "Масштабный коэффициент K = " + Short(m.K_powtor, sep) +
                               " взят из формулы, а не подобран по данным");
        for (double p : {0.5, 0.1, 0.2}) {
            const double ratio = p / m.K_powtor;
            if (ratio >= 1 || !std::isfinite(ratio))
                add("clamped_percentile", Short(p * 100, sep) +
                                              "% перцентиль вычислен при p/K = " + Short(ratio, sep) +
                                              " ≥ 1: в ячейке предельное значение, а не наработка");
        }
        std::string past;
        for (double p : {0.1, 0.2, 0.5}) {
            const double t = weibinv(m.A, m.B, p / m.K_powtor);
            if (t > lastFailure)
                past += (past.empty() ? "" : ", ") + Short(p * 100, sep) + "% перцентиль (" + Short(t, sep) +
                        " ч)";
        }
        for (double t : {1000.0, 2000.0, 4000.0})
            if (t > lastFailure)
                past += (past.empty() ? "" : ", ") + std::string("отказов/изд. за ") + Short(t, sep) + " ч";
        if (!past.empty())
            add("extrapolation", past + ": время больше последнего отказа (" + Short(lastFailure, sep) +
                                     " ч), это экстраполяция");
        if (!pravd) continue;

        const LikelihoodResult& r = st.Pravd;
        const std::string level = Short(r.settings.level * 100, sep) + "%";
        for (int i = 0; i < kLikFigureCount; ++i) {
            const LikInterval& in = r.intervals[i];
            if (!in.present) continue;
            if (in.lowerOpen)
                add("open_interval", std::string("Нижняя ") + level + " граница " + kFigureNames[i] +
                                         " не ограничена данными: показан конец области поиска " +
                                         Short(in.lower, sep));
            if (in.upperOpen)
                add("open_interval", std::string("Верхняя ") + level + " граница " + kFigureNames[i] +
                                         " не ограничена данными: показан конец области поиска " +
                                         Short(in.upper, sep));
        }
        if (r.lrDone && r.lrP < 1 - r.settings.level)
            add("k1_rejected", "Гипотеза K = 1 (не более одного отказа на изделие) отвергается на уровне " +
                                   level + ": статистика отношения правдоподобия " + Short(r.lrStat, sep) +
                                   ", p = " + Short(r.lrP, sep));
        if (r.gofReplicates > 0 && r.gofP < 1 - r.settings.level)
            add("gof", "Модель плохо согласуется с гистограммой: хи-квадрат Пирсона " +
                           Short(r.gofChi2, sep) + ", p = " + Short(r.gofP, sep) + " по " +
                           std::to_string(r.gofReplicates) + " повторениям бутстрепа");
        if (r.zeroTimes > 0)
            add("zero_times", "Отказов с наработкой 0 ч или меньше: " + std::to_string(r.zeroTimes) +
                                  "; в модели 3 они не учтены");
    }
    return out;
}

std::string WarningMemoLine(const ModelWarning& w) {
    return "Предупреждение (" + ModelCaption(w.model) + "): " + w.text;
}

void UpdateModelWarnings(AnalysisState& st, char sep, const std::vector<std::string>& runModels,
                         const std::function<void(const std::string&)>& memo) {
    st.Warnings = ModelWarnings(st, sep);
    if (!memo) return;
    for (const ModelWarning& w : st.Warnings)
        if (std::find(runModels.begin(), runModels.end(), w.model) != runModels.end())
            memo(WarningMemoLine(w));
}

} // namespace tovimo
