// The bounds panel's texts: the rows of figures with their notes, the sides
// the data do not close, the bounds at assumed shapes and the summary lines,
// under either decimal separator.
#include "core/results/likelihood_bounds_table.h"
#include "tests/core/results/decimal_text.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;

namespace {

using text_test::Dec;
using text_test::kNaN;

// A free-K fit with the last failure at 3000 h: T50 and the 4000 h figure lie past it.
LikelihoodResult freeFit() {
    LikelihoodResult r;
    r.fitted = true;
    r.settings.kMode = LikelihoodKMode::Free;
    r.settings.level = 0.9;
    r.n = 40;
    r.fleet = 1004.3;
    r.lastFailure = 3000;
    r.windowEnd = 7400;
    r.loglik = -312.25;
    r.estimates = {1.25, 9000, 1.5, 1200.4, 2100, 5600, 0.0412, 0.105, 0.2501};
    for (auto& in : r.intervals)
        in = {true, 0, 0, false, false};
    r.intervals[0] = {true, 1.05, 1.47, false, false};
    r.intervals[1] = {true, 6000, kNaN, false, true}; // upper open
    r.intervals[2] = {true, kNaN, 3.25, true, false}; // lower open
    r.intervals[5] = {true, kNaN, kNaN, true, true};  // both open
    r.intervals[8] = {true, 0.2, 0.31, false, false};
    r.lrDone = true;
    r.lrStat = 4.5;
    r.lrP = 0.0339;
    r.lrReplicates = 200;
    r.gofChi2 = 12.5;
    r.gofP = 0.42;
    r.gofReplicates = 180;
    r.gofRequested = 200;
    r.gofColumns = 12;
    return r;
}

} // namespace

TEST(LikelihoodBoundsTable, RowsCarryEstimatesBoundsAndNotes) {
    for (char sep : {'.', ','}) {
        const std::vector<BoundsRow> rows = LikelihoodBoundsRows(freeFit(), sep);
        ASSERT_EQ(rows.size(), static_cast<size_t>(kLikFigureCount));
        EXPECT_EQ(rows[0], (BoundsRow{"A (параметр формы)", Dec("1.250", sep), Dec("1.050", sep),
                                      Dec("1.470", sep), ""}));
        // B as the results table writes it, with two decimals
        EXPECT_EQ(rows[1][1], Dec("9000.00", sep));
        EXPECT_EQ(rows[3][1], "1200");
        EXPECT_EQ(rows[3][4], ""); // before the last failure
        EXPECT_EQ(rows[6][4], "");
        EXPECT_EQ(rows[8][0], "Отказов/изд. за 4000 ч");
        EXPECT_EQ(rows[8][1], Dec("0.2501", sep));
        EXPECT_EQ(rows[8][4], "экстраполяция");
    }
}

// A side the data do not close has no value: its cell is a dash, the closed
// side reads "≥ x" or "≤ x", and the note says which side is open.
TEST(LikelihoodBoundsTable, OpenSidesReadAsOneSidedBounds) {
    struct Case {
        const char* what;
        int figure;
        LikInterval in;
        const char* lower;
        const char* upper;
        const char* note;
    };
    const Case cases[] = {
        {"upper open", 1, {true, 6000, kNaN, false, true}, "≥ 6000.00", "—", "сверху не ограничена данными"},
        {"lower open", 2, {true, kNaN, 3.25, true, false}, "—", "≤ 3.2500", "снизу не ограничена данными"},
        {"both open, past the last failure",
         5,
         {true, kNaN, kNaN, true, true},
         "—",
         "—",
         "не ограничена данными; экстраполяция"},
        // marked open, the range end it may carry is not shown
        {"upper open at the range end",
         1,
         {true, 6000, 1e7, false, true},
         "≥ 6000.00",
         "—",
         "сверху не ограничена данными"},
        {"lower open at the range end",
         2,
         {true, 1e-4, 3.25, true, false},
         "—",
         "≤ 3.2500",
         "снизу не ограничена данными"},
        // a side without a value though not marked open is not shown as a number
        {"upper infinite",
         3,
         {true, 900, INFINITY, false, false},
         "≥ 900",
         "—",
         "сверху не ограничена данными"},
        {"closed", 6, {true, 0.03, 0.0525, false, false}, "0.0300", "0.0525", ""},
    };
    for (char sep : {'.', ','})
        for (const Case& c : cases) {
            LikelihoodResult r = freeFit();
            r.intervals[static_cast<size_t>(c.figure)] = c.in;
            const BoundsRow row = LikelihoodBoundsRows(r, sep)[static_cast<size_t>(c.figure)];
            EXPECT_EQ(row[2], Dec(c.lower, sep)) << c.what;
            EXPECT_EQ(row[3], Dec(c.upper, sep)) << c.what;
            EXPECT_EQ(row[4], c.note) << c.what;
        }
}

