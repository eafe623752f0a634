// The axis ranges of the chart plans: counts and shares from zero up, the
// logarithms of the log-log charts padded around their values.
#pragma once

#include "core/results/chart_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

// The smallest and largest finite value seen.
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
AxisRange FromZero(const Extent& e);
// The values with a twentieth of their span on each side.
AxisRange Around(const Extent& e);

// The ranges of the three results charts from their filled values.
void ResultChartRanges(ResultCharts& rc);

} // namespace tovimo
