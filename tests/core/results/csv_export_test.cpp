// CSV cells that a spreadsheet would take for a formula: texts starting with
// '=', '+', '-', '@', a tab or a carriage return get a leading apostrophe,
// numbers (negative ones too) are written as numbers, under either decimal
// separator.
#include "core/results/csv_export.h"

#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/text/delimited_text.h"
#include "core/text/number_format.h"
#include "tests/core/results/table_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <string_view>

using namespace tovimo;

namespace {

// The records of a written table, without its byte-order mark.
std::vector<std::vector<std::string>> readBack(const std::string& csv, char decimalSeparator) {
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    std::vector<std::vector<std::string>> rows;
    for (auto& r : SplitDelimited(std::string_view(csv).substr(3), CsvSeparator(decimalSeparator)))
        rows.push_back(r.fields);
    return rows;
}

const char kDecimals[] = {'.', ','};

} // namespace

TEST(CsvExport, TextsThatWouldStartAFormulaGetAnApostrophe) {
    const struct {
        std::string text, written;
    } cases[] = {
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"=HYPERLINK(\"http://x\";\"y\")", "'=HYPERLINK(\"http://x\";\"y\")"},
        {"+SUM(A1)", "'+SUM(A1)"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1+1", "'\t=1+1"},
        {"\r=1+1", "'\r=1+1"},
        {"-5", "'-5"}, // a cause named so is a text, not a number
        {"", ""},
        {"Насос \"А\"; ввод, вывод", "Насос \"А\"; ввод, вывод"},
        {"a=b+c", "a=b+c"},
        {"'=1", "'=1"},
        {"—", "—"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvText(c.text), c.written) << c.text;
}

TEST(CsvExport, CellsThatAreNumbersInTheDecimalFormatStayNumbers) {
    const struct {
        std::string text;
        char decimal;
        std::string written;
    } cases[] = {
        {"-1.5", '.', "-1.5"},
        {"-1,5", ',', "-1,5"},
        {"-1,5", '.', "'-1,5"},
        {"-1.5", ',', "'-1.5"},
        {"-12", '.', "-12"},
        {"-12", ',', "-12"},
        {"+3", '.', "+3"},
        {"-1E-5", ',', "-1E-5"},
        {"1,25", ',', "1,25"},
        {"0.5", '.', "0.5"},
        {"-", '.', "'-"},
        {"-inf", '.', "'-inf"},
        {"-0.5 / 3", '.', "'-0.5 / 3"},
        {"=1", ',', "'=1"},
        {"@1", '.', "'@1"},
        {"\t-1", '.', "'\t-1"},
        {"", ',', ""},
        {"—", ',', "—"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvCell(c.text, c.decimal), c.written) << c.text << " with '" << c.decimal << "'";
}

TEST(CsvExport, HistogramHeaderCarriesCauseNamesAsTextAndRowsAsNumbers) {
    HistogramTable h;
    h.causeNames = {"=cmd|calc", "+SUM(A1)", "Насос \"А\"; ввод, вывод", "", "-5"};
    h.rows.push_back({100, {1, 0, 2, 0, 1}, 4});
    h.rows.push_back({-1.5, {0, 1, 0, 1, 0}, 2}); // an edge is a number whichever its sign
    for (char decimal : kDecimals) {
        SCOPED_TRACE(decimal);
        const auto rows = readBack(HistogramCsv(h, decimal), decimal);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"Граница столбца, ч", "'=cmd|calc", "'+SUM(A1)",
                                                     "Насос \"А\"; ввод, вывод", "", "'-5", "Всего"}));
        EXPECT_EQ(rows[1], (std::vector<std::string>{"100", "1", "0", "2", "0", "1", "4"}));
        EXPECT_EQ(rows[2][0], decimal == ',' ? "-1,5" : "-1.5");
    }
}

TEST(CsvExport, BoundsRowsKeepNegativeFiguresAndQuoteFormulaTexts) {
    for (char decimal : kDecimals) {
        SCOPED_TRACE(decimal);
        const std::string neg = decimal == ',' ? "-0,25" : "-0.25";
        const std::vector<BoundsRow> in = {{"A (параметр формы)", neg, "-1E-5", "+2", "-экстраполяция"},
                                           {"=1+1", "—", "—", "—", ""}};
        const auto rows = readBack(BoundsCsv(in, decimal), decimal);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[1],
                  (std::vector<std::string>{"A (параметр формы)", neg, "-1E-5", "+2", "'-экстраполяция"}));
        EXPECT_EQ(rows[2], (std::vector<std::string>{"'=1+1", "—", "—", "—", ""}));
    }
}

TEST(CsvExport, ResultTableLabelsAreTextAndFiguresStayNumbers) {
    for (char decimal : kDecimals) {
        SCOPED_TRACE(decimal);
        ResultTable t;
        t.dataColumn = 2;
        t.figures.resize(2);
        t.figures[0] = {"", "=Модель", "Данные эксплуатации"};
        t.figures[1] = {"-метка", decimal == ',' ? "-0,5" : "-0.5", "-0.5 / 3"};
        const auto rows = readBack(ResultTableCsv(t, decimal), decimal);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"", "'=Модель", "Данные эксплуатации"}));
        EXPECT_EQ(rows[1],
                  (std::vector<std::string>{"'-метка", decimal == ',' ? "-0,5" : "-0.5", "'-0.5 / 3"}));
    }
}

