// Model 3 in the calculation run: its memo line after the other models, its
// slot and table column, its chart series, the warnings, and a refusal.
#include "core/data/warranty_file.h"
#include "core/fit/calc_run.h"
#include "core/fit/fit_spiral.h"
#include "core/fit/likelihood_fit.h"
#include "core/results/chart_data.h"
#include "core/results/model_warnings.h"
#include "core/results/results_table.h"
#include "tests/core/fit/fit_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tovimo {
namespace {

struct PravdRun {
    test::FitCase c;
    std::vector<std::string> messages, memo;
    bool ran = false;
    explicit PravdRun(test::FitCase fc) : c(std::move(fc)) {}
    void go() {
        StepClock clock(0.01);
        RunCallbacks cb;
        cb.message = [&](const std::string& m) { messages.push_back(m); };
        cb.memo = [&](const std::string& l) { memo.push_back(l); };
        ran = RunCalculation(c.st, c.form, clock, cb);
    }
    bool hasWarning(const std::string& model, const std::string& code) const {
        return std::any_of(c.st.Warnings.begin(), c.st.Warnings.end(),
                           [&](const ModelWarning& w) { return w.model == model && w.code == code; });
    }
};

TEST(LikelihoodRun, FitsAfterTheOtherModelsAndFillsItsColumnAndCurves) {
    PravdRun r(test::FleetCase(80));
    r.c.form.BoxPravd = true;
    r.c.form.PravdOnce = false; // the simulated fleet fails repeatedly
    r.c.form.PravdBootstrap = 4;
    r.go();
    ASSERT_TRUE(r.ran);
    ASSERT_TRUE(r.c.st.MPravd.Executed) << (r.messages.empty() ? "" : r.messages[0]);
    // model 1.1's three lines, then model 3's line and its spread line, then the warnings
    ASSERT_GE(r.memo.size(), 5u);
    EXPECT_EQ(r.memo[0].rfind(kSpiralDone, 0), 0u);
    EXPECT_EQ(r.memo[3].rfind(kPravdDone, 0), 0u);
    EXPECT_EQ(r.memo[4].rfind("Доверительный 95%", 0), 0u);
    for (size_t i = 5; i < r.memo.size(); ++i)
        EXPECT_EQ(r.memo[i].rfind("Предупреждение (", 0), 0u) << r.memo[i];
    EXPECT_EQ(r.memo.size() - 5, r.c.st.Warnings.size());
    EXPECT_TRUE(r.hasWarning("MPirsS", "fixed_K"));
    EXPECT_FALSE(r.hasWarning("MPravd", "fixed_K"));
    EXPECT_EQ(r.c.st.Pravd.gofReplicates, 4);
    EXPECT_TRUE(r.c.st.Pravd.lrDone);

    // the column sits after the other models, before the operating data
    const ResultTable t = FillResultTable(
        r.c.st, '.', [](const std::string& s) { return int(s.size()); }, false);
    EXPECT_EQ(t.cells[0][1], "Пирсона/спир.спуск");
    EXPECT_EQ(t.cells[0][2], "Макс. правдоподобия");
    EXPECT_EQ(t.cells[0][3], "Данные эксплуатации");
    EXPECT_EQ(t.dataColumn, 3);

    // its curves and band carry a point for every column with failures
    const ResultCharts charts = BuildResultCharts(r.c.st, '.', ",");
    for (const char* name : {"Series25", "Series26", "Series27"}) {
        const SeriesPlan* s = FindSeries(charts.chart2, name);
        ASSERT_NE(s, nullptr) << name;
        EXPECT_TRUE(s->inLegend || s->legend.empty()) << name;
        EXPECT_EQ(s->values.size(), charts.chart2.categories.size()) << name;
    }
    const SeriesPlan& value = *FindSeries(charts.chart2, "Series25");
    const SeriesPlan& lower = *FindSeries(charts.chart2, "Series26");
    const SeriesPlan& upper = *FindSeries(charts.chart2, "Series27");
    for (size_t i = 0; i < value.values.size(); ++i) {
        EXPECT_LT(lower.values[i], value.values[i] * (1 + 1e-9)) << i;
        EXPECT_GT(upper.values[i], value.values[i] * (1 - 1e-9)) << i;
    }
    EXPECT_EQ(FindSeries(charts.chart1, "Series24")->values.size(), charts.chart1.categories.size());
}

TEST(LikelihoodRun, RefusedModelGivesAMessageAndNoColumn) {
    PravdRun r(test::FleetCase(40));
    r.c.form.SpirSpusk = false;
    r.c.form.BoxPravd = true;
    r.c.form.PravdLaw = 1; // "по файлу" without a warranty-end times file
    r.go();
    ASSERT_TRUE(r.ran);
    EXPECT_FALSE(r.c.st.MPravd.Executed);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].find("по файлу"), std::string::npos);
    EXPECT_TRUE(r.c.st.Warnings.empty());
}

TEST(LikelihoodRun, WarrantyFileClearsTheSlotAndMakesItsLawTheDefault) {
    PravdRun r(test::FleetCase(40));
    r.c.form.BoxPravd = true;
    r.c.form.PravdOnce = false;
    r.c.form.PravdBootstrap = 0;
    r.go();
    ASSERT_TRUE(r.c.st.MPravd.Executed);
    std::vector<std::string> msgs;
    LoadWarrantyText(r.c.st, r.c.form, "Гарантия\n2500\n3000\n3500\n4000\n9000\n",
                     [&](const std::string& m) { msgs.push_back(m); });
    EXPECT_FALSE(r.c.st.MPravd.Executed);
    EXPECT_EQ(r.c.form.PravdLaw, 1);
}

TEST(ModelWarnings, ClampedPercentileAndExtrapolation) {
    AnalysisState st;
    st.MasProbl = {{100, 1, "x", ""}, {900, 1, "x", ""}};
    st.Tzenz = 900;
    st.MPirsS.Executed = true;
    st.MPirsS.A = 1.2;
    st.MPirsS.B = 5000;
    st.MPirsS.K_powtor = 0.15; // 0.2/K and 0.5/K reach 1
    const std::vector<ModelWarning> w = ModelWarnings(st, ',');
    std::vector<std::string> codes;
    for (const auto& x : w)
        codes.push_back(x.code);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "clamped_percentile"), 2);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "fixed_K"), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "extrapolation"), 1);
    for (const auto& x : w)
        if (x.code == "extrapolation") {
            EXPECT_NE(x.text.find("4000 ч"), std::string::npos) << x.text;
        }
    EXPECT_EQ(WarningMemoLine(w[0]).rfind("Предупреждение (Модель 1.1): ", 0), 0u);
}

} // namespace
} // namespace tovimo
