// analyze --by-cause and forecast on the command line: the JSON views, the
// text tables under both decimal separators, the CSV files and the refusals.
#include "tests/cli/cli_run.h"
#include "tests/cli/csv_files.h"

#include "core/text/delimited_text.h"
#include "core/text/number_format.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>

using namespace tovimo;
using namespace tovimo::test;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

const std::string kRare = std::string(TOVIMO_TEST_DATA) + "/causes/rare_cause.txt";
const std::string kUnits = std::string(TOVIMO_TEST_DATA) + "/causes/gar_new_fleet.txt";

fs::path freshDir(const std::string& name) {
    return FreshDir("tovimo_causes", name);
}

const auto& kLocales = kCsvLocales;

// A closed interval of a figure holds it; an open side has no number.
void expectAround(const json& interval, const json& estimate, const std::string& what) {
    ASSERT_TRUE(interval.is_object()) << what;
    for (const char* side : {"lower", "upper"}) {
        const bool open = interval[std::string(side) + "_open"].get<bool>();
        EXPECT_EQ(open, interval[side].is_null()) << what << " " << side;
    }
    if (estimate.is_null()) return;
    const double e = estimate.get<double>();
    if (!interval["lower"].is_null()) {
        EXPECT_LE(interval["lower"].get<double>(), e * (1 + 1e-9)) << what;
    }
    if (!interval["upper"].is_null()) {
        EXPECT_GE(interval["upper"].get<double>(), e * (1 - 1e-9)) << what;
    }
}

json runJson(const std::string& args) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << args;
    try {
        return json::parse(r.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << args << ": " << e.what();
        return json::object();
    }
}

} // namespace

TEST(CliCauses, JsonGivesEveryCauseItsFitAndTheShapeTest) {
    const struct {
        const char* file;
        size_t rows;           // the causes' table rows, "Другие" included
        std::string rare;      // a cause with too few failures for a fit ("" none)
        int fittedInShapeTest; // causes the test of one shape compares
    } cases[] = {{TOVIMO_SAMPLE, 8, "", 8}, {kRare.c_str(), 4, "Датчик", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const json j = runJson(std::string("analyze ") + c.file + " --models mle --by-cause --json");
        ASSERT_TRUE(j.contains("causes"));
        const json& causes = j["causes"]["causes"];
        ASSERT_EQ(causes.size(), c.rows);
        EXPECT_EQ(causes.back()["name"], "Другие");
        int n = 0, fitted = 0;
        for (const json& cause : causes) {
            const std::string name = cause["name"].get<std::string>();
            SCOPED_TRACE(name);
            n += cause["n"].get<int>();
            if (!cause["fitted"].get<bool>()) {
                EXPECT_LT(cause["n"].get<int>(), 3);
                EXPECT_TRUE(cause["estimates"]["A"].is_null());
                // the failures per product bounded at the assumed shapes 1, 2 and 3
                ASSERT_EQ(cause["assumed_shape"].size(), 3u);
                continue;
            }
            ++fitted;
            EXPECT_NE(name, c.rare);
            for (const char* key : {"A", "B", "K_powtor", "F1000", "F2000", "F4000"}) {
                const json& e = cause["estimates"][key];
                EXPECT_TRUE(e.is_null() || (std::isfinite(e.get<double>()) && e.get<double>() > 0)) << key;
                expectAround(cause["intervals"][key], e, key);
            }
            // the accumulation per product grows with the operating time
            const json& est = cause["estimates"];
            EXPECT_LT(est["F1000"].get<double>(), est["F2000"].get<double>());
            EXPECT_LT(est["F2000"].get<double>(), est["F4000"].get<double>());
            EXPECT_GT(cause["share_4000"].get<double>(), 0);
            // B beyond all observation: the scale and K are not given as numbers
            if (cause["flat_parameter"] == "B") {
                EXPECT_TRUE(est["B"].is_null() && est["K_powtor"].is_null());
            }
        }
        EXPECT_EQ(n, j["Kol_izw"].get<int>());
        EXPECT_EQ(fitted, c.fittedInShapeTest);
        const json& t = j["causes"]["shape_test"];
        ASSERT_TRUE(t["done"].get<bool>());
        EXPECT_EQ(t["df"].get<int>(), c.fittedInShapeTest - 1);
        EXPECT_GE(t["stat"].get<double>(), 0);
        EXPECT_GT(t["p"].get<double>(), 0);
        EXPECT_LE(t["p"].get<double>(), 1);
    }
}

TEST(CliCauses, TextAndCsvFollowTheLocalesDecimalSeparator) {
    for (const auto& loc : kLocales) {
        SCOPED_TRACE(loc.env);
        const fs::path dir = freshDir(std::string("analyze_") + loc.decimal);
        const CliResult r =
            RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models mle --by-cause --csv " + dir.string(),
                   loc.env);
        ASSERT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("Причины отказов (модель 3 по каждой причине"), std::string::npos);
        EXPECT_NE(r.out.find("Проверка «у всех причин одна форма A»"), std::string::npos);
        const char other = loc.decimal == ',' ? '.' : ',';
        EXPECT_NE(r.out.find(std::string("p = 0") + loc.decimal), std::string::npos);
        EXPECT_EQ(r.out.find(std::string("p = 0") + other), std::string::npos);

        const auto rows = ReadCsv(dir / "causes.csv", loc.sep);
        ASSERT_EQ(rows.size(), 9u); // the header and eight causes
        ASSERT_EQ(rows[0].size(), 22u);
        EXPECT_EQ(rows[0][0], "Причина");
        EXPECT_EQ(rows.back()[0], "Другие");
        for (size_t i = 1; i < rows.size(); ++i)
            for (size_t k = 1; k + 1 < rows[i].size(); ++k) {
                // a number in the locale's format, or empty where a bound is open
                const std::string& cell = rows[i][k];
                EXPECT_TRUE(cell.empty() || ParseFloat(cell, loc.decimal))
                    << rows[i][0] << " " << k << ": " << cell;
                EXPECT_EQ(cell.find(other), std::string::npos) << cell;
            }
        // the first cause's A inside its bounds, as numbers
        const double A = *ParseFloat(rows[1][2], loc.decimal), lo = *ParseFloat(rows[1][3], loc.decimal),
                     hi = *ParseFloat(rows[1][4], loc.decimal);
        EXPECT_LT(lo, A);
        EXPECT_LT(A, hi);
    }
}

