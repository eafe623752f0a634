// analyze --charts: the result charts and the log-log chart as image files.
#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace tovimo::test;
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG's header chunk.
std::pair<unsigned, unsigned> pngSize(const std::string& bytes) {
    auto be32 = [&](size_t at) {
        unsigned v = 0;
        for (size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    return {be32(16), be32(20)};
}

fs::path freshDir(const char* name) {
    const fs::path dir = fs::temp_directory_path() / ("tovimo_charts_" + std::to_string(::getpid())) / name;
    fs::remove_all(dir);
    return dir;
}

} // namespace

TEST(CliCharts, WritesTheFourChartsAtTheirWindowSizes) {
    const fs::path dir = freshDir("four");
    const CliResult r =
        RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models none --json --charts " + dir.string());
    ASSERT_EQ(r.status, 0);
    // the file list does not mix into the output
    EXPECT_TRUE(nlohmann::json::accept(r.out));
    const struct {
        const char* name;
        unsigned width, height;
    } charts[] = {{"chart1", 922, 533}, {"chart2", 389, 528}, {"chart3", 551, 254}, {"lnview", 838, 546}};
    for (const auto& c : charts) {
        EXPECT_EQ(pngSize(slurp(dir / (std::string(c.name) + ".png"))), std::make_pair(c.width, c.height))
            << c.name;
        const std::string svg = slurp(dir / (std::string(c.name) + ".svg"));
        EXPECT_NE(svg.find("<svg"), std::string::npos) << c.name;
        EXPECT_GT(svg.size(), 10000u) << c.name;
    }
    fs::remove_all(dir.parent_path());
}

TEST(CliCharts, AFolderThatCannotBeMadeIsAFileError) {
    const fs::path dir = freshDir("blocked");
    fs::create_directories(dir);
    std::ofstream(dir / "file") << "x";
    const CliResult r = RunCli(std::string("analyze ") + TOVIMO_SAMPLE + " --models none --charts " +
                               (dir / "file" / "sub").string());
    EXPECT_EQ(r.status, 3);
    fs::remove_all(dir.parent_path());
}
