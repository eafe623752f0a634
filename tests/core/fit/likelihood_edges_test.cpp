// Model 3 on the series a warranty engineer meets at the edges: few failures,
// failures all at one time, a fleet that fails almost whole, a truth far
// outside any ordinary range. Whatever the data, model 3 either fits with
// figures that are finite or marked as having none, or refuses in Russian; it
// never ends the run.
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/stats/histogram.h"
#include "tests/core/fit/fit_fixture.h"
#include "tests/core/load_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tovimo {
namespace {

// Runs model 3 on a loaded state as the calculation run does.
struct Model3 {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    bool fitted = false;
    void Run(bool once, int bootstrap = 0) {
        ReadRunEdits(st, form);
        ReadRunFlags(st, form);
        hist_Format(st);
        form.PravdOnce = once;
        form.PravdBootstrap = bootstrap;
        form.PravdThreads = 1;
        StepClock clock(0.01);
        FitCallbacks cb;
        fitted = Podbor_Weib_Pravd(st, form, clock, cb, [&](const std::string& m) { messages.push_back(m); });
    }
};

Model3 FromRecords(const std::vector<std::string>& records, double park, double sred = 3000,
                   double sko = 700) {
    test::Loaded l = test::Load(test::DataFile({"Насос"}, records, sred, sko, park));
    EXPECT_TRUE(l.ok);
    Model3 m;
    m.st = std::move(l.st);
    m.form = l.form;
    return m;
}

// A simulated fleet with every failure recorded.
Model3 FromFleet(double shape, double scale, bool once, double fleet, std::uint64_t seed) {
    FleetParams p;
    p.shape = shape;
    p.scale = scale;
    p.once = once;
    p.unknownShare = 0;
    p.fleet = fleet;
    p.seed = seed;
    Model3 m;
    LoadDataText(m.st, m.form, EncodeCp1251(SimulateFleet(p).text), [](const std::string&) {});
    return m;
}

std::vector<std::string> Repeated(int count, const std::string& time) {
    return std::vector<std::string>(static_cast<size_t>(count), time + "\tНасос");
}

// Every figure is finite or not a number (no figure); every closed side is a
// finite positive number, every open side has no value.
void ExpectHonest(const Model3& m, const std::string& what) {
    const LikelihoodResult& r = m.st.Pravd;
    if (!r.fitted) {
        ASSERT_FALSE(m.messages.empty()) << what;
        EXPECT_FALSE(r.refusal.empty()) << what;
        EXPECT_FALSE(m.st.MPravd.Executed) << what;
        return;
    }
    EXPECT_TRUE(m.st.MPravd.Executed) << what;
    EXPECT_TRUE(std::isfinite(r.loglik)) << what;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const double e = r.estimates[i];
        EXPECT_TRUE(std::isnan(e) || (std::isfinite(e) && e > 0))
            << what << " " << kLikFigureKeys[i] << " " << e;
        const LikInterval& in = r.intervals[i];
        if (!in.present) continue;
        for (auto [open, v] : {std::pair{in.lowerOpen, in.lower}, std::pair{in.upperOpen, in.upper}}) {
            if (open)
                EXPECT_TRUE(std::isnan(v)) << what << " " << kLikFigureKeys[i];
            else
                EXPECT_TRUE(std::isfinite(v) && v > 0) << what << " " << kLikFigureKeys[i] << " " << v;
        }
        if (!in.lowerOpen && !in.upperOpen) {
            EXPECT_LE(in.lower, in.upper) << what << " " << kLikFigureKeys[i];
        }
    }
}

struct EdgeCase {
    const char* name;
    std::vector<std::string> records;
    double park;
};

TEST(LikelihoodEdges, FailuresAtOneTimeOrAWholeFleetNeverAbort) {
    std::vector<std::string> early;
    for (int i = 1; i <= 19; ++i)
        early.push_back(std::to_string(10 * i) + "\tНасос");
    const EdgeCase cases[] = {
        {"two at one time", Repeated(2, "500"), 100},
        {"five at one time", Repeated(5, "1200"), 100},
        {"twenty at one time", Repeated(20, "800"), 10000},
        {"nearly the whole fleet early", early, 20},
        {"the whole fleet early", early, 19},
    };
    for (const EdgeCase& c : cases)
        for (bool once : {true, false}) {
            Model3 m = FromRecords(c.records, c.park);
            ASSERT_EQ(m.st.MasProbl.size(), c.records.size()) << c.name;
            ASSERT_NO_THROW(m.Run(once, 5)) << c.name;
            EXPECT_EQ(m.st.Pravd.n, static_cast<int>(c.records.size())) << c.name;
            ExpectHonest(m, std::string(c.name) + (once ? " K = 1" : " K free"));
        }
}

