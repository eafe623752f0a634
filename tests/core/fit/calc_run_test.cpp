#include "core/fit/calc_run.h"
#include "core/fit/evaluation_timing.h"
#include "core/fit/fit_newton.h"
#include "core/fit/fit_smirnov.h"
#include "core/fit/fit_spiral.h"
#include "core/state/run_inputs.h"
#include "core/text/number_format.h"
#include "tests/core/fit/fit_fixture.h"

#include <gtest/gtest.h>

namespace tovimo {
namespace {

struct MainRun {
    test::FitCase c;
    std::vector<std::string> messages, memo;
    bool ran = false;

    explicit MainRun(test::FitCase fc) : c(std::move(fc)) {}
    void go(double clockStep = 1) {
        StepClock clock(clockStep);
        RunCallbacks cb;
        cb.message = [&](const std::string& m) { messages.push_back(m); };
        // the warnings on the models follow the fits' lines; they are tested on their own
        cb.memo = [&](const std::string& l) {
            if (l.rfind("Предупреждение (", 0) != 0) memo.push_back(l);
        };
        ran = RunCalculation(c.st, c.form, clock, cb);
    }
};

TEST(RunCalculation, AllThreeModelsInOrderWithTheirSpreadLines) {
    MainRun r(test::FleetCase(60));
    r.c.form.BoxNewton = r.c.form.BoxSmirnow = true;
    r.go(2); // a coarse clock: each fit still ends on its time rule, in a few cycles
    ASSERT_TRUE(r.ran);
    ASSERT_EQ(r.memo.size(), 8u);
    EXPECT_EQ(r.memo[0].rfind(kSpiralDone, 0), 0u);
    EXPECT_EQ(r.memo[1].rfind("Шаг=", 0), 0u);
    EXPECT_EQ(r.memo[2].rfind("Доверительный 95% интервал частотной диаграммы = ", 0), 0u);
    EXPECT_EQ(r.memo[3].rfind(kNewtonDone, 0), 0u);
    EXPECT_EQ(r.memo[5].rfind("Доверительный 95%", 0), 0u);
    EXPECT_EQ(r.memo[6].rfind(kSmirnovDone, 0), 0u);
    EXPECT_EQ(r.memo[7].rfind("Доверительный 95%", 0), 0u);
    // the memo of the form gets the same lines after its first one
    ASSERT_EQ(r.c.form.Memo2.size(), 9u + r.c.st.Warnings.size());
    EXPECT_EQ(std::vector<std::string>(r.c.form.Memo2.begin() + 1, r.c.form.Memo2.begin() + 9), r.memo);
    EXPECT_TRUE(r.c.st.MPirsS.Executed && r.c.st.MPirsN.Executed && r.c.st.MSmirn.Executed);
    EXPECT_TRUE(r.messages.empty());
}

// A stop flag that is asked but never set changes nothing: the same clock
// readings give the same models to the last bit.
TEST(RunCalculationFits, AnUnsetStopFlagLeavesEveryModelAsItWas) {
    auto run = [](bool withFlag, std::vector<RunFit>& started) {
        auto c = test::FleetCase(30);
        c.form.BoxNewton = c.form.BoxSmirnow = true;
        StepClock clock(2); // the time rules end each search after a few cycles
        RunCallbacks cb;
        int asked = 0;
        if (withFlag) cb.stop = [&] { return ++asked < 0; };
        cb.fitStarted = [&](RunFit f) { started.push_back(f); };
        const RunInputs in = ReadRunInputs(c.form);
        const bool ready = PrepareCalculation(c.st, in, nullptr);
        EXPECT_TRUE(ready);
        EXPECT_TRUE(ready && RunCalculationFits(c.st, c.form, in, clock, cb));
        if (withFlag) {
            EXPECT_GT(asked, 3);
        }
        return std::make_pair(c.st, clock.readings());
    };
    std::vector<RunFit> plain, flagged;
    const auto [a, readingsA] = run(false, plain);
    const auto [b, readingsB] = run(true, flagged);
    EXPECT_EQ(readingsA, readingsB);
    for (auto slot : {&AnalysisState::MPirsS, &AnalysisState::MPirsN, &AnalysisState::MSmirn}) {
        EXPECT_EQ((a.*slot).A, (b.*slot).A);
        EXPECT_EQ((a.*slot).B, (b.*slot).B);
        EXPECT_EQ((a.*slot).K_powtor, (b.*slot).K_powtor);
        EXPECT_EQ((a.*slot).Kol_F_priv, (b.*slot).Kol_F_priv);
        EXPECT_EQ((a.*slot).Kol_Nakopl, (b.*slot).Kol_Nakopl);
    }
    const std::vector<RunFit> order{RunFit::Spiral, RunFit::Newton, RunFit::Smirnov};
    EXPECT_EQ(plain, order);
    EXPECT_EQ(flagged, order);
}

// Set during a fit, the flag ends it after its current cycle, and the fits
// after it do not start.
TEST(RunCalculationFits, AStopFlagEndsTheRunAfterOneCycle) {
    struct Case {
        bool spiral, newton, smirnov;
        RunFit stoppedIn;
    };
    for (const Case k : {Case{true, true, true, RunFit::Spiral}, Case{false, true, true, RunFit::Newton},
                         Case{false, false, true, RunFit::Smirnov}}) {
        auto c = test::FleetCase(60);
        c.form.SpirSpusk = k.spiral;
        c.form.BoxNewton = k.newton;
        c.form.BoxSmirnow = k.smirnov;
        StepClock clock(0.001); // a slow clock: unstopped, each search would take thousands of cycles
        bool stop = false;
        std::vector<RunFit> started;
        RunCallbacks cb;
        cb.stop = [&] { return stop; };
        cb.fitStarted = [&](RunFit f) {
            started.push_back(f);
            stop = true; // the user closes the window as the first fit begins
        };
        const RunInputs in = ReadRunInputs(c.form);
        ASSERT_TRUE(PrepareCalculation(c.st, in, nullptr));
        EXPECT_FALSE(RunCalculationFits(c.st, c.form, in, clock, cb));
        EXPECT_EQ(started, std::vector<RunFit>{k.stoppedIn});
        EXPECT_LT(clock.readings(), 20) << RunFitName(k.stoppedIn);
        // later fits were not run
        if (k.stoppedIn != RunFit::Newton) {
            EXPECT_FALSE(c.st.MPirsN.Executed);
        }
        if (k.stoppedIn != RunFit::Smirnov) {
            EXPECT_FALSE(c.st.MSmirn.Executed);
        }
    }
}

TEST(RunCalculation, NoModelTickedRebuildsTheHistogramAndReaccumulatesEarlierModels) {
    MainRun r(test::FleetCase(60));
    r.go(0.01); // model 1.1 only
    ASSERT_TRUE(r.ran);
    const Mod_Weib before = r.c.st.MPirsS;
    r.c.st.Hist_Stol.clear();
    r.c.form.SpirSpusk = false;
    r.memo.clear();
    r.go();
    ASSERT_TRUE(r.ran);
    EXPECT_FALSE(r.c.st.Hist_Stol.empty());
    EXPECT_TRUE(r.memo.empty());
    EXPECT_EQ(r.c.st.MPirsS.A, before.A);
    double sum = 0;
    for (size_t i = 0; i < r.c.st.Hist_Stol.size(); ++i)
        if (r.c.st.Hist_Stol[i].Sum > 0) sum += before.Kol_F_priv[i];
    EXPECT_DOUBLE_EQ(r.c.st.MPirsS.Kol_Nakopl, sum);
}

TEST(RunCalculation, BadNumberStopsAtItsEditKeepingEarlierValues) {
    MainRun r(test::FleetCase(40));
    r.c.st.Hist_Stol.clear();
    r.c.form.meSred = "2750";
    r.c.form.meSKO = "7OO";
    const double tzenz = r.c.st.Tzenz;
    try {
        r.go();
        FAIL() << "no conversion error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'7OO' is not a valid floating point value");
    }
    EXPECT_EQ(r.c.st.Sred, 2750);
    EXPECT_EQ(r.c.st.Tzenz, tzenz);
    EXPECT_TRUE(r.c.st.Hist_Stol.empty());
    EXPECT_FALSE(r.c.st.MPirsS.Executed);
}

TEST(RunCalculation, RefusesInputsThatCannotBeComputed) {
    struct Case {
        const char* what;
        std::function<void(test::FitCase&)> spoil;
        std::string message;
    } cases[] = {
        {"sd zero", [](test::FitCase& c) { c.form.meSKO = "0"; }, kMsgSkoNotPositive},
        {"sd negative", [](test::FitCase& c) { c.form.meSKO = "-5"; }, kMsgSkoNotPositive},
        {"T fin zero", [](test::FitCase& c) { c.form.LabeledEdit2 = "0"; }, kMsgTfinNotPositive},
        {"no records", [](test::FitCase& c) { c.st.MasProbl.clear(); }, kMsgNoRecords},
        {"factor 1.1 zero", [](test::FitCase& c) { c.form.Edit1 = "0"; },
         FactorMessage("Коэф-т уменьшения шага модели 1.1")},
        {"factor 1.2 negative",
         [](test::FitCase& c) {
             c.form.BoxNewton = true;
             c.form.Edit6 = "-1";
         },
         FactorMessage("Коэф-т уменьшения шага модели 1.2")},
        {"factor 2 not a number",
         [](test::FitCase& c) {
             c.form.BoxSmirnow = true;
             c.form.Edit5 = "abc";
         },
         FactorMessage("Коэф-т уменьшения шага модели 2")},
    };
    for (auto& k : cases) {
        MainRun r(test::FleetCase(40));
        k.spoil(r.c);
        r.c.st.Hist_Stol.clear();
        r.go();
        EXPECT_FALSE(r.ran) << k.what;
        EXPECT_EQ(r.messages, std::vector<std::string>{k.message}) << k.what;
        EXPECT_TRUE(r.c.st.Hist_Stol.empty()) << k.what;
        EXPECT_FALSE(r.c.st.MPirsS.Executed || r.c.st.MPirsN.Executed || r.c.st.MSmirn.Executed) << k.what;
        EXPECT_EQ(r.c.form.Memo2.size(), 1u) << k.what;
    }
}

TEST(RunCalculation, FactorOfAnUntickedModelIsNotRead) {
    MainRun r(test::FleetCase(40));
    r.c.form.SpirSpusk = false;
    r.c.form.Edit1 = "0";
    r.c.form.Edit5 = "x";
    r.go();
    EXPECT_TRUE(r.ran);
    EXPECT_TRUE(r.messages.empty());
}

TEST(RunCalculation, WithoutPathOrDataNothingHappens) {
    MainRun r(test::FleetCase(40));
    r.c.form.FilePath.clear();
    r.go();
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.messages, std::vector<std::string>{kMsgNoPath});

