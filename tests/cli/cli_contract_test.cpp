#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

using namespace tovimo::test;
using nlohmann::json;

namespace {
const std::string kData = TOVIMO_TEST_DATA;
}

TEST(CliAnalyze, LoadOnlyJsonCarriesTheStateNames) {
    auto r = RunCli("analyze " + kData + "/example.txt --models none --json");
    ASSERT_EQ(r.status, 0) << r.out;
    auto j = json::parse(r.out);
    for (const char* key :
         {"Comment",   "Sred",         "SKO",      "Kol_Izd_All", "KolOtk",          "NPrich",
          "messages",  "Vidy_otkazov", "MasProbl", "Kol_izw",     "Popravka_Unknow", "Izd_Prived",
          "TL90expl",  "TL80expl",     "T50expl",  "t50zen",      "Otk_Izd",         "Tst",
          "A_ln",      "B_ln",         "Tzenz",    "T_Prirab",    "D_Hist1",         "D_Hist2",
          "Hist_Stol", "Sum_PrichCol", "models",   "memo",        "Result_Grid"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["Comment"], "Изделие А, гарантия 2023");
    EXPECT_EQ(j["KolOtk"], 40);
    EXPECT_EQ(j["Vidy_otkazov"].size(), 3u);
    EXPECT_EQ(j["Vidy_otkazov"][2]["Nazv_Prich"], "Другие");
    EXPECT_EQ(j["MasProbl"][0]["komment"], "перегрев обмотки");
    EXPECT_EQ(j["Hist_Stol"][0]["Npr"].size(), 53u);
    EXPECT_EQ(j["Sum_PrichCol"].size(), 52u);
    EXPECT_EQ(j["Tzenz"], 455.0);
    EXPECT_EQ(j["T_Prirab"], 300.0);
    EXPECT_FALSE(j["models"]["MPirsS"]["Executed"]);
    // a single distinct... two distinct positive times: the regression is defined
    EXPECT_TRUE(j["A_ln"].is_number());
}

TEST(CliAnalyze, OptionsStandForTheEdits) {
    auto r = RunCli("analyze " + kData +
                    "/example.txt --models none --json --mean 2500 --sd 400 --t-fin 300 "
                    "--run-in 150 --check");
    ASSERT_EQ(r.status, 0);
    auto j = json::parse(r.out);
    EXPECT_EQ(j["Sred"], 2500.0);
    EXPECT_EQ(j["SKO"], 400.0);
    EXPECT_EQ(j["Tzenz"], 300.0);
    EXPECT_EQ(j["T_Prirab"], 150.0);
    EXPECT_EQ(j["messages"], json::array({"Неопределенный отказ при t=455 ч"}));
}

TEST(CliAnalyze, WarrantyFileGivesTheLawWithThreeDigits) {
    auto r =
        RunCli("analyze " + kData + "/example.txt --models none --json --warranty " + kData + "/gar_two.txt");
    ASSERT_EQ(r.status, 0);
    auto j = json::parse(r.out);
    EXPECT_EQ(j["Sred"], 550.0);
    EXPECT_EQ(j["SKO"], 141.0);
    EXPECT_EQ(j["Comment"], "Гарантия партии 8");
}

TEST(CliAnalyze, ExitStatuses) {
    struct Case {
        std::string args;
        int status;
    };
    const Case cases[] = {
        {"analyze /nonexistent.txt --models none", 3},
        {"analyze " + kData + "/too_many_causes.txt --models none", 3},
        {"analyze " + kData + "/bad_header.txt --models none", 3},
        {"analyze " + kData + "/example.txt --models cubic", 2},
        {"analyze " + kData + "/example.txt --models none --warranty /nonexistent.txt", 3},
        {"analyze", 2},
        {"frobnicate", 2},
        {"score " + kData + "/example.txt --A 1", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunCli(c.args).status, c.status) << c.args;
}

TEST(CliVersion, PrintsTheBuildsVersionAndSucceeds) {
    const auto r = RunCli("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tovimo-cli " TOVIMO_VERSION "\n");
    // the help names it beside the commands
    EXPECT_NE(RunCli("--help").out.find("--version"), std::string::npos);
}

// A series with no failure above 0 h: the run says so in Russian and ends
// with the status of a run that cannot be made, for every model.
TEST(CliAnalyze, SeriesWithoutOperatingTimeIsRefusedInRussian) {
    struct Case {
        const char* name;
        const char* records;
        const char* message;
    };
    const Case cases[] = {
        {"no_record.txt", "", "В ряду отказов нет ни одной записи: расчет невозможен"},
        {"zero_times.txt", "0\tузел\n-5\tузел\n",
         "В ряду отказов нет отказов с наработкой больше 0: расчет невозможен"},
    };
    for (const Case& c : cases) {
        const std::string path = ::testing::TempDir() + c.name;
        std::ofstream(path) << "ряд\n1000\n200\n100\n2\n1\nузел\n" << c.records;
        for (const char* models : {"spiral", "mle", "genetic --generations 2 --population 10"}) {
            const auto r =
                RunCli("analyze " + path + " --t-fin 5000 --models " + models, "LC_ALL=C", "", true);
            EXPECT_EQ(r.status, 2) << c.name << " " << models;
            EXPECT_EQ(r.out, std::string(c.message) + "\n") << c.name << " " << models;
        }
    }
}

TEST(CliScore, CriteriaOfAGivenModel) {
    auto r = RunCli("score " + kData + "/example.txt --A 1.2 --B 3000 --K 1.5 --json");
    ASSERT_EQ(r.status, 0) << r.out;
    auto j = json::parse(r.out);
    for (const char* key :
         {"Pirson0", "Pirson1", "Pirson2", "Smirnow", "Kolmogor", "KolmStr", "CelevFunction", "LamStart",
          "Lam1000", "SKO_out", "SKO_Stolb", "Hist_SKO_line", "Kol_F_priv", "F_Weib", "F_norm", "Hist_Stol"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["Kol_F_priv"].size(), j["Hist_Stol"].size());
    const std::string line = j["Hist_SKO_line"];
    EXPECT_EQ(line.rfind("Доверительный 95% интервал частотной диаграммы = ", 0), 0u);
    // two failures, one of them beyond the first column edge: Pirson1 is finite and positive
    EXPECT_GT(j["Pirson1"].get<double>(), 0);
}

TEST(CliScore, NonFiniteNumbersAreNull) {
    // one failure: the spread divides by n - 1 = 0
    std::string path = ::testing::TempDir() + "one_failure.txt";
    std::ofstream(path) << "one\n3000\n500\n100\n1\n0\n250\tx\n";
    auto r = RunCli("score " + path + " --A 1.2 --B 3000 --K 1.5 --json");
    ASSERT_EQ(r.status, 0);
    auto j = json::parse(r.out);
    EXPECT_TRUE(j["SKO_out"].is_null()) << j["SKO_out"].dump();
    // and a dash in the text
    const auto text = RunCli("score " + path + " --A 1.2 --B 3000 --K 1.5");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("СКО модели: —\n"), std::string::npos) << text.out;
    for (const char* bad : {"INF", "NAN"})
        EXPECT_EQ(text.out.find(bad), std::string::npos) << text.out;
}

TEST(CliTexts, FollowTheLocaleSeparator) {
    auto dot = RunCli("score " + kData + "/example.txt --A 1.2 --B 3000 --K 1.5 --json", "LC_ALL=C");
    auto comma =
        RunCli("score " + kData + "/example.txt --A 1.2 --B 3000 --K 1.5 --json", "LC_ALL=ru_RU.UTF-8");
    ASSERT_EQ(dot.status, 0);
    ASSERT_EQ(comma.status, 0);
    const std::string l1 = json::parse(dot.out)["Hist_SKO_line"];
    const std::string l2 = json::parse(comma.out)["Hist_SKO_line"];
    EXPECT_NE(l1.find('.'), std::string::npos);
    if (l1 == l2) GTEST_SKIP() << "ru_RU.UTF-8 locale is not installed";
    std::string converted = l1;
    for (char& c : converted)
        if (c == '.') c = ',';
    EXPECT_EQ(l2, converted);
}

TEST(CliSimulate, ReproducibleCp1251FileThatLoads) {
    const std::string a = ::testing::TempDir() + "fleet_a.txt", b = ::testing::TempDir() + "fleet_b.txt";
    ASSERT_EQ(RunCli("simulate --failures 120 --seed 9 -o " + a).status, 0);
    ASSERT_EQ(RunCli("simulate --failures 120 --seed 9 -o " + b).status, 0);
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::string sa((std::istreambuf_iterator<char>(fa)), {}), sb((std::istreambuf_iterator<char>(fb)), {});
    EXPECT_EQ(sa, sb);
    auto r = RunCli("analyze " + a + " --models none --json");
    ASSERT_EQ(r.status, 0);
    auto j = json::parse(r.out);
    EXPECT_GT(j["Kol_izw"].get<int>(), 60);
    EXPECT_EQ(j["Vidy_otkazov"][0]["Nazv_Prich"].get<std::string>().empty(), false);
    EXPECT_TRUE(j["messages"].empty());
}
