#include "core/results/chart_axes.h"

namespace tovimo {

AxisRange FromZero(const Extent& e) {
    AxisRange r{0, 1};
    if (e.empty()) return r;
    r.min = std::min(0.0, e.lo);
    r.max = std::max(0.0, e.hi);
    if (r.max <= r.min) r.max = r.min + 1;
    return r;
}

AxisRange Around(const Extent& e) {
    AxisRange r{0, 1};
    if (e.empty()) return r;
    const double span = e.hi - e.lo;
    const double pad = span > 0 ? span * 0.05 : std::max(1.0, std::abs(e.lo) * 0.05);
    r.min = e.lo - pad;
    r.max = e.hi + pad;
    return r;
}

namespace {

void addValues(Extent& e, const std::vector<double>& v) {
    for (double x : v)
        e.add(x);
}

// Column sums of the stacked bars (positive and negative parts apart).
void addStacked(Extent& e, const std::vector<BarSetPlan>& bars, size_t columns) {
    for (size_t i = 0; i < columns; ++i) {
        double up = 0, down = 0;
        for (const auto& b : bars) {
            const double v = i < b.values.size() ? b.values[i] : std::nan("");
            if (!std::isfinite(v)) continue;
            (v >= 0 ? up : down) += v;
        }
        e.add(up);
        e.add(down);
    }
}

} // namespace

void ResultChartRanges(ResultCharts& rc) {
    {
        ChartPlan& c = rc.chart1;
        Extent left, right;
        for (const auto& s : c.series)
            addValues(s.axis == SeriesAxis::Right ? right : left, s.values);
        addStacked(left, c.bars, c.categories.size());
        c.left = FromZero(left);
        c.right = FromZero(right);
    }
    {
        ChartPlan& c = rc.chart2;
        Extent left;
        for (const auto& s : c.series)
            if (s.axis == SeriesAxis::Left) addValues(left, s.values);
        addStacked(left, c.bars, c.categories.size());
        c.left = FromZero(left);
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
        c.left = FromZero(left);
        c.top = Around(top);
        c.right = Around(right);
    }
}

} // namespace tovimo
