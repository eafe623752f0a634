// The warranty forecast against figures computed independently in R
// (tests/data/causes/causes_forecast_golden.R, golden_forecast.csv), its
// identities (the fitted fleet under its own law expects exactly its failures
// with K free), the mixed count's quantiles and the refusals.
#include "core/data/data_file.h"
#include "core/fit/likelihood_fit.h"
#include "core/fit/warranty_forecast.h"
#include "core/state/run_inputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace tovimo {
namespace {

struct Row {
    double time = 0, estimate = 0, lower = NAN, upper = NAN, predLower = NAN, predUpper = NAN;
};

std::map<std::string, std::map<std::string, Row>> ReadGolden() {
    std::ifstream in(std::string(TOVIMO_TEST_DATA) + "/causes/golden_forecast.csv");
    std::map<std::string, std::map<std::string, Row>> g;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string f[8];
        for (std::string& x : f)
            std::getline(ss, x, ',');
        auto num = [](const std::string& s) { return s == "NA" || s.empty() ? NAN : std::stod(s); };
        g[f[0]][f[1]] = {num(f[2]), num(f[3]), num(f[4]), num(f[5]), num(f[6]), num(f[7])};
    }
    return g;
}

struct Fitted {
    LikelihoodData data;
    LikelihoodEstimate e;
};

Fitted Fit(const std::string& file, LikelihoodKMode mode) {
    AnalysisState st;
    MainForm form;
    EXPECT_TRUE(
        LoadDataFile(st, form, std::string(TOVIMO_TEST_DATA) + "/causes/" + file, [](const std::string&) {}));
    ReadRunEdits(st, form);
    Fitted f;
    EXPECT_EQ(PrepareLikelihoodData(st, WarrantyLawKind::Normal, mode, f.data), "");
    LikelihoodEvaluator ev(f.data);
    f.e = MaximiseLikelihood(ev, mode);
    return f;
}

ForecastResult Forecast(const Fitted& f, LikelihoodKMode mode, const ForecastSettings& s) {
    return ForecastWarranty(f.data, mode, f.e.A, f.e.B, f.e.K, f.e.loglik, s);
}

void ExpectFigure(const ForecastFigure& got, const Row& want, const std::string& what) {
    EXPECT_NEAR(got.expected / want.estimate, 1, 1e-4) << what;
    ASSERT_FALSE(got.confidence.lowerOpen || got.confidence.upperOpen) << what;
    EXPECT_NEAR(got.confidence.lower / want.lower, 1, 1e-4) << what;
    EXPECT_NEAR(got.confidence.upper / want.upper, 1, 1e-4) << what;
    ASSERT_FALSE(got.prediction.upperOpen) << what;
    // whole counts where the mixed distribution function crosses a tail
    // probability: a node 1e-5 away may move the crossing by one
    EXPECT_NEAR(got.prediction.lower, want.predLower, 1) << what;
    EXPECT_NEAR(got.prediction.upper, want.predUpper, 1) << what;
}

struct GoldenCase {
    const char* set;
    const char* file;
    LikelihoodKMode mode;
    double fleet, mean, sd, extend;
};

class ForecastGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ForecastGolden, AgreesWithR) {
    const GoldenCase c = GetParam();
    const auto golden = ReadGolden();
    ASSERT_TRUE(golden.count(c.set));
    const auto& g = golden.at(c.set);
    const Fitted f = Fit(c.file, c.mode);
    ForecastSettings s;
    s.fleet = c.fleet;
    s.mean = c.mean;
    s.sd = c.sd;
    s.step = 1000;
    s.horizon = 3000;
    s.extend = c.extend;
    const ForecastResult r = Forecast(f, c.mode, s);
    ASSERT_TRUE(r.done) << r.refusal;
    ASSERT_EQ(r.rows.size(), 3u);
    ExpectFigure(r.rows[0], g.at("E1000"), "E1000");
    ExpectFigure(r.rows[2], g.at("E3000"), "E3000");
    ExpectFigure(r.total, g.at("total"), "total");
    EXPECT_NEAR(r.lawEnd / g.at("total").time, 1, 1e-9);
    ASSERT_EQ(r.extended, c.extend > 0);
    if (r.extended) {
        ExpectFigure(r.extendedTotal, g.at("extended"), "extended");
        ExpectFigure(r.extra, g.at("extra"), "extra");
    }
}

INSTANTIATE_TEST_SUITE_P(
    DataSets, ForecastGolden,
    ::testing::Values(GoldenCase{"sample_free", "sample.txt", LikelihoodKMode::Free, 2000, 3500, 600, 500},
                      GoldenCase{"sample_once", "sample.txt", LikelihoodKMode::Once, 2000, 3500, 600, 0},
                      GoldenCase{"fleet3_free", "fleet3.txt", LikelihoodKMode::Free, 5000, 3000, 700, 500}),
    [](const auto& info) { return std::string(info.param.set); });

