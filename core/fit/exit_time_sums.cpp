#include "core/fit/exit_time_sums.h"

#include "core/stats/stirling_numbers.h"
#include "core/stats/vector_math.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

// Half the width of a group in ln w: a group spans 0.8 % of its times.
constexpr double kRadius = 0.004;
// A group of fewer products is summed product by product.
constexpr std::size_t kMinGroup = 3;
// The series is used where A r (1 + H at the group's top) stays below this:
// its remainder is then below 1e-13 of the group's sum.
constexpr double kSeriesLimit = 0.05;
// Beyond this cumulative hazard exp(-H) is below 1e-17: F is 1 in doubles.
constexpr double kSureFailure = 40;

// The k-th derivative of exp(-H(x)), H = exp(A (x - ln B)), is
// A^k exp(-H) sum_i S(k, i) (-H)^i (stirling_numbers.h).
static_assert(ExitTimeSums::kOrder <= kStirlingOrder);

// 1 - exp(-H) from exp(-H), without its cancellation where H is small.
double Rise(double H, double survival) {
    if (H >= 0.01) return 1 - survival;
    // H - H^2/2! + ... - H^8/8!: the next term is below 1e-17 of the sum
    double s = 1;
    for (int k = 8; k >= 2; --k)
        s = 1 - H / k * s;
    return H * s;
}

// Whether the series holds where H is large: its remainder is at most
// (A r)^9 / 9! times the largest |F^(9)| / A^9 = exp(-H) |P_9(H)| over the
// group, with |P_9(H)| <= Bell(9) H max(1, H)^8; exp(-H) makes it small
// however large H is. Held against 1e-13 of the group's smallest F.
bool SeriesHolds(double Ar, double H, double growth) {
    const double top = H * growth, bottom = H / growth;
    const double bell9 = 21147, factorial9 = 362880;
    const double remainder =
        std::pow(Ar, 9) / factorial9 * bell9 * top * std::pow(std::max(1.0, top), 8) * std::exp(-bottom);
    return remainder <= 1e-13 * -std::expm1(-bottom);
}

double WeibullShare(double A, double lnB, double x) {
    return -std::expm1(-std::exp(A * (x - lnB)));
}

} // namespace

ExitTimeSums::ExitTimeSums(const std::vector<double>& exitTimes) {
    total_ = static_cast<double>(exitTimes.size());
    for (double w : exitTimes)
        if (w > 0) x_.push_back(std::log(w));
    std::sort(x_.begin(), x_.end());
    for (std::size_t i = 0; i < x_.size();) {
        Group g;
        g.begin = i;
        while (i < x_.size() && x_[i] - x_[g.begin] <= 2 * kRadius)
            ++i;
        g.end = i;
        g.centre = (x_[g.begin] + x_[g.end - 1]) / 2;
        g.radius = (x_[g.end - 1] - x_[g.begin]) / 2;
        for (std::size_t j = g.begin; j < g.end; ++j) {
            const double d = x_[j] - g.centre;
            double p = 1;
            for (int k = 0; k <= kOrder; ++k) {
                g.moments[k] += p;
                p *= d;
            }
        }
        groups_.push_back(g);
    }
}

void ExitTimeSums::Prepare(double A, ShapeCache& cache) const {
    if (cache.A == A && cache.terms.size() == groups_.size()) return;
    cache.A = A;
    cache.growth.resize(groups_.size());
    cache.terms.resize(groups_.size());
    std::array<double, kOrder + 1> a{}; // A^k / k!
    a[0] = 1;
    for (int k = 1; k <= kOrder; ++k)
        a[k] = a[k - 1] * A / k;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const Group& gr = groups_[g];
        cache.growth[g] = std::exp(A * gr.radius);
        for (int i = 1; i <= kOrder; ++i) {
            double s = 0;
            for (int k = i; k <= kOrder; ++k)
                s += kStirling[k][i] * a[k] * gr.moments[k];
            cache.terms[g][i - 1] = s;
        }
    }
}

double ExitTimeSums::Exact(const Group& g, double A, double lnB, std::size_t end) const {
    double s = 0;
    for (std::size_t j = g.begin; j < std::min(end, g.end); ++j)
        s += WeibullShare(A, lnB, x_[j]);
    return s;
}

double ExitTimeSums::Share(double A, double lnB, double upper, ShapeCache& cache) const {
    if (x_.empty() || !(upper > 0) || !(total_ > 0)) return 0;
    Prepare(A, cache);
    const double lnU = std::log(upper);
    // the products leaving before `upper` contribute F(w), the others F(upper)
    const std::size_t below =
        static_cast<std::size_t>(std::lower_bound(x_.begin(), x_.end(), lnU) - x_.begin());
    std::size_t whole = 0; // groups wholly below
    while (whole < groups_.size() && groups_[whole].end <= below)
        ++whole;
    // H at every centre, then exp(-H), each as one array of exponentials
    auto& H = cache.hazard;
    auto& S = cache.survival;
    H.resize(whole);
    S.resize(whole);
    for (std::size_t g = 0; g < whole; ++g)
        H[g] = A * (groups_[g].centre - lnB);
    ExpArray(H.data(), H.data(), whole);
    for (std::size_t g = 0; g < whole; ++g)
        S[g] = -H[g];
    ExpArray(S.data(), S.data(), whole);
    double sum = 0;
    for (std::size_t g = 0; g < whole; ++g) {
        const Group& gr = groups_[g];
        const double h = H[g];
        if (gr.end - gr.begin < kMinGroup) {
            sum += Exact(gr, A, lnB, below);
        } else if (h > kSureFailure * cache.growth[g]) {
            sum += gr.moments[0]; // F = 1 to the last bit over the whole group
        } else if (!(A * gr.radius * (1 + h * cache.growth[g]) <= kSeriesLimit) &&
                   !SeriesHolds(A * gr.radius, h, cache.growth[g])) {
            sum += Exact(gr, A, lnB, below);
        } else {
            // sum over the group of F(c + d) = sum_k F^(k)(c) m_k / k!, where
            // F^(k) = -A^k exp(-H) sum_i S(k, i) (-H)^i for k >= 1
            const double q = -h;
            const auto& t = cache.terms[g];
            double poly = t[kOrder - 1];
            for (int i = kOrder - 2; i >= 0; --i)
                poly = t[i] + q * poly;
            poly *= q;
            sum += gr.moments[0] * Rise(h, S[g]) - S[g] * poly;
        }
    }
    if (whole < groups_.size()) sum += Exact(groups_[whole], A, lnB, below);
    sum += static_cast<double>(x_.size() - below) * WeibullShare(A, lnB, lnU);
    return sum / total_;
}

double ExitTimeSums::Share(double A, double lnB, double upper) const {
    ShapeCache cache;
    return Share(A, lnB, upper, cache);
}

} // namespace tovimo
