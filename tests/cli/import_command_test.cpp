// import: a failure table from a spreadsheet into a data file.
#include "tests/cli/cli_run.h"

#include "core/data/data_file.h"
#include "core/text/text_codec.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tovimo;
using namespace tovimo::test;
namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("tovimo_import_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir / name;
}

fs::path writeTable(const std::string& name, const std::string& bytes) {
    const fs::path p = scratch(name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}

const std::string kTable = "Наработка;Причина;Описание\r\n"
                           "120,5;Двигатель;перегрев\r\n"
                           "бывает;Насос;\r\n"
                           "455;Насос;течь\r\n";

} // namespace

TEST(CliImport, BadRowsStopTheImportUnlessSkipped) {
    const fs::path table = writeTable("отказы.csv", EncodeCp1251(kTable));
    const fs::path out = scratch("data.txt");
    fs::remove(out);
    const std::string args =
        "import " + table.string() + " --fleet 125 --mean 3500 --sd 800 -o " + out.string();

    const CliResult refused = RunCli(args, "LC_ALL=C", "", true);
    EXPECT_EQ(refused.status, 5);
    EXPECT_NE(refused.out.find("Строка 3: наработка «бывает» не является числом"), std::string::npos)
        << refused.out;
    EXPECT_FALSE(fs::exists(out));

    const CliResult done = RunCli(args + " --skip-bad", "LC_ALL=C", "", true);
    ASSERT_EQ(done.status, 0) << done.out;
    EXPECT_NE(done.out.find("Кодировка: Windows-1251, разделитель: «;», строка заголовка: есть"),
              std::string::npos)
        << done.out;

    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    ASSERT_TRUE(LoadDataFile(st, form, out.string(), [&](const std::string& m) { messages.push_back(m); }));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(st.Comment, "отказы.csv"); // the table's name when no comment is given
    EXPECT_EQ(st.KolOtk, 2);             // the failures read
    EXPECT_EQ(st.NPrich, 2);
    ASSERT_EQ(st.MasProbl.size(), 2u);
    EXPECT_EQ(st.MasProbl[0].time, 120.5);
    EXPECT_EQ(st.MasProbl[1].komment, "течь");

    // the data file goes on into an analysis
    EXPECT_EQ(RunCli("analyze " + out.string() + " --models spiral").status, 0);
}

TEST(CliImport, HeaderNumbersAndOptions) {
    const fs::path table = writeTable("good.csv", "120.5,Двигатель\n455,Насос\n");
    const fs::path out = scratch("good.txt");
    const struct {
        std::string options;
        int status;
        const char* says;
    } cases[] = {
        {"--fleet 125 --mean 3500 --sd 800 --failures 40 --comment 'Станция НС-2'", 0, "отказов 2, причин 2"},
        {"--fleet 125 --mean 3500 --sd 0", 2, "СКО времени гарантии должно быть больше нуля"},
        {"--fleet 0 --mean 3500 --sd 800", 2, "Парк изделий должен быть больше нуля"},
        {"--mean 3500 --sd 800", 2, "--fleet"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli("import " + table.string() + " " + c.options + " -o " + out.string(),
                                   "LC_ALL=C", "", true);
        EXPECT_EQ(r.status, c.status) << c.options << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.options << "\n" << r.out;
    }
    AnalysisState st;
    MainForm form;
    ASSERT_TRUE(LoadDataFile(st, form, out.string(), [](const std::string&) {}));
    EXPECT_EQ(st.Comment, "Станция НС-2");
    EXPECT_EQ(st.KolOtk, 40);

    EXPECT_EQ(RunCli("import /nonexistent/t.csv --fleet 1 --mean 1 --sd 1 -o " + out.string()).status, 3);
    const fs::path empty = writeTable("empty.csv", "Наработка;Причина\n");
    const CliResult none = RunCli(
        "import " + empty.string() + " --fleet 1 --mean 1 --sd 1 -o " + out.string(), "LC_ALL=C", "", true);
    EXPECT_EQ(none.status, 5);
    EXPECT_NE(none.out.find("В таблице нет ни одной строки с отказом"), std::string::npos);
}