namespace {

// A cell as a spreadsheet under `decimal` reads it: a number only when it is
// digits with at most a leading minus and one decimal separator of its own.
std::optional<double> SpreadsheetNumber(const std::string& cell, char decimal) {
    if (cell.empty() || cell.find_first_not_of("-0123456789" + std::string(1, decimal)) != std::string::npos)
        return std::nullopt;
    return ParseFloat(cell, decimal);
}

AnalysisState TwoModelState() {
    AnalysisState st = table_test::State();
    st.T_Prirab = 300.5;
    st.T50expl = 2500;
    st.t50zen = 3502;
    st.TL80expl = 1500;
    st.MSmirn = table_test::Model(1.5, 2000, 1.25);
    st.MSmirn.SKO_out = 1.237;
    st.MPravd = table_test::Model(1.7391, 3635.4123, 0.93);
    st.Pravd.atBound = true; // model 3's shape stands in a flat tail
    st.Pravd.flatParameter = "A";
    return st;
}

} // namespace

// The saved results are one figure per cell: every cell of a model or the
// operating-data column is a number under the file's decimal separator, a dash
// or empty, and the figures recompute from each other as the model says.
TEST(CsvExport, ResultFiguresAreNumbersASpreadsheetComputesWith) {
    for (char decimal : kDecimals) {
        SCOPED_TRACE(decimal);
        AnalysisState st = TwoModelState();
        const ResultTable table = FillResultTable(
            st, decimal, [](const std::string& s) { return static_cast<int>(s.size()); }, false);
        const auto rows = readBack(ResultTableCsv(table, decimal), decimal);
        ASSERT_GE(rows.size(), 20u);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"Результаты для методов:", "Смирнова ",
                                                     "Макс. правдоподобия", "Данные эксплуатации"}));
        // row name -> the numbers of columns 1..3 (NaN for a dash or an empty cell)
        std::map<std::string, std::array<double, 3>> figure;
        for (size_t r = 1; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), 4u) << r;
            std::array<double, 3> numbers;
            for (size_t c = 1; c < 4; ++c) {
                const std::string& cell = rows[r][c];
                const auto v = SpreadsheetNumber(cell, decimal);
                EXPECT_TRUE(v || cell.empty() || cell == "—") << rows[r][0] << ": " << cell;
                numbers[c - 1] = v ? *v : std::nan("");
            }
            figure[rows[r][0]] = numbers;
        }
        auto at = [&](const std::string& row, int col) {
            EXPECT_TRUE(figure.count(row)) << row;
            return figure[row][static_cast<size_t>(col)];
        };
        // model 2 recomputed from its own A, B and K as written
        const double A = at("Параметр формы A", 0), B = at("Параметр масштаба B, ч", 0),
                     K = at("Масштабный коэффициент K", 0);
        EXPECT_DOUBLE_EQ(A, 1.5);
        EXPECT_DOUBLE_EQ(B, 2000);
        EXPECT_DOUBLE_EQ(K, 1.25);
        EXPECT_NEAR(at("50% перцентиль (Nотк./Nпарк), ч", 0), weibinv(A, B, 0.5 / K), 0.5);
        EXPECT_NEAR(at("90% перцентиль, ч", 0), weibinv(A, B, 0.1 / K), 0.5);
        EXPECT_NEAR(at("Отказов/изд. за 2000 ч", 0), K * weibCDF2(A, B, 0, 2000), 0.005);
        EXPECT_NEAR(at("Доверит. 95% интервал", 0), 1.96 * at("СКО модели", 0), 0.005 + 1.96 * 0.005);
        EXPECT_NEAR(at("MTBF при 300" + std::string(1, decimal) + "5 ч, ч", 0), 1000 / 0.5, 0.05);
        // the Kolmogorov verdict from two numbers, not one text
        EXPECT_DOUBLE_EQ(at("Критическое значение Колмогорова (5%)", 0), kKolmogorovCritical);
        double crt;
        std::string verdict;
        const double kolm = Kolmogor(st, K, A, B, 3000, 700.04, crt, verdict);
        EXPECT_NEAR(at("Критерий Колмогорова", 0), kolm, 0.0005);
        EXPECT_EQ(at("Критерий Колмогорова", 0) < at("Критическое значение Колмогорова (5%)", 0),
                  verdict.find('<') != std::string::npos);
        // model 3: the shape in a flat tail is a dash, the scale keeps its two decimals
        EXPECT_EQ(rows[1][2], "—");
        EXPECT_DOUBLE_EQ(at("Параметр масштаба B, ч", 1), 3635.41);
        // the operating data: counts and times in their own rows
        EXPECT_EQ(at("Записей об отказах", 2), 6);
        EXPECT_EQ(at("Фактических отказов", 2), 41);
        EXPECT_EQ(at("50% перцентиль набл., ч", 2), 2500);
        EXPECT_EQ(at("50% перцентиль ценз., ч", 2), 3502);
        EXPECT_EQ(at("80% перцентиль, ч", 2), 1500);
        EXPECT_EQ(at("Средний фактич. срок гарантии, ч", 2), 3000);
        EXPECT_EQ(at("Отказов/изд. за средний срок гарантии", 2), 0.12); // a tie to the even digit
        EXPECT_TRUE(std::isnan(at("Параметр формы A", 2)));
    }
}
