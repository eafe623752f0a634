#include "core/results/chart_data.h"

#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::uint32_t kPravdColor = 0xFF8C00; // the likelihood model's curves and band

enum class Slot { None, PirsN, PirsS, Smirn, Genet, Pravd };

// What a model curve shows at a column: the flow per 100 hours per product
// with or without the warranty correction, or the accumulation with or without it.
// The likelihood model adds the pointwise bounds of its accumulation.
enum class Quantity { None, FlowCensored, FlowPlain, AccumPlain, AccumCensored, BandLower, BandUpper };

struct SeriesRole {
    Slot slot;
    Quantity quantity;
};

SeriesPlan makeSeries(const char* name, SeriesKind kind, SeriesAxis axis, std::uint32_t color, int width,
                      int transparency, const char* legend) {
    SeriesPlan s;
    s.name = name;
    s.kind = kind;
    s.axis = axis;
    s.color = color;
    s.pointColor = color;
    s.width = width;
    s.transparency = transparency;
    s.legend = legend;
    return s;
}

SeriesPlan inactive(const char* name, SeriesKind kind, int transparency, const char* legend) {
    SeriesPlan s = makeSeries(name, kind, SeriesAxis::Left, 0, 1, transparency, legend);
    s.active = false;
    return s;
}

// Which slot a design-time series belongs to and what it carries. The pairing
// with the "ценз." legends differs between the models and is kept as it is.
SeriesRole roleOf(const std::string& name) {
    static const struct {
        const char* name;
        SeriesRole role;
    } roles[] = {
        {"Series3", {Slot::PirsS, Quantity::FlowCensored}},
        {"Series2", {Slot::PirsS, Quantity::FlowPlain}},
        {"Series4", {Slot::Smirn, Quantity::FlowCensored}},
        {"Series20", {Slot::PirsN, Quantity::FlowPlain}},
        {"Series21", {Slot::PirsN, Quantity::FlowCensored}},
        {"Series6", {Slot::Genet, Quantity::FlowCensored}},
        {"Series5", {Slot::Genet, Quantity::FlowPlain}},
        {"Series8", {Slot::PirsS, Quantity::AccumPlain}},
        {"Series9", {Slot::PirsS, Quantity::AccumCensored}},
        {"Series10", {Slot::Smirn, Quantity::AccumCensored}},
        {"Series11", {Slot::Genet, Quantity::AccumPlain}},
        {"Series12", {Slot::Genet, Quantity::AccumCensored}},
        {"Series22", {Slot::PirsN, Quantity::AccumPlain}},
        {"Series23", {Slot::PirsN, Quantity::AccumCensored}},
        {"Series24", {Slot::Pravd, Quantity::FlowCensored}},
        {"Series25", {Slot::Pravd, Quantity::AccumCensored}},
        {"Series26", {Slot::Pravd, Quantity::BandLower}},
        {"Series27", {Slot::Pravd, Quantity::BandUpper}},
    };
    for (const auto& r : roles)
        if (name == r.name) return r.role;
    return {Slot::None, Quantity::None};
}

const Mod_Weib* slotOf(const AnalysisState& st, Slot s) {
    switch (s) {
    case Slot::PirsN:
        return &st.MPirsN;
    case Slot::PirsS:
        return &st.MPirsS;
    case Slot::Smirn:
        return &st.MSmirn;
    case Slot::Genet:
        return &st.MGenet;
    case Slot::Pravd:
        return &st.MPravd;
    case Slot::None:
        break;
    }
    return nullptr;
}

double at(const std::vector<double>& v, size_t i) {
    return i < v.size() ? v[i] : kNaN;
}

// A running total after column i, drawn only where the slot has the column.
double runningAt(const std::vector<double>& running, const std::vector<double>& columns, size_t i) {
    return i < columns.size() ? at(running, i) : kNaN;
}

std::uint32_t causeColor(int k) {
    return k >= 0 && static_cast<size_t>(k) < ColorArray.size() ? ColorArray[static_cast<size_t>(k)] : 0;
}

std::string wholeText(double v) {
    return Format("%d", {static_cast<long long>(Round(v))}, '.');
}

