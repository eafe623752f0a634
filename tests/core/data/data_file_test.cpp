#include "tests/core/load_fixture.h"

#include "core/stats/histogram.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace tovimo;
using namespace tovimo::test;

TEST(DataFile, ExampleFileLoadsEveryField) {
    for (const char* name : {"example.txt", "example_utf8_bom.txt"}) {
        AnalysisState st;
        MainForm form;
        form.decimalSeparator = ',';
        std::vector<std::string> msgs;
        ASSERT_TRUE(LoadDataFile(st, form, std::string(TOVIMO_TEST_DATA) + "/" + name,
                                 [&](const std::string& m) { msgs.push_back(m); }))
            << name;
        EXPECT_TRUE(msgs.empty());
        EXPECT_EQ(st.Comment, "Изделие А, гарантия 2023");
        EXPECT_EQ(form.Label10, st.Comment);
        EXPECT_EQ(st.Sred, 3500);
        EXPECT_EQ(st.SKO, 800);
        EXPECT_EQ(st.Kol_Izd_All, 125);
        EXPECT_EQ(st.KolOtk, 40);
        EXPECT_EQ(st.NPrich, 2);
        ASSERT_EQ(st.MasProbl.size(), 2u);
        EXPECT_EQ(st.MasProbl[0].time, 120.5);
        EXPECT_EQ(st.MasProbl[0].Pri, "двигатель");
        EXPECT_EQ(st.MasProbl[0].komment, "перегрев обмотки");
        EXPECT_EQ(st.MasProbl[1].time, 455);
        EXPECT_EQ(st.MasProbl[1].Pri, "Другие");
        EXPECT_EQ(st.MasProbl[1].chey, 3);
        EXPECT_EQ(form.meSred, "3500");
        EXPECT_EQ(form.meKolOtk, "40");
        EXPECT_EQ(form.Edit1, "1,00025");
        EXPECT_EQ(form.Edit6, "1,00025");
        EXPECT_EQ(form.Edit5, "1,0005");
        EXPECT_EQ(form.Edit2, "0,0000002");
        EXPECT_EQ(form.LabeledEdit2, "455");
    }
}

TEST(DataFile, MissingFileChangesNothing) {
    AnalysisState st;
    st.uk = true;
    st.Comment = "прежний";
    MainForm form;
    std::vector<std::string> msgs;
    EXPECT_FALSE(
        LoadDataFile(st, form, "/nonexistent/file.txt", [&](const std::string& m) { msgs.push_back(m); }));
    EXPECT_FALSE(st.uk);
    EXPECT_EQ(st.Comment, "прежний");
    EXPECT_EQ(msgs, std::vector<std::string>{"Указанный файл не существует"});
}

TEST(DataFile, TimesAcceptPointAndCommaInAnyLocale) {
    for (char sep : {'.', ','}) {
        auto l =
            Load(DataFile({"Насос"}, {"12,5\tнасос", "12.5\tнасос", "1.234,5\tнасос", "7e2\tнасос"}), sep);
        ASSERT_EQ(l.st.MasProbl.size(), 4u);
        // sorted: the unreadable time becomes 0 and sorts first
        EXPECT_EQ(l.st.MasProbl[0].time, 0);
        EXPECT_EQ(l.st.MasProbl[1].time, 12.5);
        EXPECT_EQ(l.st.MasProbl[2].time, 12.5);
        EXPECT_EQ(l.st.MasProbl[3].time, 700);
        EXPECT_EQ(l.messages,
                  std::vector<std::string>{"Ошибка указания времени в строке 10 файла исходных данных"});
    }
}

