#include "core/fit/causes_table.h"

#include "core/results/csv_export.h"
#include "core/results/likelihood_bounds_table.h"
#include "core/text/delimited_text.h"
#include "core/text/number_format.h"

#include <cmath>

namespace tovimo {

namespace {

const char* const kDash = "—";

// 'f' with `precision` decimals or 'e' with `precision` significant digits;
// a dash for a figure that is not finite.
std::string Number(char type, int precision, double v, char sep) {
    if (!std::isfinite(v)) return kDash;
    return NumberText(v, type, precision, sep);
}

// "1,418 (0,949–2,018)": the estimate and its interval in the figure's format.
std::string FigureCell(const LikelihoodResult& fit, LikFigure fig, char sep) {
    const auto i = static_cast<size_t>(fig);
    const std::string est = LikFigureNumber(fig, fit.estimates[i], sep);
    if (!fit.intervals[i].present) return est;
    return est + " (" + LikIntervalText(fig, fit.intervals[i], sep) + ")";
}

// A count of failures: whole numbers as such, others with one decimal.
std::string Count(double v, char sep) {
    if (!std::isfinite(v)) return kDash;
    return std::fabs(v - std::round(v)) < 1e-9 ? NumberText(v, 'f', 0, sep) : NumberText(v, 'f', 1, sep);
}

std::string IntervalCell(const LikInterval& in, int decimals, char sep) {
    if (!in.present) return kDash;
    const bool lo = LowerClosed(in), hi = UpperClosed(in);
    if (lo && hi) return Number('f', decimals, in.lower, sep) + "–" + Number('f', decimals, in.upper, sep);
    if (lo) return "≥ " + Number('f', decimals, in.lower, sep);
    if (hi) return "≤ " + Number('f', decimals, in.upper, sep);
    return kBoundsOpenNote;
}

std::string Percent(double level, char sep) {
    return Format(sep, "{:.0f}%", level * 100);
}

ForecastRow FigureRow(const std::string& label, const ForecastFigure& f, char sep) {
    return {label, Number('f', 1, f.expected, sep), IntervalCell(f.confidence, 1, sep),
            IntervalCell(f.prediction, 0, sep)};
}

// A CSV number cell: the figure as a number, an empty cell when it has none.
std::string CsvNumber(double v, char sep) {
    return std::isfinite(v) ? FloatToStr(v, sep) : "";
}

// A line of cells between the decimal separator's field separator, a cell
// holding it or a quote quoted.
std::string CsvLine(const std::vector<std::string>& cells, char sep) {
    return DelimitedLine(cells, CsvSeparator(sep));
}

double Lower(const LikInterval& in) {
    return in.present && LowerClosed(in) ? in.lower : NAN;
}
double Upper(const LikInterval& in) {
    return in.present && UpperClosed(in) ? in.upper : NAN;
}

} // namespace

std::vector<CausesRow> CausesRows(const CausesResult& r, char sep) {
    std::vector<CausesRow> rows;
    for (const CauseFit& c : r.causes) {
        CausesRow row;
        row[0] = c.name;
        row[1] = std::to_string(c.n);
        if (c.fitted) {
            const LikFigure figs[] = {LikFigure::A,     LikFigure::B,     LikFigure::K,
                                      LikFigure::F1000, LikFigure::F2000, LikFigure::F4000};
            for (size_t k = 0; k < 6; ++k)
                row[2 + k] = FigureCell(c.fit, figs[k], sep);
            row[8] = std::isfinite(c.share4000) ? Number('f', 1, c.share4000 * 100, sep) + "%" : kDash;
            row[9] = c.note;
            if (c.fit.atBound)
                row[9] += std::string(row[9].empty() ? "" : "; ") + "параметр " + c.fit.flatParameter +
                          " не ограничен данными";
        } else {
            row[2] = row[3] = row[4] = row[8] = kDash;
            for (size_t k = 0; k < 3; ++k) {
                std::string cell;
                for (const AssumedShapeBound& a : c.assumedShape) {
                    if (!cell.empty()) cell += " / ";
                    cell += std::isfinite(a.upper[k])
                                ? "≤ " + LikFigureNumber(LikFigure::F1000, a.upper[k], sep)
                                : kDash;
                }
                row[5 + k] = cell.empty() ? kDash : cell;
            }
            row[9] = c.refusal.empty() ? "мало отказов: верхние границы при принятой форме A = 1 / 2 / 3"
                                       : c.refusal + "; верхние границы при принятой форме A = 1 / 2 / 3";
        }
        rows.push_back(row);
    }
    return rows;
}

std::string ShapeTestLine(const CausesResult& r, char sep) {
    const ShapeTest& t = r.shapeTest;
    if (!t.done)
        return "Проверка общей формы A для всех причин не выполнена: нужны две причины с подобранной моделью";
    const bool rejected = t.p < 1 - r.level;
    return "Проверка «у всех причин одна форма A» (общая A = " + Number('f', 3, t.commonA, sep) +
           ", свои B и K): статистика отношения правдоподобия " + Number('f', 3, t.stat, sep) +
           ", число степеней свободы " + std::to_string(t.causes - 1) +
           ", p = " + (t.p >= 1e-4 ? Number('f', 4, t.p, sep) : Number('e', 3, t.p, sep)) +
           (rejected ? " — отвергнута на уровне " + Percent(r.level, sep) + ": причины стареют по-разному"
                     : " — не отвергнута на уровне " + Percent(r.level, sep) +
                           ": различие форм данными не подтверждается");
}

std::string CausesCsv(const CausesResult& r, char sep) {
    std::vector<std::string> head = {"Причина", "Отказов"};
    const LikFigure figs[] = {LikFigure::A,     LikFigure::B,     LikFigure::K,
                              LikFigure::F1000, LikFigure::F2000, LikFigure::F4000};
    const char* names[] = {
        "A", "B, ч", "K", "Отказов/изд. за 1000 ч", "Отказов/изд. за 2000 ч", "Отказов/изд. за 4000 ч"};
    for (const char* n : names) {
        head.push_back(n);
        head.push_back(std::string(n) + ": нижняя граница");
        head.push_back(std::string(n) + ": верхняя граница");
    }
    head.push_back("Доля отказов/изд. за 4000 ч, %");
    head.push_back("Примечание");
    for (std::string& h : head)
        h = CsvText(h);
    std::string out = kCsvBom + CsvLine(head, sep);
    for (const CauseFit& c : r.causes) {
        std::vector<std::string> cells = {CsvText(c.name), std::to_string(c.n)};
        for (LikFigure f : figs) {
            const auto i = static_cast<size_t>(f);
            cells.push_back(c.fitted ? CsvNumber(c.fit.estimates[i], sep) : "");
            cells.push_back(c.fitted ? CsvNumber(Lower(c.fit.intervals[i]), sep) : "");
            cells.push_back(c.fitted ? CsvNumber(Upper(c.fit.intervals[i]), sep) : "");
        }
        cells.push_back(c.fitted ? CsvNumber(c.share4000 * 100, sep) : "");
        cells.push_back(CsvText(c.fitted ? c.note : "мало отказов"));
        out += CsvLine(cells, sep);
    }
    return out;
}

std::vector<ForecastRow> ForecastRows(const ForecastResult& r, char sep) {
    std::vector<ForecastRow> rows;
    for (const ForecastFigure& f : r.rows)
        rows.push_back(FigureRow(Number('f', 0, f.time, sep), f, sep));
    rows.push_back(FigureRow("Всего за гарантию", r.total, sep));
    if (r.extended) {
        const std::string d = Number('f', 0, r.extend, sep);
        rows.push_back(FigureRow("Гарантия длиннее на " + d + " ч: всего", r.extendedTotal, sep));
        rows.push_back(FigureRow("Продление на " + d + " ч: дополнительно", r.extra, sep));
    }
    return rows;
}

std::string ForecastSummaryLine(const ForecastResult& r, char sep) {
    if (!r.done) return r.refusal;
    return "Парк " + Count(r.fleet, sep) + " изд.; окончание гарантии " +
           (r.law == WarrantyLawKind::Empirical ? "по файлу" : "по нормальному закону") + ": среднее " +
           Number('f', 0, r.mean, sep) + " ч, СКО " + Number('f', 0, r.sd, sep) + " ч; горизонт " +
           Number('f', 0, r.horizon, sep) + " ч; уровень " + Percent(r.level, sep) + "; модель 3, " +
           (r.kMode == LikelihoodKMode::Once ? "K = 1" : "K подбирается");
}

std::string ForecastCsv(const ForecastResult& r, char sep) {
    std::vector<std::string> head = {"Строка",
                                     "Наработка, ч",
                                     "Ожидаемое число отказов",
                                     "Доверительный интервал: нижняя граница",
                                     "Доверительный интервал: верхняя граница",
                                     "Интервал предсказания: нижняя граница",
                                     "Интервал предсказания: верхняя граница"};
    for (std::string& h : head)
        h = CsvText(h);
    std::string out = kCsvBom + CsvLine(head, sep);
    auto add = [&](const char* what, const ForecastFigure& f) {
        out += CsvLine({CsvText(what), CsvNumber(f.time, sep), CsvNumber(f.expected, sep),
                        CsvNumber(Lower(f.confidence), sep), CsvNumber(Upper(f.confidence), sep),
                        CsvNumber(Lower(f.prediction), sep), CsvNumber(Upper(f.prediction), sep)},
                       sep);
    };
    for (const ForecastFigure& f : r.rows)
        add("к наработке", f);
    add("всего за гарантию", r.total);
    if (r.extended) {
        add("всего при продлённой гарантии", r.extendedTotal);
        add("дополнительно из-за продления", r.extra);
    }
    return out;
}

} // namespace tovimo
