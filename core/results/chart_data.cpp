#include "core/results/chart_data.h"

#include "core/results/chart_axes.h"
#include "core/results/series_roles.h"
#include "core/stats/distributions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
    return std::to_string(Round(v));
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

namespace {

// Legend membership: the design-time series of a slot follow its Executed mark.
void markLegends(const AnalysisState& st, ResultCharts& rc) {
    for (ChartPlan* c : {&rc.chart1, &rc.chart2, &rc.chart3})
        for (SeriesPlan& s : c->series) {
            const SeriesRole role = RoleOf(s.name);
            s.inLegend = s.active && (role.slot == Slot::None || SlotOf(st, role.slot)->Executed);
        }
}

// Causes with failures get bars, each in the colour of its own index; answers
// the causes in the order of their bars.
std::vector<int> addCauseBars(const AnalysisState& st, char sep, ResultCharts& rc) {
    const double P = st.Izd_Prived;
    const int lastCause = std::min<int>(st.NPrich + 1, static_cast<int>(st.Vidy_otkazov.size()) - 1);
    std::vector<int> causes;
    for (int k = 1; k <= lastCause; ++k) {
        const Vid_otkaza& v = st.Vidy_otkazov[static_cast<size_t>(k)];
        if (!(v.Dolya > 0)) continue;
        causes.push_back(k);
        const std::string title = v.Nazv_Prich + " " + wholeText(v.Dolya) + " раз (" +
                                  Format(sep, "{:3.1f}", 100 * v.Dolya / P) + "%" + " /маш.)";
        rc.chart1.bars.push_back({k, title, causeColor(k), 0, {}});
        rc.chart2.bars.push_back({k, v.Nazv_Prich, causeColor(k), 51, {}});
        rc.chart3.bars.push_back({k, v.Nazv_Prich, causeColor(k), 0, {}});
        rc.chart3.bars.push_back({k, v.Nazv_Prich + " с учетом цензурирования", causeColor(k), 60, {}});
    }
    return causes;
}

// What the series of a model slot shows at column i, whose width gives the
// flow factor K (per 100 hours).
double modelValue(const AnalysisState& st, const Mod_Weib& m, Quantity q, size_t i, double K) {
    const double P = st.Izd_Prived;
    switch (q) {
    case Quantity::FlowCensored:
        return at(m.Kol_F_priv, i) * K / P;
    case Quantity::FlowPlain:
        return at(m.F_Weib, i) * K * m.K_powtor;
    case Quantity::AccumPlain:
        return runningAt(m.Unsens_col, m.F_Weib, i) * m.K_powtor;
    case Quantity::AccumCensored:
        return runningAt(m.Kol_Nakopl_col, m.Kol_F_priv, i) / P;
    case Quantity::BandLower:
        return at(st.Pravd.bandLower, i);
    case Quantity::BandUpper:
        return at(st.Pravd.bandUpper, i);
    case Quantity::None:
        break;
    }
    return kNaN;
}

// The columns holding failures, one category each: the cause bars, the model
// curves of the executed slots, the share out of warranty and the observed
// accumulation; every column extends the accumulation with its value mark.
void fillColumns(const AnalysisState& st, const std::vector<int>& causes, char sep,
                 const std::string& groupSeparator, ResultCharts& rc) {
    ChartPlan& c1 = rc.chart1;
    ChartPlan& c2 = rc.chart2;
    ChartPlan& c3 = rc.chart3;
    const double P = st.Izd_Prived;
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

            for (ChartPlan* c : {&c1, &c2})
                for (SeriesPlan& s : c->series) {
                    const SeriesRole role = RoleOf(s.name);
                    if (role.slot == Slot::None) continue;
                    const Mod_Weib& m = *SlotOf(st, role.slot);
                    if (m.Executed) s.values.push_back(modelValue(st, m, role.quantity, i, K));
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
}

} // namespace

ResultCharts BuildResultCharts(const AnalysisState& st, char sep, const std::string& groupSeparator) {
    ResultCharts rc = ResultChartsDesign();
    markLegends(st, rc);
    fillColumns(st, addCauseBars(st, sep, rc), sep, groupSeparator, rc);
    rc.header = st.Comment + " (" + FloatToStr(st.Kol_Izd_All, sep) + " шт.)";

    // Log-log accumulation and its regression line up to the last failure.
    SeriesPlan& s18 = *FindSeries(rc.chart3, "Series18");
    SeriesPlan& s19 = *FindSeries(rc.chart3, "Series19");
    s18.points = LogLogPoints(st.MasProbl);
    if (const int tst = FirstPositiveFailure(st.MasProbl); tst >= 0)
        s19.points =
            LogLogLine(st.A_ln, st.B_ln, st.MasProbl[static_cast<size_t>(tst)].time, st.MasProbl.back().time);

    ResultChartRanges(rc);
    return rc;
}

void StoreChartTotals(AnalysisState& st, const ResultCharts& charts) {
    st.F_OutGar = charts.F_OutGar;
    st.Sum_PrichCol = charts.Sum_PrichCol;
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
    ll.slopeText = "A= " + Format(sep, "{:6.4f}", st.A_ln);
    ll.interceptText = "B= " + Format(sep, "{:6.4f}", st.B_ln);

    Extent x, y;
    for (const SeriesPlan* s : {&s1, &s2})
        for (const auto& p : s->points) {
            x.add(p.x);
            y.add(p.y);
        }
    c.bottom = Around(x);
    c.left = FromZero(y);
    // The vertical axis starts at 0 even where the fitted line runs below it.
    c.left.min = 0;
    if (c.left.max <= 0) c.left.max = 1;
    return ll;
}

} // namespace tovimo