TEST(LikelihoodBoundsTable, IntervalTextsForRunningText) {
    struct Case {
        LikFigure fig;
        LikInterval in;
        const char* text;
    };
    const Case cases[] = {
        {LikFigure::T10, {true, 2041.4, 21170.2, false, false}, "2041–21170 ч"},
        {LikFigure::T10, {true, 2041.4, kNaN, false, true}, "≥ 2041 ч"},
        {LikFigure::B, {true, kNaN, 12000, true, false}, "≤ 12000.00 ч"},
        {LikFigure::F1000, {true, 0.01, 0.03, false, false}, "0.0100–0.0300"},
        {LikFigure::K, {true, kNaN, kNaN, true, true}, "не ограничена данными"},
        {LikFigure::K, {}, "—"},
    };
    for (char sep : {'.', ','})
        for (const Case& c : cases)
            EXPECT_EQ(LikIntervalText(c.fig, c.in, sep), Dec(c.text, sep)) << c.text;
    EXPECT_EQ(LikFigureValue(LikFigure::T50, INFINITY, '.'), "—");
    EXPECT_EQ(LikFigureNumber(LikFigure::A, kNaN, ','), "—");
}

// A maximum in a flat tail: the parameter that runs off has no estimate.
TEST(LikelihoodBoundsTable, FlatTailParameterHasNoEstimate) {
    LikelihoodResult r = freeFit();
    r.atBound = true;
    r.flatParameter = "B";
    r.estimates[1] = 1e7; // where the search stopped
    r.estimates[5] = INFINITY;
    const auto rows = LikelihoodBoundsRows(r, ',');
    EXPECT_EQ(rows[1][1], "—");
    EXPECT_EQ(rows[1][4].rfind("максимум не достигается", 0), 0u) << rows[1][4];
    EXPECT_EQ(rows[0][1], "1,250"); // the other parameters keep theirs
    EXPECT_EQ(rows[5][1], "—");     // and a figure that is not finite is a dash
    for (const BoundsRow& row : rows)
        for (const std::string& cell : row) {
            EXPECT_EQ(cell.find("inf"), std::string::npos) << cell;
            EXPECT_EQ(cell.find("nan"), std::string::npos) << cell;
            EXPECT_EQ(cell.find("10000000"), std::string::npos) << cell;
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
    ASSERT_EQ(lines.size(), 4u); // no test of K = 1
    EXPECT_EQ(lines[0], "Отказ изделия не более одного раза (K = 1); закон окончания гарантии нормальный; "
                        "отказов 40, приведённый парк 1004.3");
}

TEST(LikelihoodBoundsTable, SummaryNamesTheWindowTheTestsAndTheirReading) {
    const auto lines = LikelihoodSummaryLines(freeFit(), true, ',');
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "Конец наблюдения: 7400 ч (конец закона гарантии)");
    EXPECT_EQ(lines[2], "Доверительные границы 90% по профилю правдоподобия; ln L = -312,2500");
    EXPECT_EQ(lines[3], "Проверка K = 1: статистика отношения правдоподобия 4,500, p = 0,0339 по 200 "
                        "повторениям бутстрепа — отвергнуто на уровне 90%");
    EXPECT_EQ(lines[4], "Согласие с гистограммой по 12 столбцам: хи-квадрат Пирсона 12,500, p = 0,420 по 180 "
                        "из 200 повторений бутстрепа");

    struct Case {
        const char* what;
        void (*change)(LikelihoodResult&);
        size_t line;
        const char* text;
    };
    const Case cases[] = {
        {"an end the user gave, failures after it",
         [](LikelihoodResult& r) {
             r.windowGiven = true;
             r.windowEnd = 5000.4;
             r.afterWindow = 3;
         },
         1, "Конец наблюдения: 5000 ч (задан); отказов после него не учтено: 3"},
        {"K = 1 not rejected, chi-square p",
         [](LikelihoodResult& r) {
             r.lrP = 0.31;
             r.lrReplicates = 0;
         },
         3,
         "Проверка K = 1: статистика отношения правдоподобия 4,500, p = 0,3100 по хи-квадрат с одной "
         "степенью "
         "свободы — не отвергнуто: данные совместимы с K = 1, но не доказывают его"},
        {"one replicate, p not a number",
         [](LikelihoodResult& r) {
             r.lrReplicates = 21;
             r.lrP = kNaN;
         },
         3, "Проверка K = 1: статистика отношения правдоподобия 4,500, p = — по 21 повторению бутстрепа"},
        {"no bootstrap asked for",
         [](LikelihoodResult& r) {
             r.gofReplicates = r.gofRequested = 0;
             r.gofP = kNaN;
             r.gofColumns = 1;
         },
         4, "Согласие с гистограммой по 1 столбцу: хи-квадрат Пирсона 12,500, бутстреп не выполнялся"},
        {"every replicate failed",
         [](LikelihoodResult& r) {
             r.gofReplicates = 0;
             r.gofRequested = 21;
             r.gofP = kNaN;
             r.gofChi2 = INFINITY;
         },
         4,
         "Согласие с гистограммой по 12 столбцам: хи-квадрат Пирсона —, p не вычислено: не удалось ни одно "
         "из "
         "21 повторения бутстрепа"},
    };
    for (const Case& c : cases) {
        LikelihoodResult r = freeFit();
        c.change(r);
        const auto changed = LikelihoodSummaryLines(r, true, ',');
        ASSERT_GT(changed.size(), c.line) << c.what;
        EXPECT_EQ(changed[c.line], c.text) << c.what;
    }
}