// The smallest and largest finite value seen, starting from `base` values.
struct Extent {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void add(double v) {
        if (!std::isfinite(v)) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    bool empty() const { return lo > hi; }
};

// Values from zero up; a flat or empty extent still gets a span.
AxisRange fromZero(const Extent& e) {
    AxisRange r{0, 1};
    if (e.empty()) return r;
    r.min = std::min(0.0, e.lo);
    r.max = std::max(0.0, e.hi);
    if (r.max <= r.min) r.max = r.min + 1;
    return r;
}

AxisRange around(const Extent& e) {
    AxisRange r{0, 1};
    if (e.empty()) return r;
    const double span = e.hi - e.lo;
    const double pad = span > 0 ? span * 0.05 : std::max(1.0, std::abs(e.lo) * 0.05);
    r.min = e.lo - pad;
    r.max = e.hi + pad;
    return r;
}

void addValues(Extent& e, const std::vector<double>& v) {
    for (double x : v)
        e.add(x);
}

// Column sums of the stacked bars (positive and negative parts apart).
void addStacked(Extent& e, const std::vector<BarSetPlan>& bars, size_t columns) {
    for (size_t i = 0; i < columns; ++i) {
        double up = 0, down = 0;
        for (const auto& b : bars) {
            const double v = at(b.values, i);
            if (!std::isfinite(v)) continue;
            (v >= 0 ? up : down) += v;
        }
        e.add(up);
        e.add(down);
    }
}

void computeRanges(ResultCharts& rc) {
    {
        ChartPlan& c = rc.chart1;
        Extent left, right;
        for (const auto& s : c.series)
            addValues(s.axis == SeriesAxis::Right ? right : left, s.values);
        addStacked(left, c.bars, c.categories.size());
        c.left = fromZero(left);
        c.right = fromZero(right);
    }
    {
        ChartPlan& c = rc.chart2;
        Extent left;
        for (const auto& s : c.series)
            if (s.axis == SeriesAxis::Left) addValues(left, s.values);
        addStacked(left, c.bars, c.categories.size());
        c.left = fromZero(left);
        c.right = {0, 100};
    }
    {
        ChartPlan& c = rc.chart3;
        Extent left, top, right;
        for (const auto& b : c.bars)
            addValues(left, b.values);
        for (const auto& s : c.series)
            for (const auto& p : s.points) {
                top.add(p.x);
                right.add(p.y);
            }
        c.left = fromZero(left);
        c.top = around(top);
        c.right = around(right);
    }
}

} // namespace

const SeriesPlan* FindSeries(const ChartPlan& chart, const std::string& name) {
    for (const auto& s : chart.series)
        if (s.name == name) return &s;
    return nullptr;
}

SeriesPlan* FindSeries(ChartPlan& chart, const std::string& name) {
    return const_cast<SeriesPlan*>(FindSeries(static_cast<const ChartPlan&>(chart), name));
}

std::string DefaultGroupSeparator(char decimalSeparator) {
    return decimalSeparator == ',' ? "\u00A0" : ",";
}

std::string FormatMark(double v, char decimalSeparator, const std::string& groupSeparator) {
    if (!std::isfinite(v)) return {};
    const double r = std::round(std::abs(v) * 10) / 10;
    std::string s = Format("%.1f", {r}, '.');
    const auto dot = s.find('.');
    std::string whole = s.substr(0, dot);
    const std::string frac = s.substr(dot + 1);
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += groupSeparator;
        grouped += whole[i];
    }
    if (frac != "0") grouped += decimalSeparator + frac;
    if (v < 0 && r != 0) grouped.insert(grouped.begin(), '-');
    return grouped;
}

