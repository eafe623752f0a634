// analyze --csv and --report: the results as CSV tables and as a PDF.
#include "tests/cli/cli_run.h"
#include "tests/cli/csv_files.h"

#include "core/stats/distributions.h"
#include "core/text/delimited_text.h"
#include "core/text/number_format.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <unistd.h>

using namespace tovimo;
using namespace tovimo::test;
namespace fs = std::filesystem;

namespace {

fs::path freshDir(const std::string& name) {
    return FreshDir("tovimo_csv", name);
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

const auto& kLocales = kCsvLocales;

} // namespace

TEST(CliCsv, TablesFollowTheLocalesDecimalSeparator) {
    for (const auto& loc : kLocales) {
        SCOPED_TRACE(loc.env);
        const fs::path dir = freshDir(loc.sep == ';' ? "semicolon" : "comma");
        const CliResult r =
            RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models spiral --json --csv " + dir.string(),
                   loc.env);
        ASSERT_EQ(r.status, 0);
        const auto j = nlohmann::json::parse(r.out);

        // one figure per cell, read as a spreadsheet reads it, and computed with
        const auto results = ReadCsv(dir / "results.csv", loc.sep);
        ASSERT_GE(results.size(), 20u);
        EXPECT_EQ(results[0], (std::vector<std::string>{"Результаты для методов:", "Пирсона/спир.спуск",
                                                        "Данные эксплуатации"}));
        std::map<std::string, std::array<std::string, 2>> cell;
        for (size_t row = 1; row < results.size(); ++row) {
            ASSERT_EQ(results[row].size(), 3u) << row; // the row's name, the one model, the operating data
            for (size_t c = 1; c < 3; ++c) {
                const std::string& text = results[row][c];
                EXPECT_TRUE(text.empty() || text == "—" ||
                            (text.find_first_not_of("-0123456789" + std::string(1, loc.decimal)) ==
                                 std::string::npos &&
                             ParseFloat(text, loc.decimal)))
                    << results[row][0] << ": " << text;
            }
            cell[results[row][0]] = {results[row][1], results[row][2]};
        }
        auto number = [&](const std::string& row, size_t col) {
            EXPECT_TRUE(cell.count(row)) << row;
            return ParseFloat(cell[row][col], loc.decimal).value_or(std::nan(""));
        };
        const auto& m = j["models"]["MPirsS"];
        const double A = number("Параметр формы A", 0), B = number("Параметр масштаба B, ч", 0),
                     K = number("Масштабный коэффициент K", 0);
        EXPECT_NEAR(A, m["A"].get<double>(), 0.0005);
        EXPECT_NEAR(B, m["B"].get<double>(), 0.005);
        EXPECT_NEAR(K, m["K_powtor"].get<double>(), 0.00005);
        EXPECT_NEAR(number("Отказов/изд. за 1000 ч", 0), K * weibCDF2(A, B, 0, 1000), 0.01);
        EXPECT_NEAR(number("50% перцентиль (Nотк./Nпарк), ч", 0), weibinv(A, B, 0.5 / K),
                    0.002 * weibinv(A, B, 0.5 / K));
        EXPECT_NEAR(number("Доверит. 95% интервал", 0), 1.96 * number("СКО модели", 0), 0.005 + 1.96 * 0.005);
        EXPECT_EQ(number("Записей об отказах", 1), j["Kol_izw"].get<double>());
        // the window's "0,933 <1.3581(0.05)" as two figures in the file's format
        std::istringstream kolmogorov(j["Result_Grid"][9][1].get<std::string>());
        std::string shown;
        kolmogorov >> shown;
        EXPECT_EQ(cell["Критерий Колмогорова"][0], shown);
        EXPECT_EQ(cell["Критическое значение Колмогорова (5%)"][0], loc.decimal == ',' ? "1,3581" : "1.3581");

        const auto hist = ReadCsv(dir / "histogram.csv", loc.sep);
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
        // model 3 did not run: no bounds table
        EXPECT_FALSE(fs::exists(dir / "bounds.csv"));
    }
}