TEST(LikelihoodBoundsTable, RefusalAndBoundsAtAssumedShapes) {
    LikelihoodResult refused;
    refused.refusal = "Отказов не меньше, чем изделий";
    EXPECT_TRUE(LikelihoodBoundsRows(refused, '.').empty());
    EXPECT_TRUE(AssumedShapeRows(refused, '.').empty());
    EXPECT_EQ(LikelihoodSummaryLines(refused, false, '.'),
              std::vector<std::string>{"Модель 3 не рассчитана: Отказов не меньше, чем изделий"});
    // a fit from an earlier run that is no longer shown
    EXPECT_EQ(LikelihoodSummaryLines(freeFit(), false, '.'),
              std::vector<std::string>{"Модель 3 не рассчитана"});

    LikelihoodResult few;
    few.refusal = "Отказов меньше двух";
    few.settings.level = 0.95;
    few.assumedShape = {
        {1, {0.0012, 0.0024, 0.0048}}, {2, {0.00031, 0.0012, kNaN}}, {3, {1e-4, 8e-4, 0.0064}}};
    for (char sep : {'.', ','}) {
        const auto lines = LikelihoodSummaryLines(few, false, sep);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[1],
                  "Отказов слишком мало, чтобы подобрать форму закона: ниже верхние 95% границы числа "
                  "отказов на изделие при принятой, а не подобранной форме A");
        const auto rows = AssumedShapeRows(few, sep);
        ASSERT_EQ(rows.size(), 9u);
        EXPECT_EQ(rows[0],
                  (BoundsRow{"Отказов на изделие к 1000 ч при принятой форме A = 1", "—", "—",
                             Dec("≤ 0.0012", sep), "опирается на принятую форму, а не на оценку по данным"}));
        EXPECT_EQ(rows[4][0], "Отказов на изделие к 2000 ч при принятой форме A = 2");
        EXPECT_EQ(rows[4][3], Dec("≤ 0.0012", sep));
        EXPECT_EQ(rows[5][3], "—"); // a bound that is not finite
        EXPECT_EQ(rows[8][3], Dec("≤ 0.0064", sep));
    }

    // what the panel shows: the fit's rows after a fit, the assumed shapes after a refusal
    AnalysisState st;
    st.Pravd = few;
    EXPECT_EQ(ShownBoundsRows(st, '.').size(), 9u);
    st.Pravd = freeFit();
    EXPECT_TRUE(ShownBoundsRows(st, '.').empty()); // fitted in an earlier run, no longer executed
    st.MPravd.Executed = true;
    EXPECT_EQ(ShownBoundsRows(st, '.')[0][0], "A (параметр формы)");
}
