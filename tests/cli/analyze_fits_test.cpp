// tovimo-cli analyze with the fits, on the bundled sample.
#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tovimo {
namespace {

using test::RunCli;
const std::string kSample = TOVIMO_SAMPLE;

TEST(CliAnalyzeFits, AllThreeModelsPrintTheirMemoLinesThenTheTable) {
    auto r = RunCli("analyze " + kSample + " --models spiral,newton,smirnov");
    ASSERT_EQ(r.status, 0) << r.out;
    const size_t spiral = r.out.find("Расчёт модели по Пирсону методом спирального спуска выполнен за ");
    const size_t newton = r.out.find("Расчёт модели по Пирсону методом Ньютона выполнен за ");
    const size_t smirnov = r.out.find("Расчёт модели по Смирнову выполнен за ");
    const size_t table = r.out.find("Результаты для методов:");
    ASSERT_NE(spiral, std::string::npos);
    EXPECT_LT(spiral, newton);
    EXPECT_LT(newton, smirnov);
    EXPECT_LT(smirnov, table);
    ASSERT_NE(table, std::string::npos);
    const std::string header = r.out.substr(table, r.out.find('\n', table) - table);
    const size_t n = header.find("Пирсона/Ньютона"), s = header.find("Пирсона/спир.спуск"),
                 m = header.find("Смирнова"), d = header.find("Данные эксплуатации");
    EXPECT_TRUE(n != std::string::npos && n < s && s < m && m < d) << header;
    for (const char* label :
         {"Распр. Вейбулла(A,B как в Excel)", "Масштабный коэффициент", "50% перцентиль (Nотк./Nпарк)",
          "90%,80% перцентили", "Расчетных/фактических отказов", "Доверит.95% инт-л/СКО модели",
          "Средний фактич. срок гарантии", "СКО фактич-го срока гарантии", "Критерий Колмогорова",
          "MTBF при 300 и 1000 ч", "Отказов/изд. за 1000/2000/4000 ч"})
        EXPECT_NE(r.out.find(label, table), std::string::npos) << label;
}

TEST(CliAnalyzeFits, JsonCarriesModelsMemoAndGrid) {
    for (const char* env : {"LC_ALL=C", "LC_ALL=ru_RU.UTF-8"}) {
        auto r = RunCli("analyze " + kSample + " --models newton --json", env);
        ASSERT_EQ(r.status, 0) << env;
        const auto j = nlohmann::json::parse(r.out);
        const auto& m = j["models"]["MPirsN"];
        EXPECT_TRUE(m["Executed"].get<bool>());
        EXPECT_GT(m["criterion"].get<double>(), 0);
        EXPECT_GT(m["evaluations"].get<long long>(), 1000);
        EXPECT_GE(m["seconds"].get<double>(), 0);
        EXPECT_FALSE(j["models"]["MPirsS"]["Executed"].get<bool>());
        const auto& memo = j["memo"];
        ASSERT_EQ(memo.size(), 4u + j["warnings"].size());
        EXPECT_EQ(memo[0], "Ход решения");
        EXPECT_EQ(
            memo[1].get<std::string>().rfind("Расчёт модели по Пирсону методом Ньютона выполнен за ", 0), 0u);
        const auto& grid = j["Result_Grid"];
        ASSERT_EQ(grid.size(), 12u);
        for (const auto& row : grid)
            EXPECT_EQ(row.size(), 7u);
        EXPECT_EQ(grid[0][1], "Пирсона/Ньютона");
        EXPECT_EQ(grid[0][2], "Данные эксплуатации");
        EXPECT_EQ(grid[0][3], "");
        const std::string kText = grid[2][1]; // "%6.4f" without padding blanks
        EXPECT_EQ(kText.size(), 6u);
        const bool comma = std::string(env).find("ru_RU") != std::string::npos;
        if (comma && kText.find(',') == std::string::npos)
            GTEST_SKIP() << "ru_RU.UTF-8 locale is not installed";
        EXPECT_EQ(kText[1], comma ? ',' : '.') << kText;
    }
}

TEST(CliAnalyzeFits, BadFactorStopsTheRunWithExitTwo) {
    auto r = RunCli("analyze " + kSample + " --models newton --factor-newton 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.find("Результаты для методов:"), std::string::npos);
}

} // namespace
} // namespace tovimo
