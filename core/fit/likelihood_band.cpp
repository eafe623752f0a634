// The pointwise band of the expected accumulation: the delta method on the
// logarithm of K times the integral of f G up to t, with the covariance of
// ln A, ln B (and ln K) from the curvature of ln L at its maximum.
#include "core/fit/likelihood_fit.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <array>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;

// Inverse of the leading n x n block by Gauss-Jordan elimination; false when singular.
bool Invert(Mat m, int n, Mat& inv) {
    inv = Mat{};
    for (int i = 0; i < n; ++i)
        inv[i][i] = 1;
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[p][c])) p = r;
        if (!(std::fabs(m[p][c]) > 0)) return false;
        std::swap(m[p], m[c]);
        std::swap(inv[p], inv[c]);
        const double d = m[c][c];
        for (int k = 0; k < n; ++k) {
            m[c][k] /= d;
            inv[c][k] /= d;
        }
        for (int r = 0; r < n; ++r) {
            if (r == c) continue;
            const double f = m[r][c];
            for (int k = 0; k < n; ++k) {
                m[r][k] -= f * m[c][k];
                inv[r][k] -= f * inv[c][k];
            }
        }
    }
    return true;
}

} // namespace

void LikelihoodBand(const LikelihoodData& data, LikelihoodResult& r, const std::vector<double>& times) {
    const bool once = r.settings.kMode == LikelihoodKMode::Once;
    const int n = once ? 2 : 3;
    LikelihoodEvaluator ev(data);
    const Vec x0{std::log(r.A), std::log(r.B), std::log(r.K)};
    auto loglik = [&](const Vec& x) {
        const double A = std::exp(x[0]), B = std::exp(x[1]);
        return once ? ev.LogLikOnce(A, B) : ev.LogLikFree(A, B, std::exp(x[2]));
    };
    const double h = 1e-4;
    Mat H{};
    const double f0 = loglik(x0);
    for (int i = 0; i < n; ++i)
        for (int j = i; j < n; ++j) {
            auto at = [&](double di, double dj) {
                Vec x = x0;
                x[i] += di;
                x[j] += dj;
                return loglik(x);
            };
            double v = 0;
            if (i == j)
                v = (at(h, 0) - 2 * f0 + at(-h, 0)) / (h * h);
            else
                v = (at(h, h) - at(h, -h) - at(-h, h) + at(-h, -h)) / (4 * h * h);
            H[i][j] = H[j][i] = -v;
        }
    Mat cov{};
    const bool usable = Invert(H, n, cov);
    const double z = std::sqrt(boost::math::quantile(boost::math::chi_squared(1), r.settings.level));
    auto logAccum = [&](const Vec& x, double t) {
        return x[2] + std::log(FailureIntegral(data, std::exp(x[0]), std::exp(x[1]), t));
    };
    r.bandTimes = times;
    r.bandValue.assign(times.size(), 0);
    r.bandLower.assign(times.size(), std::numeric_limits<double>::quiet_NaN());
    r.bandUpper.assign(times.size(), std::numeric_limits<double>::quiet_NaN());
    for (size_t k = 0; k < times.size(); ++k) {
        const double g0 = logAccum(x0, times[k]);
        r.bandValue[k] = std::exp(g0);
        if (!usable || !std::isfinite(g0)) continue;
        Vec grad{};
        for (int i = 0; i < n; ++i) {
            Vec xp = x0, xm = x0;
            xp[i] += h;
            xm[i] -= h;
            grad[i] = (logAccum(xp, times[k]) - logAccum(xm, times[k])) / (2 * h);
        }
        double var = 0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                var += grad[i] * cov[i][j] * grad[j];
        if (!(var >= 0)) continue;
        r.bandLower[k] = std::exp(g0 - z * std::sqrt(var));
        r.bandUpper[k] = std::exp(g0 + z * std::sqrt(var));
    }
}

} // namespace tovimo