TEST(Forecast, TheFittedFleetUnderItsOwnLawExpectsItsFailures) {
    const Fitted f = Fit("sample.txt", LikelihoodKMode::Free);
    const ForecastResult r = Forecast(f, LikelihoodKMode::Free, ForecastSettings{});
    ASSERT_TRUE(r.done) << r.refusal;
    // K = n / (N I) at the estimate: the same fleet and law expect n failures
    EXPECT_NEAR(r.total.expected, static_cast<double>(f.data.times.size()), 1e-6);
    EXPECT_EQ(r.fleet, f.data.fleet);
    EXPECT_DOUBLE_EQ(r.horizon, f.data.Sred + 3 * f.data.SKO);
    // rows every 500 h up to the horizon, rising, each inside its intervals
    ASSERT_EQ(r.rows.size(), static_cast<size_t>(std::floor(r.horizon / 500)));
    double previous = 0;
    for (const ForecastFigure& row : r.rows) {
        EXPECT_GT(row.expected, previous) << row.time;
        previous = row.expected;
        EXPECT_LT(row.confidence.lower, row.expected);
        EXPECT_GT(row.confidence.upper, row.expected);
        EXPECT_LE(row.prediction.lower, row.confidence.lower + 1);
        EXPECT_GE(row.prediction.upper, row.confidence.upper - 1);
        EXPECT_EQ(row.prediction.lower, std::round(row.prediction.lower));
    }
    EXPECT_LT(r.rows.back().expected, r.total.expected);
    EXPECT_FALSE(r.extended);
}

TEST(Forecast, ExtensionCostsTheDifferenceOfTheTotals) {
    const Fitted f = Fit("sample.txt", LikelihoodKMode::Free);
    ForecastSettings s;
    s.step = 2000;
    s.extend = 1000;
    const ForecastResult r = Forecast(f, LikelihoodKMode::Free, s);
    ASSERT_TRUE(r.done);
    ASSERT_TRUE(r.extended);
    EXPECT_NEAR(r.extra.expected, r.extendedTotal.expected - r.total.expected, 1e-9 * r.total.expected);
    EXPECT_GT(r.extra.expected, 0);
    EXPECT_GT(r.extra.confidence.lower, 0);
    EXPECT_NEAR(r.extendedTotal.time, r.total.time + 1000, 1e-9);
}

TEST(Forecast, MixedCountQuantiles) {
    // one node: the count's own quantiles (R: qpois(c(.025, .975), 10); qbinom(c(.025, .975), 100, .1))
    EXPECT_EQ(MixedCountInterval({10}, {1}, 0.95, 0), (std::pair<double, double>{4, 17}));
    EXPECT_EQ(MixedCountInterval({10}, {1}, 0.95, 100), (std::pair<double, double>{5, 16}));
    EXPECT_EQ(MixedCountInterval({0}, {1}, 0.95, 0), (std::pair<double, double>{0, 0}));
    // a wider mixture can only widen the interval
    const auto wide = MixedCountInterval({5, 10, 20}, {0.25, 0.5, 0.25}, 0.95, 0);
    EXPECT_LE(wide.first, 4);
    EXPECT_GE(wide.second, 17);
}

TEST(Forecast, RefusesWhatCannotBeForecast) {
    const Fitted f = Fit("sample.txt", LikelihoodKMode::Free);
    struct Case {
        const char* what;
        ForecastSettings s;
        double A;
    };
    ForecastSettings noFleet, noSpread, negativeMean, badStep, noTimes;
    noFleet.fleet = -5;
    noSpread.mean = 3000;
    noSpread.sd = -1;
    negativeMean.mean = -100;
    negativeMean.sd = 700;
    badStep.step = 0;
    noTimes.law = WarrantyLawKind::Empirical;
    const Case cases[] = {{"парка", noFleet, f.e.A},
                          {"СКО", noSpread, f.e.A},
                          {"среднее время гарантии", negativeMean, f.e.A},
                          {"шаг", badStep, f.e.A},
                          {"времён окончания", noTimes, f.e.A},
                          {"не подобрана", ForecastSettings{}, NAN}};
    for (const Case& c : cases) {
        const ForecastResult r =
            ForecastWarranty(f.data, LikelihoodKMode::Free, c.A, f.e.B, f.e.K, f.e.loglik, c.s);
        EXPECT_FALSE(r.done) << c.what;
        EXPECT_NE(r.refusal.find(c.what), std::string::npos) << r.refusal;
    }
}

} // namespace
} // namespace tovimo
