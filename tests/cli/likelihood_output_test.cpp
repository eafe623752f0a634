// Model 3 in the output of analyze: the text prints its bounds as the panel
// shows them, the JSON marks open sides with null, and a series with one
// failure puts no infinite figure anywhere.
#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace tovimo::test;
using nlohmann::json;

namespace {

// the step clock meets the step-search fits' time rules after a few readings
const char* const kLocales[] = {"LC_ALL=C TOVIMO_STEP_CLOCK=2", "LC_ALL=ru_RU.UTF-8 TOVIMO_STEP_CLOCK=2"};
const std::string kFree =
    std::string("analyze ") + TOVIMO_SAMPLE + " --models mle --mle-k free --bootstrap 0";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// Strings in the JSON that stand for a number that is not finite.
void CollectNonFinite(const json& j, const std::string& path, std::vector<std::string>& found) {
    if (j.is_string()) {
        const std::string s = j;
        if (s == "nan" || s == "inf" || s == "-inf" || s.find("INF") != std::string::npos ||
            s.find("NAN") != std::string::npos)
            found.push_back(path + ": " + s);
    } else if (j.is_object()) {
        for (auto it = j.begin(); it != j.end(); ++it)
            CollectNonFinite(it.value(), path + "/" + it.key(), found);
    } else if (j.is_array()) {
        for (size_t i = 0; i < j.size(); ++i)
            CollectNonFinite(j[i], path + "[" + std::to_string(i) + "]", found);
    }
}

std::string OneFailureFile() {
    const std::string path = ::testing::TempDir() + "likelihood_one_failure.txt";
    std::ofstream(path) << "one\n3000\n500\n100\n1\n0\n250\tx\n";
    return path;
}

} // namespace

TEST(CliLikelihoodOutput, TextPrintsTheBoundsAsThePanelShowsThem) {
    for (const char* env : kLocales) {
        SCOPED_TRACE(env);
        const CliResult text = RunCli(kFree, env);
        const CliResult js = RunCli(kFree + " --json", env);
        ASSERT_EQ(text.status, 0);
        ASSERT_EQ(js.status, 0);
        const json bounds = json::parse(js.out)["Bounds"];
        const std::vector<std::string> lines = Lines(text.out);
        auto at = std::find(lines.begin(), lines.end(), "Модель 3: доверительные границы");
        ASSERT_NE(at, lines.end()) << text.out;
        // the summary lines in their order, then the header and a line per figure
        std::vector<std::string> wanted = bounds["summary"];
        ASSERT_GE(wanted.size(), 4u);
        for (const std::string& w : wanted) {
            ASSERT_NE(++at, lines.end());
            EXPECT_EQ(*at, w);
        }
        std::vector<std::vector<std::string>> rows{bounds["header"]};
        for (const auto& row : bounds["rows"])
            rows.push_back(row);
        ASSERT_EQ(rows.size(), 10u);
        for (const auto& row : rows) {
            ASSERT_NE(++at, lines.end());
            size_t from = 0;
            for (const std::string& cell : row) {
                const size_t found = at->find(cell, from);
                ASSERT_NE(found, std::string::npos) << "'" << cell << "' in " << *at;
                from = found + cell.size();
            }
        }
        // the scale and K trade off along a valley on the sample: B's upper side is open
        EXPECT_EQ(rows[2][3], "—");
        EXPECT_EQ(rows[2][2].rfind("≥ ", 0), 0u) << rows[2][2];
        EXPECT_EQ(rows[2][4], "сверху не ограничена данными");
        EXPECT_NE(text.out.find(std::string("Проверка K = 1: ")), std::string::npos);
    }
}

TEST(CliLikelihoodOutput, JsonMarksOpenSidesWithNull) {
    const CliResult r = RunCli(kFree + " --json", kLocales[0]);
    ASSERT_EQ(r.status, 0);
    const json j = json::parse(r.out);
    std::vector<std::string> nonFinite;
    CollectNonFinite(j, "", nonFinite);
    EXPECT_TRUE(nonFinite.empty()) << ::testing::PrintToString(nonFinite);
    const json& intervals = j["models"]["MPravd"]["intervals"];
    for (auto it = intervals.begin(); it != intervals.end(); ++it) {
        const json& in = it.value();
        ASSERT_TRUE(in.is_object()) << it.key(); // K is free: every figure has an interval
        EXPECT_EQ(in["lower_open"].get<bool>(), in["lower"].is_null()) << it.key();
        EXPECT_EQ(in["upper_open"].get<bool>(), in["upper"].is_null()) << it.key();
    }
    EXPECT_TRUE(intervals["B"]["upper_open"].get<bool>());
    EXPECT_TRUE(intervals["B"]["upper"].is_null());
    EXPECT_TRUE(intervals["A"]["lower"].is_number());
}

// One failure: models 1.1 and 1.2 get K = 0 from their formulas and model 3
// cannot fit a shape. No INF, no absurd mean time: dashes, a warning in words,
// and model 3's bounds at assumed shapes.
TEST(CliLikelihoodOutput, OneFailureShowsDashesWordsAndAssumedShapes) {
    const std::string file = OneFailureFile();
    const std::string args = "analyze " + file + " --models spiral,newton,mle";
    for (const char* env : kLocales) {
        SCOPED_TRACE(env);
        const CliResult text = RunCli(args, env);
        ASSERT_EQ(text.status, 0);
        for (const char* bad : {"INF", "NAN", "inf", "nan", "E+0"})
            EXPECT_EQ(text.out.find(bad), std::string::npos) << bad << " in\n" << text.out;
        EXPECT_NE(text.out.find("Предупреждение (Модель 1.1): K = 0: модель не определена"),
                  std::string::npos)
            << text.out;
        EXPECT_EQ(text.out.find("взят из формулы, а не подобран"), std::string::npos);
        const auto lines = Lines(text.out);
        const auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("Отказов на изделие к 1000 ч при принятой форме A = 1 ", 0) == 0;
        });
        ASSERT_NE(row, lines.end()) << text.out;
        EXPECT_NE(row->find("≤ 0"), std::string::npos) << *row;

        const CliResult js = RunCli(args + " --json", env);
        ASSERT_EQ(js.status, 0);
        const json j = json::parse(js.out);
        std::vector<std::string> nonFinite;
        CollectNonFinite(j, "", nonFinite);
        EXPECT_TRUE(nonFinite.empty()) << ::testing::PrintToString(nonFinite);
        EXPECT_FALSE(j["models"]["MPravd"]["Executed"].get<bool>());
        EXPECT_EQ(j["models"]["MPravd"]["assumed_shape"].size(), 3u);
        EXPECT_EQ(j["Bounds"]["rows"].size(), 9u);
        int undefined = 0;
        for (const auto& w : j["warnings"])
            undefined += w["code"] == "undefined_model";
        EXPECT_EQ(undefined, 2);
    }
}
