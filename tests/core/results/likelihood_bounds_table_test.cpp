// The bounds panel's texts: the rows of figures with their notes and the
// summary lines, under either decimal separator.
#include "core/results/likelihood_bounds_table.h"

#include <gtest/gtest.h>

using namespace tovimo;

namespace {

// A free-K fit with the last failure at 3000 h: T50 and the 4000 h figure lie past it.
LikelihoodResult freeFit() {
    LikelihoodResult r;
    r.fitted = true;
    r.settings.kMode = LikelihoodKMode::Free;
    r.settings.level = 0.9;
    r.n = 40;
    r.fleet = 1117;
    r.lastFailure = 3000;
    r.loglik = -312.25;
    r.estimates = {1.25, 9000, 1.5, 1200.4, 2100, 5600, 0.0412, 0.105, 0.2501};
    for (auto& in : r.intervals)
        in = {true, 0, 0, false, false};
    r.intervals[0] = {true, 1.05, 1.47, false, false};
    r.intervals[1] = {true, 6000, 1e7, false, true};  // upper open
    r.intervals[2] = {true, 1e-4, 3.25, true, false}; // lower open
    r.intervals[5] = {true, 1.0, 1e7, true, true};    // both open
    r.intervals[8] = {true, 0.2, 0.31, false, false};
    r.lrDone = true;
    r.lrStat = 4.5;
    r.lrP = 0.0339;
    r.gofChi2 = 12.5;
    r.gofP = 0.42;
    r.gofReplicates = 200;
    return r;
}

} // namespace

TEST(LikelihoodBoundsTable, RowsCarryEstimatesBoundsAndNotes) {
    struct Case {
        char sep;
        const char* a;
        const char* aLower;
        const char* f4000;
    };
    for (const Case c : {Case{'.', "1.250", "1.050", "0.2501"}, Case{',', "1,250", "1,050", "0,2501"}}) {
        const std::vector<BoundsRow> rows = LikelihoodBoundsRows(freeFit(), c.sep);
        ASSERT_EQ(rows.size(), static_cast<size_t>(kLikFigureCount));
        EXPECT_EQ(rows[0],
                  (BoundsRow{"A (параметр формы)", c.a, c.aLower, c.sep == '.' ? "1.470" : "1,470", ""}));
        EXPECT_EQ(rows[1][3], "10000000");
        EXPECT_EQ(rows[1][4], "сверху не ограничено данными");
        EXPECT_EQ(rows[2][4], "снизу не ограничено данными");
        EXPECT_EQ(rows[3][1], "1200");
        EXPECT_EQ(rows[3][4], ""); // before the last failure
        EXPECT_EQ(rows[5][4], "не ограничено данными; экстраполяция");
        EXPECT_EQ(rows[6][4], "");
        EXPECT_EQ(rows[8][0], "Отказов/изд. за 4000 ч");
        EXPECT_EQ(rows[8][1], c.f4000);
        EXPECT_EQ(rows[8][4], "экстраполяция");
    }
}

TEST(LikelihoodBoundsTable, KHeldAtOneHasNoInterval) {
    LikelihoodResult r = freeFit();
    r.settings.kMode = LikelihoodKMode::Once;
    r.estimates[2] = 1;
    r.intervals[2] = LikInterval{};
    r.lrDone = false;
    const auto rows = LikelihoodBoundsRows(r, '.');
    EXPECT_EQ(rows[2], (BoundsRow{"K (масштабный коэффициент)", "1.0000", "—", "—", "задано K = 1"}));
    const auto lines = LikelihoodSummaryLines(r, true, '.');
    ASSERT_EQ(lines.size(), 3u); // no test of K = 1
    EXPECT_EQ(
        lines[0].rfind("Отказ изделия не более одного раза (K = 1); закон окончания гарантии нормальный", 0),
        0u);
}

TEST(LikelihoodBoundsTable, SummaryNamesTheTestsAndTheRefusal) {
    const auto lines = LikelihoodSummaryLines(freeFit(), true, ',');
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Доверительные границы 90% по профилю правдоподобия; ln L = -312,2500");
    EXPECT_EQ(lines[2], "Проверка K = 1: статистика отношения правдоподобия 4,500, p = 0,0339");
    EXPECT_EQ(lines[3],
              "Согласие с гистограммой: хи-квадрат Пирсона 12,500, p = 0,420 по 200 повторениям бутстрепа");

    LikelihoodResult refused;
    refused.refusal = "Отказов не меньше, чем изделий";
    EXPECT_TRUE(LikelihoodBoundsRows(refused, '.').empty());
    EXPECT_EQ(LikelihoodSummaryLines(refused, false, '.'),
              std::vector<std::string>{"Модель 3 не рассчитана: Отказов не меньше, чем изделий"});
    // a fit from an earlier run that is no longer shown
    EXPECT_EQ(LikelihoodSummaryLines(freeFit(), false, '.'),
              std::vector<std::string>{"Модель 3 не рассчитана"});
}
