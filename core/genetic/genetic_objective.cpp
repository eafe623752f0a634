#include "core/genetic/genetic_objective.h"

#include "core/stats/distributions.h"
#include "core/stats/warranty_law.h"

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
        time_.push_back(c.time);
        mid_.push_back(mid);
        sum_.push_back(c.Sum);
        keep_.push_back(lawFixed ? 1 - CDF_Gauss(sred_, sko_, mid) : 0.0);
        prev = c.time;
    }
}

double GeneticObjective::operator()(const ParamVector& Ao) const {
    const double B = Ao[1], A = Ao[2];
    const WarrantyLaw law = WarrantyLawAt({sred_, sko_}, sredOpt_, skoOpt_, Ao);
    const bool lawFixed = !sredOpt_ && !skoOpt_;
    // The increment of a column starts where the previous one ended, so each
    // cumulative value is computed once and reused as the next lower bound.
    double lowerCdf = weibCDF(A, B, 0.0);
    double delta2 = 0, nakopl = 0;
    const size_t n = time_.size();
    for (size_t i = 0; i < n; ++i) {
        const double upperCdf = weibCDF(A, B, time_[i]);
        const double fw = upperCdf - lowerCdf;
        lowerCdf = upperCdf;
        const double keep = lawFixed ? keep_[i] : 1 - CDF_Gauss(law.mean, law.sd, mid_[i]);
        const double expected = scale_ * fw * keep;
        nakopl += expected;
        const double d = sum_[i] - expected;
        delta2 += d * d;
    }
    const double tot = kolIzw_ - nakopl;
    double result = delta2 + tot * tot;
    if (hasPenalty_) result = result * penalty_;
    return result;
}

} // namespace tovimo
