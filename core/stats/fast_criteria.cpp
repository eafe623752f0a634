#include "core/stats/fast_criteria.h"

#include "core/stats/distributions.h"
#include "core/stats/vector_math.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

PirsonEvaluator::PirsonEvaluator(const AnalysisState& st, int formIndex)
    : form_(formIndex), izd_(st.Izd_Prived) {
    double lower = 0;
    for (const Hist_Rec& c : st.Hist_Stol) {
        if (!(c.time <= st.Tzenz)) break; // the edges increase: all later columns lie beyond too
        mid_.push_back((lower + c.time) / 2);
        logUpper_.push_back(std::log(c.time));
        observed_.push_back(c.Sum);
        lower = c.time;
    }
    survive_.resize(mid_.size());
    cdf_.resize(mid_.size());
}

double PirsonEvaluator::operator()(double A, double B, double k_pwt, double Mu, double Sig) {
    ++evaluations_;
    const size_t n = mid_.size();
    if (!cached_ || Mu != cachedMu_ || Sig != cachedSig_) {
        for (size_t i = 0; i < n; ++i)
            survive_[i] = 1 - CDF_Gauss(Mu, Sig, mid_[i]);
        cachedMu_ = Mu;
        cachedSig_ = Sig;
        cached_ = true;
    }
    if (A > 0 && B > 0)
        WeibullCdfFromLogs(A, std::log(B), logUpper_.data(), cdf_.data(), n);
    else
        std::fill(cdf_.begin(), cdf_.end(), kWeibullCdfFloor);
    const double K = izd_ * k_pwt;
    double R = 0;
    double Fprev = kWeibullCdfFloor; // F(0)
    for (size_t i = 0; i < n; ++i) {
        const double F = cdf_[i];
        double fw = F - Fprev;
        Fprev = F;
        if (fw < 0) fw = 0;
        const double E = K * fw * survive_[i];
        const double d = observed_[i] - E;
        if (form_ == 0)
            R += (d / E) * (d / E);
        else if (form_ == 1)
            R += d * d;
        else
            R += (d * (1 - fw)) * (d * (1 - fw));
    }
    return R;
}

SmirnowEvaluator::SmirnowEvaluator(const AnalysisState& st, const std::vector<double>& phi)
    : izd_(st.Izd_Prived), kolIzw_(st.Kol_izw) {
    const auto& m = st.MasProbl;
    for (size_t i = 0; i < m.size(); ++i) {
        const double t = m[i].time;
        if (!(t <= st.Tzenz)) continue;
        logT_.push_back(std::log(t));
        if (std::isfinite(logT_.back())) maxAbsLogT_ = std::max(maxAbsLogT_, std::fabs(logT_.back()));
        survive_.push_back(1 - (i < phi.size() ? phi[i] : 0.0));
        rank_.push_back(static_cast<double>(i + 1));
    }
    const size_t n = logT_.size();
    cdf_.resize(n);
    cum_.resize(n);
    powT_.resize(n);
    stretch_ = n / kStretches;
    for (size_t b = 0; b <= kStretches; ++b)
        start_[b] = b < kStretches ? b * stretch_ : n;
    start_[0] = 0;
}

void SmirnowEvaluator::weibullShares(double A, double B) {
    const size_t n = logT_.size();
    const bool valid = A > 0 && B > 0;
    const double logB = std::log(B);
    // (t/B)^A as t^A * B^-A while both factors stay far from overflow; the
    // choice depends on A and B only, so a point always gets the same value
    const bool split = valid && A * maxAbsLogT_ < 600 && std::fabs(A * logB) < 600;
    if (split) {
        if (!powValid_ || A != powA_) {
            for (size_t i = 0; i < n; ++i)
                powT_[i] = A * logT_[i];
            ExpArray(powT_.data(), powT_.data(), n);
            powA_ = A;
            powValid_ = true;
        }
        WeibullCdfFromPowers(powT_.data(), std::exp(-A * logB), cdf_.data(), n);
    } else if (valid) {
        WeibullCdfFromLogs(A, logB, logT_.data(), cdf_.data(), n);
    } else {
        std::fill(cdf_.begin(), cdf_.end(), kWeibullCdfFloor);
    }
    // The censored shares (F(t) - F(t before)) * (1 - phi), summed from the
    // start of each stretch: a running sum is a chain of additions that each
    // wait on the one before, so the four stretches are summed side by side.
    const double* F = cdf_.data();
    const double* keep = survive_.data();
    double* cum = cum_.data();
    const size_t o1 = start_[1], o2 = start_[2], o3 = start_[3];
    double p0 = kWeibullCdfFloor, p1 = o1 ? F[o1 - 1] : p0, p2 = o2 ? F[o2 - 1] : p0,
           p3 = o3 ? F[o3 - 1] : p0;
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (size_t j = 0; j < stretch_; ++j) {
        s0 += (F[j] - p0) * keep[j];
        s1 += (F[o1 + j] - p1) * keep[o1 + j];
        s2 += (F[o2 + j] - p2) * keep[o2 + j];
        s3 += (F[o3 + j] - p3) * keep[o3 + j];
        p0 = F[j];
        p1 = F[o1 + j];
        p2 = F[o2 + j];
        p3 = F[o3 + j];
        cum[j] = s0;
        cum[o1 + j] = s1;
        cum[o2 + j] = s2;
        cum[o3 + j] = s3;
    }
    for (size_t i = o3 + stretch_; i < n; ++i) {
        s3 += (F[i] - p3) * keep[i];
        p3 = F[i];
        cum[i] = s3;
    }
    base_ = {0, s0, s0 + s1, s0 + s1 + s2};
    cachedA_ = A;
    cachedB_ = B;
    cached_ = true;
}

double SmirnowEvaluator::operator()(double A, double B, double K_powt) {
    ++evaluations_;
    if (!cached_ || A != cachedA_ || B != cachedB_) weibullShares(A, B);
    const double scale = izd_ * K_powt;
    const double* cum = cum_.data();
    const double* rank = rank_.data();
    const size_t o1 = start_[1], o2 = start_[2], o3 = start_[3];
    const double b0 = base_[0], b1 = base_[1], b2 = base_[2], b3 = base_[3];
    // one sum of squares per stretch, side by side
    const auto square = [&](size_t i, double base) {
        const double d = rank[i] - (base + cum[i]) * scale;
        return d * d;
    };
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (size_t j = 0; j < stretch_; ++j) {
        s0 += square(j, b0);
        s1 += square(o1 + j, b1);
        s2 += square(o2 + j, b2);
        s3 += square(o3 + j, b3);
    }
    for (size_t i = o3 + stretch_; i < start_[kStretches]; ++i)
        s3 += square(i, b3);
    return std::sqrt((s0 + s1) + (s2 + s3)) / kolIzw_;
}

} // namespace tovimo
