// The path rules of the three step searches, on criteria simple enough to
// follow every step by hand.
#include "core/fit/fit_newton.h"
#include "core/fit/fit_smirnov.h"
#include "core/fit/fit_spiral.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tovimo {
namespace {

// Records every point a search evaluates.
struct Recorder {
    std::function<double(const ParamVector&)> f;
    std::vector<ParamVector> points;
    SearchCriterion criterion() {
        return [this](const ParamVector& p) {
            points.push_back(p);
            return f(p);
        };
    }
};

double Bowl(const ParamVector& p, const ParamVector& at) {
    return std::pow((p[1] - at[1]) / 100, 2) + std::pow((p[2] - at[2]) / 0.01, 2) + std::pow(p[3] - at[3], 2);
}

// The fits' own rows, the warranty law not searched.
SearchVectors NewtonVectors() {
    return SetupSearch(false, false, kNewtonRows);
}
SearchVectors SpiralVectors() {
    return SetupSearch(false, false, kSpiralRows);
}
SearchVectors SmirnovVectors() {
    return SetupSearch(true, false, kSmirnovRows);
}

TEST(NewtonSearch, StartedAtItsOptimumOnlyShortensTheSteps) {
    AnalysisState st;
    SearchVectors v = NewtonVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(0.001); // the seconds stay at 0: the factor never grows
    NewtonSearch(st, v, 2, clock.Seconds(), r.criterion(), clock);
    EXPECT_EQ(v.A_s, start);
    // 17 halvings bring the shape step below 1e-8 (the scale needs 15); one trial
    // step per parameter and one evaluation of the published point per cycle
    EXPECT_EQ(r.points.size(), 1u + 17 * 3);
    EXPECT_EQ(v.h_s[2], -0.001 / 131072);
    EXPECT_EQ(v.h_s[1], -0.25 / 131072);
}

TEST(NewtonSearch, LowerBoundCountsAsOutsideUpperAsInside) {
    // exact binary steps so that the bounds are met exactly
    auto vectors = [] {
        SearchVectors v;
        v.Np = 2;
        v.A_s = {0, 100, 1, 0, 0};
        v.A_min = {0, 10, 0.5, 0, 0};
        v.A_max = {0, 1000, 2, 0, 0};
        v.h_s = {0, 1, 0.125, 0, 0};
        v.ee = {0, 1e-3, 1e-3, 0, 0};
        return v;
    };
    AnalysisState st;
    for (double sign : {1.0, -1.0}) { // the criterion falls towards the lower, then the upper bound of A
        SearchVectors v = vectors();
        Recorder r{[&](const ParamVector& p) { return sign * p[2] + std::fabs(p[1] - 100); }, {}};
        StepClock clock(0.001);
        NewtonSearch(st, v, 2, clock.Seconds(), r.criterion(), clock);
        double lo = 10, hi = 0;
        for (const auto& p : r.points) {
            lo = std::min(lo, p[2]);
            hi = std::max(hi, p[2]);
        }
        if (sign > 0) {
            EXPECT_GT(lo, 0.5); // 0.5 itself is never evaluated, the points only approach it
            EXPECT_GT(v.A_s[2], 0.5);
            EXPECT_LT(v.A_s[2], 0.5 + 2e-3);
        } else {
            EXPECT_EQ(hi, 2.0);       // the upper bound is evaluated, its next step is not
            EXPECT_LT(v.A_s[2], 2.0); // the last improving step is undone all the same
            EXPECT_GT(v.A_s[2], 2.0 - 2e-3);
        }
        EXPECT_EQ(v.A_s[1], 100);
    }
}

TEST(NewtonSearch, FactorGrowsPerParameterPassOnceTheSecondsExceed1_4) {
    AnalysisState st;
    SearchVectors v = NewtonVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(1); // the start is read at 0, each pass at the next whole second
    NewtonSearch(st, v, 1.00025, clock.Seconds(), r.criterion(), clock);
    // by hand: each pass reverses and divides its step, then reads the clock
    double h[3] = {0, kNewtonRows.b.step, kNewtonRows.a.step}, K = 1.00025;
    int pass = 0, cycles = 0;
    for (;;) {
        ++cycles;
        for (int j = 1; j <= 2; ++j) {
            h[j] = -h[j] / K;
            ++pass;
            if (pass % 60 > 1.4 && K < 3) K *= 1.075;
        }
        if (std::fabs(h[1]) < kNewtonRows.b.tol && std::fabs(h[2]) < kNewtonRows.a.tol) break;
    }
    EXPECT_EQ(v.h_s[1], h[1]);
    EXPECT_EQ(v.h_s[2], h[2]);
    EXPECT_EQ(r.points.size(), 1u + 3u * cycles);
    EXPECT_EQ(v.A_s, start);
}

TEST(NewtonSearch, FactorBelowOneEndsOnceTheTimeRuleHasRaisedIt) {
    AnalysisState st;
    SearchVectors v = NewtonVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(0.01);
    NewtonSearch(st, v, 0.5, clock.Seconds(), r.criterion(), clock);
    EXPECT_TRUE(std::isfinite(v.A_s[1]) && std::isfinite(v.A_s[2]));
    EXPECT_EQ(v.A_s, start);
    for (const auto& p : r.points)
        EXPECT_LE(std::fabs(p[1] - kNewtonRows.b.start),
                  2 * (kNewtonRows.b.max - kNewtonRows.b.min)); // steps held to the range
}

TEST(SpiralSearch, StartedAtItsOptimumLandsOneStepBehindEachTime) {
    AnalysisState st;
    SearchVectors v = SpiralVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(0.001);
    st.Tim = clock.Seconds();
    SpiralSearch(st, v, 2, r.criterion(), clock);
    // every trial is worse than the start, so each swing ends at once: the parameter
    // goes one step behind the point it left and the step is reversed and halved;
    // 25 halvings bring the scale step below 1e-8
    const SearchRows& rows = kSpiralRows;
    double B = rows.b.start, A = rows.a.start, hB = rows.b.step, hA = rows.a.step;
    for (int cycle = 0; cycle < 25; ++cycle) {
        B -= hB;
        hB = -hB / 2;
        A -= hA;
        hA = -hA / 2;
    }
    EXPECT_EQ(v.A_s[1], B);
    EXPECT_EQ(v.A_s[2], A);
    EXPECT_EQ(r.points.size(), 1u + 25 * 2);
}

TEST(SpiralSearch, TiesKeepGoingAndBothBoundsCountAsInside) {
    AnalysisState st;
    SearchVectors v = SpiralVectors();
    // flat in the scale: every step is a tie and the swing runs to the upper bound
    Recorder r{[](const ParamVector& p) { return std::fabs(p[2] - 1); }, {}};
    StepClock clock(11); // the first cycle already ends past 10 seconds
    st.Tim = clock.Seconds();
    SpiralSearch(st, v, 2, r.criterion(), clock);
    const SearchRows& rows = kSpiralRows;
    // from one step above the start up to the upper bound, then one shape trial
    const auto steps = static_cast<size_t>((rows.b.max - rows.b.start) / rows.b.step);
    EXPECT_EQ(r.points.size(), 1u + steps + 1);
    EXPECT_EQ(r.points[steps][1], rows.b.max);
    EXPECT_EQ(v.A_s[1], rows.b.max - rows.b.step); // one step behind the last accepted point
    EXPECT_EQ(v.A_s[2], rows.a.start - rows.a.step);
}

TEST(SpiralSearch, FactorGrowsPerCycleOnceTheSecondsExceed2) {
    AnalysisState st;
    SearchVectors v = SpiralVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(1); // Tim at 0, the check of cycle c at c seconds
    st.Tim = clock.Seconds();
    SpiralSearch(st, v, 1.00025, r.criterion(), clock);
    double hA = kSpiralRows.a.step, K = 1.00025;
    int cycles = 0;
    for (int c = 1;; ++c) {
        hA = -hA / K;
        ++cycles;
        if (K < 5 && c > 2) K *= 1.0755;
        if (c > 10) break; // stops when the seconds exceed 10
    }
    EXPECT_EQ(cycles, 11);
    EXPECT_EQ(v.h_s[2], hA);
    EXPECT_EQ(r.points.size(), 1u + 11 * 2);
}

TEST(SpiralSearch, AStepRefusedByThePositivityGuardEndsTheSwing) {
    AnalysisState st;
    SearchVectors v;
    v.Np = 2;
    v.A_s = {0, 1, 1, 0, 0};
    v.A_min = {0, 0.01, 0.01, 0, 0};
    v.A_max = {0, 100, 100, 0, 0};
    v.h_s = {0, 0.25, 0.25, 0, 0};
    v.ee = {0, 1e-9, 1e-9, 0, 0};
    Recorder r{[&](const ParamVector& p) { return std::pow(p[1] - 1, 2) + std::pow(p[2] - 1, 2); }, {}};
    StepClock clock(1);
    st.Tim = clock.Seconds();
    SpiralSearch(st, v, 0.5, r.criterion(), clock); // the steps double until the guard refuses them
    EXPECT_EQ(st.ts, 11u);
    // without the end of the swing the refused step would evaluate the same point forever
    for (size_t i = 1; i < r.points.size(); ++i)
        EXPECT_NE(r.points[i], r.points[i - 1]) << i;
    EXPECT_LE(r.points.size(), 1u + 11 * 2);
}

TEST(SmirnovSearch, RunsUntilTenSecondsEvenWithAllStepsBelowTolerance) {
    AnalysisState st;
    SearchVectors v = SmirnovVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(0.5);
    SmirnovSearch(st, v, 1000, clock.Seconds(), r.criterion(), clock); // below tolerance after 2 cycles
    EXPECT_EQ(r.points.size(), 1u + 20 * 3);                           // the 20th cycle reads 10 seconds
    EXPECT_EQ(st.ts, 10u);
    EXPECT_EQ(v.A_s, start);
}

TEST(SmirnovSearch, AMovingScaleAloneKeepsItRunningPastTenSeconds) {
    AnalysisState st;
    SearchVectors v = SmirnovVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(1.5);
    // factor 4: shape and coefficient below tolerance after 7 cycles (10.5 s), the scale after 8
    SmirnovSearch(st, v, 4, clock.Seconds(), r.criterion(), clock);
    EXPECT_EQ(r.points.size(), 1u + 8 * 3);
    EXPECT_EQ(st.ts, 12u);
}

TEST(SmirnovSearch, FactorGrowsAfterFiveAndFifteenSeconds) {
    AnalysisState st;
    SearchVectors v = SmirnovVectors();
    const ParamVector start = v.A_s;
    Recorder r{[&](const ParamVector& p) { return Bowl(p, start); }, {}};
    StepClock clock(2); // cycle c reads 2c seconds
    SmirnovSearch(st, v, 1.0005, clock.Seconds(), r.criterion(), clock);
    double h[4] = {0, kSmirnovRows.b.step, kSmirnovRows.a.step, kSmirnovRows.sred.step}, K = 1.0005;
    for (int c = 1;; ++c) {
        for (int j = 1; j <= 3; ++j)
            h[j] = -h[j] / K;
        const int ts = (2 * c) % 60;
        if (K < 3) {
            if (ts > 5) K *= 1.0875;
            if (ts > 15) K *= 1.2875;
        }
        const bool scaleMoving = std::fabs(h[1]) >= kSmirnovRows.b.tol &&
                                 std::fabs(h[2]) < kSmirnovRows.a.tol &&
                                 std::fabs(h[3]) < kSmirnovRows.sred.tol;
        if (!(ts < 10 || scaleMoving)) break;
    }
    EXPECT_EQ(v.h_s[1], h[1]);
    EXPECT_EQ(v.h_s[2], h[2]);
    EXPECT_EQ(v.h_s[3], h[3]);
}

TEST(SmirnovSearch, CoefficientNeverReachesItsLowerBound) {
    AnalysisState st;
    SearchVectors v = SmirnovVectors();
    Recorder r{[](const ParamVector& p) { return p[3] + std::fabs(p[1] - 2000) + std::fabs(p[2] - 1); }, {}};
    StepClock clock(0.5);
    SmirnovSearch(st, v, 2, clock.Seconds(), r.criterion(), clock);
    for (const auto& p : r.points)
        EXPECT_GT(p[3], 1.01);
    EXPECT_GT(v.A_s[3], 1.01);
    EXPECT_LT(v.A_s[3], 1.0101);
}

} // namespace
} // namespace tovimo
