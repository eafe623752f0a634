#include "core/data/data_file_text.h"
#include "core/data/table_import.h"
#include "core/text/delimited_text.h"
#include "tests/core/load_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;
using namespace tovimo::test;

namespace {

struct Failure {
    std::string time; // with a decimal comma where it has a fraction
    std::string cause;
    std::string description;
};

// A small fleet's failures and the data file an engineer would type for them.
const std::vector<Failure> kFailures = {
    {"120,5", "Двигатель", "перегрев обмотки"},
    {"455", "Блок питания", ""},
    {"610,25", "Насос", "течь; по уплотнению"}, // a separator inside the text
    {"1200", "двигатель", ""},                  // the same cause in another case
    {"1850,75", "Насос", "износ"},
    {"2400", "Двигатель", "обрыв"},
};

std::string handWritten() {
    return "Станция НС-2\n3500\n800\n125\n40\n3\nДвигатель\nБлок питания\nНасос\n"
           "120.5\tДвигатель * перегрев обмотки\n"
           "455\tБлок питания\n"
           "610.25\tНасос * течь; по уплотнению\n"
           "1200\tдвигатель\n"
           "1850.75\tНасос * износ\n"
           "2400\tДвигатель * обрыв\n";
}

ImportHeader header() {
    ImportHeader h;
    h.fleet = 125;
    h.mean = 3500;
    h.sd = 800;
    h.failures = 40;
    h.comment = "Станция НС-2";
    return h;
}

// The table as a spreadsheet writes it, with one unreadable row after the
// second failure; under ',' the times with a comma are quoted.
std::string tableText(char sep, bool withHeader) {
    auto cell = [&](const std::string& s) { return DelimitedField(s, sep); };
    std::string t;
    if (withHeader)
        t += cell("Наработка, ч") + sep + cell("Причина отказа") + sep + cell("Описание") + "\r\n";
    for (size_t i = 0; i < kFailures.size(); ++i) {
        const Failure& f = kFailures[i];
        t += cell(f.time) + sep + cell(f.cause) + sep + cell(f.description) + "\r\n";
        if (i == 1) t += cell("н/д") + sep + cell("Насос") + sep + "\r\n";
    }
    return t;
}

void expectSameState(const Loaded& a, const Loaded& b) {
    const AnalysisState &x = a.st, &y = b.st;
    EXPECT_EQ(x.Comment, y.Comment);
    EXPECT_EQ(x.Sred, y.Sred);
    EXPECT_EQ(x.SKO, y.SKO);
    EXPECT_EQ(x.Kol_Izd_All, y.Kol_Izd_All);
    EXPECT_EQ(x.KolOtk, y.KolOtk);
    ASSERT_EQ(x.NPrich, y.NPrich);
    ASSERT_EQ(x.Vidy_otkazov.size(), y.Vidy_otkazov.size());
    for (size_t k = 0; k < x.Vidy_otkazov.size(); ++k) {
        EXPECT_EQ(x.Vidy_otkazov[k].Nazv_Prich, y.Vidy_otkazov[k].Nazv_Prich) << k;
        EXPECT_EQ(x.Vidy_otkazov[k].Dolya, y.Vidy_otkazov[k].Dolya) << k;
    }
    ASSERT_EQ(x.MasProbl.size(), y.MasProbl.size());
    for (size_t i = 0; i < x.MasProbl.size(); ++i) {
        EXPECT_EQ(x.MasProbl[i].time, y.MasProbl[i].time) << i;
        EXPECT_EQ(x.MasProbl[i].chey, y.MasProbl[i].chey) << i;
        EXPECT_EQ(x.MasProbl[i].Pri, y.MasProbl[i].Pri) << i;
        EXPECT_EQ(x.MasProbl[i].komment, y.MasProbl[i].komment) << i;
    }
    EXPECT_EQ(x.Izd_Prived, y.Izd_Prived);
    EXPECT_EQ(x.TL90expl, y.TL90expl);
    EXPECT_EQ(x.T50expl, y.T50expl);
    EXPECT_EQ(x.Otk_Izd, y.Otk_Izd);
    EXPECT_EQ(x.A_ln, y.A_ln);
    EXPECT_EQ(x.B_ln, y.B_ln);
    EXPECT_EQ(GridRows(a.st, a.form.decimalSeparator), GridRows(b.st, b.form.decimalSeparator));
    EXPECT_EQ(a.messages, b.messages);
}

TableImport importBytes(const std::string& bytes, const ImportHeader& h = header()) {
    const TableReadResult read = ReadFailureTable(bytes);
    EXPECT_TRUE(read.table) << read.error;
    if (!read.table) return {};
    return ConvertFailureTable(*read.table, h);
}

} // namespace