ResultCharts ResultChartsDesign() {
    ResultCharts rc;
    using K = SeriesKind;
    using X = SeriesAxis;

    ChartPlan& c1 = rc.chart1;
    c1.name = "Chart1";
    c1.title = "Изменение потока отказов в течение гарантийного периода";
    c1.leftTitle = "Отказов за 100 час на 1 изделие";
    c1.rightTitle = "Накопление отказов, уход из гарантии, %";
    c1.legendVisible = true;
    c1.causeBars = true;
    c1.stackedBars = true;
    SeriesPlan s1 = makeSeries("Series1", K::Area, X::Right, 0xFFFF00, 2, 0, "Выбывание из гарантии");
    s1.hatched = true;
    SeriesPlan s17 =
        makeSeries("Series17", K::Curve, X::Right, 0x400040, 4, 0, "Фактич. накопление, % от парка");
    s17.dashed = true;
    c1.series = {
        s1,
        makeSeries("Series3", K::Curve, X::Left, 0x00FF00, 3, 12, "Модель по Пирсону 1.1"),
        makeSeries("Series2", K::Curve, X::Left, 0x00AA00, 3, 0, "Модель по Пирсону 1.1 ценз."),
        makeSeries("Series4", K::Curve, X::Left, 0x0000FF, 2, 0, "Модель по Смирнову 2"),
        makeSeries("Series20", K::Curve, X::Left, 0xF000F0, 3, 14, "Pirson/Newton 1.2"),
        makeSeries("Series21", K::Curve, X::Left, 0xFF80FF, 3, 18, "Pirson/Newton 1.2 ценз."),
        makeSeries("Series6", K::Curve, X::Left, 0xFF6F6F, 3, 0, "Генетическая"),
        makeSeries("Series5", K::Curve, X::Left, 0xFF0000, 3, 16, "Генетическая с ценз."),
        inactive("Series14", K::Bar, 14, ""),
        s17,
        makeSeries("Series24", K::Curve, X::Left, kPravdColor, 3, 0, "Модель 3 (макс. правдоподобия)"),
    };

    SeriesPlan bandLower =
        makeSeries("Series26", K::Line, X::Left, kPravdColor, 1, 0, "Модель 3: доверительные границы");
    bandLower.dashed = true;
    SeriesPlan bandUpper = makeSeries("Series27", K::Line, X::Left, kPravdColor, 1, 0, "");
    bandUpper.dashed = true;

    ChartPlan& c2 = rc.chart2;
    c2.name = "Chart2";
    c2.title = "Интегральные (накопленные) количественные оценки потока отказов";
    c2.leftTitle = "Отказов на 1 изделие";
    c2.rightTitle = "Выбывание из гарантии, %";
    c2.rightFixed = true;
    c2.causeBars = true;
    c2.stackedBars = true;
    c2.right = {0, 100};
    c2.series = {
        makeSeries("Series15", K::Area, X::Left, 0xC5A4C6, 1, 24, "Отказы (реальные)"),
        makeSeries("Series7", K::Area, X::Right, 0xFFFF15, 2, 8, "Выбывание из гарантии, %"),
        makeSeries("Series8", K::Curve, X::Left, 0x009B9B, 2, 0, "Модель по Пирсону"),
        makeSeries("Series9", K::Line, X::Left, 0x00D900, 2, 0,
                   "Модель по Пирсону с влиянием цензурирования"),
        makeSeries("Series10", K::Line, X::Left, 0x8000FF, 2, 0, "Модель по Смирнову"),
        makeSeries("Series11", K::Line, X::Left, 0xFF0000, 2, 0, "Модель \"генетическая\""),
        makeSeries("Series12", K::Line, X::Left, 0xFF6464, 2, 0,
                   "Модель \"генетическая\" с влиянием цензурирования"),
        inactive("Series16", K::Bar, 0, ""),
        makeSeries("Series22", K::Line, X::Left, 0xFF00FF, 1, 0, ""),
        makeSeries("Series23", K::Line, X::Left, 0xFF80FF, 1, 0, ""),
        makeSeries("Series25", K::Line, X::Left, kPravdColor, 2, 0, "Модель 3 (макс. правдоподобия)"),
        bandLower,
        bandUpper,
    };

    ChartPlan& c3 = rc.chart3;
    c3.name = "Chart3";
    c3.title = "Поток отказов наблюдаемых и с учетом выбывания из гарантии, LN числа отказов";
    c3.leftTitle = "Ln числа отказов парка";
    c3.causeBars = true;
    c3.leftLabels = false;
    c3.topVisible = false;
    SeriesPlan s18 = makeSeries("Series18", K::Line, X::TopRight, 0x800040, 1, 0, "Ln Накопления");
    s18.crossMarkers = true;
    s18.pointColor = 0x008000;
    SeriesPlan s19 =
        makeSeries("Series19", K::Line, X::TopRight, 0xFF0000, 1, 0, "Аппроксимация Ln накопления");
    c3.series = {inactive("Series13", K::Line, 0, "Выбывание из гарантии"), s18, s19};
    return rc;
}