TEST(CliCsv, BoundsOfModel3AreATableOfTheirOwn) {
    for (const auto& loc : kLocales) {
        SCOPED_TRACE(loc.env);
        const fs::path dir = freshDir(loc.sep == ';' ? "bounds_semicolon" : "bounds_comma");
        const CliResult r =
            RunCli(std::string("analyze ") + TOVIMO_SAMPLE +
                       " --models mle --mle-k free --bootstrap 0 --json --csv " + dir.string(),
                   loc.env);
        ASSERT_EQ(r.status, 0);
        const auto j = nlohmann::json::parse(r.out);
        const auto& model = j["models"]["MPravd"];
        ASSERT_TRUE(model["Executed"].get<bool>()) << model.dump();

        const auto bounds = ReadCsv(dir / "bounds.csv", loc.sep);
        ASSERT_EQ(bounds.size(), 10u); // the header and nine figures
        EXPECT_EQ(bounds[0], (std::vector<std::string>{"Показатель", "Оценка", "Нижняя граница",
                                                       "Верхняя граница", "Примечание"}));
        for (size_t row = 1; row < bounds.size(); ++row)
            ASSERT_EQ(bounds[row].size(), 5u) << row;
        EXPECT_EQ(bounds[1][0], "A (параметр формы)");
        EXPECT_EQ(bounds[9][0], "Отказов/изд. за 4000 ч");
        // the shape parameter's estimate, its bounds around it, in the locale's decimal
        std::string a = bounds[1][1], lower = bounds[1][2], upper = bounds[1][3];
        for (std::string* v : {&a, &lower, &upper}) {
            ASSERT_NE(v->find(loc.decimal), std::string::npos) << *v;
            std::replace(v->begin(), v->end(), ',', '.');
        }
        EXPECT_NEAR(std::stod(a), model["A"].get<double>(), 1e-3);
        const auto& interval = model["intervals"]["A"];
        EXPECT_NEAR(std::stod(lower), interval["lower"].get<double>(), 1e-3);
        EXPECT_NEAR(std::stod(upper), interval["upper"].get<double>(), 1e-3);
    }
}

TEST(CliReport, EveryRowLabelAndChartTitleIsInThePdfAndEveryPageRenders) {
    const fs::path dir = freshDir("report");
    fs::create_directories(dir);
    const fs::path pdf = dir / "report.pdf";
    const CliResult r =
        RunCli(std::string("analyze ") + TOVIMO_SAMPLE +
                   " --models spiral,newton,smirnov,genetic,mle --population 200 --generations 20 "
                   "--seed 3 --threads 1 --bootstrap 20 --json --report " +
                   pdf.string() + " --csv " + (dir / "csv").string(),
               "LC_ALL=C TOVIMO_STEP_CLOCK=2"); // the fits' time rules met after a few readings
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_TRUE(fs::exists(pdf));

    // a line may break after the dash of a range ("4182–" / "5013 ч")
    const std::string text = std::regex_replace(
        squeezeBlanks(shell("pdftotext -enc UTF-8 " + pdf.string() + " -")), std::regex("– "), "–");
    std::vector<std::string> wanted;
    for (const auto& row : j["Result_Grid"])
        if (!row[0].get<std::string>().empty()) wanted.push_back(row[0]);
    // every model's column, model 3's too: its Weibull parameters as the table shows them
    for (const auto& cell : j["Result_Grid"][1]) {
        std::string figures = squeezeBlanks(cell.get<std::string>());
        figures.erase(0, figures.find_first_not_of(' '));
        figures.erase(figures.find_last_not_of(' ') + 1);
        if (!figures.empty()) wanted.push_back(figures);
    }
    ASSERT_TRUE(j["models"]["MPravd"]["Executed"].get<bool>());
    // model 3's bounds: every figure of its table, then the run's warnings
    const auto bounds = ReadCsv(dir / "csv" / "bounds.csv", ',');
    ASSERT_EQ(bounds.size(), 10u);
    for (const auto& row : bounds)
        wanted.push_back(row[0]);
    wanted.emplace_back("Модель 3: доверительные границы");
    ASSERT_FALSE(j["warnings"].empty()) << "the sample gives no warning to look for";
    for (const auto& w : j["warnings"])
        wanted.push_back(w["text"]);
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

// Failures the loader moved down to Sred + 3·SKO: model 3's warning about them
// in the text output, the JSON and the report.
TEST(CliReport, MovedTimesWarningReachesEveryOutput) {
    const fs::path dir = freshDir("moved");
    fs::create_directories(dir);
    const fs::path data = dir / "moved.txt";
    {
        std::ofstream f(data);
        f << "ряд\n3000\n700\n1000\n42\n1\nузел\n";
        for (int i = 1; i <= 40; ++i)
            f << i * 100 << "\tузел\n";
        f << "5112.25\tузел\n5150.5\tузел\n";
    }
    const std::string text =
        "Загрузчик перенёс 2 отказа за Sred + 3·SKO = 5100 ч; наибольший перенос 50.5 ч; "
        "модель 3 использует наработки как прочитаны";
    const std::string args = "analyze " + data.string() + " --models mle --bootstrap 0";
    const CliResult plain = RunCli(args);
    ASSERT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("Предупреждение (Модель 3): " + text + "\n"), std::string::npos) << plain.out;

    const fs::path pdf = dir / "moved.pdf";
    const CliResult r = RunCli(args + " --json --report " + pdf.string());
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    const auto& warnings = j["warnings"];
    const auto w = std::find_if(warnings.begin(), warnings.end(),
                                [](const nlohmann::json& x) { return x["code"] == "moved_times"; });
    ASSERT_NE(w, warnings.end()) << warnings.dump();
    EXPECT_EQ((*w)["model"], "MPravd");
    EXPECT_EQ((*w)["text"], text);
    // the records keep the moved times, as every other output does
    EXPECT_EQ(j["MasProbl"].back()["time"], 5100.0);
    EXPECT_NE(squeezeBlanks(shell("pdftotext -enc UTF-8 " + pdf.string() + " -")).find(squeezeBlanks(text)),
              std::string::npos);
}