TEST(TableImport, EveryEncodingSeparatorAndHeaderLoadsAsTheHandWrittenFile) {
    const Loaded expected = Load(handWritten());
    ASSERT_TRUE(expected.ok);
    for (const char* encoding : {"UTF-8", "UTF-8 BOM", "Windows-1251"})
        for (char sep : {';', ',', '\t'})
            for (bool withHeader : {true, false}) {
                SCOPED_TRACE(std::string(encoding) + " sep=" + (sep == '\t' ? "tab" : std::string(1, sep)) +
                             (withHeader ? " header" : " no header"));
                const std::string utf8 = tableText(sep, withHeader);
                std::string bytes = utf8;
                if (std::string(encoding) == "UTF-8 BOM") bytes = "\xEF\xBB\xBF" + utf8;
                if (std::string(encoding) == "Windows-1251") bytes = EncodeCp1251(utf8);

                const TableReadResult read = ReadFailureTable(bytes);
                ASSERT_TRUE(read.table) << read.error;
                EXPECT_EQ(read.table->encoding,
                          std::string(encoding) == "Windows-1251" ? "Windows-1251" : "UTF-8");
                EXPECT_EQ(read.table->separator, sep);
                EXPECT_EQ(read.table->header, withHeader);
                const TableImport imp = ConvertFailureTable(*read.table, header());
                ASSERT_EQ(imp.badRows.size(), 1u);
                EXPECT_EQ(BadRowText(imp.badRows[0]), "Строка " + std::to_string(withHeader ? 4 : 3) +
                                                          ": наработка «н/д» не является числом");
                EXPECT_EQ(imp.records, kFailures.size());
                EXPECT_EQ(imp.causes, 3u);

                // what is stored on disk loads to the same state as the typed file
                const Loaded got = Load(DataFileBytes(imp.text), '.', false, false);
                ASSERT_TRUE(got.ok);
                expectSameState(got, expected);
            }
}

// The rows keep every field and the line they start on: rows shorter and
// longer than the header, quoted separators, quotes and line ends.
TEST(TableImport, RowsKeepTheirFieldsAndLines) {
    const std::string text = "время;причина;описание\n"
                             "100;Насос\n"
                             "\n"
                             "200;\"Насос; блок 2\";\"течь\n\"\"сильная\"\"\";лишнее\n"
                             "300;Двигатель;износ\r\n";
    const TableReadResult read = ReadFailureTable(text);
    ASSERT_TRUE(read.table);
    const TableRows& rows = read.table->rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(read.table->headerFields, (std::vector<std::string>{"время", "причина", "описание"}));
    EXPECT_EQ(read.table->columnCount, 4u);
    EXPECT_EQ(read.table->blankRows, 1u);
    const struct {
        size_t line;
        std::vector<std::string> fields;
    } want[] = {{2, {"100", "Насос"}},
                {4, {"200", "Насос; блок 2", "течь\n\"сильная\"", "лишнее"}},
                {6, {"300", "Двигатель", "износ"}}};
    for (size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows.line(r), want[r].line) << r;
        EXPECT_EQ(rows.fields(r), want[r].fields) << r;
        EXPECT_EQ(rows.fieldCount(r), want[r].fields.size()) << r;
        EXPECT_EQ(rows.field(r, static_cast<int>(want[r].fields.size())), "") << r;
        EXPECT_EQ(rows.field(r, -1), "") << r;
        EXPECT_FALSE(rows.unclosedQuote(r));
    }
    const TableImport imp = ConvertFailureTable(*read.table, {100, 3000, 700, std::nullopt, "т"});
    EXPECT_EQ(imp.records, 3u);
    EXPECT_NE(imp.text.find("200\tНасос; блок 2 * течь \"сильная\"\n"), std::string::npos) << imp.text;
}