TEST(DataFile, RecordLineShapes) {
    auto l = Load(DataFile({"Двигатель", "Насос"}, {"100", "", "200\tдвигатель насоса", "300\tНасос * течь",
                                                    "400\tНасос*течь", "4800\t*Насос", "-5\tнасос"}),
                  '.', true);
    const auto& m = l.st.MasProbl;
    ASSERT_EQ(m.size(), 7u);
    // a line without a tab: time message, whole line as source; an empty line: time 0, "Другие"
    EXPECT_EQ(l.messages[0], "Ошибка указания времени в строке 9 файла исходных данных");
    EXPECT_EQ(l.messages[1], "Неопределенный отказ при t=0 ч");
    EXPECT_EQ(l.messages[2], "Ошибка указания времени в строке 10 файла исходных данных");
    EXPECT_EQ(l.messages[3], "Неопределенный отказ при t=0 ч");
    EXPECT_EQ(l.messages[4], "Неопределенный отказ при t=400 ч");
    EXPECT_EQ(l.messages.back(),
              "События без наработки - не отказы, а результат не проведения ПСИ. При оценке надежности "
              "целесообразно исключить");
    EXPECT_EQ(l.messages.size(), 6u); // the summary once, for -5 only
    // sorted order: -5, 0 (no tab), 0 (empty), 200, 300, 400, 4500
    EXPECT_EQ(m[0].time, -5);
    EXPECT_EQ(m[1].Pri, "Другие");
    EXPECT_EQ(m[2].Pri, "Другие");
    EXPECT_EQ(m[3].Pri, "двигатель насоса");
    EXPECT_EQ(m[4].Pri, "Насос");
    EXPECT_EQ(m[4].komment, "течь");
    EXPECT_EQ(m[5].Pri, "Другие"); // the source is cut to "Насо", which names no cause
    EXPECT_EQ(m[5].komment, "ечь");
    EXPECT_EQ(m[6].time, 4500); // clamped to Sred + 3 SKO
    EXPECT_EQ(m[6].Pri, "*Насос");
    EXPECT_EQ(m[6].komment, "асос");
    // "двигатель насоса" counts for both causes
    EXPECT_EQ(l.st.V_otk[1].Dolya, 1);
    EXPECT_EQ(l.st.V_otk[2].Dolya, 4);
    EXPECT_EQ(l.st.V_otk[3].Dolya, 3);
}

TEST(DataFile, SeveralCausesKeepTheHighestBeforeRanking) {
    // equal counts keep file order, so the ranked table equals the file table
    auto l =
        Load(DataFile({"Двигатель", "Насос"}, {"200\tдвигатель насоса", "300\tДВИГАТЕЛЬ", "310\tнасос"}));
    ASSERT_EQ(l.st.MasProbl.size(), 3u);
    EXPECT_EQ(l.st.MasProbl[0].chey, 2);
    EXPECT_EQ(l.st.MasProbl[1].chey, 1); // Cyrillic upper case matches
}

TEST(DataFile, GenerationPresetByDeclaredFailures) {
    struct Case {
        int kolOtk;
        const char* expected;
    };
    for (auto c : {Case{0, "1500"}, Case{500, "1500"}, Case{501, "2000"}, Case{999, "2000"},
                   Case{1000, "4000"}, Case{99999, "4000"}, Case{100000, "прежнее"}, Case{-1, "прежнее"}}) {
        MainForm form;
        form.NPokoleny = "прежнее";
        AnalysisState st;
        std::string text = "к\n3000\n500\n100\n" + std::to_string(c.kolOtk) + "\n0\n100\tх\n";
        LoadDataText(st, form, text, [](const std::string&) {});
        EXPECT_EQ(form.NPokoleny, c.expected) << c.kolOtk;
    }
}

TEST(DataFile, MoreThanFiftyCausesIsRefusedWithoutChange) {
    auto first = Load(DataFile({"Насос"}, {"100\tнасос"}));
    ASSERT_TRUE(first.ok);
    AnalysisState before = first.st;
    std::vector<std::string> msgs;
    auto bytes = ReadFileBytes(std::string(TOVIMO_TEST_DATA) + "/too_many_causes.txt");
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(
        LoadDataText(first.st, first.form, *bytes, [&](const std::string& m) { msgs.push_back(m); }));
    EXPECT_FALSE(first.st.uk);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_NE(msgs[0].find("50"), std::string::npos);
    EXPECT_EQ(first.st.Comment, before.Comment);
    EXPECT_EQ(first.st.MasProbl.size(), before.MasProbl.size());
    EXPECT_EQ(first.st.NPrich, before.NPrich);
}

