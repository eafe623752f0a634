#include "core/stats/histogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace tovimo;

namespace {

AnalysisState Series(const std::vector<double>& times, int nprich = 0) {
    AnalysisState st;
    st.NPrich = nprich;
    for (double t : times)
        st.MasProbl.push_back({t, nprich + 1, "Другие", ""});
    return st;
}

std::vector<double> Edges(const AnalysisState& st) {
    std::vector<double> e;
    for (const auto& c : st.Hist_Stol)
        e.push_back(c.time);
    return e;
}

std::vector<int> Counts(const AnalysisState& st) {
    std::vector<int> e;
    for (const auto& c : st.Hist_Stol)
        e.push_back(c.Sum);
    return e;
}

} // namespace

TEST(Histogram, CoarseHistogramHalvesTheFirstWidth) {
    auto st = Series({5, 40, 120, 130, 400, 1500, 1510, 3000});
    hist_Format(st);
    EXPECT_EQ(st.D_Hist1, 25);
    EXPECT_EQ(st.D_Hist2, 100);
    EXPECT_EQ(Edges(st), (std::vector<double>{25, 50, 125, 150, 400, 1500, 1525, 3000}));
    EXPECT_EQ(Counts(st), (std::vector<int>(8, 1)));
}

TEST(Histogram, FailureJustBeyondAnEdgeCountsInIt) {
    auto st = Series({5, 40, 120, 130, 400, 1500, 1510, 3000, 3100.05, 3250});
    hist_Format(st);
    EXPECT_EQ(st.D_Hist1, 100);
    EXPECT_EQ(Edges(st), (std::vector<double>{100, 200, 400, 1500, 1600, 3000, 3100, 3300}));
    EXPECT_EQ(Counts(st), (std::vector<int>{2, 2, 1, 1, 1, 1, 1, 1}));
}

TEST(Histogram, ManyFailuresNeedElevenColumns) {
    std::vector<double> t;
    for (int i = 0; i < 80; ++i)
        t.push_back(1 + 0.5 * i);
    auto st = Series(t);
    hist_Format(st);
    EXPECT_EQ(st.D_Hist1, 3);
    ASSERT_EQ(st.Hist_Stol.size(), 11u);
    EXPECT_EQ(st.Hist_Stol[0].Sum, 5);
    for (int j = 1; j < 10; ++j)
        EXPECT_EQ(st.Hist_Stol[static_cast<size_t>(j)].Sum, 6);
    EXPECT_EQ(st.Hist_Stol[10].time, 130);
    EXPECT_EQ(st.Hist_Stol[10].Sum, 21);
}

TEST(Histogram, TooManyColumnsDoubleTheLaterWidth) {
    std::vector<double> t;
    for (int i = 0; i < 100; ++i)
        t.push_back(3 + 90.0 * i);
    auto st = Series(t);
    hist_Format(st);
    EXPECT_EQ(st.D_Hist2, 200);
    EXPECT_EQ(st.Hist_Stol.size(), 50u);
}

TEST(Histogram, InvariantsAndCauseTotals) {
    AnalysisState st;
    st.NPrich = 2;
    const double times[] = {10, 20, 20, 350, 900, 1800, 2500, 2600, 2700, 4000};
    const int causes[] = {1, 2, 3, 1, 1, 2, 3, 3, 3, 1};
    for (int i = 0; i < 10; ++i)
        st.MasProbl.push_back({times[i], causes[i], "", ""});
    hist_Format(st);
    int total = 0;
    double prev = 0;
    for (size_t j = 0; j < st.Hist_Stol.size(); ++j) {
        const auto& c = st.Hist_Stol[j];
        EXPECT_GT(c.time, prev);
        prev = c.time;
        total += c.Sum;
        EXPECT_EQ(c.Sum, std::accumulate(c.Npr.begin(), c.Npr.end(), 0));
        if (j + 1 < st.Hist_Stol.size()) {
            EXPECT_GT(c.Sum, 0);
        }
    }
    EXPECT_EQ(total, 10);
    EXPECT_GE(st.Hist_Stol.back().time, 4000);
    EXPECT_EQ(st.Sum_PrichCol[1], 4);
    EXPECT_EQ(st.Sum_PrichCol[2], 2);
    EXPECT_EQ(st.Sum_PrichCol[3], 4);
    EXPECT_EQ(st.Sum_PrichCol[4], 0);
}

TEST(Histogram, RefinementEndsOnShortOrExtremeSeries) {
    struct Case {
        std::vector<double> times;
    };
    const Case cases[] = {
        {{500}},                               // one failure
        {{700, 700, 700, 700, 700, 700, 700}}, // all at one time
        {{1e-9, 2e-9, 3e-9}},                  // tiny times
        {{1, 1e15}},                           // a gap the widening would crawl through
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 1e12, 2e12, 3e12, 4e12, 5e12}},
        {{-5, 0, 0, 10}},
    };
    for (const auto& c : cases) {
        auto st = Series(c.times);
        hist_Format(st);
        ASSERT_FALSE(st.Hist_Stol.empty());
        EXPECT_LE(st.Hist_Stol.size(), 52u);
        EXPECT_GE(st.D_Hist1, 1);
        int total = 0;
        for (const auto& col : st.Hist_Stol)
            total += col.Sum;
        EXPECT_EQ(total, static_cast<int>(c.times.size()));
        EXPECT_GE(st.Hist_Stol.back().time, c.times.back());
    }
}

TEST(Histogram, JumpOverAGapGivesTheStepByStepEdges) {
    // Edges stay whole multiples of the width from the last edge.
    auto st = Series({5, 15, 25, 35, 45, 55, 65, 75, 85, 95, 100000.05, 250000});
    hist_Format(st);
    ASSERT_GE(st.Hist_Stol.size(), 2u);
    for (const auto& c : st.Hist_Stol)
        EXPECT_EQ(std::fmod(c.time, static_cast<double>(st.D_Hist1)), 0) << c.time;
    // the column that catches 100000.05 ends where a widening step by step would end it
    const size_t j = st.Hist_Stol.size() - 2;
    const double width = static_cast<double>(j < 10 ? st.D_Hist1 : st.D_Hist2);
    double t = st.Hist_Stol[j - 1].time + width;
    while (!(t + 0.1 > 100000.05))
        t += width;
    EXPECT_EQ(st.Hist_Stol[j].time, t);
}

TEST(SortMinMax, StableAndIdempotent) {
    AnalysisState st;
    st.MasProbl = {{30, 1, "a", ""}, {10, 1, "b", ""}, {30, 1, "c", ""}, {10, 1, "d", ""}};
    sort_MinMax(st);
    std::string order;
    for (const auto& p : st.MasProbl)
        order += p.Pri;
    EXPECT_EQ(order, "bdac");
    sort_MinMax(st);
    order.clear();
    for (const auto& p : st.MasProbl)
        order += p.Pri;
    EXPECT_EQ(order, "bdac");
}
