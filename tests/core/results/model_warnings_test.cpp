// The warnings on the models: a model K = 0 leaves undefined, where a fixed K
// came from, the figures in the tables' formats, model 3's flat tail, open
// bounds and left-out failures, and the other models' figures outside model
// 3's bounds; under either decimal separator.
#include "core/results/model_warnings.h"

#include "core/results/likelihood_warnings.h"
#include "core/stats/distributions.h"
#include "core/stats/model_slot.h"
#include "tests/core/results/decimal_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tovimo {
namespace {

using text_test::Dec;
using text_test::kNaN;

Mod_Weib Model(double A, double B, double K) {
    Mod_Weib m;
    m.A = A;
    m.B = B;
    m.K_powtor = K;
    m.Executed = true;
    return m;
}

// Five failures up to 4500 h; no figure of a model below lies past it but T50.
AnalysisState State() {
    AnalysisState st;
    for (double t : {300.0, 900.0, 1500.0, 2600.0, 4500.0})
        st.MasProbl.push_back({t, 1, "x", ""});
    st.Izd_Prived = 100;
    return st;
}

std::vector<ModelWarning> Of(const std::vector<ModelWarning>& all, const std::string& model,
                             const std::string& code) {
    std::vector<ModelWarning> out;
    std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                 [&](const ModelWarning& w) { return w.model == model && w.code == code; });
    return out;
}

// A model 3 fit whose intervals hold the given T10 and F1000 bounds.
LikelihoodResult Bounds(LikInterval t10, LikInterval f1000) {
    LikelihoodResult r;
    r.fitted = true;
    r.settings.level = 0.95;
    r.lastFailure = 4500;
    r.windowEnd = 7400;
    r.intervals[static_cast<size_t>(LikFigure::T10)] = t10;
    r.intervals[static_cast<size_t>(LikFigure::F1000)] = f1000;
    return r;
}

TEST(ModelWarnings, KZeroLeavesTheModelUndefinedAndSaysWhy) {
    for (char sep : {'.', ','}) {
        AnalysisState st = State();
        st.MasProbl.resize(1); // one failure: (N - 1) / 11 = 0
        st.MPirsS = Model(1.2, 5000, 0);
        st.MPirsN = Model(1.2, 5000, 0);
        const auto w = ModelWarnings(st, sep);
        ASSERT_EQ(w.size(), 2u); // nothing else: no clamped percentile at p/K = INF, no K "from a formula"
        EXPECT_EQ(w[0].model, "MPirsN");
        EXPECT_EQ(w[0].code, "undefined_model");
        EXPECT_EQ(w[1].text,
                  "K = 0: модель не определена (ожидаемых отказов нет), её показатели не показаны; "
                  "K взят из формулы (N − 1) / 11 по числу отказов N = 1");
        for (const ModelWarning& x : w) {
            EXPECT_EQ(x.text.find("INF"), std::string::npos) << x.text;
            EXPECT_EQ(x.text.find("inf"), std::string::npos) << x.text;
        }
    }
    AnalysisState st = State();
    st.MSmirn = Model(kNaN, 5000, 1.5);
    const auto w = ModelWarnings(st, '.');
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].text, "A = —, B = 5000.00, K = 1.5000: модель не определена, её показатели не показаны");
}

// Model 1.1 takes K from model 2 when model 2 has run, else from (N - 1) / 11;
// the warning says which, with K as the table writes it.
TEST(ModelWarnings, FixedKSaysWhereItCameFrom) {
    struct Case {
        const char* what;
        double k;
        bool smirnov;
        double smirnovK;
        const char* text;
    };
    const Case cases[] = {
        {"formula", 4.0 / 11, false, 0,
         "Масштабный коэффициент K = 0.3636 взят из формулы (N − 1) / 11 по числу "
         "отказов N = 5, а не подобран по данным"},
        {"model 2", 3.02174, true, 3.02174,
         "Масштабный коэффициент K = 3.0217 взят из модели 2, а не подобран по данным"},
        {"model 2 refitted since", 3.02174, true, 2.5,
         "Масштабный коэффициент K = 3.0217 взят из модели 2 прежнего расчёта, а не подобран по данным"},
    };
    for (char sep : {'.', ','})
        for (const Case& c : cases) {
            AnalysisState st = State();
            st.MPirsS = Model(1.2, 5000, c.k);
            if (c.smirnov) st.MSmirn = Model(1.1, 6000, c.smirnovK);
            const auto w = Of(ModelWarnings(st, sep), "MPirsS", "fixed_K");
            ASSERT_EQ(w.size(), 1u) << c.what;
            EXPECT_EQ(w[0].text, Dec(c.text, sep)) << c.what;
        }
    AnalysisState st = State();
    st.MPirsN = Model(1.2, 5000, StartRepeatFactor(st));
    const auto w = Of(ModelWarnings(st, '.'), "MPirsN", "fixed_K");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_NE(w[0].text.find("взят из формулы (N − 1) · 8000 / (приведённый парк · последняя наработка)"),
              std::string::npos)
        << w[0].text;
}

