// Goodness-of-fit criteria of a Weibull model against the failure series,
// and the spread figures of a fitted model.
#pragma once

#include "core/state/analysis_state.h"
#include "core/stats/model_slot.h"

#include <string>
#include <vector>

namespace tovimo {

// One column's share of the Pearson-type criterion for the choice
// "Способ подбора параметров" `formIndex`: the relative squared deviation (0),
// the squared deviation (1) or the squared deviation weighted by the column's
// Weibull share left over (other); `d` is observed minus expected `E`, `fw`
// the column's Weibull share.
inline double PearsonTerm(int formIndex, double d, double E, double fw) {
    if (formIndex == 0) return (d / E) * (d / E);
    if (formIndex == 1) return d * d;
    return (d * (1 - fw)) * (d * (1 - fw));
}

// Pearson-type criterion over the histogram columns up to Tzenz; `formIndex`
// is the choice "Способ подбора параметров" (0, 1 or other). Fills the arrays
// and Kol_Nakopl of Mpir, which must be sized to the histogram.
double Pirson(const AnalysisState& st, int formIndex, double A, double B, double k_pwt, double Mu, double Sig,
              Mod_Weib& Mpir);

// Smirnov-type criterion over the cumulative failure count; `phi` holds the
// censoring share at each failure's time (one entry per failure).
double Smirnow(const AnalysisState& st, double A, double B, double K_powt, const std::vector<double>& phi);

// The Kolmogorov statistic's critical value at the 0.05 level.
inline constexpr double kKolmogorovCritical = 1.3581;

// Kolmogorov statistic with the small-sample correction; stores it in
// KolmCrt and the verdict text in S.
double Kolmogor(const AnalysisState& st, double Kpwt, double A, double B, double Mu, double Sig,
                double& KolmCrt, std::string& S);

// LamStart, Lam1000 and SKO_out of a fitted model.
void Sigmas(const AnalysisState& st, Mod_Weib& Wei, double T_pr);

// Spread of the histogram about a model; returns the progress-memo line and
// stores the spread in *SKO_Stolb when given.
std::string Hist_SKO(const AnalysisState& st, const Mod_Weib& Model, char decimalSeparator,
                     double* SKO_Stolb = nullptr);

// Objective of the genetic algorithm for (A, B, k_pwt, Mu, Sig); `work` is the
// working storage (the genetic slot or a per-thread copy) sized to the histogram.
double Pirson_ZFGen(const AnalysisState& st, double A, double B, double k_pwt, double Mu, double Sig,
                    Mod_Weib& work);

// Picks the objective's arguments from `Ao` (1-based, gene order) and the
// state's flags, the repeat factor from `work.K_powtor`.
double CelevFunction(const AnalysisState& st, const ParamVector& Ao, Mod_Weib& work);

} // namespace tovimo
