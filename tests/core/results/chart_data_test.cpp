#include "core/results/chart_data.h"

#include "core/results/results_refresh.h"

#include "core/stats/distributions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;

namespace {

std::vector<std::string> names(const ChartPlan& c) {
    std::vector<std::string> out;
    for (const auto& s : c.series)
        out.push_back(s.name);
    return out;
}

const SeriesPlan& series(const ChartPlan& c, const std::string& name) {
    const SeriesPlan* s = FindSeries(c, name);
    EXPECT_NE(s, nullptr) << name;
    static const SeriesPlan none;
    return s ? *s : none;
}

Mod_Weib model(double k, std::vector<double> w, std::vector<double> q) {
    Mod_Weib m;
    m.Executed = true;
    m.K_powtor = k;
    m.F_Weib = std::move(w);
    m.Kol_F_priv = std::move(q);
    return m;
}

Hist_Rec column(double time, std::initializer_list<std::pair<int, int>> perCause) {
    Hist_Rec c;
    c.time = time;
    for (auto [k, n] : perCause) {
        c.Npr[static_cast<size_t>(k)] = n;
        c.Sum += n;
    }
    return c;
}

// Three named causes and "Другие"; cause 2 has no failures. Four columns,
// the last one empty; models 1.2, 1.1 and the genetic one executed.
class ChartDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        st.Comment = "Парк насосов";
        st.Kol_Izd_All = 120;
        st.Izd_Prived = 100;
        st.Sred = 3000;
        st.SKO = 700;
        st.NPrich = 3;
        st.Vidy_otkazov = {{}, {"Двигатель", 4}, {"Насос", 0}, {"Датчик", 2}, {"Другие", 1}};
        st.Hist_Stol = {column(500, {{1, 2}, {3, 1}}), column(1000.4, {{1, 2}, {4, 1}}),
                        column(1500, {{3, 1}}), column(2000, {})};
        st.MPirsN = model(2, {0.1, 0.2, 0.3, 0.4}, {5, 6, 7, 8});
        st.MPirsS = model(3, {0.01, 0.02, 0.03, 0.04}, {1, 2, 3, 4});
        st.MGenet = model(4, {0.5, 0.5, 0.5, 0.5}, {10, 10, 10, 10});
        st.MSmirn.F_Weib = {9, 9, 9, 9};
        st.MSmirn.Kol_F_priv = {9, 9, 9, 9};
        st.MasProbl = {{0, 1, "", ""}, {100, 1, "", ""}, {400, 3, "", ""}, {900, 1, "", ""}};
        st.A_ln = 1.2;
        st.B_ln = -3.5;
    }
    // The chart fill after the refresh's running totals, as a refresh does it.
    ResultCharts charts(char sep = '.', const std::string& group = ",") {
        AccumulateModelTotals(st);
        return BuildResultCharts(st, sep, group);
    }
    AnalysisState st;
};

TEST(ChartDataDesign, DesignTimeSeriesInTheirOrder) {
    const ResultCharts d = ResultChartsDesign();
    EXPECT_EQ(names(d.chart1),
              (std::vector<std::string>{"Series1", "Series3", "Series2", "Series4", "Series20", "Series21",
                                        "Series6", "Series5", "Series14", "Series17", "Series24"}));
    EXPECT_EQ(names(d.chart2),
              (std::vector<std::string>{"Series15", "Series7", "Series8", "Series9", "Series10", "Series11",
                                        "Series12", "Series16", "Series22", "Series23", "Series25",
                                        "Series26", "Series27"}));
    EXPECT_EQ(names(d.chart3), (std::vector<std::string>{"Series13", "Series18", "Series19"}));
    EXPECT_FALSE(series(d.chart1, "Series14").active);
    EXPECT_FALSE(series(d.chart3, "Series13").active);
    EXPECT_EQ(series(d.chart1, "Series17").axis, SeriesAxis::Right);
    EXPECT_TRUE(series(d.chart1, "Series17").dashed);
    EXPECT_EQ(series(d.chart1, "Series21").legend, "Pirson/Newton 1.2 ценз.");
    EXPECT_EQ(series(d.chart1, "Series21").transparency, 18);
    EXPECT_EQ(series(d.chart3, "Series18").pointColor, 0x008000u);
    EXPECT_TRUE(d.chart2.rightFixed);
    EXPECT_EQ(d.chart2.right.max, 100);
}

