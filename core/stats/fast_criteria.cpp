#include "core/stats/fast_criteria.h"

#include "core/stats/distributions.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

constexpr double kCdfFloor = 1e-30; // weibCDF never returns less

// weibCDF from the logarithm of the time; B's logarithm is computed once per
// evaluation by the caller.
inline double WeibullCdfLog(double A, double logB, double logT) {
    const double w = 1 - std::exp(-std::exp(A * (logT - logB)));
    return w > 0 ? w : kCdfFloor;
}

} // namespace

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
    const bool valid = A > 0 && B > 0;
    const double logB = std::log(B);
    const double K = izd_ * k_pwt;
    double R = 0;
    double Fprev = kCdfFloor; // F(0)
    for (size_t i = 0; i < n; ++i) {
        const double F = valid ? WeibullCdfLog(A, logB, logUpper_[i]) : kCdfFloor;
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
    share_.resize(logT_.size());
    powT_.resize(logT_.size());
}

void SmirnowEvaluator::weibullShares(double A, double B) {
    const size_t n = logT_.size();
    const bool valid = A > 0 && B > 0;
    const double logB = std::log(B);
    double Fprev = kCdfFloor;
    // (t/B)^A as t^A * B^-A while both factors stay far from overflow; the
    // choice depends on A and B only, so a point always gets the same value
    const bool split = valid && A * maxAbsLogT_ < 600 && std::fabs(A * logB) < 600;
    if (split) {
        if (!powValid_ || A != powA_) {
            for (size_t i = 0; i < n; ++i)
                powT_[i] = std::exp(A * logT_[i]);
            powA_ = A;
            powValid_ = true;
        }
        const double scaleFactor = std::exp(-A * logB);
        for (size_t i = 0; i < n; ++i) {
            double F = 1 - std::exp(-(powT_[i] * scaleFactor));
            if (!(F > 0)) F = kCdfFloor;
            share_[i] = (F - Fprev) * survive_[i];
            Fprev = F;
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            const double F = valid ? WeibullCdfLog(A, logB, logT_[i]) : kCdfFloor;
            share_[i] = (F - Fprev) * survive_[i];
            Fprev = F;
        }
    }
    cachedA_ = A;
    cachedB_ = B;
    cached_ = true;
}

double SmirnowEvaluator::operator()(double A, double B, double K_powt) {
    ++evaluations_;
    if (!cached_ || A != cachedA_ || B != cachedB_) weibullShares(A, B);
    const double scale = izd_ * K_powt;
    const size_t n = share_.size();
    double known = 0, sum2 = 0;
    for (size_t i = 0; i < n; ++i) {
        known = known + share_[i] * scale;
        const double d = rank_[i] - known;
        sum2 += d * d;
    }
    return std::sqrt(sum2) / kolIzw_;
}

} // namespace tovimo
