#include "core/results/results_refresh.h"
#include "core/results/results_table.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/text/text_codec.h"
#include "tests/core/results/table_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tovimo {
namespace {

// Six pixels per character: the padding limits 118 and 113 px become 20 and
// 19 characters.
int Width(const std::string& s) {
    return 6 * static_cast<int>(CharCount(s));
}

using table_test::Model;
using table_test::State;

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// A figure that is not a number, infinite, too long for its cell or without
// meaning shows a dash, in the window's texts and in those read by programs.
TEST(ResultTable, FiguresACellCannotShowAreDashes) {
    struct Case {
        const char* what;
        void (*spoil)(Mod_Weib&);
        int row;
        const char* text; // the program's text; the window's is the same, padded
    };
    const Case cases[] = {
        {"no failure flow at the start", [](Mod_Weib& m) { m.LamStart = 0; }, 10, "    —/ 12500.0 ч"},
        {"a flow of almost nothing", [](Mod_Weib& m) { m.Lam1000 = 1e-22; }, 10, "2000.0/     — ч"},
        // the data reach 5100 h (3000 + 3 x 700): a mean beyond 5.1 million hours means nothing
        {"a mean time past a thousand horizons", [](Mod_Weib& m) { m.LamStart = 1.9e-4; }, 10,
         "    —/ 12500.0 ч"},
        {"a mean time within them", [](Mod_Weib& m) { m.LamStart = 2e-4; }, 10, "5000000.0/ 12500.0 ч"},
        {"no scale: the model is not defined", [](Mod_Weib& m) { m.B = std::nan(""); }, 1,
         "     — /       —"},
        {"a scale past the cell", [](Mod_Weib& m) { m.B = 2e7; }, 1, " 1.300 /       —"},
        {"no expected failures", [](Mod_Weib& m) { m.Kol_Nakopl = INFINITY; }, 5, "— /41"},
    };
    for (const Case& c : cases) {
        AnalysisState st = State();
        st.MPirsN = Model(1.3, 9000, 1.4);
        c.spoil(st.MPirsN);
        AnalysisState st2 = st;
        const ResultTable window = FillResultTable(st, '.', Width);
        const ResultTable program = FillResultTable(st2, '.', Width, false);
        EXPECT_EQ(program.cells[c.row][1], c.text) << c.what;
        EXPECT_EQ(Trim(window.cells[c.row][1]), Trim(c.text)) << c.what;
        for (const ResultTable* t : {&window, &program})
            for (const auto& row : t->cells) {
                const std::string& cell = row[1];
                EXPECT_EQ(cell.find("INF"), std::string::npos) << c.what << ": " << cell;
                EXPECT_EQ(cell.find("NAN"), std::string::npos) << c.what << ": " << cell;
                EXPECT_LT(Width(cell), 190) << c.what << ": " << cell;
            }
    }
}

// K of 0 (the formula's value for a single failure): the model predicts
// nothing, so its parameters and every figure taken from them are dashes; K
// itself and the counts stay.
TEST(ResultTable, ModelWithKZeroShowsNoFigures) {
    for (char sep : {'.', ','}) {
        AnalysisState st = State();
        st.MPirsN = Model(1.3, 9000, 0);
        st.MPirsN.Kol_Nakopl = 0;
        const ResultTable t = FillResultTable(st, sep, Width, false);
        EXPECT_EQ(t.cells[1][1], "     — /       —");
        EXPECT_EQ(t.cells[2][1], sep == '.' ? "0.0000" : "0,0000");
        EXPECT_EQ(t.cells[3][1], "— ч.");
        EXPECT_EQ(t.cells[4][1], "   — /    — ч.");
        EXPECT_EQ(t.cells[5][1], "0 /41");
        EXPECT_EQ(t.cells[10][1], "    —/     — ч");
        EXPECT_EQ(t.cells[11][1], "   — /   — /   — ");
    }
}

// Model 3 with its maximum in a flat tail: the parameter that runs off shows
// no value, the others and the figures keep theirs.
TEST(ResultTable, Model3FlatParameterIsADash) {
    AnalysisState st = State();
    st.MPravd = Model(1.3, 1e6, 1);
    st.Pravd.atBound = true;
    st.Pravd.flatParameter = "B";
    ResultTable t = FillResultTable(st, '.', Width, false);
    EXPECT_EQ(t.cells[0][1], "Макс. правдоподобия");
    EXPECT_EQ(t.cells[1][1], " 1.300 /       —");
    EXPECT_EQ(t.cells[2][1], "1.0000");
    st.Pravd.flatParameter = "K";
    t = FillResultTable(st, '.', Width, false);
    EXPECT_EQ(t.cells[1][1], " 1.300 / 1000000.00");
    EXPECT_EQ(t.cells[2][1], "     —");
    st.Pravd.atBound = false;
    t = FillResultTable(st, '.', Width, false);
    EXPECT_EQ(t.cells[2][1], "1.0000");
}

TEST(ResultTable, NoModelPutsTheOperatingDataInColumnOne) {
    AnalysisState st = State();
    const ResultTable t = FillResultTable(st, '.', Width);
    EXPECT_EQ(t.dataColumn, 1);
    EXPECT_EQ(st.Num_Col, 1);
    EXPECT_EQ(t.cells[0][0], "Результаты для методов:");
    EXPECT_EQ(t.cells[11][0], "Отказов/изд. за 1000/2000/4000 ч");
    EXPECT_EQ(t.cells[10][0], "MTBF при 300 и 1000 ч"); // the last failure lies beyond 1000 h
    EXPECT_EQ(t.cells[0][1], "Данные эксплуатации");
    EXPECT_EQ(Trim(t.cells[3][1]), "2500(набл.)/3502(ценз.)");
    EXPECT_EQ(Trim(t.cells[4][1]), "набл. 0/1500 ч");
    EXPECT_EQ(Trim(t.cells[5][1]), "6 /41");
    EXPECT_EQ(Trim(t.cells[10][1]), "500 ч для 300 -1000 ч.");
    EXPECT_EQ(Trim(t.cells[11][1]), "0.12 /3000 ч."); // 0.125 is a tie: to the even digit
    for (int r : {1, 2, 6, 7, 8, 9})
        EXPECT_EQ(t.cells[r][1], "") << r;
    for (int c = 2; c < kResultCols; ++c)
        for (int r = 0; r < kResultRows; ++r)
            EXPECT_EQ(t.cells[r][c], "");
}

TEST(ResultTable, ModelColumnRowsUnderBothSeparators) {
    for (char sep : {'.', ','}) {
        AnalysisState st = State();
        st.MSmirn = Model(1.5, 2000, 1.25);
        const ResultTable t = FillResultTable(st, sep, Width, false);
        auto dec = [sep](std::string s) {
            for (char& c : s)
                if (c == '.') c = sep;
            return s;
        };
        EXPECT_EQ(t.cells[0][1], "Смирнова ");
        EXPECT_EQ(t.cells[0][2], "Данные эксплуатации");
        EXPECT_EQ(t.cells[1][1], dec(" 1.500 / 2000.00"));
        EXPECT_EQ(t.cells[2][1], dec("1.2500"));
        const double K = 1.25;
        EXPECT_EQ(t.cells[3][1], std::to_string(std::llround(weibinv(1.5, 2000, 0.5 / K))) + " ч.");
        EXPECT_EQ(t.cells[5][1], "37 /41");
        EXPECT_EQ(t.cells[6][1], dec(" 2.45 /  1.25"));
        EXPECT_EQ(t.cells[7][1], dec("3000.0 ч"));
        EXPECT_EQ(t.cells[8][1], dec("700.0 ч"));
        EXPECT_EQ(t.cells[10][1], dec("2000.0/ 12500.0 ч"));
        double kolm, crt;
        std::string verdict;
        kolm = Kolmogor(st, K, 1.5, 2000, 3000, 700.04, crt, verdict);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%6.3f", kolm);
        EXPECT_EQ(t.cells[9][1], dec(buf) + verdict);
        EXPECT_EQ(st.KolmStr, verdict);
        EXPECT_EQ(st.MSmirn.KolmCrt, 0); // the slot is left as it was
        EXPECT_EQ(t.cells[11][1].back(), ' ');
        EXPECT_EQ(t.cells[11][1].find(dec(" /")), 4u);
    }
}

TEST(ResultTable, WholeNumbersRoundHalvesToEven) {
    struct Case {
        double kolNakopl;
        const char* text;
    } cases[] = {{36.5, "36 /41"}, {37.5, "38 /41"}, {37.49, "37 /41"}, {0.5, "0 /41"}};
    for (const Case& c : cases) {
        AnalysisState st = State();
        st.MPirsN = Model(1.2, 3000, 1);
        st.MPirsN.Kol_Nakopl = c.kolNakopl;
        EXPECT_EQ(FillResultTable(st, '.', Width, false).cells[5][1], c.text);
    }
}

TEST(ResultTable, FourModelsInTheirFixedOrder) {
    AnalysisState st = State();
    st.MGenet = Model(1.1, 5000, 1.1);
    st.MSmirn = Model(1.2, 4000, 1.2);
    st.MPirsS = Model(1.3, 3000, 1.3);
    st.MPirsN = Model(1.4, 2000, 1.4);
    ResultTable t = FillResultTable(st, '.', Width);
    const char* heads[] = {"Пирсона/Ньютона", "Пирсона/спир.спуск", "Смирнова ", "Генетическая",
                           "Данные эксплуатации"};
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(t.cells[0][c], heads[c - 1]);
    EXPECT_EQ(t.dataColumn, 5);
    EXPECT_EQ(Trim(t.cells[2][1]), "1.4000");
    EXPECT_EQ(Trim(t.cells[2][4]), "1.1000");

    st.MGenet.Executed = false; // the next refresh with three models leaves column 5 empty
    t = FillResultTable(st, '.', Width);
    EXPECT_EQ(t.dataColumn, 4);
    for (int r = 0; r < kResultRows; ++r)
        EXPECT_EQ(t.cells[r][5], "");
}

TEST(ResultTable, CntrTextPadsToTheColumnLimitAndWidthsFitTheWidestCell) {
    AnalysisState st = State();
    st.MPirsN = Model(1.2, 3000, 1);
    // a value wider than its limit keeps only the leading blank
    st.MPirsN.LamStart = st.MPirsN.Lam1000 = 2e-4;
    const ResultTable t = FillResultTable(st, '.', Width);
    EXPECT_EQ(t.cells[2][1], " 1.0000" + std::string(13, ' ')); // 20 characters = 120 px >= 118
    EXPECT_EQ(t.cells[5][2], " 6 /41" + std::string(13, ' '));  // 19 characters = 114 px >= 113
    EXPECT_EQ(t.cells[0][1], "Пирсона/Ньютона");                // headers unpadded
    EXPECT_EQ(t.cells[10][1].front(), ' ');
    EXPECT_TRUE(t.cells[10][1].ends_with("ч"));
    int widest = 0;
    for (int r = 0; r < kResultRows; ++r)
        widest = std::max(widest, Width(t.cells[r][1]));
    EXPECT_EQ(t.widths[1], widest + 15);
    EXPECT_EQ(t.widths[0], Width("Отказов/изд. за 1000/2000/4000 ч") + 15);
    EXPECT_EQ(t.widths[4], 15);
}

TEST(ResultTable, FlowWithoutMeaningShowsADash) {
    AnalysisState st = State();
    st.Pot08 = std::nan("");
    st.MasProbl.resize(3); // last failure at 500 h: tfin = 500
    const ResultTable t = FillResultTable(st, ',', Width, false);
    EXPECT_EQ(t.cells[10][1], "   — ч для 300 - 500 ч.");
    EXPECT_EQ(t.cells[10][0], "MTBF при 300 и 500 ч");
    EXPECT_EQ(st.tfin, 500);
    // a flow so small that its mean time lies past a thousand horizons (5100 h)
    st.Pot08 = 1e-4;
    EXPECT_EQ(FillResultTable(st, ',', Width, false).cells[10][1], "   — ч для 300 - 500 ч.");
    st.Pot08 = 0.5;
    EXPECT_EQ(FillResultTable(st, ',', Width, false).cells[10][1], "2000 ч для 300 - 500 ч.");
}

TEST(Potok08, WindowAndCorrection) {
    AnalysisState st = State();
    st.Sred = 1e6; // nobody leaves warranty: each failure counts once (but for the 1e-12 floor)
    st.SKO = 1;
    st.T_Prirab = 350; // a failure exactly at the burn-in time is outside, one at 1000 h inside
    ASSERT_TRUE(Potok08(st));
    EXPECT_EQ(st.T_Prirab, 350);
    EXPECT_NEAR(st.Pot08, 3 * 1000 / (1000.0 - 350) / 50, 1e-11);

    st.T_Prirab = 1000;
    EXPECT_FALSE(Potok08(st));
    EXPECT_TRUE(std::isnan(st.Pot08));

    st.Sred = 10; // every product has left warranty long before: the correction has no value
    st.SKO = 1;
    st.T_Prirab = 300;
    EXPECT_FALSE(Potok08(st));
}

TEST(AccumulateModelTotals, SumsColumnsWithFailuresOfExecutedSlots) {
    AnalysisState st;
    st.Hist_Stol.resize(3);
    st.Hist_Stol[0].Sum = 2;
    st.Hist_Stol[1].Sum = 0;
    st.Hist_Stol[2].Sum = 1;
    for (Mod_Weib* m : {&st.MPirsN, &st.MSmirn, &st.MGenet}) {
        m->F_Weib = {0.1, 0.2, 0.4};
        m->Kol_F_priv = {1, 2, 4};
        m->Executed = true;
        m->Unsens = m->Kol_Nakopl = 99;
    }
    st.MGenet.Executed = false;
    AccumulateModelTotals(st);
    EXPECT_DOUBLE_EQ(st.MPirsN.Unsens, 0.5);
    EXPECT_EQ(st.MPirsN.Kol_Nakopl, 5);
    EXPECT_EQ(st.MSmirn.Unsens, 0); // not summed for the Smirnov model
    EXPECT_EQ(st.MSmirn.Kol_Nakopl, 5);
    EXPECT_EQ(st.MGenet.Kol_Nakopl, 0);
}

} // namespace
} // namespace tovimo