TEST(CliReport, PdfReadersFindNoFaultWhenSomeModelsDidNotRun) {
    const fs::path dir = freshDir("one_model");
    fs::create_directories(dir);
    const fs::path pdf = dir / "report.pdf";
    const CliResult r =
        RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models spiral --json --report " + pdf.string());
    ASSERT_EQ(r.status, 0);
    // poppler names every content-stream fault it recovers from ("Syntax Error ...")
    EXPECT_EQ(shell("pdftotext " + pdf.string() + " /dev/null 2>&1"), "");
}

TEST(CliReport, ErrorStreamNamesOnlyTheFilesWritten) {
    const fs::path dir = freshDir("quiet");
    fs::create_directories(dir);
    const fs::path pdf = dir / "report.pdf";
    // without a runtime folder Qt would say so, and the offscreen platform
    // notes what it cannot do for each chart drawn
    const std::string errors =
        shell("env -u XDG_RUNTIME_DIR LC_ALL=C " + std::string(TOVIMO_CLI) + " analyze " + TOVIMO_SAMPLE +
              " --models spiral --report " + pdf.string() + " --charts " + (dir / "charts").string() +
              " 2>&1 >/dev/null");
    std::istringstream lines(errors);
    int files = 0;
    for (std::string line; std::getline(lines, line); ++files)
        EXPECT_EQ(line.rfind(dir.string(), 0), 0u) << line;
    EXPECT_EQ(files, 9); // four charts as PNG and SVG, the report
}

TEST(CliReport, UnwritablePathIsAFileError) {
    const CliResult r =
        RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models none --report /nonexistent/dir/r.pdf",
               "LC_ALL=C", "", true);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("Не удалось записать файл /nonexistent/dir/r.pdf"), std::string::npos) << r.out;
}

TEST(CliCsv, CauseNamesThatWouldStartAFormulaAreWrittenAsText) {
    // names, the comment and descriptions as another system might export them
    const fs::path data = fs::path(::testing::TempDir()) / "formula_causes.txt";
    const std::vector<std::string> causes = {"=cmd|calc", "+SUM(A1)", "-5", "@A1", "Узел \"А\"; ввод, вывод"};
    {
        std::ofstream out(data, std::ios::binary);
        out << "=HYPERLINK(\"http://example.com\")\n3000\n700\n200\n15\n" << causes.size() << "\n";
        for (const std::string& c : causes)
            out << c << "\n";
        for (int i = 0; i < 15; ++i)
            out << 150 * (i + 1) << "\t" << causes[static_cast<size_t>(i) % causes.size()] << " * =1+1\n";
    }
    for (const auto& loc : kLocales) {
        SCOPED_TRACE(loc.env);
        const fs::path dir = freshDir(loc.sep == ';' ? "formula_semicolon" : "formula_comma");
        const CliResult r =
            RunCli("analyze " + data.string() + " --models spiral --csv " + dir.string(), loc.env);
        ASSERT_EQ(r.status, 0) << r.out;

        const auto hist = ReadCsv(dir / "histogram.csv", loc.sep);
        ASSERT_GE(hist.size(), 2u);
        ASSERT_EQ(hist[0].size(), causes.size() + 2);
        std::vector<std::string> names(hist[0].begin() + 1, hist[0].end() - 1);
        std::sort(names.begin(), names.end());
        std::vector<std::string> wanted = {"'=cmd|calc", "'+SUM(A1)", "'-5", "'@A1",
                                           "Узел \"А\"; ввод, вывод"};
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(names, wanted);
        // the figures are numbers as they are
        for (size_t row = 1; row < hist.size(); ++row)
            for (const std::string& cell : hist[row])
                EXPECT_EQ(cell.find('\''), std::string::npos) << row;
    }
}
