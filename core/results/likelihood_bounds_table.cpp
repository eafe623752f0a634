#include "core/results/likelihood_bounds_table.h"

#include "core/text/number_format.h"

#include <cmath>

namespace tovimo {

namespace {

struct FigureText {
    const char* name;
    const char* format;
    double time; // the time the figure is taken at; 0 when the estimate is the time
    bool isTime; // the estimate is a time (a percentile)
};

// In the order of LikFigure.
const FigureText kFigures[kLikFigureCount] = {
    {"A (параметр формы)", "%.3f", 0, false},         {"B (параметр масштаба), ч", "%.0f", 0, false},
    {"K (масштабный коэффициент)", "%.4f", 0, false}, {"10% перцентиль, ч", "%.0f", 0, true},
    {"20% перцентиль, ч", "%.0f", 0, true},           {"50% перцентиль, ч", "%.0f", 0, true},
    {"Отказов/изд. за 1000 ч", "%.4f", 1000, false},  {"Отказов/изд. за 2000 ч", "%.4f", 2000, false},
    {"Отказов/изд. за 4000 ч", "%.4f", 4000, false},
};

std::string Number(const char* format, double v, char sep) {
    if (!std::isfinite(v)) return "—";
    return Format(format, {v}, sep);
}

std::string Percent(double level, char sep) {
    return Format("%.0f", {level * 100}, sep) + "%";
}

} // namespace

std::vector<BoundsRow> LikelihoodBoundsRows(const LikelihoodResult& r, char sep) {
    std::vector<BoundsRow> rows;
    if (!r.fitted) return rows;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const FigureText& f = kFigures[i];
        const LikInterval& in = r.intervals[static_cast<size_t>(i)];
        const double estimate = r.estimates[static_cast<size_t>(i)];
        BoundsRow row;
        row[0] = f.name;
        row[1] = Number(f.format, estimate, sep);
        std::vector<std::string> notes;
        if (in.present) {
            row[2] = Number(f.format, in.lower, sep);
            row[3] = Number(f.format, in.upper, sep);
            if (in.lowerOpen && in.upperOpen)
                notes.push_back(kBoundsOpenNote);
            else if (in.lowerOpen)
                notes.push_back(std::string("снизу ") + kBoundsOpenNote);
            else if (in.upperOpen)
                notes.push_back(std::string("сверху ") + kBoundsOpenNote);
        } else {
            row[2] = row[3] = "—";
            if (static_cast<LikFigure>(i) == LikFigure::K) notes.push_back("задано K = 1");
        }
        const double at = f.isTime ? estimate : f.time;
        if ((f.isTime || f.time > 0) && at > r.lastFailure) notes.push_back(kBoundsExtrapolationNote);
        for (const std::string& n : notes)
            row[4] += (row[4].empty() ? "" : "; ") + n;
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> LikelihoodSummaryLines(const LikelihoodResult& r, bool executed, char sep) {
    std::vector<std::string> lines;
    if (!executed || !r.fitted) {
        lines.push_back(r.refusal.empty() ? "Модель 3 не рассчитана"
                                          : "Модель 3 не рассчитана: " + r.refusal);
        return lines;
    }
    const LikelihoodSettings& s = r.settings;
    lines.push_back(
        std::string(s.kMode == LikelihoodKMode::Once ? "Отказ изделия не более одного раза (K = 1)"
                                                     : "Повторные отказы (K подбирается)") +
        "; закон окончания гарантии " + (s.law == WarrantyLawKind::Empirical ? "по файлу" : "нормальный") +
        "; отказов " + std::to_string(r.n) + ", парк " + Number("%.0f", r.fleet, sep));
    lines.push_back("Доверительные границы " + Percent(s.level, sep) +
                    " по профилю правдоподобия; ln L = " + Number("%.4f", r.loglik, sep));
    if (r.lrDone)
        lines.push_back("Проверка K = 1: статистика отношения правдоподобия " +
                        Number("%.3f", r.lrStat, sep) + ", p = " + Number("%.4f", r.lrP, sep));
    if (r.gofReplicates > 0)
        lines.push_back("Согласие с гистограммой: хи-квадрат Пирсона " + Number("%.3f", r.gofChi2, sep) +
                        ", p = " + Number("%.3f", r.gofP, sep) + " по " + std::to_string(r.gofReplicates) +
                        " повторениям бутстрепа");
    else
        lines.push_back("Согласие с гистограммой: хи-квадрат Пирсона " + Number("%.3f", r.gofChi2, sep) +
                        ", бутстреп не выполнялся");
    return lines;
}

} // namespace tovimo
