// The fit and its bounds against figures computed independently in R
// (tests/data/likelihood/likelihood_golden.R, which wrote golden.csv): the same
// log-likelihood maximised with optim, integrated with integrate or summed over
// the empirical law's steps, bounds by profiling with optimize and uniroot.
#include "core/data/data_file.h"
#include "core/data/warranty_file.h"
#include "core/fit/likelihood_fit.h"
#include "core/state/run_inputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace tovimo {
namespace {

struct GoldenRow {
    double estimate = 0, lower = NAN, upper = NAN;
};

std::map<std::string, std::map<std::string, GoldenRow>> ReadGolden() {
    std::ifstream in(std::string(TOVIMO_TEST_DATA) + "/likelihood/golden.csv");
    std::map<std::string, std::map<std::string, GoldenRow>> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string set, fig, est, lo, hi;
        std::getline(ss, set, ',');
        std::getline(ss, fig, ',');
        std::getline(ss, est, ',');
        std::getline(ss, lo, ',');
        std::getline(ss, hi, ',');
        auto num = [](const std::string& s) { return s == "NA" || s.empty() ? NAN : std::stod(s); };
        rows[set][fig] = {num(est), num(lo), num(hi)};
    }
    return rows;
}

struct GoldenCase {
    const char* set;
    const char* warranty; // nullptr: the normal law of the data file
    LikelihoodKMode mode;
};

class LikelihoodGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(LikelihoodGolden, AgreesWithR) {
    const GoldenCase c = GetParam();
    const auto golden = ReadGolden();
    ASSERT_TRUE(golden.count(c.set)) << c.set;
    const auto& g = golden.at(c.set);
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    auto message = [&](const std::string& m) { messages.push_back(m); };
    const std::string dir = std::string(TOVIMO_TEST_DATA) + "/likelihood/";
    ASSERT_TRUE(LoadDataFile(st, form, dir + c.set + ".txt", message));
    if (c.warranty) {
        ASSERT_TRUE(LoadWarrantyFile(st, form, dir + c.warranty, message));
    }
    ReadRunEdits(st, form);
    LikelihoodSettings s;
    s.kMode = c.mode;
    s.law = c.warranty ? WarrantyLawKind::Empirical : WarrantyLawKind::Normal;
    LikelihoodData d;
    ASSERT_EQ(PrepareLikelihoodData(st, s.law, s.kMode, d), "");
    const LikelihoodResult r = FitLikelihood(d, s);
    ASSERT_TRUE(r.fitted);
    // the normal law's CDF_Gauss differs from R's pnorm by up to 4e-9 in the
    // constant sum of ln G(t_i); the estimates do not depend on it
    EXPECT_NEAR(r.loglik / g.at("loglik").estimate, 1, 1e-6);
    for (int i = 0; i < kLikFigureCount; ++i) {
        const std::string key = kLikFigureKeys[i];
        if (!g.count(key)) {
            EXPECT_FALSE(r.intervals[i].present) << key;
            continue;
        }
        const GoldenRow& row = g.at(key);
        EXPECT_NEAR(r.estimates[i] / row.estimate, 1, 1e-4) << c.set << " " << key;
        const LikInterval& in = r.intervals[i];
        ASSERT_TRUE(in.present) << key;
        // A side the data leave open has no value here; R, following the same
        // profile without a box, finds no bound on it either (NA).
        if (in.lowerOpen)
            EXPECT_TRUE(std::isnan(row.lower)) << c.set << " " << key << " R: " << row.lower;
        else
            EXPECT_NEAR(in.lower / row.lower, 1, 1e-3) << c.set << " " << key;
        if (in.upperOpen)
            EXPECT_TRUE(std::isnan(row.upper)) << c.set << " " << key << " R: " << row.upper;
        else
            EXPECT_NEAR(in.upper / row.upper, 1, 1e-3) << c.set << " " << key;
    }
}

INSTANTIATE_TEST_SUITE_P(
    DataSets, LikelihoodGolden,
    ::testing::Values(GoldenCase{"once_normal", nullptr, LikelihoodKMode::Once},
                      GoldenCase{"free_normal", nullptr, LikelihoodKMode::Free},
                      GoldenCase{"once_empirical", "once_empirical_gar.txt", LikelihoodKMode::Once},
                      GoldenCase{"free_empirical", "free_empirical_gar.txt", LikelihoodKMode::Free}),
    [](const auto& info) { return std::string(info.param.set); });

} // namespace
} // namespace tovimo
