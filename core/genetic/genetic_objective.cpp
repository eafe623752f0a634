#include "core/genetic/genetic_objective.h"

#include "core/stats/distributions.h"
#include "core/stats/vector_math.h"
#include "core/stats/warranty_law.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

GeneticObjective::GeneticObjective(const AnalysisState& st, double K_powtor)
    : sredOpt_(st.Sred_Opt), skoOpt_(st.SKO_Opt), sred_(st.Sred), sko_(st.SKO), k_(K_powtor),
      scale_(st.Izd_Prived * K_powtor), kolIzw_(st.Kol_izw) {
    const double top = Alim[1][3] + Alim[2][3];
    hasPenalty_ = K_powtor > top;
    penalty_ = (K_powtor / top) * (K_powtor / top);
    const bool lawFixed = !sredOpt_ && !skoOpt_;
    double prev = 0;
    for (const Hist_Rec& c : st.Hist_Stol) {
        // Columns beyond the end of the series end the sum, with all after them.
        if (!(c.time <= st.Tzenz)) break;
        const double mid = (prev + c.time) / 2;
        logTime_.push_back(std::log(c.time));
        mid_.push_back(mid);
        sum_.push_back(c.Sum);
        keep_.push_back(lawFixed ? 1 - CDF_Gauss(sred_, sko_, mid) : 0.0);
        prev = c.time;
    }
    for (double k : keep_)
        keep4_.insert(keep4_.end(), 4, k);
}

void GeneticObjective::Evaluate4(const ParamVector* const Ao[4], double out[4]) const {
    const bool lawFixed = !sredOpt_ && !skoOpt_;
    const size_t n = logTime_.size();
    double A[4], logB[4];
    bool valid[4];
    thread_local std::vector<double> keepOwn;
    const double* keep = keep4_.data();
    if (!lawFixed) keepOwn.resize(4 * n);
    for (size_t b = 0; b < 4; ++b) {
        const ParamVector& a = *Ao[b];
        A[b] = a[2];
        valid[b] = a[2] > 0 && a[1] > 0;
        logB[b] = valid[b] ? std::log(a[1]) : 0;
        if (!lawFixed) {
            const WarrantyLaw law = WarrantyLawAt({sred_, sko_}, sredOpt_, skoOpt_, a);
            for (size_t i = 0; i < n; ++i)
                keepOwn[4 * i + b] = 1 - CDF_Gauss(law.mean, law.sd, mid_[i]);
        }
    }
    if (!lawFixed) keep = keepOwn.data();
    double expected[4], misses[4];
    WeibullExpectedMisses4(A, logB, valid, logTime_.data(), keep, sum_.data(), scale_, n, expected, misses);
    for (size_t b = 0; b < 4; ++b) {
        const double tot = kolIzw_ - expected[b];
        double result = misses[b] + tot * tot;
        if (hasPenalty_) result = result * penalty_;
        out[b] = result;
    }
}

double GeneticObjective::operator()(const ParamVector& Ao) const {
    const double B = Ao[1], A = Ao[2];
    const WarrantyLaw law = WarrantyLawAt({sred_, sko_}, sredOpt_, skoOpt_, Ao);
    const bool lawFixed = !sredOpt_ && !skoOpt_;
    // weibCDF(A, B, t) from the logarithms of t (taken once per run) and of B,
    // a block of columns at a time; the increment of a column starts where the
    // previous one ended, and weibCDF(A, B, 0) is the floor for every pair.
    const bool valid = A > 0 && B > 0;
    const double logB = valid ? std::log(B) : 0;
    double lowerCdf = kWeibullCdfFloor;
    double delta2 = 0, nakopl = 0;
    const size_t n = logTime_.size();
    constexpr size_t kBlock = 64;
    double cdf[kBlock];
    for (size_t first = 0; first < n; first += kBlock) {
        const size_t count = std::min(kBlock, n - first);
        if (valid)
            WeibullCdfFromLogs(A, logB, logTime_.data() + first, cdf, count);
        else
            std::fill_n(cdf, count, kWeibullCdfFloor);
        for (size_t k = 0; k < count; ++k) {
            const size_t i = first + k;
            const double fw = cdf[k] - lowerCdf;
            lowerCdf = cdf[k];
            const double keep = lawFixed ? keep_[i] : 1 - CDF_Gauss(law.mean, law.sd, mid_[i]);
            const double expected = scale_ * fw * keep;
            nakopl += expected;
            const double d = sum_[i] - expected;
            delta2 += d * d;
        }
    }
    const double tot = kolIzw_ - nakopl;
    double result = delta2 + tot * tot;
    if (hasPenalty_) result = result * penalty_;
    return result;
}

} // namespace tovimo
