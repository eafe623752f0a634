// analyze --csv and --report: the results as CSV tables and as a PDF.
#include "tests/cli/cli_run.h"

#include "core/text/delimited_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <unistd.h>

using namespace tovimo;
using namespace tovimo::test;
namespace fs = std::filesystem;

namespace {

fs::path freshDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("tovimo_csv_" + std::to_string(::getpid())) / name;
    fs::remove_all(dir);
    return dir;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Output of a shell command.
std::string shell(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

std::string squeezeBlanks(const std::string& s) {
    return std::regex_replace(s, std::regex("\\s+"), " ");
}

std::vector<std::vector<std::string>> readCsv(const fs::path& p, char sep) {
    const std::string text = slurp(p);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << p;
    std::vector<std::vector<std::string>> rows;
    for (auto& r : SplitDelimited(std::string_view(text).substr(3), sep))
        rows.push_back(r.fields);
    return rows;
}

} // namespace

TEST(CliCsv, TablesFollowTheLocalesDecimalSeparator) {
    const struct {
        const char* env;
        char sep;
        char decimal;
    } locales[] = {{"LC_ALL=C", ',', '.'}, {"LC_ALL=ru_RU.UTF-8", ';', ','}};
    for (const auto& loc : locales) {
        SCOPED_TRACE(loc.env);
        const fs::path dir = freshDir(loc.sep == ';' ? "semicolon" : "comma");
        const CliResult r =
            RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models spiral --json --csv " + dir.string(),
                   loc.env);
        ASSERT_EQ(r.status, 0);
        const auto j = nlohmann::json::parse(r.out);

        const auto results = readCsv(dir / "results.csv", loc.sep);
        ASSERT_EQ(results.size(), 12u);
        for (size_t row = 0; row < results.size(); ++row) {
            ASSERT_EQ(results[row].size(), 3u) << row; // labels, the one model, the operating data
            for (size_t c = 0; c < 3; ++c) {
                std::string grid = j["Result_Grid"][row][c];
                grid.erase(0, grid.find_first_not_of(' '));
                grid.erase(grid.find_last_not_of(' ') + 1);
                EXPECT_EQ(results[row][c], grid) << row << "," << c;
            }
        }
        EXPECT_NE(results[2][1].find(loc.decimal), std::string::npos) << results[2][1];

        const auto hist = readCsv(dir / "histogram.csv", loc.sep);
        ASSERT_GE(hist.size(), 2u);
        EXPECT_EQ(hist[0].front(), "Граница столбца, ч");
        EXPECT_EQ(hist[0].back(), "Всего");
        int total = 0;
        for (size_t row = 1; row < hist.size(); ++row) {
            ASSERT_EQ(hist[row].size(), hist[0].size());
            int causes = 0;
            for (size_t c = 1; c + 1 < hist[row].size(); ++c)
                causes += std::stoi(hist[row][c]);
            EXPECT_EQ(causes, std::stoi(hist[row].back())) << row;
            total += causes;
        }
        EXPECT_EQ(total, j["Kol_izw"].get<int>());
    }
}

TEST(CliReport, EveryRowLabelAndChartTitleIsInThePdfAndEveryPageRenders) {
    const fs::path dir = freshDir("report");
    fs::create_directories(dir);
    const fs::path pdf = dir / "report.pdf";
    const CliResult r = RunCli(std::string("analyze ") + TOVIMO_SAMPLE +
                               " --models spiral,newton,smirnov,genetic --population 200 --generations 20 "
                               "--seed 3 --threads 1 --json --report " +
                               pdf.string());
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_TRUE(fs::exists(pdf));

    const std::string text = squeezeBlanks(shell("pdftotext -enc UTF-8 " + pdf.string() + " -"));
    std::vector<std::string> wanted;
    for (const auto& row : j["Result_Grid"])
        if (!row[0].get<std::string>().empty()) wanted.push_back(row[0]);
    for (const char* title : {"Изменение потока отказов в течение гарантийного периода",
                              "Интегральные (накопленные) количественные оценки потока отказов",
                              "Поток отказов наблюдаемых и с учетом выбывания из гарантии, LN числа отказов",
                              "Накопленние отказов по времени наблюдения", "Гистограмма отказов"})
        wanted.emplace_back(title);
    for (const std::string& w : wanted)
        EXPECT_NE(text.find(squeezeBlanks(w)), std::string::npos) << w;

    // fonts embedded, and every page renders
    const std::string fonts = shell("pdffonts " + pdf.string());
    std::istringstream fontLines(fonts);
    std::string fontLine;
    int embedded = 0;
    for (int i = 0; std::getline(fontLines, fontLine); ++i) {
        if (i < 2) continue; // the heading and its rule
        std::vector<std::string> cols;
        std::istringstream words(fontLine);
        for (std::string w; words >> w;)
            cols.push_back(w);
        ASSERT_GE(cols.size(), 5u) << fontLine;
        EXPECT_EQ(cols[cols.size() - 5], "yes") << fontLine; // the "emb" column
        ++embedded;
    }
    EXPECT_GE(embedded, 1) << fonts;
    std::smatch m;
    const std::string info = shell("pdfinfo " + pdf.string());
    ASSERT_TRUE(std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)"))) << info;
    const int pages = std::stoi(m[1]);
    EXPECT_GE(pages, 3);
    const std::string size = shell("pdfinfo " + pdf.string() + " | grep 'Page size'");
    EXPECT_NE(size.find("(A4)"), std::string::npos) << size;
    ASSERT_EQ(std::system(("pdftoppm -r 20 -png " + pdf.string() + " " + (dir / "page").string()).c_str()),
              0);
    int rendered = 0;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".png" && fs::file_size(e.path()) > 0) ++rendered;
    EXPECT_EQ(rendered, pages);
    EXPECT_NE(text.find("Страница " + std::to_string(pages) + " из " + std::to_string(pages)),
              std::string::npos);
}

TEST(CliReport, UnwritablePathIsAFileError) {
    const CliResult r =
        RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models none --report /nonexistent/dir/r.pdf",
               "LC_ALL=C", "", true);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("Не удалось записать файл /nonexistent/dir/r.pdf"), std::string::npos) << r.out;
}
