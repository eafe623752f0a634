#include "tests/core/load_fixture.h"

#include "core/stats/distributions.h"
#include "core/stats/indicators.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;
using namespace tovimo::test;

TEST(Indicators, CausesRankedByCountTiesInFileOrder) {
    std::vector<std::string> recs;
    for (int i = 0; i < 3; ++i)
        recs.push_back("10" + std::to_string(i) + "\tузел А");
    for (int i = 0; i < 5; ++i)
        recs.push_back("20" + std::to_string(i) + "\tузел Б");
    for (int i = 0; i < 5; ++i)
        recs.push_back("30" + std::to_string(i) + "\tузел В");
    auto l = Load(DataFile({"А", "Б", "В", "Г"}, recs));
    const auto& v = l.st.Vidy_otkazov;
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[1].Nazv_Prich, "Б");
    EXPECT_EQ(v[2].Nazv_Prich, "В");
    EXPECT_EQ(v[3].Nazv_Prich, "А");
    EXPECT_EQ(v[4].Nazv_Prich, "Г");
    EXPECT_EQ(v[5].Nazv_Prich, "Другие");
    // records re-mapped to the ranked table
    EXPECT_EQ(l.st.MasProbl.front().chey, 3); // "узел А" at 100 h
    EXPECT_EQ(l.st.MasProbl.back().chey, 2);  // "узел В"
}

TEST(Indicators, ReducedFleet) {
    struct Case {
        int records, kolOtk;
        double park, factor, reduced;
    };
    for (auto c : {Case{30, 40, 200, 0.75, 150}, Case{45, 40, 200, 1, 200}}) {
        std::vector<std::string> recs;
        for (int i = 0; i < c.records; ++i)
            recs.push_back(std::to_string(100 + i) + "\tх");
        auto l = Load(DataFile({}, recs, 3000, 500, c.park, c.kolOtk));
        EXPECT_EQ(l.st.Kol_izw, c.records);
        EXPECT_DOUBLE_EQ(l.st.Popravka_Unknow, c.factor);
        EXPECT_DOUBLE_EQ(l.st.Izd_Prived, c.reduced);
    }
}

TEST(Indicators, ThresholdsFromTheThirdRecordOn) {
    // fleet of 10, failures far below the warranty mean
    auto l = Load(DataFile({}, {"100\tх", "300\tх", "400\tх", "700\tх"}, 5000, 500, 10, 4));
    // S reaches 0.2 of the fleet at the second record but is looked at only from the third
    const double tPrev = 300, t = 400;
    const double S3 = [&] {
        double s = 0;
        for (double x : {100.0, 300.0, 400.0})
            s += 1 / (1 - CDF_Gauss(5000, 500, x));
        return s;
    }();
    EXPECT_DOUBLE_EQ(l.st.TL90expl, t - (t - tPrev) * Frac(S3 - 1));
    EXPECT_DOUBLE_EQ(l.st.TL80expl, t - (t - tPrev) * Frac(S3 - 2));
    EXPECT_EQ(l.st.T50expl, 0);
    EXPECT_EQ(l.st.t50zen, 0);
    const auto grid = GridRows(l.st, l.form.decimalSeparator);
    EXPECT_EQ(grid[3][2], "Другие, отказов 20% от парка"); // the last suffix wins
    EXPECT_EQ(grid[1][2], "Другие");
}

TEST(Indicators, FailureAtTheMeanCountsTwice) {
    auto l = Load(DataFile({}, {"2000\tх"}, 2000, 400, 100, 1));
    // S = 2 at t = Sred, so Otk_Izd = 2 / 100 * 2000 / 2000
    EXPECT_DOUBLE_EQ(l.st.Otk_Izd, 0.02);
}

TEST(Indicators, OtkIzdExtrapolatedWhenTheSeriesEndsBeforeTheMean) {
    auto l = Load(DataFile({}, {"100\tх", "500\tх"}, 5000, 500, 100, 2));
    double S = 0;
    for (double x : {100.0, 500.0})
        S += 1 / (1 - CDF_Gauss(5000, 500, x));
    EXPECT_DOUBLE_EQ(l.st.Otk_Izd, S / 100 * 5000 / 500);
}

TEST(Indicators, LeadingZeroRecordAndRegression) {
    auto l = Load(DataFile({}, {"0\tх", "100\tх", "200\tх", "400\tх"}));
    EXPECT_EQ(l.st.Tst, 1);
    ASSERT_EQ(l.form.Chart2_Series1.size(), 3u);
    EXPECT_DOUBLE_EQ(l.form.Chart2_Series1[0].y, std::log(2.0));
    EXPECT_DOUBLE_EQ(l.form.Chart2_Series1[0].x, std::log(100.00001));
    EXPECT_EQ(l.form.Chart2_Series1[0].color, 0x008000u);
    // least squares through the three points
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (auto p : l.form.Chart2_Series1)
        sx += p.x, sy += p.y, sxx += p.x * p.x, sxy += p.x * p.y;
    const double a = (3 * sxy - sx * sy) / (3 * sxx - sx * sx);
    EXPECT_NEAR(l.st.A_ln, a, 1e-12);
    EXPECT_NEAR(l.st.B_ln, (sy - a * sx) / 3, 1e-12);
    ASSERT_EQ(l.form.Chart2_Series2.size(), 2u);
    EXPECT_DOUBLE_EQ(l.form.Chart2_Series2[1].x, std::log(400.00001));
    EXPECT_EQ(l.form.Chart2_Series2[1].color, 0xFF0000u);
}

TEST(Indicators, GridHoldsHeaderAndRecordsOnly) {
    auto l = Load(DataFile({"Насос"}, {"120,5\tнасос * течь", "7\tнасос"}), ',');
    const auto grid = GridRows(l.st, l.form.decimalSeparator);
    ASSERT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid[0][0], " № отказа");
    EXPECT_EQ(grid[0][3], "Описание отказа");
    EXPECT_EQ(grid[1][1], "7");
    EXPECT_EQ(grid[2][1], "120,5");
    EXPECT_EQ(grid[2][2], "Насос");
    EXPECT_EQ(grid[2][3], "течь");
    EXPECT_EQ(l.form.LabeledEdit2, "120,5");
    EXPECT_EQ(l.form.Mass_List_widths, (std::array<int, 4>{65, 85, 200, 1010}));
}

TEST(Indicators, DegenerateSeriesLeaveTheRegressionUndefined) {
    struct Case {
        std::vector<std::string> recs;
        int tst;
    };
    for (const auto& c : {Case{{}, -1}, Case{{"0\tх", "-3\tх"}, -1}, Case{{"50\tх", "50\tх", "50\tх"}, 0}}) {
        auto l = Load(DataFile({}, c.recs));
        EXPECT_TRUE(l.ok);
        EXPECT_EQ(l.st.Tst, c.tst);
        EXPECT_TRUE(std::isnan(l.st.A_ln));
        EXPECT_TRUE(l.form.Chart2_Series2.empty());
    }
}
