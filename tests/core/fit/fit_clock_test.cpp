#include "core/fit/fit_clock.h"

#include <gtest/gtest.h>

#include <chrono>

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

// The program's clock is the steady clock in seconds: a reading lies between
// two readings of std::chrono::steady_clock taken around it (a wall clock, or
// milliseconds for seconds, would fall outside).
TEST(SteadyFitClock, ReadsTheSteadyClockInSeconds) {
    using namespace std::chrono;
    SteadyFitClock c;
    const auto before = steady_clock::now();
    const double s = c.Seconds();
    const auto after = steady_clock::now();
    EXPECT_GE(s, duration<double>(before.time_since_epoch()).count());
    EXPECT_LE(s, duration<double>(after.time_since_epoch()).count());
}

} // namespace
} // namespace tovimo