TEST(DataFile, UnreadableHeaderNumberNamesTheLine) {
    auto bytes = ReadFileBytes(std::string(TOVIMO_TEST_DATA) + "/bad_header.txt");
    ASSERT_TRUE(bytes);
    AnalysisState st;
    MainForm form;
    std::vector<std::string> msgs;
    EXPECT_FALSE(LoadDataText(st, form, *bytes, [&](const std::string& m) { msgs.push_back(m); }));
    EXPECT_FALSE(st.uk);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_NE(msgs[0].find("строке 3"), std::string::npos) << msgs[0];
    EXPECT_EQ(st.Sred, 3000); // read before the error
    EXPECT_TRUE(st.MasProbl.empty());
}

TEST(DataFile, HeaderNumbersSkipBlankLinesAndRemarks) {
    auto l = Load("к\n\n  3000 ч среднее\n\t500\n100 шт\n5\n1\nНасос\n100\tнасос\n");
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.st.Sred, 3000);
    EXPECT_EQ(l.st.SKO, 500);
    EXPECT_EQ(l.st.KolOtk, 5);
    EXPECT_EQ(l.st.MasProbl.size(), 1u);
    // a file that ends inside the header reads the missing numbers as 0
    auto shortFile = Load("только комментарий\n3000\n");
    EXPECT_TRUE(shortFile.ok);
    EXPECT_EQ(shortFile.st.SKO, 0);
    EXPECT_EQ(shortFile.st.NPrich, 0);
    EXPECT_TRUE(shortFile.st.MasProbl.empty());
}

TEST(DataFile, NoCausesGivesOnlyOther) {
    auto l = Load(DataFile({}, {"100\tчто-то"}));
    ASSERT_EQ(l.st.V_otk.size(), 2u);
    ASSERT_EQ(l.st.Vidy_otkazov.size(), 2u);
    EXPECT_EQ(l.st.Vidy_otkazov[1].Nazv_Prich, "Другие");
    EXPECT_EQ(l.st.MasProbl[0].chey, 1);
}

