// Every input the fuzzers found a fault with, replayed through the same
// target code with each broken invariant turned into a test failure; and the
// findings checked by name for the answer the program now gives.
#include "fuzz/data_file_target.h"
#include "fuzz/warranty_file_target.h"
#include "tests/core/load_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace tovimo;
namespace fs = std::filesystem;

namespace {

const fs::path kRegressions = fs::path(TOVIMO_TEST_DATA) / "fuzz-regressions";

std::vector<std::string> g_broken;

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs every kept input of a target; answers how many there were. (The run
// input target has found no fault so far; its inputs go under the folder of
// the same name and get a test like the ones below.)
size_t Replay(const char* target, int (*run)(const std::uint8_t*, std::size_t)) {
    const fs::path dir = kRegressions / target;
    if (!fs::exists(dir)) return 0;
    size_t count = 0;
    fuzz::onBroken = [](const char* what) { g_broken.emplace_back(what); };
    for (const auto& entry : fs::directory_iterator(dir)) {
        g_broken.clear();
        const std::string bytes = Bytes(entry.path());
        run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        std::ostringstream broken;
        for (const auto& b : g_broken)
            broken << b << "; ";
        EXPECT_TRUE(g_broken.empty()) << entry.path().filename() << ": " << broken.str();
        ++count;
    }
    fuzz::onBroken = fuzz::AbortOnBroken;
    return count;
}

} // namespace

TEST(FuzzRegressions, KeptWarrantyFilesLoadWithEveryInvariant) {
    EXPECT_GT(Replay("warranty_file", fuzz::WarrantyFileTarget), 0u);
}

// Times near the largest double: the squared deviations overflowed and the
// law became an infinite standard deviation that the next run could not read.
TEST(FuzzRegressions, WarrantyTimesNearTheLargestDoubleGiveAFiniteLaw) {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    const std::string bytes = Bytes(kRegressions / "warranty_file" / "sd_overflows").substr(1);
    LoadWarrantyText(st, form, bytes, [&](const std::string& m) { messages.push_back(m); });
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(st.MasTGarant.size(), 2u);
    EXPECT_DOUBLE_EQ(st.Sred, 1.525e206 + 2.5);
    EXPECT_NEAR(st.SKO / 2.156675e206, 1, 1e-6);
    EXPECT_EQ(form.meSred, "1.52E+206"); // 1.525e206 lies just below the half
    EXPECT_TRUE(ParseFloat(form.meSKO, '.').has_value()) << form.meSKO;
}

// Beyond what a double holds the law is refused and the old one stays.
TEST(FuzzRegressions, WarrantyLawBeyondTheLargestDoubleIsRefused) {
    AnalysisState st;
    MainForm form;
    st.Sred = 3000;
    st.SKO = 700;
    st.MPirsS.Executed = true;
    std::vector<std::string> messages;
    LoadWarrantyText(st, form, "Гарантия\n1.7e308\n-1.7e308\n",
                     [&](const std::string& m) { messages.push_back(m); });
    EXPECT_EQ(messages,
              std::vector<std::string>{
                  "Среднее или СКО времен гарантии не представимо числом. Закон гарантии не изменен"});
    EXPECT_EQ(st.Sred, 3000);
    EXPECT_EQ(st.SKO, 700);
    EXPECT_TRUE(st.MPirsS.Executed);
    EXPECT_TRUE(form.MaskEdit1.empty());
}

TEST(FuzzRegressions, KeptDataFilesLoadWithEveryInvariant) {
    EXPECT_GT(Replay("data_file", fuzz::DataFileTarget), 0u);
}

// Failure times from 1e-300 to 1e299 h: at such magnitudes adding 0.1 h to an
// edge changes nothing, and a failure lying exactly on the last edge was in
// no column, so every criterion worked on two of the three failures.
TEST(FuzzRegressions, FailuresOfExtremeMagnitudeEachLandInAColumn) {
    test::Loaded l =
        test::Load(Bytes(kRegressions / "data_file" / "extreme_magnitudes").substr(1), '.', false, false);
    ASSERT_TRUE(l.ok);
    AnalysisState& st = l.st;
    ASSERT_EQ(st.MasProbl.size(), 3u);
    hist_Format(st);
    int total = 0;
    for (const Hist_Rec& c : st.Hist_Stol)
        total += c.Sum;
    EXPECT_EQ(total, 3);
    EXPECT_EQ(st.Hist_Stol.back().time, 1e299);
    EXPECT_EQ(st.Hist_Stol.front().Sum, 1); // the tiny time in the first column
}
