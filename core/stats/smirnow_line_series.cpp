#include "core/stats/smirnow_line_series.h"

#include "core/stats/stirling_numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tovimo {

namespace {

constexpr int kOrder = SmirnowLineSeries::kOrder;
static_assert(kOrder <= kStirlingOrder);

// The radius of the circles of Cauchy's estimate.
constexpr double kRadius = std::numbers::pi / 2;
// The sum of squared misses may move by this share of itself through the
// series' remainder: with rho the largest move of a miss over the RMS miss,
// the sum moves by at most (2 rho + rho^2) of itself.
constexpr double kRho = 4.9e-14;

constexpr std::array<double, kOrder + 1> InverseFactorials() {
    std::array<double, kOrder + 1> f{};
    double p = 1;
    for (int n = 0; n <= kOrder; ++n) {
        if (n > 0) p *= n;
        f[n] = 1 / p;
    }
    return f;
}
constexpr std::array<double, kOrder + 1> kInverseFactorial = InverseFactorials();

} // namespace

SmirnowLineSeries::SmirnowLineSeries(std::vector<double> logT, std::vector<double> keep,
                                     std::vector<double> rank, std::vector<double> count, double izd)
    : logT_(std::move(logT)), keep_(std::move(keep)), rank_(std::move(rank)), count_(std::move(count)),
      izd_(izd) {
    bool first = true;
    for (double x : logT_) {
        if (!std::isfinite(x)) continue;
        logTmin_ = first ? x : std::min(logTmin_, x);
        logTmax_ = first ? x : std::max(logTmax_, x);
        first = false;
    }
    // a cum is keep_j F_j + sum_{i<j} (keep_i - keep_i+1) F_i, so a move of
    // at most e in every F moves it by at most this times e
    double largest = 0;
    for (std::size_t i = 0; i < keep_.size(); ++i) {
        largest = std::max(largest, std::fabs(keep_[i]));
        if (i + 1 < keep_.size()) keepVariation_ += std::fabs(keep_[i] - keep_[i + 1]);
    }
    keepVariation_ += largest;
    for (double c : count_)
        totalCount_ += c;
}

std::optional<double> SmirnowLineSeries::SquaredMisses(double A, double B, double K) {
    // the line of this step: the scale alone, the shape alone, or the repeat
    // coefficient alone (which any series holds exactly)
    Line step = Line::None;
    if (A == lastA_ && B != lastB_)
        step = Line::Scale;
    else if (B == lastB_ && A != lastA_)
        step = Line::Shape;
    else if (A == lastA_ && B == lastB_)
        step = walk_ == Line::None ? Line::Scale : walk_;
    if (step != Line::None && step == walk_)
        ++steps_;
    else {
        walk_ = step;
        steps_ = step == Line::None ? 0 : 1;
    }
    lastA_ = A;
    lastB_ = B;
    if (std::optional<double> value = FromSeries(A, B, K)) return value;
    if (walk_ == Line::None || steps_ < kStepsBeforeSeries) return std::nullopt;
    Anchor(A, B, K, walk_);
    return fixed_[0];
}

std::optional<double> SmirnowLineSeries::FromSeries(double A, double B, double K) const {
    double x;
    if (line_ == Line::Scale && A == A0_)
        x = A0_ * std::log(B / B0_);
    else if (line_ == Line::Shape && B == B0_)
        x = A - A0_;
    else
        return std::nullopt;
    if (!(std::fabs(x) <= reach_)) return std::nullopt;
    // miss_j = r_j - dK cum_j - izd K sum_n x^n d_nj with dK = izd K - izd K0:
    // the sum of their squares is G00 - 2 dK G01 + dK^2 G11
    // - 2 izd K (Q0(x) - dK Q1(x)) + (izd K)^2 P(x)
    const double izdK = izd_ * K, dK = izdK - izdK0_;
    double q0 = 0, q1 = 0, p = 0;
    for (int n = kOrder; n >= 1; --n) {
        q0 = (q0 + cross_[0][n]) * x;
        q1 = (q1 + cross_[1][n]) * x;
    }
    for (int n = 2 * kOrder; n >= 2; --n)
        p = (p + square_[n]) * x;
    p *= x;
    const double sum =
        fixed_[0] - 2 * dK * fixed_[1] + dK * dK * fixed_[2] - 2 * izdK * (q0 - dK * q1) + izdK * izdK * p;
    if (!(sum > 0)) return std::nullopt;
    // the remainder of every share is at most 2 m (|x| / R)^(kOrder+1) (for
    // the shape m |u|^(kOrder+1)), so a miss moves by at most
    // izd K keepVariation times that; held against kRho times the RMS miss
    const double t = std::fabs(x) / kRadius, t2 = t * t, t4 = t2 * t2, t8 = t4 * t4;
    const double move = izdK * keepVariation_ * 2 * next_ * t8 * t2 * t;
    if (!(move * move * totalCount_ <= kRho * kRho * sum)) return std::nullopt;
    return sum;
}

