#include "core/fit/likelihood_search.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tovimo {

namespace {

constexpr int kScanPoints = 7;
// Brent's method to this many bits of x: ln L near its maximum is flat to
// second order, so 2^-20 in x leaves ln L exact far beyond what any bound needs.
constexpr int kBrentBits = 20;
constexpr double kWorst = 1e300; // minus infinity as a finite value Brent can compare
// A gain of ln L below this, over a widening of the interval, counts as none.
constexpr double kFlatGain = 1e-7;

} // namespace

SearchPoint Maximise1D(const std::function<double(double)>& f, double lo, double hi) {
    auto neg = [&](double x) {
        const double v = f(x);
        return std::isfinite(v) ? -v : kWorst;
    };
    if (!(hi > lo)) return {lo, -neg(lo)};
    int best = 0;
    double bestValue = kWorst;
    for (int i = 0; i < kScanPoints; ++i) {
        const double x = lo + (hi - lo) * i / (kScanPoints - 1);
        const double v = neg(x);
        if (v < bestValue) {
            bestValue = v;
            best = i;
        }
    }
    const double step = (hi - lo) / (kScanPoints - 1);
    const double a = best == 0 ? lo : lo + step * (best - 1);
    const double b = best == kScanPoints - 1 ? hi : lo + step * (best + 1);
    std::uintmax_t iterations = 200;
    const auto r = boost::math::tools::brent_find_minima(neg, a, b, kBrentBits, iterations);
    SearchPoint p{r.first, -r.second};
    if (bestValue < r.second) p = {lo + step * best, -bestValue};
    if (p.value <= -kWorst) p.value = -std::numeric_limits<double>::infinity();
    return p;
}

OpenMaximum MaximiseOpen(const std::function<double(double)>& f, double lo, double hi, double hardLo,
                         double hardHi) {
    lo = std::max(lo, hardLo);
    hi = std::min(hi, hardHi);
    OpenMaximum m{Maximise1D(f, lo, hi), 0};
    for (int round = 0; round < 60; ++round) {
        const double width = hi - lo;
        const double edge = width / (2 * (kScanPoints - 1));
        const bool atHi = hi - m.point.x < edge, atLo = m.point.x - lo < edge;
        if (!atHi && !atLo) return m;
        const int side = atHi ? 1 : -1;
        if ((side > 0 && hi >= hardHi) || (side < 0 && lo <= hardLo)) {
            m.runsOff = side;
            return m;
        }
        // the next interval reaches twice as far on that side and keeps a
        // little of the old one, so that a maximum just inside is found again
        if (side > 0) {
            lo = std::max(hardLo, m.point.x - width / 8);
            hi = std::min(hardHi, hi + 2 * width);
        } else {
            hi = std::min(hardHi, m.point.x + width / 8);
            lo = std::max(hardLo, lo - 2 * width);
        }
        const SearchPoint next = Maximise1D(f, lo, hi);
        const bool gained = next.value > m.point.value + kFlatGain ||
                            (std::isinf(m.point.value) && next.value > m.point.value);
        if (next.value >= m.point.value) m.point = next;
        if (!gained) {
            // no gain worth the name from twice the reach: a flat tail when the
            // far end is as good as the best point
            const double far = f(side > 0 ? hi : lo);
            if (!(far < m.point.value - kFlatGain)) m.runsOff = side;
            return m;
        }
    }
    return m;
}

double FindRoot(const std::function<double(double)>& f, double a, double b) {
    if (a > b) std::swap(a, b);
    const double fa = f(a), fb = f(b);
    if (fa == 0) return a;
    if (fb == 0) return b;
    auto g = [&](double x) {
        const double v = f(x);
        return std::isfinite(v) ? v : -kWorst;
    };
    const double ga = std::isfinite(fa) ? fa : -kWorst, gb = std::isfinite(fb) ? fb : -kWorst;
    if ((ga > 0) == (gb > 0)) return std::fabs(ga) <= std::fabs(gb) ? a : b;
    std::uintmax_t iterations = 200;
    const auto tol = [](double x, double y) {
        return std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(x));
    };
    const auto r = boost::math::tools::toms748_solve(g, a, b, ga, gb, tol, iterations);
    return (r.first + r.second) / 2;
}

bool MaximiseNear(const std::function<double(double, double)>& f, double& x0, double& y0, double& value) {
    constexpr double h = 1e-4;       // the differences' step in x and y
    constexpr double kLongest = 0.5; // the longest step taken at once
    double x = x0, y = y0, fx = f(x, y);
    if (!std::isfinite(fx)) return false;
    for (int iteration = 0; iteration < 40; ++iteration) {
        const double px = f(x + h, y), mx = f(x - h, y), py = f(x, y + h), my = f(x, y - h);
        const double pp = f(x + h, y + h), mm = f(x - h, y - h);
        if (!std::isfinite(px + mx + py + my + pp + mm)) return false;
        const double gx = (px - mx) / (2 * h), gy = (py - my) / (2 * h);
        const double hxx = (px - 2 * fx + mx) / (h * h), hyy = (py - 2 * fx + my) / (h * h);
        const double hxy = (pp - px - py + 2 * fx - mx - my + mm) / (2 * h * h);
        const double det = hxx * hyy - hxy * hxy;
        if (!(hxx < 0 && det > 0)) return false; // not a maximum's neighbourhood
        double dx = -(hyy * gx - hxy * gy) / det, dy = -(hxx * gy - hxy * gx) / det;
        const double length = std::hypot(dx, dy);
        if (length > kLongest) {
            dx *= kLongest / length;
            dy *= kLongest / length;
        }
        double t = 1, next = f(x + dx, y + dy);
        // the last steps gain less than the values' rounding: allow that much
        const double slack = 1e-13 * std::fabs(fx);
        while (!(next >= fx - slack) && t > 1e-6) {
            t /= 2;
            next = f(x + t * dx, y + t * dy);
        }
        if (!(next >= fx - slack)) return false;
        x += t * dx;
        y += t * dy;
        fx = next;
        if (std::hypot(t * dx, t * dy) < 1e-8) {
            x0 = x;
            y0 = y;
            value = fx;
            return true;
        }
    }
    return false;
}

} // namespace tovimo