// The figures of a warning are written as the tables write them: whole hours
// for the percentiles, B with two decimals.
TEST(ModelWarnings, FiguresInTheTablesFormats) {
    AnalysisState st = State();
    st.MPirsS = Model(1.2, 98999.75, 1.3);
    const auto all = ModelWarnings(st, ',');
    const auto bound = Of(all, "MPirsS", "bound");
    ASSERT_EQ(bound.size(), 1u);
    EXPECT_EQ(bound[0].text,
              "Параметр B = 98999,75 на границе области поиска (10 … 99000): его задает граница, "
              "а не данные");
    const auto past = Of(all, "MPirsS", "extrapolation");
    ASSERT_EQ(past.size(), 1u);
    std::string figures;
    for (double p : {0.1, 0.2, 0.5})
        figures += (figures.empty() ? "" : ", ") + std::to_string(std::llround(p * 100)) + "% перцентиль (" +
                   std::to_string(std::llround(weibinv(1.2, 98999.75, p / 1.3))) + " ч)";
    EXPECT_EQ(past[0].text, figures + ": время больше последнего отказа (4500 ч), это экстраполяция");
}

// Each percentile and failures per product of the other models is checked
// against model 3's interval; an open side excludes nothing.
TEST(ModelWarnings, FiguresOutsideModel3Bounds) {
    const Mod_Weib m = Model(1.5, 12000, 1.2);
    const double t10 = weibinv(1.5, 12000, 0.1 / 1.2);        // about 2356 h
    const double f1000 = 1.2 * weibCDF2(1.5, 12000, 0, 1000); // about 0.0285
    const std::string t10Text = std::to_string(std::llround(t10));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", f1000);
    const std::string f1000Text = buf;
    struct Case {
        const char* what;
        LikInterval t10, f1000;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"inside both", {true, 2000, 3000, false, false}, {true, 0.02, 0.04, false, false}, {}},
        {"past the upper side",
         {true, 1000, 2000.4, false, false},
         {true, 0.02, 0.04, false, false},
         {"10% перцентиль " + t10Text + " ч вне 95% границ модели 3 (1000–2000 ч)"}},
        {"below the lower side",
         {true, 2000, 3000, false, false},
         {true, 0.03, 0.05, false, false},
         {"отказов/изд. за 1000 ч " + f1000Text + " вне 95% границ модели 3 (0.0300–0.0500)"}},
        {"an open side towards the figure excludes nothing",
         {true, kNaN, 5000, true, false},
         {true, 0.001, kNaN, false, true},
         {}},
        {"the closed side of half-open intervals",
         {true, 3000, kNaN, false, true},
         {true, kNaN, 0.01, true, false},
         {"10% перцентиль " + t10Text + " ч вне 95% границ модели 3 (≥ 3000 ч)",
          "отказов/изд. за 1000 ч " + f1000Text + " вне 95% границ модели 3 (≤ 0.0100)"}},
        {"open sides that carry the range ends",
         {true, 1e-4, 2000, true, false},
         {true, 0.001, 1e4, false, true},
         {"10% перцентиль " + t10Text + " ч вне 95% границ модели 3 (≤ 2000 ч)"}},
        {"both sides open", {true, kNaN, kNaN, true, true}, {true, kNaN, kNaN, true, true}, {}},
        // a figure that prints as its bound is not outside it
        {"equal as printed",
         {true, 1000, t10 - 1e-6, false, false},
         {true, 0.02, f1000 - 1e-9, false, false},
         {}},
        {"no interval", {}, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> texts;
        for (const WarningText& w : OutsideBoundsWarnings(m, Bounds(c.t10, c.f1000), '.')) {
            EXPECT_STREQ(w.code, "outside_bounds");
            texts.push_back(w.text);
        }
        EXPECT_EQ(texts, c.texts) << c.what;
    }
    LikelihoodResult unfitted = Bounds({true, 1, 2, false, false}, {});
    unfitted.fitted = false;
    EXPECT_TRUE(OutsideBoundsWarnings(m, unfitted, '.').empty());

    // in the run's list: under the other model's caption, only while model 3 is shown
    AnalysisState st = State();
    st.MPirsS = m;
    st.Pravd = Bounds({true, 1000, 2000, false, false}, {});
    EXPECT_TRUE(Of(ModelWarnings(st, ','), "MPirsS", "outside_bounds").empty());
    st.MPravd = Model(1.4, 11000, 1);
    const auto w = Of(ModelWarnings(st, ','), "MPirsS", "outside_bounds");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(WarningMemoLine(w[0]), "Предупреждение (Модель 1.1): 10% перцентиль " + t10Text +
                                         " ч вне 95% границ модели 3 (1000–2000 ч)");
}

