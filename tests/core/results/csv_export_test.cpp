// CSV cells that a spreadsheet would take for a formula: texts starting with
// '=', '+', '-', '@', a tab or a carriage return get a leading apostrophe,
// numbers (negative ones too) are written as numbers, under either decimal
// separator.
#include "core/results/csv_export.h"

#include "core/text/delimited_text.h"

#include <gtest/gtest.h>

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
        t.cells[0] = {"", " =Модель", "Данные эксплуатации"};
        t.cells[1] = {"-метка", decimal == ',' ? " -0,5  " : " -0.5  ", "-0.5 / 3"};
        const auto rows = readBack(ResultTableCsv(t, decimal), decimal);
        ASSERT_EQ(rows.size(), static_cast<size_t>(kResultRows));
        EXPECT_EQ(rows[0], (std::vector<std::string>{"", "'=Модель", "Данные эксплуатации"}));
        EXPECT_EQ(rows[1],
                  (std::vector<std::string>{"'-метка", decimal == ',' ? "-0,5" : "-0.5", "'-0.5 / 3"}));
    }
}