ResultCharts BuildResultCharts(const AnalysisState& st, char sep, const std::string& groupSeparator) {
    ResultCharts rc = ResultChartsDesign();
    ChartPlan& c1 = rc.chart1;
    ChartPlan& c2 = rc.chart2;
    ChartPlan& c3 = rc.chart3;
    const double P = st.Izd_Prived;

    // Legend membership: the design-time series of a slot follow its Executed mark.
    for (ChartPlan* c : {&c1, &c2, &c3})
        for (SeriesPlan& s : c->series) {
            const SeriesRole role = roleOf(s.name);
            s.inLegend = s.active && (role.slot == Slot::None || slotOf(st, role.slot)->Executed);
        }

    // Causes with failures get bars, each in the colour of its own index.
    const int lastCause = std::min<int>(st.NPrich + 1, static_cast<int>(st.Vidy_otkazov.size()) - 1);
    std::vector<int> causes;
    for (int k = 1; k <= lastCause; ++k) {
        const Vid_otkaza& v = st.Vidy_otkazov[static_cast<size_t>(k)];
        if (!(v.Dolya > 0)) continue;
        causes.push_back(k);
        const std::string title = v.Nazv_Prich + " " + wholeText(v.Dolya) + " раз (" +
                                  Format("%3.1f", {100 * v.Dolya / P}, sep) + "%" + " /маш.)";
        c1.bars.push_back({k, title, causeColor(k), 0, {}});
        c2.bars.push_back({k, v.Nazv_Prich, causeColor(k), 51, {}});
        c3.bars.push_back({k, v.Nazv_Prich, causeColor(k), 0, {}});
        c3.bars.push_back({k, v.Nazv_Prich + " с учетом цензурирования", causeColor(k), 60, {}});
    }

    rc.F_OutGar.assign(st.Hist_Stol.size(), 0);
    rc.Sum_PrichCol.fill(0);
    SeriesPlan& series1 = *FindSeries(c1, "Series1");
    SeriesPlan& series17 = *FindSeries(c1, "Series17");
    SeriesPlan& series7 = *FindSeries(c2, "Series7");
    SeriesPlan& series15 = *FindSeries(c2, "Series15");
    long long t1 = 0;
    std::string x2str = "0";
    double E = 0;

    for (size_t i = 0; i < st.Hist_Stol.size(); ++i) {
        const Hist_Rec& col = st.Hist_Stol[i];
        if (col.Sum > 0) {
            const long long t2 = Round(col.time);
            const double K = 100.0 / static_cast<double>(t2 - t1);
            const double F = CDF_Gauss(st.Sred, st.SKO, static_cast<double>(t2));
            rc.F_OutGar[i] = F;
            E += col.Sum;
            x2str = std::to_string(t2);
            for (ChartPlan* c : {&c1, &c2, &c3})
                c->categories.push_back(x2str);

            for (size_t n = 0; n < causes.size(); ++n) {
                const auto k = static_cast<size_t>(causes[n]);
                rc.Sum_PrichCol[k] += col.Npr[k];
                const double flow = col.Npr[k] * K / P;
                c1.bars[n].values.push_back(flow);
                c2.bars[n].values.push_back(rc.Sum_PrichCol[k] / P);
                c3.bars[2 * n].values.push_back(flow);
                // Where every product has left warranty the corrected bar has no value.
                c3.bars[2 * n + 1].values.push_back(F < 1 ? flow / (1 - F) : kNaN);
            }

            for (ChartPlan* c : {&c1, &c2}) {
                for (SeriesPlan& s : c->series) {
                    const SeriesRole role = roleOf(s.name);
                    if (role.slot == Slot::None) continue;
                    const Mod_Weib& m = *slotOf(st, role.slot);
                    if (!m.Executed) continue;
                    double v = kNaN;
                    switch (role.quantity) {
                    case Quantity::FlowCensored:
                        v = at(m.Kol_F_priv, i) * K / P;
                        break;
                    case Quantity::FlowPlain:
                        v = at(m.F_Weib, i) * K * m.K_powtor;
                        break;
                    case Quantity::AccumPlain:
                        v = runningAt(m.Unsens_col, m.F_Weib, i) * m.K_powtor;
                        break;
                    case Quantity::AccumCensored:
                        v = runningAt(m.Kol_Nakopl_col, m.Kol_F_priv, i) / P;
                        break;
                    case Quantity::BandLower:
                        v = at(st.Pravd.bandLower, i);
                        break;
                    case Quantity::BandUpper:
                        v = at(st.Pravd.bandUpper, i);
                        break;
                    case Quantity::None:
                        break;
                    }
                    s.values.push_back(v);
                }
            }

            series1.values.push_back(100 * F);
            series7.values.push_back(100 * F);
            series15.values.push_back(E / P);
            t1 = t2;
        }
        series17.values.push_back(100 * E / P);
        series17.marks.push_back(FormatMark(100 * E / P, sep, groupSeparator));
        // A column without failures still extends the accumulation, under the label before it.
        if (series17.values.size() > c1.categories.size()) c1.categories.push_back(x2str);
    }
    rc.Expl_sum = E;
    rc.header = st.Comment + " (" + FloatToStr(st.Kol_Izd_All, sep) + " шт.)";

    // Log-log accumulation and its regression line up to the last failure.
    SeriesPlan& s18 = *FindSeries(c3, "Series18");
    SeriesPlan& s19 = *FindSeries(c3, "Series19");
    s18.points = LogLogPoints(st.MasProbl);
    if (const int tst = FirstPositiveFailure(st.MasProbl); tst >= 0)
        s19.points =
            LogLogLine(st.A_ln, st.B_ln, st.MasProbl[static_cast<size_t>(tst)].time, st.MasProbl.back().time);

    computeRanges(rc);
    return rc;
}