TEST(TableImport, ColumnsByHeaderNamesInAnyCaseAndOrder) {
    const struct {
        std::string text;
        TableColumns columns;
    } cases[] = {
        {"ОПИСАНИЕ;Причина;время\nтечь;Насос;12,5\n", {2, 1, 0}},
        {"Description,TIME,cause,Номер\nleak,12.5,Pump,7\n", {1, 2, 0}},
        {"№;Наработка (ч);Причина отказа\n1;12,5;Насос\n", {1, 2, -1}},
        // a header without known names: time and cause by position
        {"t, ч;Узел;Текст\n12,5;Насос;течь\n", {0, 1, 2}},
        // "Временный" is not "время"; the time is the column that holds times
        {"Временный;Причина;x\nа;Насос;12,5\n", {2, 1, -1}},
        {"Причина;a;b\nНасос;x;12,5\n", {2, 0, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TableReadResult read = ReadFailureTable(c.text);
        ASSERT_TRUE(read.table) << read.error;
        EXPECT_TRUE(read.table->header);
        EXPECT_EQ(read.table->columns.time, c.columns.time);
        EXPECT_EQ(read.table->columns.cause, c.columns.cause);
        EXPECT_EQ(read.table->columns.description, c.columns.description);
        const TableImport imp = ConvertFailureTable(*read.table, header());
        EXPECT_TRUE(imp.badRows.empty());
        EXPECT_EQ(imp.records, 1u);
    }
}

TEST(TableImport, EveryBadRowIsListedWithItsLineAndReason) {
    const std::string text = "Наработка;Причина;Описание\n"          // 1
                             "100;Насос;\"две\nстроки\"\n"           // 2-3: a quoted line end
                             ";Насос;\n"                             // 4
                             "1.234,5;Насос;\n"                      // 5
                             "12 34;Насос;\n"                        // 6
                             "\n"                                    // 7: blank, skipped
                             "200;Насос*течь;\n"                     // 8
                             "1 234,5;Двигатель;\n"                  // 9: groups of thousands
                             "-5;Насос;\n"                           // 10: kept, as the loader keeps it
                             "300;;без причины\n"                    // 11
                             "400;Насос;\"не закрыта\n500;Насос;\n"; // 12-13
    const TableImport imp = importBytes(text);
    std::vector<std::string> bad;
    for (const BadRow& b : imp.badRows)
        bad.push_back(BadRowText(b));
    EXPECT_EQ(bad, (std::vector<std::string>{
                       "Строка 4: не указана наработка",
                       "Строка 5: наработка «1.234,5» не является числом",
                       "Строка 6: наработка «12 34» не является числом",
                       "Строка 8: в причине отказа «Насос*течь» есть знак «*», которым в файле данных "
                       "начинается описание",
                       "Строка 12: не закрыта кавычка: строка и все строки за ней прочитаны как одно поле",
                   }));
    EXPECT_EQ(imp.records, 4u);
    const Loaded l = Load(imp.text);
    ASSERT_EQ(l.st.MasProbl.size(), 4u);
    EXPECT_EQ(l.st.MasProbl[0].time, -5);
    EXPECT_EQ(l.st.MasProbl[1].time, 100);
    EXPECT_EQ(l.st.MasProbl[1].komment, "две строки");
    EXPECT_EQ(l.st.MasProbl[2].Pri, "Другие");
    EXPECT_EQ(l.st.MasProbl[2].komment, "без причины");
    EXPECT_EQ(l.st.MasProbl[3].time, 1234.5);
    EXPECT_NE(
        std::find(imp.notes.begin(), imp.notes.end(), "Отказов без причины: 1, они отнесены к «Другие»"),
        imp.notes.end());
}

TEST(TableImport, MoreThanFiftyCausesKeepTheMostFrequent) {
    // cause k has k + 1 failures for k < 50, the five after them one each
    std::string text;
    for (int k = 0; k < 55; ++k)
        for (int n = 0; n < (k < 50 ? k + 1 : 1); ++n)
            text += std::to_string(10 + k) + ";Узел " + std::to_string(k) + ";\n";
    ImportHeader h = header();
    h.failures.reset();
    const TableImport imp = importBytes(text, h);
    EXPECT_TRUE(imp.badRows.empty());
    EXPECT_EQ(imp.causes, 50u);
    ASSERT_FALSE(imp.notes.empty());
    EXPECT_EQ(imp.notes[0], "В таблице 55 причин отказов; оставлены 50 самых частых, остальные 5 (5 отказов) "
                            "отнесены к «Другие»");
    const Loaded l = Load(imp.text);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.st.NPrich, 50);
    EXPECT_EQ(l.st.KolOtk, 50 * 51 / 2 + 5);
    EXPECT_EQ(l.st.Vidy_otkazov[51].Nazv_Prich, "Другие");
    EXPECT_EQ(l.st.Vidy_otkazov[51].Dolya, 5);
    EXPECT_EQ(l.st.MasProbl.back().Pri, "Другие");
    EXPECT_EQ(l.st.MasProbl.back().komment, "Узел 54");
}

TEST(TableImport, CausesDifferingInCaseAreOneAndNamesInsideOthersAreReported) {
    const TableImport imp = importBytes("1;Насос\n2;насос \n3;НАСОС высокого давления\n");
    EXPECT_EQ(imp.causes, 2u);
    const Loaded l = Load(imp.text);
    EXPECT_EQ(l.st.V_otk[1].Nazv_Prich, "Насос");
    EXPECT_EQ(l.st.V_otk[2].Nazv_Prich, "НАСОС высокого давления");
    EXPECT_NE(
        std::find(imp.notes.begin(), imp.notes.end(),
                  "Название причины «Насос» входит в название причины «НАСОС высокого давления»: отказы "
                  "«НАСОС высокого давления» засчитываются и причине «Насос»"),
        imp.notes.end());
}

TEST(TableImport, TablesThatCannotBeRead) {
    EXPECT_EQ(ReadFailureTable("").error, "Таблица пуста");
    EXPECT_EQ(ReadFailureTable("\n \n").error, "Таблица пуста");
    EXPECT_FALSE(ReadFailureTable("12\n13\n14\n").table);
    // not text: a PDF's start, a NUL, control bytes
    const std::string notText =
        "Файл не является текстовой таблицей (в нём двоичные данные): загружать нечего";
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Length 5 >>\nstream\n";
    for (int i = 0; i < 40; ++i)
        pdf += std::string("x\x01\x02\x03;\x1B\x7F") + char(0x10 + i % 8) + "\n";
    EXPECT_EQ(ReadFailureTable(pdf).error, notText);
    EXPECT_EQ(ReadFailureTable(std::string("100;Насос\n200;Насос") + '\0' + "\n").error, notText);
    EXPECT_TRUE(ReadFailureTable("100;Насос\f\n200;\tНасос\r\n").table); // blanks of text are text
}

TEST(TableImport, MostRowsUnreadableOffersNothing) {
    const struct {
        std::string text;
        bool unreadable;
    } cases[] = {
        {"1;a\n2;b\nx;c\n", false}, // one of three left out
        {"1;a\nx;b\n", false},      // half: still usable
        {"1;a\nx;b\ny;c\n", true},  // most left out
        {"t;a\nx;b\ny;c\n", true},  // none read
    };
    for (const auto& c : cases) {
        const TableReadResult read = ReadFailureTable(c.text, {';', false, TableColumns{0, 1, -1}});
        ASSERT_TRUE(read.table) << c.text;
        EXPECT_EQ(MostRowsUnreadable(ConvertFailureTable(*read.table, header())), c.unreadable) << c.text;
    }
}

// A negative time and one beyond the warranty law's end are listed; kept,
// they load as they are (the long one cut by the loader, as the line says);
// dropped, they are left out with a note each.
TEST(TableImport, DoubtfulTimesAreListedAndCanBeDropped) {
    const std::string text = "Наработка;Причина\n"
                             "-15,5;Насос\n"     // 2
                             "120;Насос\n"       // 3
                             "99999999;Насос\n"  // 4
                             "5900;Двигатель\n"; // 5: 3500 + 3 · 800 = 5900 exactly, kept quietly
    for (char sep : {'.', ','}) {
        ImportHeader h = header();
        h.failures.reset();
        h.decimalSeparator = sep;
        const std::string end = "5900";
        const TableImport all = importBytes(text, h);
        std::vector<std::string> listed;
        for (const DoubtfulRow& r : all.doubtfulRows)
            listed.push_back(DoubtfulRowText(r));
        const std::string minus = sep == ',' ? "-15,5" : "-15.5";
        const std::string longReason =
            "наработка больше " + end +
            " ч (среднее время гарантии + 3 СКО): при загрузке будет уменьшена до " + end + " ч";
        EXPECT_EQ(listed, (std::vector<std::string>{"Строка 2: " + minus + " ч — отрицательная наработка",
                                                    "Строка 4: 99999999 ч — " + longReason}));
        EXPECT_EQ(all.records, 4u);
        EXPECT_TRUE(all.badRows.empty());

        const TableReadResult read = ReadFailureTable(text);
        ASSERT_TRUE(read.table);
        const TableImport some = ConvertFailureTable(*read.table, h, {2, 4});
        EXPECT_EQ(some.records, 2u);
        EXPECT_EQ(some.doubtfulRows.size(), 2u); // still listed, to be taken back
        EXPECT_NE(std::find(some.notes.begin(), some.notes.end(),
                            "Строка 2 не загружается: отрицательная наработка"),
                  some.notes.end());
        EXPECT_NE(std::find(some.notes.begin(), some.notes.end(), "Строка 4 не загружается: " + longReason),
                  some.notes.end());
        const Loaded l = Load(some.text);
        ASSERT_EQ(l.st.MasProbl.size(), 2u);
        EXPECT_EQ(l.st.MasProbl[0].time, 120);
        EXPECT_EQ(l.st.MasProbl[1].time, 5900);
    }
    // without a warranty law typed, only the negative time is doubtful
    ImportHeader none;
    EXPECT_EQ(importBytes(text, none).doubtfulRows.size(), 1u);
}

TEST(TableImport, HeaderNumbersAreChecked) {
    const struct {
        double fleet, mean, sd;
        std::optional<long long> failures;
        size_t problems;
    } cases[] = {
        {125, 3500, 800, std::nullopt, 0},
        {0, 3500, 800, 3, 1},
        {125, -1, 800, 3, 1},
        {125, 3500, 0, 3, 1},
        {125, 3500, 800, -1, 1},
        {125, 3500, 800, 3'000'000'000LL, 1},
        {NAN, INFINITY, 800, 3, 2},
        {125, 3500, 800, 0, 0},
    };
    for (const auto& c : cases) {
        ImportHeader h{c.fleet, c.mean, c.sd, c.failures, ""};
        EXPECT_EQ(CheckImportHeader(h).size(), c.problems) << c.fleet << " " << c.mean << " " << c.sd;
    }
}

TEST(DataFileText, StoredAsWindows1251UnlessThatLosesText) {
    const std::string cyr = "Насос\n";
    EXPECT_EQ(DataFileBytes(cyr), EncodeCp1251(cyr));
    for (const std::string text : {"Насос ✓\n", "Рё\n"}) {
        const std::string bytes = DataFileBytes(text);
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << text;
        EXPECT_EQ(DecodeFileText(bytes), text);
    }
}

// A long file is encoded a piece at a time: the pieces join into the
// encoding of the whole, and one character outside the code page anywhere
// keeps the whole file UTF-8.
TEST(DataFileText, LongFilesEncodeAsAWhole) {
    std::string cyr, ascii;
    for (int i = 0; i < 20000; ++i) {
        cyr += std::to_string(i) + ".5\tНасос * течь\n";
        ascii += std::to_string(i) + ".5\tPump\n";
    }
    ASSERT_GT(cyr.size(), 3u * 65536);
    EXPECT_EQ(DataFileBytes(cyr), EncodeCp1251(cyr));
    EXPECT_EQ(DataFileBytes(ascii), ascii);
    for (const std::string& late : {cyr + "1\tНасос ✓\n", "1\tНасос ✓\n" + cyr}) {
        const std::string bytes = DataFileBytes(late);
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_EQ(DecodeFileText(bytes), late);
    }
    // the rule for the whole file: Windows-1251 when it reads back as the same text
    for (const std::string& text : {cyr + "Рё", std::string("Рё\n") + ascii, ascii + "Рё"}) {
        const std::string whole = EncodeCp1251(text);
        EXPECT_EQ(DataFileBytes(text), DecodeFileText(whole) == text ? whole : "\xEF\xBB\xBF" + text);
    }
}

TEST(DataFileText, DefaultCommentIsTheFileName) {
    EXPECT_EQ(DefaultImportComment("/home/u/отказы 2023.csv"), "отказы 2023.csv");
    EXPECT_EQ(DefaultImportComment("C:\\data\\t.csv"), "t.csv");
    EXPECT_EQ(DefaultImportComment("t.csv"), "t.csv");
}
