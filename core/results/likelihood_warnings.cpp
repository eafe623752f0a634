#include "core/results/likelihood_warnings.h"

#include "core/results/likelihood_bounds_table.h"
#include "core/results/results_table.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

std::string Percent(double level, char sep) {
    return Format(sep, "{:.0f}%", level * 100);
}

// "1 отказ", "3 отказа", "5 отказов".
std::string FailureCount(long long n) {
    const long long last = n % 10, lastTwo = n % 100;
    const bool one = last == 1 && lastTwo != 11;
    const bool few = last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14);
    return std::to_string(n) + (one ? " отказ" : few ? " отказа" : " отказов");
}

// "1 отказ ... не учтён", "3 отказа ... не учтены", "5 отказов ... не учтены".
std::string FailuresLeftOut(int n, const std::string& where) {
    const bool one = n % 10 == 1 && n % 100 != 11;
    return FailureCount(n) + " " + where + (one ? " не учтён" : " не учтены");
}

// Where a flat tail takes its parameter: the search ranges of the shape and of
// K sit around 1 on the logarithmic scale, and a scale beyond the observed
// times is one the data cannot reach.
std::string Direction(const std::string& name, const Mod_Weib& m, const LikelihoodResult& r) {
    double v = m.K_powtor, middle = 1;
    if (name == "A") v = m.A;
    if (name == "B") {
        v = m.B;
        middle = std::max(r.lastFailure, r.windowEnd);
    }
    return v > middle ? "уходит в бесконечность" : "уходит к нулю";
}

std::string FlatTailText(const Mod_Weib& m, const LikelihoodResult& r, char sep) {
    const std::string params = r.settings.kMode == LikelihoodKMode::Free ? "A, B, K" : "A, B";
    if (r.flatParameter.empty())
        return "максимум правдоподобия на краю области поиска (A = " +
               LikFigureNumber(LikFigure::A, m.A, sep) + ", B = " + LikFigureValue(LikFigure::B, m.B, sep) +
               ", K = " + LikFigureNumber(LikFigure::K, m.K_powtor, sep) + "): оценки " + params +
               " задает край, а не данные; опирайтесь на границы";
    return "максимум правдоподобия не достигается — параметр " + r.flatParameter + " " +
           Direction(r.flatParameter, m, r) + " (данные его не ограничивают); оценки " + params +
           " и зависящих от них показателей условны, опирайтесь на границы";
}

std::string OpenIntervalText(LikFigure fig, const LikInterval& in, const std::string& level, char sep) {
    const std::string name = LikFigureName(fig);
    const bool lower = LowerClosed(in), upper = UpperClosed(in);
    if (!lower && !upper) return name + ": " + level + " границы не ограничены данными";
    return name + ": " + (lower ? "верхняя " : "нижняя ") + level + " граница не ограничена данными (" +
           LikIntervalText(fig, in, sep) + ")";
}

} // namespace

std::vector<WarningText> LikelihoodWarnings(const Mod_Weib& m, const LikelihoodResult& r, char sep) {
    std::vector<WarningText> out;
    const std::string level = Percent(r.settings.level, sep);
    if (r.fitted) {
        if (r.atBound) out.push_back({"bound", FlatTailText(m, r, sep)});
        for (int i = 0; i < kLikFigureCount; ++i) {
            const LikInterval& in = r.intervals[static_cast<size_t>(i)];
            if (in.present && !(LowerClosed(in) && UpperClosed(in)))
                out.push_back({"open_interval", OpenIntervalText(static_cast<LikFigure>(i), in, level, sep)});
        }
        if (r.lrDone && r.lrP < 1 - r.settings.level)
            out.push_back({"k1_rejected",
                           "Гипотеза K = 1 (не более одного отказа на изделие) отвергается на уровне " +
                               level + ": статистика отношения правдоподобия " +
                               Format(sep, "{:.3f}", r.lrStat) + ", p = " + Format(sep, "{:.4f}", r.lrP)});
        if (r.gofReplicates > 0 && r.gofP < 1 - r.settings.level)
            out.push_back({"gof", "Модель плохо согласуется с гистограммой: хи-квадрат Пирсона " +
                                      Format(sep, "{:.3f}", r.gofChi2) +
                                      ", p = " + Format(sep, "{:.3f}", r.gofP) + " по " +
                                      std::to_string(r.gofReplicates) + " из " +
                                      std::to_string(std::max(r.gofRequested, r.gofReplicates)) +
                                      " повторений бутстрепа"});
    }
    if (r.zeroTimes > 0)
        out.push_back({"zero_times", "Отказов с наработкой 0 ч или меньше: " + std::to_string(r.zeroTimes) +
                                         "; в модели 3 они не учтены"});
    if (r.afterWindow > 0 && std::isfinite(r.windowEnd))
        out.push_back(
            {"after_window", FailuresLeftOut(r.afterWindow, "после конца наблюдения " +
                                                                Format(sep, "{:.0f}", r.windowEnd) + " ч")});
    return out;
}

std::vector<WarningText> MovedTimesWarnings(const std::vector<Problems>& failures, char sep) {
    long long moved = 0;
    double movedTo = 0, largest = 0;
    for (const Problems& p : failures)
        if (p.timeRead) {
            ++moved;
            movedTo = p.time;
            largest = std::max(largest, *p.timeRead - p.time);
        }
    if (moved == 0) return {};
    return {{"moved_times", "Загрузчик перенёс " + FailureCount(moved) +
                                " за Sred + 3·SKO = " + FloatToStr(movedTo, sep) + " ч; наибольший перенос " +
                                FloatToStr(largest, sep) +
                                " ч; модель 3 использует наработки как прочитаны"}};
}

std::vector<WarningText> OutsideBoundsWarnings(const Mod_Weib& m, const LikelihoodResult& r, char sep) {
    std::vector<WarningText> out;
    if (!r.fitted) return out;
    const std::string level = Percent(r.settings.level, sep);
    for (LikFigure fig : {LikFigure::T10, LikFigure::T20, LikFigure::T50, LikFigure::F1000, LikFigure::F2000,
                          LikFigure::F4000}) {
        const LikInterval& in = r.intervals[static_cast<size_t>(fig)];
        const double v = TableFigure(fig, m.A, m.B, m.K_powtor);
        if (!in.present || !std::isfinite(v)) continue;
        // compared as the texts show them, so that a figure never reads as
        // outside bounds that print the same number
        const double shown = LikFigureRounded(fig, v);
        const bool below = LowerClosed(in) && shown < LikFigureRounded(fig, in.lower);
        const bool above = UpperClosed(in) && shown > LikFigureRounded(fig, in.upper);
        if (below || above)
            out.push_back({"outside_bounds", std::string(LikFigureName(fig)) + " " +
                                                 LikFigureValue(fig, v, sep) + " вне " + level +
                                                 " границ модели 3 (" + LikIntervalText(fig, in, sep) + ")"});
    }
    return out;
}

} // namespace tovimo