TEST(LikelihoodEdges, ShortLivedFleetsNeverAbort) {
    // shape 2, scale 800 h: nearly every product fails long before it leaves warranty
    for (std::uint64_t seed = 1; seed <= 6; ++seed)
        for (bool once : {true, false}) {
            Model3 m = FromFleet(2, 800, once, 60, seed);
            ASSERT_NO_THROW(m.Run(once, 3)) << seed;
            ExpectHonest(m, "short life, seed " + std::to_string(seed));
        }
}

TEST(LikelihoodEdges, AFarTruthGivesOpenSidesOrCoversIt) {
    // 20 failures from A = 1, B = 3e8 h in a fleet of two million: the old
    // search box held B to 1e7 and showed a wear-out shape with an interval
    // that missed the truth
    int covered = 0, fleets = 0;
    for (std::uint64_t seed = 21; seed <= 26; ++seed) {
        Model3 m = FromFleet(1, 3e8, true, 2e6, seed);
        m.Run(true);
        ExpectHonest(m, "far truth");
        ASSERT_TRUE(m.st.Pravd.fitted);
        const LikInterval& a = m.st.Pravd.intervals[static_cast<int>(LikFigure::A)];
        const LikInterval& t10 = m.st.Pravd.intervals[static_cast<int>(LikFigure::T10)];
        const double truthT10 = LikelihoodFigure(LikFigure::T10, 1, 3e8, 1);
        ++fleets;
        covered += (a.lowerOpen || a.lower <= 1) && (a.upperOpen || 1 <= a.upper) &&
                   (t10.lowerOpen || t10.lower <= truthT10) && (t10.upperOpen || truthT10 <= t10.upper);
    }
    EXPECT_GE(covered, fleets - 1);
}

TEST(LikelihoodEdges, FewFailuresGiveBoundsForAssumedShapes) {
    for (int n : {0, 1}) {
        std::vector<std::string> records = Repeated(n, "1500");
        records.push_back("0\tНасос"); // a failure without operating time
        Model3 m = FromRecords(records, 5000);
        m.Run(true);
        const LikelihoodResult& r = m.st.Pravd;
        EXPECT_FALSE(r.fitted);
        ASSERT_EQ(r.assumedShape.size(), 3u) << n;
        EXPECT_EQ(r.n, n) << r.refusal;
        EXPECT_NE(r.refusal.find("принятой форме"), std::string::npos) << r.refusal;
        // a hand check for shape 1 with no failure: the exposure is N times
        // the mean time under warranty (3000 h), the bound -ln(0.05) / exposure per hour
        if (n == 0) {
            const double perHour = -std::log(0.05) / (5000 * 3000.0);
            EXPECT_NEAR(r.assumedShape[0].upper[0] / (perHour * 1000), 1, 1e-6);
        }
        for (const AssumedShapeBound& b : r.assumedShape) {
            EXPECT_GT(b.upper[0], 0);
            EXPECT_LT(b.upper[0], b.upper[1]);
            EXPECT_LT(b.upper[1], b.upper[2]);
        }
        // one failure allows more than none
        if (n == 1) {
            Model3 none = FromRecords({"0\tНасос"}, 5000);
            none.Run(true);
            EXPECT_GT(r.assumedShape[1].upper[2], none.st.Pravd.assumedShape[1].upper[2]);
        }
    }
}

TEST(LikelihoodEdges, PercentileOnlyWhereTheCountPerProductReachesIt) {
    EXPECT_TRUE(std::isnan(LikelihoodFigure(LikFigure::T50, 1.5, 1000, 0.4)));
    EXPECT_TRUE(std::isnan(LikelihoodFigure(LikFigure::T50, 1.5, 1000, 0.5)));
    EXPECT_NEAR(LikelihoodFigure(LikFigure::T10, 1, 1000, 1), -1000 * std::log(0.9), 1e-9);
    // with K = 2, T10 is where F reaches 0.05
    EXPECT_NEAR(LikelihoodFigure(LikFigure::T10, 1, 1000, 2), -1000 * std::log(0.95), 1e-9);
}

TEST(LikelihoodEdges, StopEndsModel3WithARefusal) {
    test::FitCase c = test::FleetCase(80);
    FitCallbacks cb;
    int calls = 0;
    cb.stop = [&] { return ++calls > 3; };
    std::vector<std::string> progress;
    cb.progress = [&](const std::string& s) { progress.push_back(s); };
    c.form.PravdOnce = false;
    StepClock clock(0.01);
    std::vector<std::string> messages;
    EXPECT_FALSE(
        Podbor_Weib_Pravd(c.st, c.form, clock, cb, [&](const std::string& m) { messages.push_back(m); }));
    EXPECT_FALSE(c.st.MPravd.Executed);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("прерван"), std::string::npos);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress[0], "Модель 3: подбор");
}

} // namespace
} // namespace tovimo
