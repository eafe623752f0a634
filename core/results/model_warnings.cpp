#include "core/results/model_warnings.h"

#include "core/results/likelihood_bounds_table.h"
#include "core/results/likelihood_warnings.h"
#include "core/results/results_table.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tovimo {

namespace {

struct SlotInfo {
    const char* slot;
    const Mod_Weib& model;
    bool fixedK;                    // K_powtor from a formula or from model 2
    std::vector<ParamBound> bounds; // the fit's search ranges
};

// Four significant digits in the general form, for what is not a figure of the
// tables (a ratio).
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

LikFigure ParamFigure(const std::string& name) {
    if (name == "A") return LikFigure::A;
    if (name == "B") return LikFigure::B;
    return LikFigure::K;
}

// Where a model's fixed K came from: model 1.1 takes model 2's when model 2
// has run (in this run or an earlier one), else (N - 1) / 11; model 1.2 and
// the genetic algorithm take StartRepeatFactor's.
std::string KOrigin(const AnalysisState& st, const std::string& slot, double K) {
    const std::string n = std::to_string(st.MasProbl.size());
    if (slot == "MPirsS") {
        const double formula = (static_cast<double>(st.MasProbl.size()) - 1) / 11;
        if (K == formula && !(st.MSmirn.Executed && st.MSmirn.K_powtor == K))
            return "взят из формулы (N − 1) / 11 по числу отказов N = " + n;
        return st.MSmirn.Executed && st.MSmirn.K_powtor == K ? "взят из модели 2"
                                                             : "взят из модели 2 прежнего расчёта";
    }
    return "взят из формулы (N − 1) · 8000 / (приведённый парк · последняя наработка) по числу отказов N = " +
           n;
}

// K of 0 or below, or A, B or K not a number: the model predicts nothing and
// none of its figures means anything.
bool Defined(const Mod_Weib& m) {
    return std::isfinite(m.K_powtor) && m.K_powtor > 0 && std::isfinite(m.A) && m.A > 0 &&
           std::isfinite(m.B) && m.B > 0;
}

std::string UndefinedText(const AnalysisState& st, const SlotInfo& s, char sep) {
    const Mod_Weib& m = s.model;
    if (std::isfinite(m.K_powtor) && m.K_powtor <= 0) {
        std::string text = "K = " + FloatToStr(m.K_powtor, sep) +
                           ": модель не определена (ожидаемых отказов нет), её показатели не показаны";
        if (s.fixedK) text += "; K " + KOrigin(st, s.slot, m.K_powtor);
        return text;
    }
    return "A = " + LikFigureNumber(LikFigure::A, m.A, sep) +
           ", B = " + LikFigureNumber(LikFigure::B, m.B, sep) +
           ", K = " + LikFigureNumber(LikFigure::K, m.K_powtor, sep) +
           ": модель не определена, её показатели не показаны";
}

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
    const bool bounds = st.MPravd.Executed && st.Pravd.fitted;
    for (const SlotInfo& s : Slots(st)) {
        const Mod_Weib& m = s.model;
        if (!m.Executed) continue;
        auto add = [&](const char* code, const std::string& text) { out.push_back({s.slot, code, text}); };
        const bool pravd = std::string(s.slot) == "MPravd";
        if (!Defined(m)) {
            add("undefined_model", UndefinedText(st, s, sep));
            continue;
        }
        for (const ParamBound& b : s.bounds) {
            const double v = ParamValue(m, b.name);
            const double edge = 1e-3 * (b.max - b.min);
            if (v - b.min <= edge || b.max - v <= edge)
                add("bound", std::string("Параметр ") + b.name + " = " +
                                 LikFigureNumber(ParamFigure(b.name), v, sep) +
                                 " на границе области поиска (" + FloatToStr(b.min, sep) + " … " +
                                 FloatToStr(b.max, sep) + "): его задает граница, а не данные");
        }
        if (s.fixedK)
            add("fixed_K", "Масштабный коэффициент K = " + LikFigureNumber(LikFigure::K, m.K_powtor, sep) +
                               " " + KOrigin(st, s.slot, m.K_powtor) + ", а не подобран по данным");
        for (double p : {0.5, 0.1, 0.2}) {
            const double ratio = p / m.K_powtor;
            if (ratio >= 1)
                add("clamped_percentile", Short(p * 100, sep) +
                                              "% перцентиль вычислен при p/K = " + Short(ratio, sep) +
                                              " ≥ 1: в ячейке предельное значение, а не наработка");
        }
        std::string past;
        for (LikFigure fig : {LikFigure::T10, LikFigure::T20, LikFigure::T50}) {
            const double t = TableFigure(fig, m.A, m.B, m.K_powtor);
            if (std::isfinite(t) && t > lastFailure)
                past += (past.empty() ? "" : ", ") + std::string(LikFigureName(fig)) + " (" +
                        LikFigureValue(fig, t, sep) + ")";
        }
        for (LikFigure fig : {LikFigure::F1000, LikFigure::F2000, LikFigure::F4000})
            if (LikFigureTime(fig) > lastFailure)
                past += (past.empty() ? "" : ", ") + std::string(LikFigureName(fig));
        if (!past.empty())
            add("extrapolation", past + ": время больше последнего отказа (" + FloatToStr(lastFailure, sep) +
                                     " ч), это экстраполяция");
        std::vector<WarningText> more =
            pravd ? LikelihoodWarnings(m, st.Pravd, sep)
                  : (bounds ? OutsideBoundsWarnings(m, st.Pravd, sep) : std::vector<WarningText>{});
        if (pravd)
            for (WarningText& w : MovedTimesWarnings(st.MasProbl, sep))
                more.push_back(std::move(w));
        for (const WarningText& w : more)
            add(w.code, w.text);
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
