// The log-log accumulation of a failure series: every failure with a positive
// time at (ln t, ln of its rank in the whole series), and the straight line of
// the regression of ln N on ln t between two times.
#pragma once

#include "core/state/analysis_state.h"

#include <functional>
#include <vector>

namespace tovimo {

struct XYPoint {
    double x = 0;
    double y = 0;
};

// Added to a time before its logarithm is taken.
inline constexpr double kLogShift = 0.00001;

// Index of the first failure with a positive time; -1 when there is none.
int FirstPositiveFailure(const std::vector<Problems>& failures);

// Calls fn with each point LogLogPoints holds, in the same order, without
// keeping them.
void ForEachLogLogPoint(const std::vector<Problems>& failures, const std::function<void(const XYPoint&)>& fn);

// (ln(t + kLogShift), ln(rank)) of every failure with t > 0, in series order.
std::vector<XYPoint> LogLogPoints(const std::vector<Problems>& failures);

// The line y = A_ln x + B_ln at x = ln(t + kLogShift) for t = tFrom and t = tTo.
std::vector<XYPoint> LogLogLine(double A_ln, double B_ln, double tFrom, double tTo);

} // namespace tovimo
