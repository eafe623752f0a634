#include "core/stats/criteria.h"

#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

// An exponential law with a half-life of 100 h puts 1/2, 1/4 and 1/8 of the
// fleet into the three columns; a fleet of 8 then expects 4, 2 and 1
// failures against the observed 2, 3 and 1. The tolerance covers the floor
// of CDF_Gauss (1e-12) that stands in for "nobody has left warranty yet".
TEST(Pirson, ThreeFormsOnAHandComputedCase) {
    auto st = SmallState();
    st.Izd_Prived = 8;
    const double A = 1, B = 100 / std::log(2.0), K = 1;
    const double Mu = 1e6, Sig = 1; // warranty ends long after the last column
    Mod_Weib m;
    // (d/E)^2: 1/4 + 1/4 + 0; d^2: 4 + 1 + 0; (d (1 - share))^2: 1 + 9/16 + 0
    EXPECT_NEAR(Pirson(st, 0, A, B, K, Mu, Sig, m), 0.5, 1e-9);
    EXPECT_NEAR(Pirson(st, 1, A, B, K, Mu, Sig, m), 5, 1e-9);
    EXPECT_NEAR(Pirson(st, 2, A, B, K, Mu, Sig, m), 1.5625, 1e-9);
    EXPECT_NEAR(m.Kol_Nakopl, 7, 1e-9);
    const double shares[] = {0.5, 0.25, 0.125}, expected[] = {4, 2, 1};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(m.F_Weib[i], shares[i], 1e-12) << i;
        EXPECT_NEAR(m.Kol_F_priv[i], expected[i], 1e-9) << i;
    }
}

// Censoring is taken at the middle of each column: with the warranty end at
// 150 h and a tiny spread, the first column (middle 50 h) keeps the whole
// fleet, the second (middle 150 h) half of it, the third (middle 250 h) none.
TEST(Pirson, CensoringAtTheMiddleOfEachColumn) {
    auto st = SmallState();
    st.Izd_Prived = 8;
    Mod_Weib m;
    // expected 4, 1 and 0 against 2, 3 and 1 failures: d^2 = 4 + 4 + 1
    EXPECT_NEAR(Pirson(st, 1, 1, 100 / std::log(2.0), 1, 150, 1e-3, m), 9, 1e-9);
    EXPECT_NEAR(m.Kol_Nakopl, 5, 1e-9);
    EXPECT_EQ(m.F_norm[0], 1e-12);
    EXPECT_EQ(m.F_norm[1], 0.5);
    EXPECT_EQ(m.F_norm[2], 1);
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

// A law that has failed the whole fleet before the first record (F = 1 from
// there on) makes the model's share of failures at every record the constant
// c = Izd_Prived * K / Kol_izw. Then D+ = 1 - c (at the last record) and
// D- = c (at the first), and lambda = (6 n Dmax + 1) / (6 sqrt(n)); the
// first two rows sit on either side of the threshold 1.3581 (c = 0.5267).
TEST(Kolmogor, StatisticAndVerdict) {
    struct Case {
        const char* name;
        double c;
        bool zeroTimeFirst;
        double lambda;
        const char* verdict;
    } cases[] = {
        // (36 * 0.52 + 1) / (6 sqrt 6)
        {"just below the threshold", 0.52, false, 1.3417760479912297, " <1.3581(0.05)"},
        // (36 * 0.53 + 1) / (6 sqrt 6)
        {"just above the threshold", 0.53, false, 1.3662709454190618, " >1.3581(0.05)"},
        // a record without time advances the rank and enters neither D:
        // D- = c - 1/6 at the second record, D+ = 1 - c = 0.47 wins
        {"record without time", 0.53, true, 1.2193015608520708, " <1.3581(0.05)"},
        // a model that expects no failures: D+ = 1, (36 + 1) / (6 sqrt 6)
        {"model that explains nothing", 0, false, 2.5175311245271557, " >1.3581(0.05)"},
    };
    for (const Case& c : cases) {
        auto st = SmallState();
        st.Izd_Prived = 6;
        if (c.zeroTimeFirst) st.MasProbl[0].time = 0;
        double crt = 0;
        std::string s;
        // B = 1 h: F(t) is exactly 1 from 50 h; the warranty ends far later
        const double lam = Kolmogor(st, c.c, 1, 1, 1e6, 1, crt, s);
        EXPECT_NEAR(lam, c.lambda, 1e-9) << c.name;
        EXPECT_EQ(crt, lam) << c.name;
        EXPECT_EQ(s, c.verdict) << c.name;
    }
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
                       Format('.', "= {:6.4f},  СКО= {:6.4f}", 1.96 * s, s));
    EXPECT_EQ(Format(',', "= {:6.4f},  СКО= {:6.4f}", 0.98, 0.5), "= 0,9800,  СКО= 0,5000");
    EXPECT_NE(Hist_SKO(st, m, ',').find("1,2"), std::string::npos);
    // a model whose figures are not finite, and a histogram without columns:
    // dashes, not "NAN"
    const std::string dashes = "Доверительный 95% интервал частотной диаграммы = —,  СКО= —";
    m.K_powtor = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Hist_SKO(st, m, ','), dashes);
    m.K_powtor = 1;
    st.Hist_Stol.clear();
    EXPECT_EQ(Hist_SKO(st, m, '.'), dashes);
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
