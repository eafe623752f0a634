#include "core/stats/criteria.h"

#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;

namespace {

// Three columns ending at 100, 200, 300 with 2, 3 and 1 failures.
AnalysisState SmallState() {
    AnalysisState st;
    for (double t : {50.0, 80.0, 120.0, 150.0, 190.0, 260.0})
        st.MasProbl.push_back({t, 1, "", ""});
    for (auto [t, n] : {std::pair{100.0, 2}, {200.0, 3}, {300.0, 1}}) {
        Hist_Rec c;
        c.time = t;
        c.Sum = n;
        st.Hist_Stol.push_back(c);
    }
    st.Kol_izw = 6;
    st.Izd_Prived = 50;
    st.Tzenz = 300;
    st.Sred = 2000;
    st.SKO = 300;
    return st;
}

} // namespace

TEST(Pirson, ThreeFormsFromOneExpectedCount) {
    auto st = SmallState();
    const double A = 1.2, B = 900, K = 1.1;
    Mod_Weib m;
    SizeModelArrays(m, 3);
    double r[3];
    for (int form = 0; form < 3; ++form)
        r[form] = Pirson(st, form, A, B, K, st.Sred, st.SKO, m);
    double e0 = 0, e1 = 0, e2 = 0, lower = 0, nak = 0;
    for (const auto& c : st.Hist_Stol) {
        const double fw = std::max(0.0, weibCDF2(A, B, lower, c.time));
        const double E = 50 * K * fw * (1 - CDF_Gauss(2000, 300, (lower + c.time) / 2));
        const double d = c.Sum - E;
        e0 += (d / E) * (d / E);
        e1 += d * d;
        e2 += (d * (1 - fw)) * (d * (1 - fw));
        nak += E;
        lower = c.time;
    }
    EXPECT_DOUBLE_EQ(r[0], e0);
    EXPECT_DOUBLE_EQ(r[1], e1);
    EXPECT_DOUBLE_EQ(r[2], e2);
    EXPECT_DOUBLE_EQ(m.Kol_Nakopl, nak);
}

TEST(Pirson, ColumnsBeyondTheHorizon) {
    auto st = SmallState();
    st.Tzenz = 250;
    Mod_Weib m;
    SizeModelArrays(m, 3);
    m.F_Weib[2] = -7;
    m.Kol_F_priv[2] = -8;
    m.F_norm[2] = -9;
    Pirson(st, 1, 1.2, 900, 1.1, st.Sred, st.SKO, m);
    EXPECT_EQ(m.F_Weib[2], -7);
    EXPECT_EQ(m.Kol_F_priv[2], -8);
    EXPECT_DOUBLE_EQ(m.F_norm[2], CDF_Gauss(2000, 300, 250));
    st.Tzenz = 50; // below the first edge
    EXPECT_EQ(Pirson(st, 1, 1.2, 900, 1.1, st.Sred, st.SKO, m), 0);
    EXPECT_EQ(m.Kol_Nakopl, 0);
}

TEST(Pirson, ObservationsBeyondTheHorizonDoNotCount) {
    AnalysisState st = SmallState();
    st.Tzenz = 250;
    Mod_Weib m;
    const double before = Pirson(st, 1, 1.0, 500, 1.0, st.Sred, st.SKO, m);
    st.Hist_Stol[2].Sum = 40;
    EXPECT_EQ(Pirson(st, 1, 1.0, 500, 1.0, st.Sred, st.SKO, m), before);
}

TEST(Smirnow, RanksAndHorizon) {
    auto st = SmallState();
    std::vector<double> phi;
    for (const auto& p : st.MasProbl)
        phi.push_back(CDF_Gauss(st.Sred, st.SKO, p.time));
    const double A = 1.3, B = 700, K = 1.2;
    double known = 0, sum2 = 0, t1 = 0;
    for (size_t i = 0; i < st.MasProbl.size(); ++i) {
        const double t = st.MasProbl[i].time;
        known += weibCDF2(A, B, t1, t) * (1 - phi[i]) * 50 * K;
        sum2 += (static_cast<double>(i + 1) - known) * (static_cast<double>(i + 1) - known);
        t1 = t;
    }
    EXPECT_DOUBLE_EQ(Smirnow(st, A, B, K, phi), std::sqrt(sum2) / 6);
    st.Tzenz = 10;
    EXPECT_EQ(Smirnow(st, A, B, K, phi), 0);
}

