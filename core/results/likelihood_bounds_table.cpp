#include "core/results/likelihood_bounds_table.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

const char* const kDash = "—";

struct FigureText {
    const char* row;  // the row's label in the panel
    const char* name; // the figure in running text
    int decimals;     // one form for the panel, the warnings and the text output
    const char* unit;
    double time; // the time the figure is taken at; 0 when the estimate is the time
    bool isTime; // the estimate is a time (a percentile)
};

// In the order of LikFigure. A, B and K as the results table writes them; the
// failures per product with two more decimals than the table, which would
// show the bounds of a small count as 0,00 – 0,00.
const FigureText kFigures[kLikFigureCount] = {
    {"A (параметр формы)", "A", 3, "", 0, false},
    {"B (параметр масштаба), ч", "B", 2, " ч", 0, false},
    {"K (масштабный коэффициент)", "K", 4, "", 0, false},
    {"10% перцентиль, ч", "10% перцентиль", 0, " ч", 0, true},
    {"20% перцентиль, ч", "20% перцентиль", 0, " ч", 0, true},
    {"50% перцентиль, ч", "50% перцентиль", 0, " ч", 0, true},
    {"Отказов/изд. за 1000 ч", "отказов/изд. за 1000 ч", 4, "", 1000, false},
    {"Отказов/изд. за 2000 ч", "отказов/изд. за 2000 ч", 4, "", 2000, false},
    {"Отказов/изд. за 4000 ч", "отказов/изд. за 4000 ч", 4, "", 4000, false},
};

const FigureText& Text(LikFigure fig) {
    return kFigures[static_cast<int>(fig)];
}

std::string Number(int decimals, double v, char sep) {
    if (!std::isfinite(v)) return kDash;
    return NumberText(v, 'f', decimals, sep);
}

std::string Percent(double level, char sep) {
    return Format(sep, "{:.0f}%", level * 100);
}

// "повторению" after 1, 21, 31 ..., "повторениям" after the others (dative);
// "повторения" / "повторений" after "из" (genitive).
bool SingularAfter(int n) {
    return n % 10 == 1 && n % 100 != 11;
}

std::string Replicates(int used, int requested) {
    return "по " + std::to_string(used) + " из " + std::to_string(requested) +
           (SingularAfter(requested) ? " повторения" : " повторений") + " бутстрепа";
}

// The parameter whose flat tail holds the maximum: its estimate is where the
// search stopped.
bool FlatAt(const LikelihoodResult& r, LikFigure fig) {
    return r.atBound && fig <= LikFigure::K && r.flatParameter == Text(fig).name;
}

std::string TestLine(const LikelihoodResult& r, char sep) {
    std::string line = "Проверка K = 1: статистика отношения правдоподобия " + Number(3, r.lrStat, sep) +
                       ", p = " + Number(4, r.lrP, sep);
    line += r.lrReplicates > 0
                ? " по " + std::to_string(r.lrReplicates) +
                      (SingularAfter(r.lrReplicates) ? " повторению" : " повторениям") + " бутстрепа"
                : std::string(" по хи-квадрат с одной степенью свободы");
    if (!std::isfinite(r.lrP)) return line;
    if (r.lrP < 1 - r.settings.level)
        return line + " — отвергнуто на уровне " + Percent(r.settings.level, sep);
    return line + " — не отвергнуто: данные совместимы с K = 1, но не доказывают его";
}

std::string FitLine(const LikelihoodResult& r, char sep) {
    std::string line = "Согласие с гистограммой";
    if (r.gofColumns > 0)
        line +=
            " по " + std::to_string(r.gofColumns) + (SingularAfter(r.gofColumns) ? " столбцу" : " столбцам");
    line += ": хи-квадрат Пирсона " + Number(3, r.gofChi2, sep);
    const int requested = std::max(r.gofRequested, r.gofReplicates);
    if (requested == 0) return line + ", бутстреп не выполнялся";
    if (r.gofReplicates == 0)
        return line + ", p не вычислено: не удалось ни одно из " + std::to_string(requested) +
               (SingularAfter(requested) ? " повторения" : " повторений") + " бутстрепа";
    return line + ", p = " + Number(3, r.gofP, sep) + " " + Replicates(r.gofReplicates, requested);
}

} // namespace

double LikFigureRounded(LikFigure fig, double v) {
    const double scale = std::pow(10.0, Text(fig).decimals);
    return RoundHalfEven(v * scale) / scale;
}

std::string LikFigureNumber(LikFigure fig, double v, char sep) {
    return Number(Text(fig).decimals, v, sep);
}

std::string LikFigureValue(LikFigure fig, double v, char sep) {
    if (!std::isfinite(v)) return kDash;
    return LikFigureNumber(fig, v, sep) + Text(fig).unit;
}

const char* LikFigureName(LikFigure fig) {
    return Text(fig).name;
}

double LikFigureTime(LikFigure fig) {
    return Text(fig).time;
}

bool LowerClosed(const LikInterval& in) {
    return in.present && !in.lowerOpen && std::isfinite(in.lower);
}

bool UpperClosed(const LikInterval& in) {
    return in.present && !in.upperOpen && std::isfinite(in.upper);
}