// Every model was computed for the first file: a second load forgets them all,
// with model 3's result, the warnings and the first file's warranty law.
TEST(DataFile, ASecondLoadForgetsEveryModelAndTheWarrantyLaw) {
    auto l = Load(DataFile({"Насос"}, {"100\tнасос"}));
    auto computed = [](AnalysisState& st, MainForm& form) {
        for (Mod_Weib* m : {&st.MPirsN, &st.MPirsS, &st.MSmirn, &st.MGenet, &st.MPravd})
            m->Executed = true;
        st.MGenet.K_powtor = 3;
        st.Pravd.fitted = true;
        st.Pravd.n = 2999;
        st.Pravd.refusal = "прежний отказ";
        st.Warnings = {{"MPravd", "gof", "прежнее предупреждение"}};
        st.MasTGarant.assign(11170, 3000);
        form.PravdLaw = 1;
        form.Edit4 = "gar_old.txt";
        form.Label15 = "старый файл гарантии";
        form.MaskEdit1 = "12";
        form.MaskEditSrednee = "3000.000";
        form.MaskEditSKO = "700.000";
    };
    computed(l.st, l.form);
    ASSERT_TRUE(LoadDataText(l.st, l.form, EncodeCp1251(DataFile({"Насос"}, {"200\tнасос"})),
                             [](const std::string&) {}));
    for (const Mod_Weib* m : {&l.st.MPirsN, &l.st.MPirsS, &l.st.MSmirn, &l.st.MGenet, &l.st.MPravd})
        EXPECT_FALSE(m->Executed);
    EXPECT_EQ(l.st.MGenet.K_powtor, 0);
    EXPECT_FALSE(l.st.Pravd.fitted);
    EXPECT_EQ(l.st.Pravd.n, 0);
    EXPECT_EQ(l.st.Pravd.refusal, "");
    EXPECT_TRUE(l.st.Warnings.empty());
    // the warranty law is the new header's: model 3 takes the normal law again
    EXPECT_TRUE(l.st.MasTGarant.empty());
    EXPECT_EQ(l.form.PravdLaw, 0);
    EXPECT_EQ(l.st.Sred, 3000);
    // the warranty group no longer tells of the earlier warranty file
    for (const std::string* f :
         {&l.form.Edit4, &l.form.Label15, &l.form.MaskEdit1, &l.form.MaskEditSrednee, &l.form.MaskEditSKO})
        EXPECT_EQ(*f, "");

    // a file that stops at a bad header number has replaced the data all the same
    computed(l.st, l.form);
    EXPECT_FALSE(LoadDataText(l.st, l.form, "ряд\n3000\nмного\n", [](const std::string&) {}));
    EXPECT_FALSE(l.st.MPravd.Executed || l.st.MPirsS.Executed || l.st.Pravd.fitted);
    EXPECT_TRUE(l.st.MasTGarant.empty());

    // a load refused before anything changes (no file; too many causes) keeps them
    for (const bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing file" : "too many causes");
        computed(l.st, l.form);
        if (missing)
            EXPECT_FALSE(LoadDataFile(l.st, l.form, "/nonexistent/file.txt", [](const std::string&) {}));
        else
            EXPECT_FALSE(
                LoadDataText(l.st, l.form, "ряд\n3000\n700\n100\n1\n99\n", [](const std::string&) {}));
        EXPECT_TRUE(l.st.MPravd.Executed && l.st.MPirsS.Executed && l.st.Pravd.fitted);
        EXPECT_EQ(l.st.Warnings.size(), 1u);
        EXPECT_EQ(l.st.MasTGarant.size(), 11170u);
        EXPECT_EQ(l.form.PravdLaw, 1);
    }
}

// A time beyond Sred + 3·SKO is moved down to that value, as the histogram and
// the step-search models take it; the time as read stays beside it, and goes
// with its record when the series is sorted (equal times keep file order).
TEST(DataFile, TimesBeyondTheLawAreMovedAndKeptAsRead) {
    for (const char sep : {'.', ','}) {
        SCOPED_TRACE(sep);
        auto l = Load(
            DataFile({"Насос"}, {"2550.25\tнасос", "500\tнасос", "1300\tнасос", "1300,5\tнасос"}, 1000, 100),
            sep);
        ASSERT_TRUE(l.ok);
        const std::vector<double> times{500, 1300, 1300, 1300};
        const std::vector<std::optional<double>> read{std::nullopt, 2550.25, std::nullopt, 1300.5};
        ASSERT_EQ(l.st.MasProbl.size(), times.size());
        for (size_t i = 0; i < times.size(); ++i) {
            EXPECT_EQ(l.st.MasProbl[i].time, times[i]) << i;
            EXPECT_EQ(l.st.MasProbl[i].timeRead, read[i]) << i;
            EXPECT_EQ(l.st.MasProbl[i].TimeAsRead(), read[i].value_or(times[i])) << i;
        }
        // the T fin edit shows the moved time, as before
        EXPECT_EQ(l.form.LabeledEdit2, "1300");
        sort_MinMax(l.st); // as every run sorts again
        for (size_t i = 0; i < times.size(); ++i)
            EXPECT_EQ(l.st.MasProbl[i].timeRead, read[i]) << i;
    }
}

TEST(DataFile, ArbitraryBytesNeverCrash) {
    std::mt19937_64 gen(12345);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(gen() % 400, '\0');
        for (char& c : bytes)
            c = static_cast<char>(gen() % 256);
        if (round % 3 == 0) bytes = "к\n3000\n500\n100\n10\n2\nа\nб\n" + bytes;
        AnalysisState st;
        MainForm form;
        LoadDataText(st, form, bytes, [](const std::string&) {});
        EXPECT_EQ(st.Kol_izw, static_cast<int>(st.MasProbl.size()));
    }
}