TEST(Kolmogor, StatisticAndVerdict) {
    auto st = SmallState();
    st.MasProbl[0].time = 0; // advances the rank, enters neither D
    double crt = 0;
    std::string s;
    const double lam = Kolmogor(st, 1.1, 1.2, 900, 2000, 300, crt, s);
    EXPECT_EQ(lam, crt);
    double f1 = 0, Fsum = 0, dp = 0, dm = 0;
    for (size_t i = 0; i < 6; ++i) {
        const double t = st.MasProbl[i].time;
        const double f2 = weibCDF(1.2, 900, t);
        Fsum += (f2 - f1) * (1 - CDF_Gauss(2000, 300, t));
        f1 = f2;
        const double Fx = Fsum * 50 * 1.1 / 6;
        if (t > 0) {
            dp = std::max(dp, (i + 1) / 6.0 - Fx);
            dm = std::max(dm, Fx - i / 6.0);
        }
    }
    const double dmax = dp > dm ? dp : dm;
    EXPECT_DOUBLE_EQ(lam, (6 * 6 * dmax + 1) / 6 / std::sqrt(6.0));
    EXPECT_EQ(s, lam < 1.3581 ? " <1.3581(0.05)" : " >1.3581(0.05)");
    // a model that explains nothing is rejected
    Kolmogor(st, 1e-9, 1.2, 900, 2000, 300, crt, s);
    EXPECT_EQ(s, " >1.3581(0.05)");
}

TEST(Sigmas, RunInDefaultAndLastFailure) {
    auto st = SmallState();
    Mod_Weib m;
    m.A = 1.4;
    m.B = 1500;
    m.K_powtor = 2;
    Sigmas(st, m, 0);
    EXPECT_DOUBLE_EQ(m.LamStart, WeibF(1.4, 1500, 200) * 1000 * 2);
    EXPECT_DOUBLE_EQ(m.Lam1000, WeibF(1.4, 1500, 260) * 1000 * 2); // last failure before 1000 h
    const double first = m.SKO_out;
    Sigmas(st, m, 0);
    EXPECT_EQ(m.SKO_out, first);
    st.MasProbl.push_back({1800, 1, "", ""});
    Sigmas(st, m, 300);
    EXPECT_DOUBLE_EQ(m.LamStart, WeibF(1.4, 1500, 300) * 1000 * 2);
    EXPECT_DOUBLE_EQ(m.Lam1000, WeibF(1.4, 1500, 1000) * 1000 * 2);
}

TEST(HistSko, MemoLineInBothSeparators) {
    auto st = SmallState();
    Mod_Weib m;
    m.A = 1;
    m.B = 1e12; // expects nothing: the spread is the observed counts alone
    m.K_powtor = 1;
    m.Sred = 2000;
    m.SKO = 300;
    double s = 0;
    const std::string dot = Hist_SKO(st, m, '.', &s);
    EXPECT_NEAR(s, std::sqrt(4.0 + 9 + 1) / 3, 1e-6);
    EXPECT_EQ(dot, "Доверительный 95% интервал частотной диаграммы " +
                       Format("= %6.4f,  СКО= %6.4f", {1.96 * s, s}, '.'));
    EXPECT_EQ(Format("= %6.4f,  СКО= %6.4f", {0.98, 0.5}, ','), "= 0,9800,  СКО= 0,5000");
    EXPECT_NE(Hist_SKO(st, m, ',').find("1,2"), std::string::npos);
}

TEST(GeneticObjective, ColumnsTotalsAndPenalty) {
    auto st = SmallState();
    Mod_Weib w;
    w.K_powtor = 1.1;
    ParamVector ao{};
    ao[1] = 900;
    ao[2] = 1.2;
    const double r = CelevFunction(st, ao, w);
    double d2 = 0, nak = 0, lower = 0;
    for (const auto& c : st.Hist_Stol) {
        const double E =
            50 * 1.1 * weibCDF2(1.2, 900, lower, c.time) * (1 - CDF_Gauss(2000, 300, (lower + c.time) / 2));
        d2 += (c.Sum - E) * (c.Sum - E);
        nak += E;
        lower = c.time;
    }
    EXPECT_DOUBLE_EQ(r, d2 + (6 - nak) * (6 - nak));
    EXPECT_DOUBLE_EQ(w.SKO_out, std::sqrt(d2) / 3);
    // Tzenz below the first column
    st.Tzenz = 10;
    EXPECT_EQ(CelevFunction(st, ao, w), 36);
    EXPECT_EQ(w.Kol_Nakopl, 0);
    EXPECT_EQ(w.SKO_out, 0);
    // a repeat factor beyond the top of the third range multiplies the result
    st.Tzenz = 300;
    const double base = Pirson_ZFGen(st, 1.2, 900, 5080, 2000, 300, w);
    const double twice = Pirson_ZFGen(st, 1.2, 900, 10160, 2000, 300, w);
    const double plain = [&] {
        AnalysisState s2 = st;
        s2.Izd_Prived = 100; // 10160 x 50 = 5080 x 100
        return Pirson_ZFGen(s2, 1.2, 900, 5080, 2000, 300, w);
    }();
    EXPECT_DOUBLE_EQ(twice, plain * 4);
    EXPECT_GT(base, 0);
    // the searched mean and sd come from Ao
    st.Sred_Opt = st.SKO_Opt = true;
    ao[3] = 1500;
    ao[4] = 200;
    EXPECT_DOUBLE_EQ(CelevFunction(st, ao, w), Pirson_ZFGen(st, 1.2, 900, 1.1, 1500, 200, w));
    st.Sred_Opt = false;
    EXPECT_DOUBLE_EQ(CelevFunction(st, ao, w), Pirson_ZFGen(st, 1.2, 900, 1.1, 2000, 1500, w));
}
