// The criteria of the step-search fits, evaluated many thousand times per
// fit. They give the values of Pirson and Smirnow (criteria.h) to the last
// few bits, but compute once what stays fixed during a fit (column edges and
// failure times with their logarithms, the censoring shares while the warranty
// law is not being fitted), reuse the Weibull probabilities when only the
// repeat coefficient moves, take F(t) as 1 - exp(-exp(A (ln t - ln B))) with
// the exponentials of a whole array at a time (vector_math.h) and allocate
// nothing per evaluation. From SmirnowEvaluator::kRunsFrom failures, Smirnow
// sums the runs of failures at one time as one element each, and along the
// long walks of the step search takes the criterion from a series about a
// point of the walk (smirnow_line_series.h), to 1e-13 of its square.
#pragma once

#include "core/state/analysis_state.h"

#include "core/stats/smirnow_line_series.h"

#include <array>
#include <optional>
#include <vector>

namespace tovimo {

class PirsonEvaluator {
  public:
    // `formIndex` is the choice "Способ подбора параметров".
    PirsonEvaluator(const AnalysisState& st, int formIndex);

    // The criterion of Pirson(st, formIndex, A, B, k_pwt, Mu, Sig, ...), without
    // filling a model's arrays.
    double operator()(double A, double B, double k_pwt, double Mu, double Sig);

    long long evaluations() const { return evaluations_; }

  private:
    int form_;
    double izd_;
    std::vector<double> mid_, logUpper_, observed_, survive_;
    std::vector<double> cdf_; // the distribution function at the upper edges, per evaluation
    double cachedMu_ = 0, cachedSig_ = 0;
    bool cached_ = false;
    long long evaluations_ = 0;
};

class SmirnowEvaluator {
  public:
    // From this many failures, runs of failures at one time are one element.
    static constexpr size_t kRunsFrom = 50000;

    // `phi` holds the censoring share at each failure's time.
    SmirnowEvaluator(const AnalysisState& st, const std::vector<double>& phi);

    // The value of Smirnow(st, A, B, K_powt, phi).
    double operator()(double A, double B, double K_powt);

    long long evaluations() const { return evaluations_; }
    // How often a large series' criterion was summed into a series along a
    // line of the search (0 for a small series).
    long long anchors() const { return series_ ? series_->anchors() : 0; }

  private:
    void weibullShares(double A, double B);

    double izd_;
    double kolIzw_;
    double maxAbsLogT_ = 0;
    double runSpread_ = 0; // the sum of c (c^2 - 1) / 12 over the runs
    // From kRunsFrom failures, the criterion along a long walk of the search
    // as a polynomial (smirnow_line_series.h)
    std::optional<SmirnowLineSeries> series_;
    // The failures up to Tzenz in four stretches of rows_ failures, stored
    // interleaved (failure j of stretch b at 4j + b) so that the four running
    // sums advance side by side; padding has weight 0.
    size_t rows_ = 0;
    std::vector<double> logT_, keep_, rank_, weight_;
    std::vector<double> cdf_;      // the distribution function at each failure
    std::vector<double> cum_;      // the censored Weibull share summed from the start of the stretch
    std::array<double, 4> base_{}; // the sum of all stretches before
    std::vector<double> powT_;     // t^A for powA_, so that a step of the scale needs one exponential less
    double powA_ = 0;
    bool powValid_ = false;
    double cachedA_ = 0, cachedB_ = 0;
    bool cached_ = false;
    long long evaluations_ = 0;
};

} // namespace tovimo
