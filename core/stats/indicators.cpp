#include "core/stats/indicators.h"

#include "core/stats/distributions.h"
#include "core/stats/histogram.h"
#include "core/stats/log_log.h"
#include "core/text/cause_match.h"

#include <cmath>
#include <limits>

namespace tovimo {

double Frac(double x) {
    return x - std::trunc(x);
}

namespace {

// Largest count first, ties in file order; "Другие" stays last.
void RankCauses(AnalysisState& st) {
    const int np = st.NPrich;
    const size_t other = static_cast<size_t>(np) + 1;
    st.Vidy_otkazov.assign(other + 1, Vid_otkaza{});
    for (int k = 1; k <= np; ++k) {
        int pos = k;
        while (pos > 1 &&
               st.Vidy_otkazov[static_cast<size_t>(pos) - 1].Dolya < st.V_otk[static_cast<size_t>(k)].Dolya) {
            st.Vidy_otkazov[static_cast<size_t>(pos)] = st.Vidy_otkazov[static_cast<size_t>(pos) - 1];
            --pos;
        }
        st.Vidy_otkazov[static_cast<size_t>(pos)] = st.V_otk[static_cast<size_t>(k)];
    }
    st.Vidy_otkazov[other] = st.V_otk[other];
}

// Each record points at the ranked cause its source names; the last match wins.
void RemapRecords(AnalysisState& st) {
    std::vector<std::string> names(static_cast<size_t>(st.NPrich) + 1);
    for (int k = 1; k <= st.NPrich; ++k)
        names[static_cast<size_t>(k)] = st.Vidy_otkazov[static_cast<size_t>(k)].Nazv_Prich;
    CauseMatcher causes(names);
    for (Problems& p : st.MasProbl)
        if (const int match = causes.LastNamedIn(p.Pri); match > 0) p.chey = match;
}

// Records beyond the failures the header counts do not enlarge the fleet.
void ReduceFleet(AnalysisState& st) {
    if (st.Kol_izw <= st.KolOtk)
        st.Popravka_Unknow = static_cast<double>(st.Kol_izw) / st.KolOtk;
    else
        st.Popravka_Unknow = 1;
    st.Izd_Prived = st.Kol_Izd_All * st.Popravka_Unknow;
}

// The threshold times and the failures per product at the warranty mean.
void ThresholdTimes(AnalysisState& st) {
    for (const ThresholdRule& rule : kThresholds)
        st.*rule.time = 0;
    st.ThresholdRecord.fill(-1);
    const double P = st.Izd_Prived;
    double S = 0, tPrev = 0;
    const size_t n = st.MasProbl.size();
    for (size_t i = 0; i < n; ++i) {
        const double t = st.MasProbl[i].time;
        S += 1 / (1 - CDF_Gauss(st.Sred, st.SKO, t));
        if (t >= st.Sred && st.Otk_Izd == 0) st.Otk_Izd = (S / P) * (st.Sred / t);
        if (i >= 2) {
            const double cnt = static_cast<double>(i) + 1;
            for (size_t k = 0; k < kThresholds.size(); ++k) {
                const ThresholdRule& rule = kThresholds[k];
                double& time = st.*rule.time;
                const double count = rule.corrected ? S : cnt;
                if (time == 0 && count / P >= rule.share) {
                    time = t - (t - tPrev) * Frac(count - rule.share * P);
                    st.ThresholdRecord[k] = static_cast<int>(i);
                }
            }
        }
        tPrev = t;
    }
    if (n > 0) {
        const double tLast = st.MasProbl.back().time;
        if (st.Sred > tLast && st.Otk_Izd == 0) st.Otk_Izd = (S / P) * (st.Sred / tLast);
    }
}

// ln N on ln t; undefined without two distinct positive times.
void LogLogRegression(AnalysisState& st) {
    st.Tst = FirstPositiveFailure(st.MasProbl);
    st.Sum_X = st.Sum_Y = st.Sum_X2 = st.Sum_XY = 0;
    size_t count = 0;
    ForEachLogLogPoint(st.MasProbl, [&](const XYPoint& p) {
        ++count;
        st.Sum_X += p.x;
        st.Sum_Y += p.y;
        st.Sum_X2 += p.x * p.x;
        st.Sum_XY += p.x * p.y;
    });
    bool twoDistinct = false;
    for (const Problems& p : st.MasProbl)
        if (p.time > 0 && p.time != st.MasProbl[static_cast<size_t>(st.Tst)].time) twoDistinct = true;
    const double md = static_cast<double>(count);
    const double den = md * st.Sum_X2 - st.Sum_X * st.Sum_X;
    if (twoDistinct && den != 0) {
        st.A_ln = (md * st.Sum_XY - st.Sum_X * st.Sum_Y) / den;
        st.B_ln = (st.Sum_Y - st.A_ln * st.Sum_X) / md;
    } else {
        st.A_ln = std::numeric_limits<double>::quiet_NaN();
        st.B_ln = std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace

void DeriveIndicators(AnalysisState& st) {
    RankCauses(st);
    RemapRecords(st);
    st.Kol_izw = static_cast<int>(st.MasProbl.size());
    sort_MinMax(st);
    ReduceFleet(st);
    ThresholdTimes(st);
    LogLogRegression(st);
}

} // namespace tovimo