TEST(ModelWarnings, Model3FlatTailOpenBoundsAndLeftOutFailures) {
    for (char sep : {'.', ','}) {
        LikelihoodResult r = Bounds({true, 2000, kNaN, false, true}, {true, kNaN, kNaN, true, true});
        r.settings.kMode = LikelihoodKMode::Free;
        r.atBound = true;
        r.flatParameter = "B";
        r.afterWindow = 3;
        r.zeroTimes = 1;
        r.intervals[static_cast<size_t>(LikFigure::B)] = {true, kNaN, 12000, true, false};
        const Mod_Weib m = Model(0.9, 1e7, 1.2);
        std::vector<std::string> texts, codes;
        for (const WarningText& w : LikelihoodWarnings(m, r, sep)) {
            codes.push_back(w.code);
            texts.push_back(w.text);
        }
        const std::vector<std::string> wanted = {
            "максимум правдоподобия не достигается — параметр B уходит в бесконечность (данные его не "
            "ограничивают); оценки A, B, K и зависящих от них показателей условны, опирайтесь на границы",
            Dec("B: нижняя 95% граница не ограничена данными (≤ 12000.00 ч)", sep),
            "10% перцентиль: верхняя 95% граница не ограничена данными (≥ 2000 ч)",
            "отказов/изд. за 1000 ч: 95% границы не ограничены данными",
            "Отказов с наработкой 0 ч или меньше: 1; в модели 3 они не учтены",
            "3 отказа после конца наблюдения 7400 ч не учтены"};
        EXPECT_EQ(texts, wanted);
        EXPECT_EQ(codes, (std::vector<std::string>{"bound", "open_interval", "open_interval", "open_interval",
                                                   "zero_times", "after_window"}));
    }
    struct Case {
        const char* parameter;
        double A, B, K;
        const char* direction;
    };
    for (const Case& c : {Case{"A", 0.06, 5000, 1, "параметр A уходит к нулю"},
                          Case{"A", 19.5, 5000, 1, "параметр A уходит в бесконечность"},
                          Case{"B", 1.2, 3, 1, "параметр B уходит к нулю"},
                          Case{"K", 1.2, 5000, 9000, "параметр K уходит в бесконечность"}}) {
        LikelihoodResult r = Bounds({}, {});
        r.atBound = true;
        r.flatParameter = c.parameter;
        const auto w = LikelihoodWarnings(Model(c.A, c.B, c.K), r, '.');
        ASSERT_FALSE(w.empty());
        EXPECT_NE(w[0].text.find(c.direction), std::string::npos) << w[0].text;
        EXPECT_NE(w[0].text.find("оценки A, B и зависящих"), std::string::npos) << w[0].text; // K held at 1
    }
    struct Plural {
        int n;
        const char* text;
    };
    for (const Plural& p : {Plural{1, "1 отказ после конца наблюдения 7400 ч не учтён"},
                            Plural{5, "5 отказов после конца наблюдения 7400 ч не учтены"},
                            Plural{11, "11 отказов после конца наблюдения 7400 ч не учтены"},
                            Plural{22, "22 отказа после конца наблюдения 7400 ч не учтены"}}) {
        LikelihoodResult r = Bounds({}, {});
        r.afterWindow = p.n;
        const auto w = LikelihoodWarnings(Model(1, 1, 1), r, '.');
        ASSERT_EQ(w.size(), 1u);
        EXPECT_EQ(w[0].text, p.text);
    }
}

TEST(ModelWarnings, Model3TestsInTheSummaryFormats) {
    LikelihoodResult r = Bounds({}, {});
    r.lrDone = true;
    r.lrStat = 6.0;
    r.lrP = 0.0143;
    r.gofReplicates = 180;
    r.gofRequested = 200;
    r.gofChi2 = 30.25;
    r.gofP = 0.005;
    const auto w = LikelihoodWarnings(Model(1, 1, 1), r, ',');
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].text, "Гипотеза K = 1 (не более одного отказа на изделие) отвергается на уровне 95%: "
                         "статистика отношения правдоподобия 6,000, p = 0,0143");
    EXPECT_EQ(w[1].text, "Модель плохо согласуется с гистограммой: хи-квадрат Пирсона 30,250, p = 0,005 по "
                         "180 из 200 повторений бутстрепа");
}

} // namespace
} // namespace tovimo