TEST_F(ChartDataTest, CauseBarsTakeTheColourOfTheirIndex) {
    const ResultCharts rc = charts();
    ASSERT_EQ(rc.chart1.bars.size(), 3u);
    EXPECT_EQ(rc.chart1.bars[0].color, 0xFF0000u);
    EXPECT_EQ(rc.chart1.bars[1].color, 0xFFD700u); // cause 3 keeps entry 3 though cause 2 has no bars
    EXPECT_EQ(rc.chart1.bars[2].color, ColorArray[4]);
    EXPECT_EQ(rc.chart1.bars[0].title, "Двигатель 4 раз (4.0% /маш.)");
    EXPECT_EQ(rc.chart2.bars[1].title, "Датчик");
    EXPECT_EQ(rc.chart2.bars[1].transparency, 51);
    ASSERT_EQ(rc.chart3.bars.size(), 6u);
    EXPECT_EQ(rc.chart3.bars[2].title, "Датчик");
    EXPECT_EQ(rc.chart3.bars[3].title, "Датчик с учетом цензурирования");
    EXPECT_EQ(rc.chart3.bars[3].color, 0xFFD700u);
    EXPECT_EQ(rc.chart3.bars[3].transparency, 60);

    const ResultCharts comma = charts(',', " ");
    EXPECT_EQ(comma.chart1.bars[2].title, "Другие 1 раз (1,0% /маш.)");
}

TEST_F(ChartDataTest, BarValuesPerColumn) {
    const ResultCharts rc = charts();
    // columns with failures only; K = 100 / 500 in each of them
    EXPECT_EQ(rc.chart1.bars[0].values, (std::vector<double>{2 * 0.2 / 100, 2 * 0.2 / 100, 0}));
    EXPECT_EQ(rc.chart2.bars[1].values, (std::vector<double>{0.01, 0.01, 0.02}));
    const double F = CDF_Gauss(3000, 700, 1000);
    EXPECT_DOUBLE_EQ(rc.chart3.bars[1].values[1], 2 * 0.2 / 100 / (1 - F));
    EXPECT_EQ(rc.chart3.bars[0].values, rc.chart1.bars[0].values);
    EXPECT_EQ(rc.Sum_PrichCol[1], 4);
    EXPECT_EQ(rc.Sum_PrichCol[3], 2);
    EXPECT_EQ(rc.Expl_sum, 7);
    EXPECT_DOUBLE_EQ(rc.F_OutGar[1], F);
    EXPECT_EQ(rc.F_OutGar[3], 0); // the empty column is not visited
}

TEST_F(ChartDataTest, CorrectedBarLeftOutWhereEveryProductLeftWarranty) {
    st.SKO = 1;
    st.Sred = 800; // the columns at 1000 and 1500 h lie far beyond the warranty end
    const ResultCharts rc = charts();
    EXPECT_TRUE(std::isfinite(rc.chart3.bars[1].values[0]));
    EXPECT_TRUE(std::isnan(rc.chart3.bars[1].values[1]));
    EXPECT_TRUE(std::isnan(rc.chart3.bars[3].values[2]));
    EXPECT_TRUE(std::isfinite(rc.chart3.left.max));
}

TEST_F(ChartDataTest, ModelCurvesPairTheirLegendsPerModel) {
    const ResultCharts rc = charts();
    const double K = 0.2, P = 100;
    // Newton: the "ценз." legend carries the corrected flow
    EXPECT_DOUBLE_EQ(series(rc.chart1, "Series21").values[0], 5 * K / P);
    EXPECT_DOUBLE_EQ(series(rc.chart1, "Series20").values[0], 0.1 * K * 2);
    // spiral descent and genetic: the "ценз." legend carries the flow without the correction
    EXPECT_DOUBLE_EQ(series(rc.chart1, "Series2").values[1], 0.02 * K * 3);
    EXPECT_DOUBLE_EQ(series(rc.chart1, "Series3").values[1], 2 * K / P);
    EXPECT_DOUBLE_EQ(series(rc.chart1, "Series5").values[2], 0.5 * K * 4);
    EXPECT_DOUBLE_EQ(series(rc.chart1, "Series6").values[2], 10 * K / P);
    // accumulations
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series22").values[2], (0.1 + 0.2 + 0.3) * 2);
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series23").values[2], (5 + 6 + 7) / P);
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series8").values[1], (0.01 + 0.02) * 3);
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series12").values[0], 10 / P);
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series15").values[2], 7 / P);
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series7").values[0], 100 * CDF_Gauss(3000, 700, 500));
    EXPECT_EQ(series(rc.chart1, "Series1").values, series(rc.chart2, "Series7").values);
    // totals over the columns with failures; Smirnov not executed
    EXPECT_DOUBLE_EQ(st.MPirsN.Kol_Nakopl, 18);
    EXPECT_DOUBLE_EQ(st.MPirsN.Unsens, 0.1 + 0.2 + 0.3);
    EXPECT_EQ(st.MSmirn.Kol_Nakopl, 0);
}

