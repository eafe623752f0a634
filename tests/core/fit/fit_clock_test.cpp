#include "core/fit/fit_clock.h"

#include <gtest/gtest.h>

namespace tovimo {
namespace {

TEST(SplitElapsed, GivesTimeOfDayParts) {
    struct Case {
        double seconds;
        unsigned th, tm, ts, tms;
    } cases[] = {
        {0, 0, 0, 0, 0},
        {0.9999, 0, 0, 0, 999},
        {2.5, 0, 0, 2, 500},
        {59.999, 0, 0, 59, 999},
        {61.25, 0, 1, 1, 250},
        {3725.125, 1, 2, 5, 125},
        {86401.5, 0, 0, 1, 500}, // a day wraps like a time
                                 // of day
        {-3, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const ElapsedParts p = SplitElapsed(c.seconds);
        EXPECT_EQ(p.th, c.th) << c.seconds;
        EXPECT_EQ(p.tm, c.tm) << c.seconds;
        EXPECT_EQ(p.ts, c.ts) << c.seconds;
        EXPECT_EQ(p.tms, c.tms) << c.seconds;
    }
}

TEST(SplitElapsed, StoresDtAndPartsInTheState) {
    AnalysisState st;
    StoreElapsed(st, 72.5);
    EXPECT_EQ(st.dT, 72.5);
    EXPECT_EQ(st.tm, 1u);
    EXPECT_EQ(st.ts, 12u);
    EXPECT_EQ(st.tms, 500u);
}

TEST(StepClock, AdvancesByItsStepPerReading) {
    StepClock c(0.25, 10);
    EXPECT_EQ(c.Seconds(), 10);
    EXPECT_EQ(c.Seconds(), 10.25);
    EXPECT_EQ(c.Seconds(), 10.5);
    EXPECT_EQ(c.readings(), 3);
}

TEST(SteadyFitClock, NeverGoesBack) {
    SteadyFitClock c;
    const double a = c.Seconds();
    EXPECT_GE(c.Seconds(), a);
}

} // namespace
} // namespace tovimo
