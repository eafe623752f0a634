// The Smirnov criterion of a large series along a line of the step search.
//
// The step search of model 2 moves one parameter at a time by a small step
// for as long as the criterion falls, and every evaluation passes over all the
// runs of failures: for a million failures some forty thousand runs, about
// 0.1 ms each, while a walk of the scale from its start can take tens of
// thousands of steps. Along such a walk every run's Weibull share is a Taylor
// series: F(t) = 1 - exp(-exp(z)), z = A (ln t - ln B), and from an anchor
// (A0, B0) a step of the scale alone moves every z by -g, g = A0 ln(B/B0),
// a step of the shape alone by a u, a = A - A0, u = ln t - ln B0. So the
// expected cumulative counts are polynomials in g (or a), and the sum of
// squared misses is a quadratic form in those polynomials and the repeat
// coefficient (which enters linearly): its Gram matrix is summed once per
// anchor and each evaluation on the line costs some hundred operations.
//
// Bounds: the survival exp(-exp(w)) is at most 1 in modulus where
// |Im w| <= pi/2, and 1 - exp(-exp(w)) is at most y e^R exp(y e^R) on the
// circle of radius R about z (y = exp(z)); by Cauchy's estimate the n-th
// Taylor coefficient of a run's share is at most m / R^n with m the smaller
// of the two, R = pi/2. The series is used only where its remainder, summed
// through the censored cumulative shares, moves the sum of squared misses by
// less than 1e-13 of itself; elsewhere the caller evaluates exactly.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace tovimo {

class SmirnowLineSeries {
  public:
    // The order of the series.
    static constexpr int kOrder = 10;
    // A line is summed into a series once the search has made this many
    // steps along it: a series costs some thirty exact evaluations.
    static constexpr int kStepsBeforeSeries = 24;

    // The runs of failures up to Tzenz in ascending time: ln t, the share not
    // censored (1 - phi), the mean rank and the count of each; `izd` is the
    // reduced fleet.
    SmirnowLineSeries(std::vector<double> logT, std::vector<double> keep, std::vector<double> rank,
                      std::vector<double> count, double izd);

    // The sum over the runs of count (mean rank - izd K cum)^2, with cum the
    // censored Weibull share summed up to the run, at (A, B, K), A and B > 0,
    // where the point lies on a line summed into a series and within its
    // reach, or the search has walked the line long enough to sum it now;
    // otherwise nothing, and the caller evaluates exactly.
    std::optional<double> SquaredMisses(double A, double B, double K);

    long long anchors() const { return anchors_; }

  private:
    enum class Line { None, Scale, Shape };
    static constexpr int kDim = kOrder + 2; // miss, cum and one column per power

    std::optional<double> FromSeries(double A, double B, double K) const;
    void Anchor(double A, double B, double K, Line line);

    std::vector<double> logT_, keep_, rank_, count_;
    double izd_;
    double logTmin_ = 0, logTmax_ = 0;
    double keepVariation_ = 0; // max keep + the sum of |keep_i - keep_i+1|
    double totalCount_ = 0;

    // The anchor
    Line line_ = Line::None;
    double A0_ = 0, B0_ = 0, izdK0_ = 0;
    double reach_ = 0; // the largest |a| or |g| for which the shift stays within half of R
    double next_ = 0;  // the largest m |u|^(kOrder+1) (shape) or m (scale) over the runs
    // The sum of squared misses as polynomials in x, folded from the Gram
    // matrix of the runs' columns (see FromSeries)
    std::array<double, 3> fixed_{};
    std::array<std::array<double, kOrder + 1>, 2> cross_{};
    std::array<double, 2 * kOrder + 1> square_{};
    long long anchors_ = 0;

    // The walk: the last point asked for and the steps along its line
    double lastA_ = 0, lastB_ = 0;
    Line walk_ = Line::None;
    int steps_ = 0;
};

} // namespace tovimo