void StoreChartTotals(AnalysisState& st, const ResultCharts& charts) {
    st.F_OutGar = charts.F_OutGar;
    st.Sum_PrichCol = charts.Sum_PrichCol;
}

LogLogChart LogLogChartDesign() {
    LogLogChart ll;
    ChartPlan& c = ll.chart;
    c.name = "Chart1";
    c.title = "Накопленние отказов по времени наблюдения";
    c.bottomTitle = "Log t (часов)";
    c.leftTitle = "Log N (отказов)";
    c.leftLabels = false;
    SeriesPlan s1 = makeSeries("Series1", SeriesKind::Line, SeriesAxis::BottomLeft, 0x008000, 1, 0, "");
    s1.markerSize = 3;
    SeriesPlan s2 = makeSeries("Series2", SeriesKind::Line, SeriesAxis::BottomLeft, 0xFF0000, 1, 0, "");
    c.series = {s1, s2};
    return ll;
}

LogLogChart BuildLogLogChart(const AnalysisState& st, char sep) {
    LogLogChart ll = LogLogChartDesign();
    ChartPlan& c = ll.chart;
    SeriesPlan& s1 = *FindSeries(c, "Series1");
    SeriesPlan& s2 = *FindSeries(c, "Series2");
    s1.points = LogLogPoints(st.MasProbl);
    // The line stops one failure before the last, but never before it starts.
    if (const int tst = FirstPositiveFailure(st.MasProbl); tst >= 0) {
        const int end = std::max(static_cast<int>(st.MasProbl.size()) - 2, tst);
        s2.points = LogLogLine(st.A_ln, st.B_ln, st.MasProbl[static_cast<size_t>(tst)].time,
                               st.MasProbl[static_cast<size_t>(end)].time);
    }
    ll.comment = st.Comment;
    ll.slopeText = "A= " + Format("%6.4f", {st.A_ln}, sep);
    ll.interceptText = "B= " + Format("%6.4f", {st.B_ln}, sep);

    Extent x, y;
    for (const SeriesPlan* s : {&s1, &s2})
        for (const auto& p : s->points) {
            x.add(p.x);
            y.add(p.y);
        }
    c.bottom = around(x);
    c.left = fromZero(y);
    // The vertical axis starts at 0 even where the fitted line runs below it.
    c.left.min = 0;
    if (c.left.max <= 0) c.left.max = 1;
    return ll;
}

} // namespace tovimo