TEST(CliForecast, TablesOfTheWholeModelOfACauseAndOfANewFleet) {
    const struct {
        std::string args;
        size_t rows;       // the table's steps
        double firstTime;  // the first step's operating time
        const char* law;   // "normal" or "empirical"
        const char* kMode; // the model's K
        bool extended;
    } cases[] = {
        {std::string(TOVIMO_SAMPLE), 10, 500, "normal", "once", false}, // up to 3000 + 3 × 700 h
        {std::string(TOVIMO_SAMPLE) + " --horizon 2000 --step 1000 --extend 500", 2, 1000, "normal", "once",
         true},
        {std::string(TOVIMO_SAMPLE) + " --cause Насос --horizon 3000", 6, 500, "normal", "free", false},
        {kRare + " --cause Насос --mle-k free --horizon 1500", 3, 500, "normal", "free", false},
        {std::string(TOVIMO_SAMPLE) + " --units " + kUnits + " --fleet 40 --horizon 3000", 6, 500,
         "empirical", "once", false},
        {std::string(TOVIMO_SAMPLE) + " --mean 2000 --sd 300 --fleet 5000 --level 0.9", 5, 500, "normal",
         "once", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const json j = runJson("forecast " + c.args + " --json");
        ASSERT_FALSE(j.contains("refusal")) << j.dump();
        EXPECT_EQ(j["law"], c.law);
        EXPECT_EQ(j["k_mode"], c.kMode);
        const json& rows = j["rows"];
        ASSERT_EQ(rows.size(), c.rows);
        EXPECT_DOUBLE_EQ(rows[0]["time"].get<double>(), c.firstTime);
        double before = 0;
        for (const json& row : rows) {
            const double e = row["expected"].get<double>();
            EXPECT_GE(e, before); // cumulative
            before = e;
            expectAround(row["confidence"], row["expected"], "confidence");
            expectAround(row["prediction"], row["expected"], "prediction");
            // the count itself scatters more than its expected value
            if (!row["prediction"]["upper"].is_null() && !row["confidence"]["upper"].is_null()) {
                EXPECT_GE(row["prediction"]["upper"].get<double>() + 1,
                          row["confidence"]["upper"].get<double>());
            }
        }
        EXPECT_GE(j["total"]["expected"].get<double>(), before * (1 - 1e-9));
        EXPECT_EQ(j.contains("extra"), c.extended);
        if (c.extended) {
            EXPECT_NEAR(j["extra"]["expected"].get<double>(),
                        j["extended_total"]["expected"].get<double>() - j["total"]["expected"].get<double>(),
                        1e-6 * j["total"]["expected"].get<double>());
            EXPECT_GT(j["extra"]["expected"].get<double>(), 0);
        }
    }
}

TEST(CliForecast, OneCauseForecastsFewerFailuresThanTheWholeModel) {
    const json whole = runJson(std::string("forecast ") + TOVIMO_SAMPLE + " --json");
    const json cause = runJson(std::string("forecast ") + TOVIMO_SAMPLE + " --cause Двигатель --json");
    EXPECT_EQ(cause["cause"], "Двигатель");
    EXPECT_LT(cause["total"]["expected"].get<double>(), 0.5 * whole["total"]["expected"].get<double>());
}

TEST(CliForecast, TextAndCsvFollowTheLocalesDecimalSeparator) {
    for (const auto& loc : kLocales) {
        SCOPED_TRACE(loc.env);
        const fs::path dir = freshDir(std::string("forecast_") + loc.decimal);
        const CliResult r = RunCli(std::string("forecast ") + TOVIMO_SAMPLE +
                                       " --fleet 1500.5 --extend 250 --horizon 1000 --csv " + dir.string(),
                                   loc.env);
        ASSERT_EQ(r.status, 0);
        EXPECT_NE(r.out.find(std::string("Парк 1500") + loc.decimal + "5 изд."), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Всего за гарантию | "), std::string::npos);
        EXPECT_NE(r.out.find("Продление на 250 ч: дополнительно | "), std::string::npos);

        const auto rows = ReadCsv(dir / "forecast.csv", loc.sep);
        // the header, 500 and 1000 h, the total, the extended total and the extra
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(rows[0][1], "Наработка, ч");
        EXPECT_EQ(rows[3][0], "всего за гарантию");
        EXPECT_EQ(rows[5][0], "дополнительно из-за продления");
        for (size_t i = 1; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].size(), 7u);
            std::vector<double> v;
            for (size_t k = 1; k < 7; ++k) {
                const auto x = ParseFloat(rows[i][k], loc.decimal);
                ASSERT_TRUE(x) << rows[i][k];
                v.push_back(*x);
            }
            // expected count inside both intervals, the prediction's the wider
            EXPECT_LE(v[2], v[1]);
            EXPECT_GE(v[3], v[1]);
            EXPECT_LE(v[4], v[2] + 1);
            EXPECT_GE(v[5] + 1, v[3]);
        }
        EXPECT_DOUBLE_EQ(*ParseFloat(rows[1][1], loc.decimal), 500);
    }
}