TEST_F(ChartDataTest, SmirnovHasNoPlainAccumulation) {
    st.MSmirn.Executed = true;
    st.MSmirn.K_powtor = 1;
    const ResultCharts rc = charts();
    EXPECT_EQ(st.MSmirn.Unsens, 0);
    EXPECT_DOUBLE_EQ(st.MSmirn.Kol_Nakopl, 27);
    EXPECT_DOUBLE_EQ(series(rc.chart2, "Series10").values[2], 27 / 100.0);

    AnalysisState copy = st;
    StoreChartTotals(copy, rc);
    EXPECT_DOUBLE_EQ(copy.MSmirn.Kol_Nakopl, 27); // the refresh's totals stay
    EXPECT_EQ(copy.Sum_PrichCol[1], 4);
    EXPECT_EQ(copy.F_OutGar.size(), 4u);
}

TEST_F(ChartDataTest, LegendMembershipFollowsTheExecutedSlots) {
    const struct {
        const char* chart;
        const char* name;
        bool executed;
    } cases[] = {
        {"Chart1", "Series1", true},  {"Chart1", "Series3", true},   {"Chart1", "Series2", true},
        {"Chart1", "Series4", false}, {"Chart1", "Series20", true},  {"Chart1", "Series21", true},
        {"Chart1", "Series6", true},  {"Chart1", "Series5", true},   {"Chart1", "Series14", false},
        {"Chart1", "Series17", true}, {"Chart2", "Series10", false}, {"Chart2", "Series22", true},
        {"Chart2", "Series15", true}, {"Chart2", "Series16", false}, {"Chart3", "Series13", false},
        {"Chart3", "Series18", true},
    };
    const ResultCharts rc = charts();
    for (const auto& c : cases) {
        const ChartPlan& chart = std::string(c.chart) == "Chart1"   ? rc.chart1
                                 : std::string(c.chart) == "Chart2" ? rc.chart2
                                                                    : rc.chart3;
        const SeriesPlan& s = series(chart, c.name);
        EXPECT_EQ(s.inLegend, c.executed) << c.name;
    }
    EXPECT_TRUE(series(rc.chart1, "Series4").values.empty());
    EXPECT_TRUE(series(rc.chart2, "Series10").values.empty());

    st.MPirsN.Executed = false;
    const ResultCharts three = charts();
    EXPECT_FALSE(series(three.chart1, "Series20").inLegend);
    EXPECT_TRUE(series(three.chart1, "Series21").values.empty());
    EXPECT_EQ(series(three.chart1, "Series3").values, series(rc.chart1, "Series3").values);
}

TEST_F(ChartDataTest, AccumulationReachesTheEmptyLastColumn) {
    const ResultCharts rc = charts(',', " ");
    const SeriesPlan& s17 = series(rc.chart1, "Series17");
    EXPECT_EQ(s17.values, (std::vector<double>{3, 6, 7, 7}));
    EXPECT_EQ(s17.marks, (std::vector<std::string>{"3", "6", "7", "7"}));
    EXPECT_EQ(series(rc.chart1, "Series1").values.size(), 3u);
    EXPECT_EQ(rc.chart1.categories, (std::vector<std::string>{"500", "1000", "1500", "1500"}));
    EXPECT_EQ(rc.chart2.categories, (std::vector<std::string>{"500", "1000", "1500"}));
    EXPECT_EQ(rc.header, "Парк насосов (120 шт.)");
}

