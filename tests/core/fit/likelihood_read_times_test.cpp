// Model 3 and the times the loader moved down to Sred + 3·SKO: it fits the
// times as read, and a warning says how many failures were moved and by how
// much at most.
#include "core/data/data_file.h"
#include "core/fit/calc_run.h"
#include "core/fit/likelihood_model.h"
#include "core/results/model_warnings.h"
#include "core/text/text_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace tovimo {
namespace {

struct Series {
    AnalysisState st;
    MainForm form;
};

// A data file of the given law and fleet with one record per time text.
Series LoadSeries(const std::vector<std::string>& times, double sred, double sko, double fleet, char sep) {
    std::string text = "ряд\n" + std::to_string(sred) + "\n" + std::to_string(sko) + "\n" +
                       std::to_string(fleet) + "\n" + std::to_string(times.size()) + "\n1\nузел\n";
    for (const std::string& t : times)
        text += t + "\tузел\n";
    Series s;
    s.form.decimalSeparator = sep;
    s.form.FilePath = "series.txt";
    EXPECT_TRUE(LoadDataText(s.st, s.form, EncodeCp1251(text), [](const std::string&) {}));
    return s;
}

std::optional<ModelWarning> Find(const std::vector<ModelWarning>& warnings, const std::string& code) {
    const auto it =
        std::find_if(warnings.begin(), warnings.end(), [&](const ModelWarning& w) { return w.code == code; });
    if (it == warnings.end()) return std::nullopt;
    return *it;
}

// Under the normal law the clamped time always has some products under
// warranty; the time as read, 50 SKO beyond the mean, has none.
TEST(LikelihoodReadTimes, ModelThreeFitsTheTimesAsRead) {
    for (const char sep : {'.', ','}) {
        SCOPED_TRACE(sep);
        Series s = LoadSeries({"200", "400", "600", "800", "6000.5"}, 1000, 100, 100, sep);
        ASSERT_EQ(s.st.MasProbl.back().time, 1300);
        LikelihoodData d;
        // observed far beyond the law: the failure contradicts it
        const std::string refusal =
            PrepareLikelihoodData(s.st, WarrantyLawKind::Normal, LikelihoodKMode::Once, d, sep, 1e6);
        const std::string at = sep == ',' ? "6000,5" : "6000.5";
        EXPECT_EQ(refusal.rfind("Отказ при наработке " + at +
                                    " ч приходится на время, когда все изделия уже вышли из гарантии",
                                0),
                  0u)
            << refusal;
        // observed to the end of the law: the failure lies after it, left out
        EXPECT_EQ(PrepareLikelihoodData(s.st, WarrantyLawKind::Normal, LikelihoodKMode::Once, d, sep), "");
        EXPECT_EQ(d.afterWindow, 1);
        EXPECT_EQ(d.times, (std::vector<double>{200, 400, 600, 800}));

        // with the loader's time instead, neither would be seen
        s.st.MasProbl.back().timeRead.reset();
        EXPECT_EQ(PrepareLikelihoodData(s.st, WarrantyLawKind::Normal, LikelihoodKMode::Once, d, sep, 1e6),
                  "");
        EXPECT_EQ(d.times.back(), 1300);
    }
}

TEST(LikelihoodReadTimes, WarningCountsTheMovedFailuresAndTheLargestMove) {
    struct Case {
        int moved;
        const char* word;
    };
    const Case cases[] = {{1, "отказ"},    {2, "отказа"},   {4, "отказа"}, {5, "отказов"},
                          {11, "отказов"}, {14, "отказов"}, {21, "отказ"}, {22, "отказа"}};
    for (const char sep : {'.', ','})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.moved) + " moved, separator " + sep);
            std::vector<std::string> times{"100", "200", "1300"}; // 1300 is not moved
            for (int i = 0; i < c.moved; ++i)
                times.push_back(i == 0 ? "1350,5" : "1312.25");
            Series s = LoadSeries(times, 1000, 100, 1000, sep);
            s.st.MPravd.Executed = true;
            s.st.MPravd.A = 1.5;
            s.st.MPravd.B = 5000;
            s.st.MPravd.K_powtor = 1;
            const auto w = Find(ModelWarnings(s.st, sep), "moved_times");
            ASSERT_TRUE(w);
            EXPECT_EQ(w->model, "MPravd");
            EXPECT_EQ(w->text, "Загрузчик перенёс " + std::to_string(c.moved) + " " + c.word +
                                   " за Sred + 3·SKO = 1300 ч; наибольший перенос " +
                                   (sep == ',' ? "50,5" : "50.5") +
                                   " ч; модель 3 использует наработки как прочитаны");
            EXPECT_EQ(WarningMemoLine(*w), "Предупреждение (Модель 3): " + w->text);

            // not for model 3 not computed, nor for the other models
            s.st.MPravd.Executed = false;
            s.st.MPirsS = s.st.MPravd;
            s.st.MPirsS.Executed = true;
            EXPECT_FALSE(Find(ModelWarnings(s.st, sep), "moved_times"));
        }
    // nothing moved: no warning
    Series s = LoadSeries({"100", "200", "1300"}, 1000, 100, 1000, '.');
    s.st.MPravd.Executed = true;
    s.st.MPravd.K_powtor = 1;
    EXPECT_FALSE(Find(ModelWarnings(s.st, '.'), "moved_times"));
}

// Through a calculation run: model 3 fits the times as read and its warning
// reaches the memo and the run's warnings.
TEST(LikelihoodReadTimes, RunWarnsInTheMemo) {
    std::vector<std::string> times;
    for (int i = 1; i <= 40; ++i)
        times.push_back(std::to_string(i * 100));
    times.insert(times.end(), {"5112.25", "5150.5"});
    Series s = LoadSeries(times, 3000, 700, 1000, ',');
    s.form.SpirSpusk = false;
    s.form.BoxPravd = true;
    s.form.PravdBootstrap = 0;
    std::vector<std::string> memo, messages;
    StepClock clock(0.01);
    RunCallbacks cb;
    cb.memo = [&](const std::string& l) { memo.push_back(l); };
    cb.message = [&](const std::string& m) { messages.push_back(m); };
    ASSERT_TRUE(RunCalculation(s.st, s.form, clock, cb));
    ASSERT_TRUE(s.st.MPravd.Executed) << (messages.empty() ? "" : messages[0]);
    EXPECT_EQ(s.st.Pravd.lastFailure, 5150.5);
    const auto w = Find(s.st.Warnings, "moved_times");
    ASSERT_TRUE(w);
    const std::string line =
        "Предупреждение (Модель 3): Загрузчик перенёс 2 отказа за Sred + 3·SKO = 5100 ч; "
        "наибольший перенос 50,5 ч; модель 3 использует наработки как прочитаны";
    EXPECT_EQ(WarningMemoLine(*w), line);
    EXPECT_NE(std::find(memo.begin(), memo.end(), line), memo.end());
}

} // namespace
} // namespace tovimo
