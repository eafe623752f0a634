#include "cli/genetic_cli.h"
#include "core/genetic/genetic_run.h"
#include "tests/cli/cli_run.h"

#include "core/data/data_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace tovimo {
namespace {

std::string GaArgs(const std::string& more = "", int seed = 7, int population = 200) {
    return std::string("analyze ") + TOVIMO_SAMPLE + " --models genetic --json --generations 40 --seed " +
           std::to_string(seed) + " --population " + std::to_string(population) + more;
}

TEST(GeneticCli, SameSeedGivesTheSameOutputWhateverTheThreadCount) {
    const test::CliResult first = test::RunCli(GaArgs());
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(test::RunCli(GaArgs()).out, first.out);
    EXPECT_EQ(test::RunCli(GaArgs(" --threads 1")).out, first.out);
    EXPECT_EQ(test::RunCli(GaArgs(" --threads 2")).out, first.out);
    const test::CliResult other = test::RunCli(GaArgs("", 8));
    ASSERT_EQ(other.status, 0);
    EXPECT_NE(other.out, first.out);

    const auto j = nlohmann::json::parse(first.out);
    EXPECT_TRUE(j["models"]["MGenet"]["Executed"].get<bool>());
    const auto memo = j["memo"].get<std::vector<std::string>>();
    ASSERT_GE(memo.size(), 4u);
    EXPECT_EQ(memo[1], "Создано генов 2");
    // the warnings on the models come after the fit's lines
    const size_t fitLines = memo.size() - j["warnings"].size();
    EXPECT_EQ(memo[fitLines - 1].rfind("Доверительный 95% интервал частотной диаграммы", 0), 0u);
    EXPECT_EQ(memo.back().rfind("Предупреждение (Генетическая модель): ", 0), 0u);
}

TEST(GeneticCli, EachWarningReachesTheMemoOnceWhenAFitPrecedesTheGeneticRun) {
    const test::CliResult r = test::RunCli(std::string("analyze ") + TOVIMO_SAMPLE +
                                               " --models newton,genetic --json --generations 40 --seed 7 "
                                               "--population 200",
                                           "TOVIMO_STEP_CLOCK=2");
    ASSERT_EQ(r.status, 0) << r.out;
    const auto j = nlohmann::json::parse(r.out);
    const auto memo = j["memo"].get<std::vector<std::string>>();
    std::vector<std::string> warningLines;
    for (const std::string& line : memo)
        if (line.rfind("Предупреждение (", 0) == 0) warningLines.push_back(line);
    // one line per warning of the final list: model 1.2's after its fit, the
    // genetic model's after the genetic run, none repeated
    EXPECT_EQ(warningLines.size(), j["warnings"].size());
    std::vector<std::string> sorted = warningLines;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    auto has = [&](const char* caption) {
        return std::any_of(warningLines.begin(), warningLines.end(),
                           [&](const std::string& l) { return l.find(caption) != std::string::npos; });
    };
    EXPECT_TRUE(has("(Модель 1.2)"));
    EXPECT_TRUE(has("(Генетическая модель)"));
}

TEST(GeneticCli, CommaSeparatorInTheMemo) {
    const test::CliResult r = test::RunCli(GaArgs(), "LC_ALL=ru_RU.UTF-8");
    ASSERT_EQ(r.status, 0);
    const auto memo = nlohmann::json::parse(r.out)["memo"].get<std::vector<std::string>>();
    ASSERT_GE(memo.size(), 3u);
    const std::string& line = memo[2];
    ASSERT_EQ(line.rfind("  ЦФ=", 0), 0u);
    EXPECT_NE(line.find(','), std::string::npos);
    EXPECT_EQ(line.find('.'), std::string::npos);
}

struct Headless {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    cli::AnalyzeOptions o;

    Headless() {
        form.FilePath = TOVIMO_SAMPLE;
        EXPECT_TRUE(LoadDataFile(st, form, form.FilePath, [](const std::string&) {}));
        form.Edit3 = "50";
        form.NPokoleny = "20";
        o.seed = 1;
        o.threads = 2;
    }
    int run() { return cli::RunGeneticHeadless(st, form, ReadRunInputs(form), o, messages); }
};

TEST(GeneticCli, HeadlessRunDrivesTheFormControls) {
    Headless h;
    ASSERT_EQ(h.run(), cli::kDone);
    EXPECT_TRUE(h.messages.empty());
    EXPECT_TRUE(h.st.MGenet.Executed);
    EXPECT_EQ(h.form.NPokoleny, "20");
    EXPECT_EQ(h.form.ProgressBar2, 100);
    EXPECT_LE(h.form.TrackBar1, 28); // the schedules move both bars
    EXPECT_LE(h.form.TrackBar2, 23);
}

TEST(GeneticCli, RefusedRunsReportAndChangeNoModel) {
    const struct {
        std::string population, precision, message;
    } cases[] = {
        {"1", "0.0000002", kMsgGaPopulation},
        {"50", "2", kMsgGaPrecision},
        {"50", "abc", "'abc' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        Headless h;
        h.form.Edit3 = c.population;
        h.form.Edit2 = c.precision;
        EXPECT_EQ(h.run(), cli::kUsage);
        EXPECT_EQ(h.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(h.st.MGenet.Executed);
    }
    const test::CliResult r = test::RunCli(GaArgs("", 7, 1));
    EXPECT_EQ(r.status, cli::kUsage);
    EXPECT_NE(r.out.find(kMsgGaPopulation), std::string::npos);
}

// The population of a million individuals needs some 90 MB at once; a data
// limit of 30 MB lets everything else run and the set-up fail for want of memory.
TEST(GeneticCli, ASetUpWithoutMemoryIsReportedAndFails) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's own memory does not fit the limit";
#endif
    const std::string args = std::string("analyze ") + TOVIMO_SAMPLE +
                             " --models genetic --population 1000000 --generations 2 --threads 1 --seed 1";
    const std::string limit = "ulimit -d 30000";
    const test::CliResult json = test::RunCli(args + " --json", "LC_ALL=C", limit);
    EXPECT_EQ(json.status, cli::kRunFailed);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["messages"], std::vector<std::string>{kMsgGaSetUpFailed});
    EXPECT_FALSE(j["models"]["MGenet"]["Executed"].get<bool>());

    const test::CliResult text = test::RunCli(args, "LC_ALL=ru_RU.UTF-8", limit);
    EXPECT_EQ(text.status, cli::kRunFailed);
    EXPECT_NE(text.out.find(std::string("Сообщение: ") + kMsgGaSetUpFailed), std::string::npos);
}

} // namespace
} // namespace tovimo