TEST(ChartDataMarks, ValueMarkFormat) {
    const struct {
        double v;
        char sep;
        const char* group;
        const char* text;
    } cases[] = {
        {0, '.', ",", "0"},
        {12.34, '.', ",", "12.3"},
        {12.34, ',', " ", "12,3"},
        {1234, '.', ",", "1,234"},
        {1234567.25, ',', " ", "1 234 567,3"},
        {0.04, '.', ",", "0"},
        {99.96, '.', ",", "100"},
        {-3.25, '.', ",", "-3.3"},
        {-0.01, '.', ",", "0"},
        {NAN, '.', ",", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMark(c.v, c.sep, c.group), c.text) << c.v;
}

TEST_F(ChartDataTest, LogSeriesSkipZeroTimesButKeepTheirRank) {
    const ResultCharts rc = charts();
    const SeriesPlan& s18 = series(rc.chart3, "Series18");
    ASSERT_EQ(s18.points.size(), 3u);
    EXPECT_DOUBLE_EQ(s18.points[0].x, std::log(100.00001));
    EXPECT_DOUBLE_EQ(s18.points[0].y, std::log(2.0));
    const SeriesPlan& s19 = series(rc.chart3, "Series19");
    ASSERT_EQ(s19.points.size(), 2u);
    EXPECT_DOUBLE_EQ(s19.points[0].x, std::log(100.00001));
    EXPECT_DOUBLE_EQ(s19.points[1].x, std::log(900.00001));
    EXPECT_DOUBLE_EQ(s19.points[1].y, 1.2 * std::log(900.00001) - 3.5);
    EXPECT_LT(rc.chart3.top.min, s18.points[0].x);
    EXPECT_GT(rc.chart3.right.max, s18.points[2].y);

    for (auto& f : st.MasProbl)
        f.time = 0;
    const ResultCharts none = charts();
    EXPECT_TRUE(series(none.chart3, "Series18").points.empty());
    EXPECT_TRUE(series(none.chart3, "Series19").points.empty());
}

TEST_F(ChartDataTest, LogLogWindowLineEndsOneFailureEarly) {
    const LogLogChart ll = BuildLogLogChart(st, '.');
    const SeriesPlan& s1 = series(ll.chart, "Series1");
    const SeriesPlan& s2 = series(ll.chart, "Series2");
    EXPECT_EQ(s1.points.size(), 3u);
    ASSERT_EQ(s2.points.size(), 2u);
    EXPECT_DOUBLE_EQ(s2.points[1].x, std::log(400.00001));
    EXPECT_EQ(ll.slopeText, "A= 1.2000");
    EXPECT_EQ(ll.interceptText, "B= -3.5000");
    EXPECT_EQ(ll.comment, "Парк насосов");
    EXPECT_EQ(ll.chart.left.min, 0);
    EXPECT_EQ(BuildLogLogChart(st, ',').slopeText, "A= 1,2000");
}

TEST(ChartDataLogLog, LineEndsWhereNoEarlierFailureIsLeft) {
    const struct {
        std::vector<double> times;
        size_t points;
        size_t linePoints;
        bool coincide;
    } cases[] = {
        {{250}, 1, 2, true},   {{0, 0, 250}, 1, 2, true}, // the only positive failure is also the last
        {{0, 0}, 0, 0, false}, {{}, 0, 0, false},         {{100, 200, 300}, 3, 2, false},
    };
    for (const auto& c : cases) {
        AnalysisState st;
        for (double t : c.times)
            st.MasProbl.push_back({t, 1, "", ""});
        st.A_ln = 0.9;
        const LogLogChart ll = BuildLogLogChart(st, '.');
        EXPECT_EQ(FindSeries(ll.chart, "Series1")->points.size(), c.points);
        const auto& line = FindSeries(ll.chart, "Series2")->points;
        ASSERT_EQ(line.size(), c.linePoints);
        if (c.linePoints) {
            EXPECT_EQ(line[0].x == line[1].x, c.coincide);
        }
        EXPECT_LT(ll.chart.bottom.min, ll.chart.bottom.max);
        EXPECT_EQ(ll.slopeText, "A= 0.9000");
    }
}

TEST(ChartDataEdges, EmptyStateGivesEmptyChartsWithSpans) {
    AnalysisState st;
    const ResultCharts rc = BuildResultCharts(st, '.', ",");
    EXPECT_TRUE(rc.chart1.categories.empty());
    EXPECT_TRUE(rc.chart1.bars.empty());
    for (const ChartPlan* c : {&rc.chart1, &rc.chart2, &rc.chart3}) {
        EXPECT_LT(c->left.min, c->left.max);
        EXPECT_LT(c->right.min, c->right.max);
    }
}

} // namespace
