#include "core/stats/log_log.h"

#include <cmath>

namespace tovimo {

int FirstPositiveFailure(const std::vector<Problems>& failures) {
    for (size_t j = 0; j < failures.size(); ++j)
        if (failures[j].time > 0) return static_cast<int>(j);
    return -1;
}

void ForEachLogLogPoint(const std::vector<Problems>& failures,
                        const std::function<void(const XYPoint&)>& fn) {
    for (size_t j = 0; j < failures.size(); ++j) {
        const double t = failures[j].time;
        if (t > 0) fn({std::log(t + kLogShift), std::log(static_cast<double>(j) + 1)});
    }
}

std::vector<XYPoint> LogLogPoints(const std::vector<Problems>& failures) {
    std::vector<XYPoint> pts;
    pts.reserve(failures.size());
    ForEachLogLogPoint(failures, [&](const XYPoint& p) { pts.push_back(p); });
    return pts;
}

std::vector<XYPoint> LogLogLine(double A_ln, double B_ln, double tFrom, double tTo) {
    std::vector<XYPoint> pts;
    for (double t : {tFrom, tTo}) {
        const double x = std::log(t + kLogShift);
        pts.push_back({x, A_ln * x + B_ln});
    }
    return pts;
}

} // namespace tovimo
