#include "core/fit/likelihood_search.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

namespace tovimo {

namespace {

constexpr int kScanPoints = 9;
constexpr double kWorst = 1e300; // minus infinity as a finite value Brent can compare

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
    const auto r =
        boost::math::tools::brent_find_minima(neg, a, b, std::numeric_limits<double>::digits / 2, iterations);
    SearchPoint p{r.first, -r.second};
    if (bestValue < r.second) p = {lo + step * best, -bestValue};
    if (p.value <= -kWorst) p.value = -std::numeric_limits<double>::infinity();
    return p;
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
    std::uintmax_t iterations = 200;
    const auto tol = [](double x, double y) {
        return std::fabs(x - y) <= 1e-10 * std::max(1.0, std::fabs(x));
    };
    const auto r = boost::math::tools::toms748_solve(g, a, b, std::isfinite(fa) ? fa : -kWorst,
                                                     std::isfinite(fb) ? fb : -kWorst, tol, iterations);
    return (r.first + r.second) / 2;
}

} // namespace tovimo