    MainRun u(test::FleetCase(40));
    u.c.st.uk = false;
    u.c.st.Hist_Stol.clear();
    u.go();
    EXPECT_FALSE(u.ran);
    EXPECT_TRUE(u.messages.empty());
    EXPECT_TRUE(u.c.st.Hist_Stol.empty());
}

TEST(RunCalculation, CommaSeparatorInTheEdits) {
    MainRun r(test::FleetCase(40, ','));
    r.c.form.LabeledEdit3 = "250,5";
    r.c.form.Edit1 = "1,00025";
    r.go(0.01);
    EXPECT_TRUE(r.ran);
    EXPECT_EQ(r.c.st.T_Prirab, 250.5);
    EXPECT_NE(r.memo[1].find(",000 SKO="), std::string::npos) << r.memo[1];
}

} // namespace
} // namespace tovimo

namespace tovimo {
namespace {

TEST(TimingTest, ReadsTheClockAroundTheLoopAndNamesTheTime) {
    StepClock clock(0.75);
    EXPECT_EQ(Button1Click(clock, 1000), 0.75);
    EXPECT_EQ(clock.readings(), 2);
    SteadyFitClock real;
    EXPECT_GE(Button1Click(real, 100000), 0);
    // under a second shows as zero hours, minutes and seconds
    EXPECT_EQ(EvaluationTimingText(FormatElapsedDefault(0.75)), "Время расчета 100 млн 0:00:00");
}

} // namespace
} // namespace tovimo
