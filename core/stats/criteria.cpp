#include "core/stats/criteria.h"

#include "core/stats/distributions.h"
#include "core/stats/warranty_law.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

// The share of the fleet out of warranty at the middle of each column.
void FillColumnExits(const std::vector<Hist_Rec>& h, double Mu, double Sig, Mod_Weib& m) {
    double lower = 0;
    for (size_t i = 0; i < h.size(); ++i) {
        m.F_norm[i] = CDF_Gauss(Mu, Sig, (lower + h[i].time) / 2);
        lower = h[i].time;
    }
}

// Sizes the arrays of `m` to the histogram, fills the warranty-exit shares
// and, for each column up to Tzenz, the Weibull share F_Weib (held at 0 or
// above when `clampShare`), the expected failures Kol_F_priv and their total
// Kol_Nakopl; hands each such column's index, Weibull share and expected
// count to `perColumn`.
template <class PerColumn>
void ExpectedColumns(const AnalysisState& st, double A, double B, double k_pwt, double Mu, double Sig,
                     bool clampShare, Mod_Weib& m, PerColumn perColumn) {
    const auto& h = st.Hist_Stol;
    SizeModelArrays(m, h.size());
    FillColumnExits(h, Mu, Sig, m);
    m.Kol_Nakopl = 0;
    const double K = st.Izd_Prived * k_pwt;
    double t1 = 0;
    for (size_t i = 0; i < h.size(); ++i) {
        const double t2 = h[i].time;
        if (!(t2 <= st.Tzenz)) break;
        double fw = weibCDF2(A, B, t1, t2);
        if (clampShare && fw < 0) fw = 0;
        m.F_Weib[i] = fw;
        const double E = K * fw * (1 - m.F_norm[i]);
        m.Kol_F_priv[i] = E;
        m.Kol_Nakopl += E;
        perColumn(i, fw, E);
        t1 = t2;
    }
}

} // namespace

double Pirson(const AnalysisState& st, int formIndex, double A, double B, double k_pwt, double Mu, double Sig,
              Mod_Weib& Mpir) {
    double R = 0;
    ExpectedColumns(st, A, B, k_pwt, Mu, Sig, true, Mpir, [&](size_t i, double fw, double E) {
        R += PearsonTerm(formIndex, st.Hist_Stol[i].Sum - E, E, fw);
    });
    return R;
}

double Smirnow(const AnalysisState& st, double A, double B, double K_powt, const std::vector<double>& phi) {
    double sum2 = 0, known = 0, t1 = 0;
    const auto& m = st.MasProbl;
    const double scale = st.Izd_Prived * K_powt;
    for (size_t i = 0; i < m.size(); ++i) {
        const double t = m[i].time;
        if (!(t <= st.Tzenz)) continue;
        const double f = i < phi.size() ? phi[i] : 0.0;
        known = known + weibCDF2(A, B, t1, t) * (1 - f) * scale;
        const double d = static_cast<double>(i + 1) - known;
        sum2 += d * d;
        t1 = t;
    }
    return std::sqrt(sum2) / st.Kol_izw;
}

double Kolmogor(const AnalysisState& st, double Kpwt, double A, double B, double Mu, double Sig,
                double& KolmCrt, std::string& S) {
    const auto& m = st.MasProbl;
    const double n = static_cast<double>(m.size());
    double f1 = 0, Fsum = 0, Dplus = 0, Dminus = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        const double k = static_cast<double>(i + 1);
        const double t = m[i].time;
        const double f2 = weibCDF(A, B, t);
        Fsum = Fsum + (f2 - f1) * (1 - CDF_Gauss(Mu, Sig, t));
        f1 = f2;
        const double Fx = Fsum * st.Izd_Prived * Kpwt / st.Kol_izw;
        if (t > 0) {
            Dplus = std::max(Dplus, k / n - Fx);
            Dminus = std::max(Dminus, Fx - (k - 1) / n);
        }
    }
    const double Dmax = Dplus > Dminus ? Dplus : Dminus;
    const double lambda = (6 * n * Dmax + 1) / 6 / std::sqrt(n);
    KolmCrt = lambda;
    S = lambda < kKolmogorovCritical ? " <1.3581(0.05)" : " >1.3581(0.05)";
    return lambda;
}

void Sigmas(const AnalysisState& st, Mod_Weib& Wei, double T_pr) {
    if (T_pr == 0) T_pr = 200;
    const auto& m = st.MasProbl;
    Wei.LamStart = WeibF(Wei.A, Wei.B, T_pr) * 1000 * Wei.K_powtor;
    double tStar = 1000;
    if (!m.empty() && !(m.back().time > 1000)) tStar = m.back().time;
    Wei.Lam1000 = WeibF(Wei.A, Wei.B, tStar) * 1000 * Wei.K_powtor;
    double sum = 0, SS = 0, t0 = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        const double t = m[i].time;
        SS = SS + st.Izd_Prived * Wei.K_powtor * weibCDF2(Wei.A, Wei.B, t0, t);
        const double d = static_cast<double>(i + 1) - SS;
        sum += d * d;
        t0 = t;
    }
    Wei.SKO_out = std::sqrt(sum) / (static_cast<double>(m.size()) - 1);
}

std::string Hist_SKO(const AnalysisState& st, const Mod_Weib& Model, char sep, double* SKO_Stolb) {
    double sum = 0, t1 = 0;
    for (const Hist_Rec& c : st.Hist_Stol) {
        const double t2 = c.time;
        const double E = st.Izd_Prived * Model.K_powtor * weibCDF2(Model.A, Model.B, t1, t2) *
                         (1 - CDF_Gauss(Model.Sred, Model.SKO, t2));
        sum += (c.Sum - E) * (c.Sum - E);
        t1 = t2;
    }
    const double s = std::sqrt(sum) / static_cast<double>(st.Hist_Stol.size());
    if (SKO_Stolb) *SKO_Stolb = s;
    // no columns, or a model without finite figures: a dash, never "NAN"
    if (!std::isfinite(s)) return "Доверительный 95% интервал частотной диаграммы = —,  СКО= —";
    return "Доверительный 95% интервал частотной диаграммы " +
           Format(sep, "= {:6.4f},  СКО= {:6.4f}", 1.96 * s, s);
}

double Pirson_ZFGen(const AnalysisState& st, double A, double B, double k_pwt, double Mu, double Sig,
                    Mod_Weib& work) {
    double Delta2 = 0;
    work.SKO_out = 0;
    ExpectedColumns(st, A, B, k_pwt, Mu, Sig, false, work, [&](size_t i, double, double E) {
        const double d = st.Hist_Stol[i].Sum - E;
        work.SKO_out += d * d;
        Delta2 += d * d;
    });
    const size_t C = st.Hist_Stol.size();
    work.SKO_out = std::sqrt(work.SKO_out) / static_cast<double>(C);
    const double tot = st.Kol_izw - work.Kol_Nakopl;
    double result = Delta2 + tot * tot;
    const double top = Alim[1][3] + Alim[2][3];
    if (k_pwt > top) result = result * ((k_pwt / top) * (k_pwt / top));
    return result;
}

double CelevFunction(const AnalysisState& st, const ParamVector& Ao, Mod_Weib& work) {
    const WarrantyLaw law = WarrantyLawAt(st, Ao);
    return Pirson_ZFGen(st, Ao[2], Ao[1], work.K_powtor, law.mean, law.sd, work);
}

} // namespace tovimo
