// The numbers of tovimo-cli analyze reach the run as they are given, whatever
// the decimal separator of the locale.
#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tovimo {
namespace {

using test::RunCli;
const std::string kSample = TOVIMO_SAMPLE;
const std::string kComma = "LC_ALL=ru_RU.UTF-8 TOVIMO_STEP_CLOCK=2";
const std::string kPoint = "LC_ALL=C TOVIMO_STEP_CLOCK=2";

// The run's numbers: the JSON without its texts, which take the locale's separator.
nlohmann::json Numbers(nlohmann::json j) {
    for (const char* text : {"memo", "Result_Grid", "Bounds", "messages", "warnings"})
        j.erase(text);
    return j;
}

// The sample's reduced fleet is not whole: it shows the separator.
bool CommaLocaleInstalled() {
    const auto r = RunCli("analyze " + kSample + " --models none", kComma);
    const size_t fleet = r.out.find("Приведенный парк: ");
    return fleet != std::string::npos &&
           r.out.substr(fleet, r.out.find('\n', fleet) - fleet).find(',') != std::string::npos;
}

TEST(CliRunInputs, OptionsReachTheRunAsGivenUnderEitherSeparator) {
    if (!CommaLocaleInstalled()) GTEST_SKIP() << "ru_RU.UTF-8 locale is not installed";
    const struct {
        std::string args;
        std::vector<std::pair<const char*, double>> state; // the state's fields the options set
    } cases[] = {
        {"--mean 2750.5", {{"Sred", 2750.5}}},
        {"--sd 612.25", {{"SKO", 612.25}}},
        {"--t-fin 3900.5", {{"Tzenz", 3900.5}}},
        {"--run-in 150.75", {{"T_Prirab", 150.75}}},
        // more digits than an edit shows
        {"--mean 2750.1234567890123", {{"Sred", 2750.1234567890123}}},
        {"--mean 2600.25 --sd 650.5 --t-fin 4000.5 --run-in 0.5",
         {{"Sred", 2600.25}, {"SKO", 650.5}, {"Tzenz", 4000.5}, {"T_Prirab", 0.5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string args = "analyze " + kSample + " --models spiral,mle --bootstrap 0 --json " + c.args;
        const auto point = RunCli(args, kPoint);
        const auto comma = RunCli(args, kComma);
        ASSERT_EQ(point.status, 0) << point.out;
        ASSERT_EQ(comma.status, 0) << comma.out;
        const auto p = nlohmann::json::parse(point.out), k = nlohmann::json::parse(comma.out);
        for (const auto& [field, value] : c.state)
            EXPECT_EQ(p[field].get<double>(), value) << field;
        EXPECT_TRUE(p["models"]["MPirsS"]["Executed"].get<bool>());
        EXPECT_TRUE(p["models"]["MPravd"]["Executed"].get<bool>());
        EXPECT_EQ(Numbers(p), Numbers(k));
    }
}

// The text output shows the options as the window's edits would.
TEST(CliRunInputs, TheSummaryShowsTheOptionsWithTheLocalesSeparator) {
    if (!CommaLocaleInstalled()) GTEST_SKIP() << "ru_RU.UTF-8 locale is not installed";
    for (const auto& [env, shown] : {std::pair{kPoint, "Среднее время гарантии: 2750.5   СКО: 612.25"},
                                     std::pair{kComma, "Среднее время гарантии: 2750,5   СКО: 612,25"}}) {
        const auto r = RunCli("analyze " + kSample + " --models none --mean 2750.5 --sd 612.25", env);
        ASSERT_EQ(r.status, 0) << env;
        EXPECT_NE(r.out.find(shown), std::string::npos) << env << "\n" << r.out;
    }
}

} // namespace
} // namespace tovimo