std::string LikIntervalText(LikFigure fig, const LikInterval& in, char sep) {
    if (!in.present) return kDash;
    const bool lower = LowerClosed(in), upper = UpperClosed(in);
    if (lower && upper) return LikFigureNumber(fig, in.lower, sep) + "–" + LikFigureValue(fig, in.upper, sep);
    if (lower) return "≥ " + LikFigureValue(fig, in.lower, sep);
    if (upper) return "≤ " + LikFigureValue(fig, in.upper, sep);
    return kBoundsOpenNote;
}

std::vector<BoundsRow> LikelihoodBoundsRows(const LikelihoodResult& r, char sep) {
    std::vector<BoundsRow> rows;
    if (!r.fitted) return rows;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const LikFigure fig = static_cast<LikFigure>(i);
        const FigureText& f = kFigures[i];
        const LikInterval& in = r.intervals[static_cast<size_t>(i)];
        const double estimate = r.estimates[static_cast<size_t>(i)];
        BoundsRow row;
        row[0] = f.row;
        std::vector<std::string> notes;
        if (FlatAt(r, fig)) {
            row[1] = kDash;
            notes.push_back("максимум не достигается: значение задает край поиска, а не данные");
        } else {
            row[1] = Number(f.decimals, estimate, sep);
        }
        const bool lower = LowerClosed(in), upper = UpperClosed(in);
        row[2] = row[3] = kDash;
        if (in.present) {
            if (lower && upper) {
                row[2] = Number(f.decimals, in.lower, sep);
                row[3] = Number(f.decimals, in.upper, sep);
            } else if (lower) {
                row[2] = "≥ " + Number(f.decimals, in.lower, sep);
                notes.push_back(std::string("сверху ") + kBoundsOpenNote);
            } else if (upper) {
                row[3] = "≤ " + Number(f.decimals, in.upper, sep);
                notes.push_back(std::string("снизу ") + kBoundsOpenNote);
            } else {
                notes.push_back(kBoundsOpenNote);
            }
        } else if (fig == LikFigure::K) {
            notes.push_back("задано K = 1");
        }
        const double at = f.isTime ? estimate : f.time;
        if ((f.isTime || f.time > 0) && at > r.lastFailure) notes.push_back(kBoundsExtrapolationNote);
        for (const std::string& n : notes)
            row[4] += (row[4].empty() ? "" : "; ") + n;
        rows.push_back(row);
    }
    return rows;
}

std::vector<BoundsRow> AssumedShapeRows(const LikelihoodResult& r, char sep) {
    std::vector<BoundsRow> rows;
    if (r.fitted) return rows;
    const LikFigure times[3] = {LikFigure::F1000, LikFigure::F2000, LikFigure::F4000};
    for (const AssumedShapeBound& a : r.assumedShape)
        for (size_t i = 0; i < 3; ++i) {
            const double upper = a.upper[i];
            rows.push_back({"Отказов на изделие к " + FloatToStr(Text(times[i]).time, sep) +
                                " ч при принятой форме A = " + FloatToStr(a.shape, sep),
                            kDash, kDash,
                            std::isfinite(upper) ? "≤ " + LikFigureNumber(times[i], upper, sep) : kDash,
                            "опирается на принятую форму, а не на оценку по данным"});
        }
    return rows;
}

std::vector<BoundsRow> ShownBoundsRows(const AnalysisState& st, char sep) {
    if (st.MPravd.Executed && st.Pravd.fitted) return LikelihoodBoundsRows(st.Pravd, sep);
    return AssumedShapeRows(st.Pravd, sep);
}

std::vector<std::string> LikelihoodSummaryLines(const LikelihoodResult& r, bool executed, char sep) {
    std::vector<std::string> lines;
    const LikelihoodSettings& s = r.settings;
    if (!executed || !r.fitted) {
        lines.push_back(r.refusal.empty() ? "Модель 3 не рассчитана"
                                          : "Модель 3 не рассчитана: " + r.refusal);
        if (!r.fitted && !r.assumedShape.empty())
            lines.push_back("Отказов слишком мало, чтобы подобрать форму закона: ниже верхние " +
                            Percent(s.level, sep) +
                            " границы числа отказов на изделие при принятой, а не подобранной форме A");
        return lines;
    }
    lines.push_back(
        std::string(s.kMode == LikelihoodKMode::Once ? "Отказ изделия не более одного раза (K = 1)"
                                                     : "Повторные отказы (K подбирается)") +
        "; закон окончания гарантии " + (s.law == WarrantyLawKind::Empirical ? "по файлу" : "нормальный") +
        "; отказов " + std::to_string(r.n) + ", приведённый парк " + Number(1, r.fleet, sep));
    if (std::isfinite(r.windowEnd) && r.windowEnd > 0) {
        std::string end = "Конец наблюдения: " + Number(0, r.windowEnd, sep) + " ч (" +
                          (r.windowGiven ? "задан" : "конец закона гарантии") + ")";
        if (r.afterWindow > 0) end += "; отказов после него не учтено: " + std::to_string(r.afterWindow);
        lines.push_back(end);
    }
    lines.push_back("Доверительные границы " + Percent(s.level, sep) +
                    " по профилю правдоподобия; ln L = " + Number(4, r.loglik, sep));
    if (r.lrDone) lines.push_back(TestLine(r, sep));
    lines.push_back(FitLine(r, sep));
    return lines;
}

} // namespace tovimo