void SmirnowLineSeries::Anchor(double A, double B, double K, Line line) {
    ++anchors_;
    line_ = line;
    A0_ = A;
    B0_ = B;
    izdK0_ = izd_ * K;
    const double lnB0 = std::log(B);
    const double maxAbsU = std::max(std::fabs(logTmin_ - lnB0), std::fabs(logTmax_ - lnB0));
    // the shift a u or g stays within half the radius
    reach_ = line == Line::Scale ? kRadius / 2 : (maxAbsU > 0 ? kRadius / 2 / maxAbsU : 0);
    next_ = 0;
    std::array<double, kDim * kDim> gram{}; // the Gram matrix of the columns, upper triangle

    const double eR = std::exp(kRadius);
    std::array<double, kOrder + 1> coefficient{}; // the share's coefficient of x^n
    std::array<double, kOrder + 1> before{};      // and of the run before
    std::array<double, kDim> col{};               // miss, cum and the cums of every power
    double shareBefore = 0;
    for (std::size_t i = 0; i < logT_.size(); ++i) {
        const double u = logT_[i] - lnB0, z = A * u;
        const double y = std::exp(z);
        const double share = -std::expm1(-y);
        coefficient.fill(0);
        if (y > 0 && y < 745) {
            // S^(n)(z) / n! = exp(-y) sum_k S(n, k) (-y)^k / n! for S = exp(-exp(z));
            // F(z + d) - F(z) = -sum_n d^n S^(n)(z) / n!, with d = -g or a u
            std::array<double, kOrder + 1> powers{};
            powers[0] = 1;
            for (int k = 1; k <= kOrder; ++k)
                powers[k] = powers[k - 1] * -y;
            const double S = std::exp(-y);
            double shift = 1; // (-1)^n or u^n
            for (int n = 1; n <= kOrder; ++n) {
                double s = 0;
                for (int k = 1; k <= n; ++k)
                    s += kStirling[n][k] * powers[k];
                shift *= line == Line::Scale ? -1.0 : u;
                coefficient[n] = -shift * S * s * kInverseFactorial[n];
            }
            // Cauchy: on the circle of radius R about z the survival is at
            // most 1 and the share at most y e^R exp(y e^R)
            const double m = std::min(1.0, y * eR * std::exp(y * eR));
            double uPower = 1; // |u|^(kOrder+1)
            if (line == Line::Shape)
                for (int k = 0; k <= kOrder; ++k)
                    uPower *= std::fabs(u);
            next_ = std::max(next_, m * uPower);
        }
        const double keep = keep_[i];
        col[1] += keep * (share - shareBefore);
        shareBefore = share;
        for (int n = 1; n <= kOrder; ++n) {
            col[n + 1] += keep * (coefficient[n] - before[n]);
            before[n] = coefficient[n];
        }
        col[0] = rank_[i] - izdK0_ * col[1];
        const double w = count_[i];
        for (int r = 0; r < kDim; ++r) {
            const double wr = w * col[r];
            double* row = gram.data() + r * kDim;
            for (int s = r; s < kDim; ++s)
                row[s] += wr * col[s];
        }
    }
    // the Gram matrix as the coefficients of the polynomials in x
    const auto G = [&](int r, int s) { return gram[std::min(r, s) * kDim + std::max(r, s)]; };
    fixed_ = {G(0, 0), G(0, 1), G(1, 1)};
    for (int n = 1; n <= kOrder; ++n) {
        cross_[0][n] = G(0, n + 1);
        cross_[1][n] = G(1, n + 1);
    }
    square_.fill(0);
    for (int m = 1; m <= kOrder; ++m)
        for (int n = 1; n <= kOrder; ++n)
            square_[m + n] += G(m + 1, n + 1);
}

} // namespace tovimo
