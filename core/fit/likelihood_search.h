// The searches of the likelihood fit: a maximum over an interval, a maximum
// along a line that may run off to infinity, a root inside a bracket, and a
// maximum of two variables near a good start; deterministic and without time
// rules.
#pragma once

#include <functional>

namespace tovimo {

struct SearchPoint {
    double x = 0;
    double value = 0;
};

// The maximum of f over [lo, hi]: a scan of the interval picks the best of a
// few points, Brent's method then refines between its neighbours to the
// 2^-20 in x (ln L is exact to far below 1e-9 there). Values that are not numbers
// count as minus infinity.
SearchPoint Maximise1D(const std::function<double(double)>& f, double lo, double hi);

// The maximum of f over the line, searched first in [lo, hi] and, while the
// best point lies at an end, in wider intervals on that side, up to the hard
// limits. `runsOff` is -1 or +1 when f still gains (or no longer changes) as
// x runs off on that side: the maximum then lies in a flat tail and x is only
// where the search stopped.
struct OpenMaximum {
    SearchPoint point;
    int runsOff = 0;
};
OpenMaximum MaximiseOpen(const std::function<double(double)>& f, double lo, double hi, double hardLo,
                         double hardHi);

// A root of f between a and b, where f(a) and f(b) differ in sign (TOMS 748),
// to a relative 1e-9 in x. Where they do not differ in sign (a function that
// is not continuous, or values that are not numbers), the end whose value is
// nearer zero.
double FindRoot(const std::function<double(double)>& f, double a, double b);

// The maximum of a smooth f(x, y) near (x, y): Newton's method on central
// differences, each step halved until it gains, to 1e-8 in x and y. Answers
// false, leaving x and y as they were, where the surface is not concave at a
// step or the method does not settle: the caller then searches globally.
bool MaximiseNear(const std::function<double(double, double)>& f, double& x, double& y, double& value);

} // namespace tovimo
