// The one-dimensional searches of the likelihood fit: a maximum over an
// interval and a root inside a bracket, deterministic and without time rules.
#pragma once

#include <functional>

namespace tovimo {

struct SearchPoint {
    double x = 0;
    double value = 0;
};

// The maximum of f over [lo, hi]: a scan of the interval picks the best of a
// few points, Brent's method then refines between its neighbours to the
// square root of the machine precision in x. Values that are not numbers
// count as minus infinity.
SearchPoint Maximise1D(const std::function<double(double)>& f, double lo, double hi);

// A root of f between a and b, where f(a) and f(b) differ in sign (TOMS 748),
// to a relative 1e-10 in x.
double FindRoot(const std::function<double(double)>& f, double a, double b);

} // namespace tovimo
