#include "core/stats/indicators.h"

#include "core/stats/distributions.h"
#include "core/stats/histogram.h"
#include "core/stats/log_log.h"
#include "core/text/number_format.h"
#include "core/text/text_codec.h"

#include <cmath>
#include <limits>

namespace tovimo {

double Frac(double x) {
    return x - std::trunc(x);
}

void DeriveIndicators(AnalysisState& st, MainForm& form) {
    const char sep = form.decimalSeparator;
    const int np = st.NPrich;
    const size_t other = static_cast<size_t>(np) + 1;

    // 1. Rank the causes, largest count first, ties in file order.
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

    // 2. Re-map the records to the ranked table; the last match wins.
    std::vector<std::string> lowerNames(other);
    for (int k = 1; k <= np; ++k)
        lowerNames[static_cast<size_t>(k)] = LowerCase(st.Vidy_otkazov[static_cast<size_t>(k)].Nazv_Prich);
    for (Problems& p : st.MasProbl) {
        const std::string lowerPri = LowerCase(p.Pri);
        for (int k = 1; k <= np; ++k) {
            const std::string& name = lowerNames[static_cast<size_t>(k)];
            if (!name.empty() && lowerPri.find(name) != std::string::npos) p.chey = k;
        }
    }

    // 3-5.
    st.Kol_izw = static_cast<int>(st.MasProbl.size());
    sort_MinMax(st);
    if (st.Kol_izw <= st.KolOtk)
        st.Popravka_Unknow = static_cast<double>(st.Kol_izw) / st.KolOtk;
    else
        st.Popravka_Unknow = 1;
    st.Izd_Prived = st.Kol_Izd_All * st.Popravka_Unknow;

    const size_t n = st.MasProbl.size();
    // 6.
    form.LabeledEdit2 = n > 0 ? FloatToStr(st.MasProbl.back().time, sep) : std::string();

    // 7. The record grid holds the header and exactly the loaded records.
    form.Mass_List_widths = {65, 85, 200, 1010};
    form.Chart2_Series1.clear();
    form.Chart2_Series2.clear();
    form.Mass_List.assign(n + 1, {});
    form.Mass_List[0] = {" № отказа", "Наработка, ч", "Источник отказа", "Описание отказа"};

    // 8.
    st.TL90expl = st.TL80expl = st.T50expl = st.t50zen = 0;
    double S = 0, tPrev = 0;
    const double P = st.Izd_Prived;

    // 9.
    for (size_t i = 0; i < n; ++i) {
        const Problems& rec = st.MasProbl[i];
        const double t = rec.time;
        const std::string causeName = rec.chey >= 0 && static_cast<size_t>(rec.chey) < st.Vidy_otkazov.size()
                                          ? st.Vidy_otkazov[static_cast<size_t>(rec.chey)].Nazv_Prich
                                          : std::string();
        auto& row = form.Mass_List[i + 1];
        row = {std::to_string(i + 1), FloatToStr(t, sep), causeName, rec.komment};

        S += 1 / (1 - CDF_Gauss(st.Sred, st.SKO, t));
        if (t >= st.Sred && st.Otk_Izd == 0) st.Otk_Izd = (S / P) * (st.Sred / t);
        if (i >= 2) {
            const double cnt = static_cast<double>(i) + 1;
            if (st.TL90expl == 0 && S / P >= 0.1) {
                st.TL90expl = t - (t - tPrev) * Frac(S - 0.1 * P);
                row[2] = causeName + ", отказов 10% от парка";
            }
            if (st.TL80expl == 0 && S / P >= 0.2) {
                st.TL80expl = t - (t - tPrev) * Frac(S - 0.2 * P);
                row[2] = causeName + ", отказов 20% от парка";
            }
            if (st.T50expl == 0 && cnt / P >= 0.5) {
                st.T50expl = t - (t - tPrev) * Frac(cnt - 0.5 * P);
                row[2] = causeName + ", отказов 50% от наблюдаемого парка";
            }
            if (st.t50zen == 0 && S / P >= 0.5) {
                st.t50zen = t - (t - tPrev) * Frac(S - 0.5 * P);
                row[2] = causeName + ", отказов 50% от парка с учетом цензурирования";
            }
        }
        tPrev = t;
    }

    // 10.
    if (n > 0) {
        const double tLast = st.MasProbl.back().time;
        if (st.Sred > tLast && st.Otk_Izd == 0) st.Otk_Izd = (S / P) * (st.Sred / tLast);
    }

    // 11. Regression of ln N on ln t; undefined without two distinct positive times.
    st.Tst = FirstPositiveFailure(st.MasProbl);
    st.Sum_X = st.Sum_Y = st.Sum_X2 = st.Sum_XY = 0;
    const std::vector<XYPoint> points = LogLogPoints(st.MasProbl);
    for (const XYPoint& p : points) {
        st.Sum_X += p.x;
        st.Sum_Y += p.y;
        st.Sum_X2 += p.x * p.x;
        st.Sum_XY += p.x * p.y;
        form.Chart2_Series1.push_back({p.x, p.y, 0x008000});
    }
    bool twoDistinct = false;
    for (const Problems& p : st.MasProbl)
        if (p.time > 0 && p.time != st.MasProbl[static_cast<size_t>(st.Tst)].time) twoDistinct = true;
    const double md = static_cast<double>(points.size());
    const double den = md * st.Sum_X2 - st.Sum_X * st.Sum_X;
    if (twoDistinct && den != 0) {
        st.A_ln = (md * st.Sum_XY - st.Sum_X * st.Sum_Y) / den;
        st.B_ln = (st.Sum_Y - st.A_ln * st.Sum_X) / md;
    } else {
        st.A_ln = std::numeric_limits<double>::quiet_NaN();
        st.B_ln = std::numeric_limits<double>::quiet_NaN();
    }

    // 12.
    if (st.Tst >= 0 && std::isfinite(st.A_ln) && std::isfinite(st.B_ln)) {
        for (const XYPoint& p : LogLogLine(st.A_ln, st.B_ln, st.MasProbl[static_cast<size_t>(st.Tst)].time,
                                           st.MasProbl.back().time))
            form.Chart2_Series2.push_back({p.x, p.y, 0xFF0000});
    }
}

} // namespace tovimo
