// The integral of f(t) G(t) under the empirical law of leaving warranty, fast
// for many warranty-end times. With the law's steps at the times w_j,
//   integral of f G from 0 to U = (1/M) sum_j F(min(w_j, U)),
// one Weibull share per product: thousands of exponentials at every point of
// every search. F is a smooth function of x = ln w, so the products are
// grouped by nearby x and each group's sum is the Taylor series of F about the
// group's centre, weighted by the group's moments of x (which do not depend on
// the law): a few operations per group instead of one exponential per
// product. The series is used only where its remainder is below 1e-13 of the
// group's sum; other groups are summed product by product.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace tovimo {

class ExitTimeSums {
  public:
    // Terms of the series beyond its first.
    static constexpr int kOrder = 8;

    // What the sums keep for one shape, so that a search over the scale at one
    // shape costs a few operations per group. One per thread.
    struct ShapeCache {
        double A = -1;
        std::vector<double> growth;                    // exp(A r_g): H at a group's top over H at its centre
        std::vector<std::array<double, kOrder>> terms; // the series' coefficients of H, H^2, ...
        std::vector<double> hazard, survival;          // room for H and exp(-H) of the groups
    };

    ExitTimeSums() = default;
    // `exitTimes` ascending; times at or below 0 count in M and add nothing.
    explicit ExitTimeSums(const std::vector<double>& exitTimes);

    // (1/M) sum_j F(min(w_j, upper)) with F(w) = 1 - exp(-(w/B)^A).
    double Share(double A, double lnB, double upper, ShapeCache& cache) const;
    double Share(double A, double lnB, double upper) const;

    std::size_t groups() const { return groups_.size(); }

  private:
    struct Group {
        std::size_t begin = 0, end = 0;           // products [begin, end) of x_
        double centre = 0, radius = 0;            // of x over the group
        std::array<double, kOrder + 1> moments{}; // sum (x - centre)^k, k = 0..kOrder
    };
    void Prepare(double A, ShapeCache& cache) const;
    double Exact(const Group& g, double A, double lnB, std::size_t end) const;

    std::vector<double> x_; // ln w of the positive times, ascending
    std::vector<Group> groups_;
    double total_ = 0; // M
};

} // namespace tovimo
