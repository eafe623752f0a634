// The three fits on a small simulated fleet with an injected clock.
#include "core/fit/fit_newton.h"
#include "core/fit/fit_smirnov.h"
#include "core/fit/fit_spiral.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/vector_math.h"
#include "core/text/number_format.h"
#include "tests/core/fit/fit_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <tuple>

namespace tovimo {
namespace {

enum class Fit { Spiral, Newton, Smirnov };

Mod_Weib& Slot(AnalysisState& st, Fit f) {
    return f == Fit::Spiral ? st.MPirsS : f == Fit::Newton ? st.MPirsN : st.MSmirn;
}

// Runs one fit with a clock advancing 2 ms per reading (a second for the Smirnov
// fit, which reads it only once per cycle and runs at least 10 seconds) and
// the elapsed time written as "T<seconds>".
void RunFit(test::FitCase& c, Fit f, double clockStep = 0) {
    StepClock clock(clockStep > 0 ? clockStep : f == Fit::Smirnov ? 1 : 0.002);
    FitCallbacks cb;
    cb.memo = [&](const std::string& line) { c.memo.push_back(line); };
    cb.elapsedText = [](double s) { return "T" + std::to_string(static_cast<int>(s)); };
    const char sep = c.form.decimalSeparator;
    const int criterion = c.form.RadioGroup1;
    switch (f) {
    case Fit::Spiral:
        SpirSp_Execute(c.st, {StrToFloat(c.form.Edit1, sep), criterion, sep}, clock, cb);
        break;
    case Fit::Newton:
        Podbor_Weib_Pirson(c.st, {StrToFloat(c.form.Edit6, sep), criterion, sep}, c.st.MPirsN.A,
                           c.st.MPirsN.B, clock, cb);
        break;
    case Fit::Smirnov:
        Podbor_Weib_Smirnow(c.st, {StrToFloat(c.form.Edit5, sep), criterion, sep}, c.st.MSmirn.A,
                            c.st.MSmirn.B, clock, cb);
        break;
    }
}

class EachFit : public ::testing::TestWithParam<Fit> {};

TEST_P(EachFit, IsReproducibleToTheLastBit) {
    auto a = test::FleetCase(80), b = test::FleetCase(80);
    RunFit(a, GetParam());
    RunFit(b, GetParam());
    const Mod_Weib &ma = Slot(a.st, GetParam()), &mb = Slot(b.st, GetParam());
    EXPECT_EQ(ma.A, mb.A);
    EXPECT_EQ(ma.B, mb.B);
    EXPECT_EQ(ma.K_powtor, mb.K_powtor);
    EXPECT_EQ(ma.evaluations, mb.evaluations);
    EXPECT_EQ(a.memo, b.memo);
    EXPECT_TRUE(ma.Executed);
}

TEST_P(EachFit, PublishedCriterionIsTheCriterionAtThePointAndBeatsTheStart) {
    auto c = test::FleetCase(80);
    RunFit(c, GetParam());
    const AnalysisState& st = c.st;
    const Mod_Weib& m = Slot(c.st, GetParam());
    double atPoint, atStart;
    if (GetParam() == Fit::Smirnov) {
        std::vector<double> phi;
        for (const Problems& p : st.MasProbl)
            phi.push_back(CDF_Gauss(st.Sred, st.SKO, p.time));
        atPoint = Smirnow(st, m.A, m.B, m.K_powtor, phi);
        atStart = Smirnow(st, 1, 2000, 1.1, phi);
    } else {
        Mod_Weib scratch;
        atPoint = Pirson(st, 1, m.A, m.B, m.K_powtor, st.Sred, st.SKO, scratch);
        atStart =
            Pirson(st, 1, 1, GetParam() == Fit::Spiral ? 1000 : 2000, m.K_powtor, st.Sred, st.SKO, scratch);
    }
    EXPECT_EQ(m.criterion, atPoint);
    EXPECT_LT(atPoint, atStart);
    EXPECT_GT(m.evaluations, 100);
    EXPECT_GT(m.seconds, 0);
}

TEST_P(EachFit, FinalArraysCoverEveryColumn) {
    auto c = test::FleetCase(80);
    c.form.LabeledEdit2 = "1500"; // Tzenz below the last columns: the arrays still cover them all
    c.st.Tzenz = 1500;
    RunFit(c, GetParam());
    const AnalysisState& st = c.st;
    const Mod_Weib& m = Slot(c.st, GetParam());
    ASSERT_EQ(m.F_Weib.size(), st.Hist_Stol.size());
    ASSERT_EQ(m.F_norm.size(), st.Hist_Stol.size());
    double t1 = 0;
    for (size_t i = 0; i < st.Hist_Stol.size(); ++i) {
        const double t2 = st.Hist_Stol[i].time;
        EXPECT_DOUBLE_EQ(m.F_Weib[i],
                         std::max(weibCDF2(m.A, m.B, t1, t2), GetParam() == Fit::Smirnov ? 0.0 : -1.0));
        EXPECT_EQ(m.F_norm[i], CDF_Gauss(st.Sred, st.SKO, (t1 + t2) / 2));
        EXPECT_DOUBLE_EQ(m.Kol_F_priv[i], st.Izd_Prived * m.K_powtor * m.F_Weib[i] * (1 - m.F_norm[i]));
        t1 = t2;
    }
    Mod_Weib again = m;
    Sigmas(st, again, st.T_Prirab);
    EXPECT_EQ(again.SKO_out, m.SKO_out);
    EXPECT_EQ(m.Sred, st.Sred);
    EXPECT_EQ(m.SKO, st.SKO);
}

TEST_P(EachFit, VectorPathGivesTheFiguresOfTheScalarPath) {
    // With the injected clock a fit must publish the same figures on the AVX2
    // path as on the scalar path: a step search at its end compares values
    // that differ in their last bits, so any difference between the paths'
    // exponentials would show here.
    if (!ProcessorHasAvx2Fma()) GTEST_SKIP() << "the processor has no AVX2 and FMA";
    const VectorPath before = ActiveVectorPath();
    for (double failures : {80.0, 400.0}) {
        auto scalar = test::FleetCase(failures), vector = test::FleetCase(failures);
        SelectVectorPath(VectorPath::Scalar);
        RunFit(scalar, GetParam());
        SelectVectorPath(VectorPath::Avx2Fma);
        RunFit(vector, GetParam());
        const Mod_Weib &s = Slot(scalar.st, GetParam()), &v = Slot(vector.st, GetParam());
        for (const auto& [name, a, b] :
             {std::tuple{"A", s.A, v.A}, std::tuple{"B", s.B, v.B}, std::tuple{"K", s.K_powtor, v.K_powtor},
              std::tuple{"criterion", s.criterion, v.criterion}, std::tuple{"SKO_out", s.SKO_out, v.SKO_out},
              std::tuple{"Lam1000", s.Lam1000, v.Lam1000}})
            EXPECT_NEAR(b, a, 1e-12 * std::fabs(a)) << name << ", " << failures << " failures";
        EXPECT_EQ(s.evaluations, v.evaluations);
    }
    SelectVectorPath(before);
}

INSTANTIATE_TEST_SUITE_P(Fits, EachFit, ::testing::Values(Fit::Spiral, Fit::Newton, Fit::Smirnov));

TEST(FitMemo, LinesWordForWordUnderBothSeparators) {
    struct Case {
        Fit fit;
        const char* done;
        bool stepLine;
    } cases[] = {{Fit::Spiral, kSpiralDone, true},
                 {Fit::Newton, kNewtonDone, true},
                 {Fit::Smirnov, kSmirnovDone, false}};
    for (char sep : {'.', ','}) {
        for (const Case& k : cases) {
            auto c = test::FleetCase(40, sep);
            RunFit(c, k.fit);
            ASSERT_EQ(c.memo.size(), k.stepLine ? 2u : 1u);
            const int secs = static_cast<int>(Slot(c.st, k.fit).seconds);
            EXPECT_EQ(c.memo[0], std::string(k.done) + "T" + std::to_string(secs) + "ч/мин/с");
            if (!k.stepLine) continue;
            const std::string s = sep == ',' ? "," : "\\.";
            const std::regex step("Шаг=-?\\d" + s + "\\d{9}E[+-]\\d{3}  Sred= *\\d+" + s +
                                  "\\d{3} SKO= *\\d+" + s + "\\d{3}");
            EXPECT_TRUE(std::regex_match(c.memo[1], step)) << c.memo[1];
            EXPECT_NE(c.memo[1].find(Format(sep, "Sred={:10.3f} SKO={:10.3f}", c.st.Sred, c.st.SKO)),
                      std::string::npos);
        }
    }
}

TEST(StepLine, UsesTheExponentRule) {
    EXPECT_EQ(StepLine(-3.0517578125e-6, 3000, 700, '.'),
              "Шаг=-3.051757813E-006  Sred=  3000.000 SKO=   700.000");
    EXPECT_EQ(StepLine(0.25, 1234.5678, 0.5, ','), "Шаг=2,500000000E-001  Sred=  1234,568 SKO=     0,500");
}

TEST(NewtonFit, RepeatCoefficientAndWarrantyGlobals) {
    auto c = test::FleetCase(80);
    const double sred = c.st.Sred, sko = c.st.SKO;
    RunFit(c, Fit::Newton);
    const double n = static_cast<double>(c.st.MasProbl.size());
    EXPECT_DOUBLE_EQ(c.st.MPirsN.K_powtor, (n - 1) / c.st.Izd_Prived * 8000 / c.st.MasProbl.back().time);
    EXPECT_EQ(c.st.Sred, sred); // not fitted: the globals stay
    EXPECT_EQ(c.st.SKO, sko);

    auto f = test::FleetCase(80);
    f.st.Sred_Opt = true;
    RunFit(f, Fit::Newton);
    EXPECT_NE(f.st.Sred, sred); // the fitted mean replaces the global
    EXPECT_EQ(f.st.MPirsN.Sred, f.st.Sred);
    EXPECT_EQ(f.st.SKO, sko);
    EXPECT_GT(f.st.Sred, 100);
    EXPECT_LE(f.st.Sred, 6000);
}

TEST(SpiralFit, RepeatCoefficientComesFromAFittedSmirnovModel) {
    auto c = test::FleetCase(80);
    RunFit(c, Fit::Spiral);
    EXPECT_DOUBLE_EQ(c.st.MPirsS.K_powtor, (static_cast<double>(c.st.MasProbl.size()) - 1) / 11);
    c.st.MSmirn.Executed = true;
    c.st.MSmirn.K_powtor = 1.75;
    RunFit(c, Fit::Spiral);
    EXPECT_EQ(c.st.MPirsS.K_powtor, 1.75);
}

TEST(SpiralFit, FittedWarrantySdReplacesTheGlobal) {
    auto c = test::FleetCase(80);
    c.st.SKO_Opt = true;
    const double sred = c.st.Sred;
    RunFit(c, Fit::Spiral);
    EXPECT_EQ(c.st.Sred, sred);
    EXPECT_EQ(c.st.MPirsS.SKO, c.st.SKO);
    EXPECT_GE(c.st.SKO, 80 - 1);
    EXPECT_LE(c.st.SKO, 900 + 1);
}

TEST(SmirnovFit, KeepsTheWarrantyLawAndPublishesItsCoefficient) {
    auto c = test::FleetCase(80);
    c.st.Sred = 2500; // as left by an earlier fit of the same run
    RunFit(c, Fit::Smirnov);
    EXPECT_EQ(c.st.Sred, 2500);
    EXPECT_EQ(c.st.MSmirn.Sred, 2500);
    EXPECT_GT(c.st.MSmirn.K_powtor, 1.01);
    EXPECT_LE(c.st.MSmirn.K_powtor, 30);
    EXPECT_GE(c.st.ts, 10u);
}

TEST(FitFactor, NotANumberIsAConversionError) {
    auto c = test::FleetCase(40);
    c.form.Edit6 = "1,00025";
    EXPECT_THROW(RunFit(c, Fit::Newton), ConvertError);
}

} // namespace
} // namespace tovimo