TEST(CliForecast, BadInputsAreRefusedInRussian) {
    const struct {
        std::string args;
        int status;
        const char* says;
    } cases[] = {
        {std::string(TOVIMO_SAMPLE) + " --cause Нет_такой", 2, "Причины «Нет_такой» нет в таблице причин"},
        {std::string(TOVIMO_SAMPLE) + " --mean 3000", 2, "задаётся двумя числами"},
        {std::string(TOVIMO_SAMPLE) + " --units /nonexistent/gar.txt", 3, "не существует"},
        {"/nonexistent/data.txt", 3, "не существует"},
        {std::string(TOVIMO_SAMPLE) + " --fleet -5", 2, "нужно положительное число, а не «-5»"},
        {std::string(TOVIMO_SAMPLE) + " --sd 0 --mean 3000", 2, "нужно положительное число"},
        {std::string(TOVIMO_SAMPLE) + " --level 0.3", 2, "не больше 0.999"},
        {std::string(TOVIMO_SAMPLE) + " --mean -100 --sd 700", 4, "среднее время гарантии должно быть"},
        {kRare + " --cause Датчик", 4, "отказов этой причины 2, для модели нужно не меньше 3"},
        {std::string(TOVIMO_SAMPLE) + " --csv /proc/forbidden", 3, "Не удалось"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliResult r = RunCli("forecast " + c.args, "LC_ALL=C", "", true);
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
    }
}
