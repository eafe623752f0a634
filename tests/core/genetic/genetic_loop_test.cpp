#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_objective.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/text/number_format.h"
#include "tests/core/genetic/genetic_test_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>

namespace tovimo {
namespace {

using test::GaFleet;
using test::PreparedFleet;
using test::RecordingHost;

GaFleet SmallRun(int population, int generations, const std::function<void(MainForm&)>& more = {}) {
    return PreparedFleet({}, [&](MainForm& f) {
        f.Edit3 = std::to_string(population);
        f.NPokoleny = std::to_string(generations);
        if (more) more(f);
    });
}

GaRunOptions Seeded(std::uint64_t seed = 7, unsigned threads = 1, char sep = '.') {
    GaRunOptions o;
    o.seed = seed;
    o.threads = threads;
    o.decimalSeparator = sep;
    return o;
}

int CountLines(const MainForm& f, const std::string& prefix) {
    return static_cast<int>(std::count_if(f.Memo2.begin(), f.Memo2.end(),
                                          [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

TEST(GeneticSchedule, BarPositionOrSchedule) {
    // First generation: both probabilities are still 0, so the bars' positions count.
    ScheduleStep s = NextProbability(0, 55, 0.2);
    EXPECT_DOUBLE_EQ(s.probability, 55.0 / 101);
    EXPECT_FALSE(s.barPosition);
    EXPECT_EQ(Round(3000 * s.probability), 1634); // crossings of a default first generation
    EXPECT_DOUBLE_EQ(NextProbability(0, 15, 0.2).probability, 15.0 / 101);
    // A bar at 0 or 1 lets the schedule drive the value from the start.
    for (int bar : {0, 1}) {
        s = NextProbability(0, bar, CrossoverScheduled(2, 1500));
        EXPECT_EQ(s.probability, CrossoverScheduled(2, 1500)) << bar;
        EXPECT_TRUE(s.barPosition) << bar;
    }
    EXPECT_DOUBLE_EQ(NextProbability(0, 2, 0.3).probability, 2.0 / 101);

    // N = 1500, second generation (g = 3), after the default first one.
    s = NextProbability(55.0 / 101, 55, CrossoverScheduled(3, 1500));
    EXPECT_NEAR(s.probability, std::fabs(std::sin(0.984)) * 0.275, 1e-15);
    EXPECT_NEAR(s.probability, 0.2290, 5e-5);
    EXPECT_EQ(s.barPosition, 23);
    s = NextProbability(15.0 / 101, 15, MutationScheduled(3, 1500));
    EXPECT_NEAR(s.probability, std::fabs(std::sin(-0.005)) * 0.225, 1e-15);
    EXPECT_EQ(s.barPosition, 0);
    EXPECT_EQ(Round(3000 * s.probability), 3);

    // A user's drag counts for one generation, then the schedule takes over again.
    s = NextProbability(0.229, 40, 0.23);
    EXPECT_DOUBLE_EQ(s.probability, 40.0 / 101);
    s = NextProbability(s.probability, 40, 0.23);
    EXPECT_EQ(s.probability, 0.23);
    EXPECT_EQ(s.barPosition, 23);
}

TEST(GeneticSchedule, CopyTriggerGenerations) {
    const struct {
        int N;
        std::set<int> triggers;
    } cases[] = {
        {1500, {300, 900, 1200}},
        {2000, {400, 1200, 1600}},
        {4000, {800, 2400, 3200}},
        {10000, {1999, 2000, 2001, 2002, 5998, 5999, 6000, 6001, 6002, 7999, 8000, 8001, 8002}},
        {1, {}},
    };
    for (const auto& c : cases) {
        std::set<int> got;
        for (int g = 2; g <= c.N; ++g)
            if (CopyTrigger(g, c.N)) got.insert(g);
        EXPECT_EQ(got, c.triggers) << c.N;
    }
}

TEST(GeneticLoop, FullRunCopiesAfterTheTriggersAndRestoresTheGenerationCount) {
    GaFleet f = SmallRun(12, 1500);
    RecordingHost host(f.form);
    GaFlags flags;
    flags.Stop_Gen = true;  // left from before the run: cleared at its start
    flags.bCopyBest = true; // likewise, or a copying would happen at g = 2
    ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::Published);
    EXPECT_EQ(host.generations, 1499); // g = 2 to 1500
    std::vector<int> copiedAt;         // generation n has g = n + 1
    for (const auto& [n, line] : host.memo)
        if (line == kMsgCopyBest) copiedAt.push_back(n + 1);
    EXPECT_EQ(copiedAt, (std::vector<int>{301, 901, 1201}));
    ASSERT_GE(host.generationTexts.size(), 2u);
    EXPECT_EQ(host.generationTexts[host.generationTexts.size() - 2], "300");
    EXPECT_EQ(host.generationTexts.back(), "1500");
    EXPECT_EQ(f.form.NPokoleny, "1500");
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(f.form.ProgressBar2, 100);
    EXPECT_EQ(f.st.iMaxBest, 1500);
    EXPECT_EQ(host.diaGenCalls, 1);
    EXPECT_EQ(f.form.Memo2[1], "Создано генов 2");
}

TEST(GeneticLoop, OneGenerationFillsTheProgressBar) {
    GaFleet f = SmallRun(6, 1);
    RecordingHost host(f.form);
    GaFlags flags;
    ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::Published);
    EXPECT_EQ(host.generations, 1);
    EXPECT_EQ(host.progress, std::vector<int>{300});
    EXPECT_EQ(f.form.ProgressBar2, 100);
    EXPECT_EQ(host.generationTexts, (std::vector<std::string>{"1", "1"}));
}

TEST(GeneticLoop, StopEndsAfterTheGenerationInProgress) {
    GaFleet f = SmallRun(20, 100);
    RecordingHost host(f.form);
    GaFlags flags;
    host.onGeneration = [&](int n) {
        if (n == 3) flags.Stop_Gen = true;
    };
    ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::Published);
    EXPECT_EQ(host.generations, 3);
    EXPECT_EQ(host.progress.back(), 5); // the stopped generation still moves the bar to g = 5
    EXPECT_TRUE(f.st.MGenet.Executed);
    EXPECT_EQ(f.form.NPokoleny, "100");
    EXPECT_EQ(host.diaGenCalls, 1);
}

TEST(GeneticLoop, CopyRequestAndUnusableCopyCount) {
    GaFleet f = SmallRun(20, 100, [](MainForm& form) { form.LabeledEdit1 = "abc"; });
    RecordingHost host(f.form);
    GaFlags flags;
    host.onGeneration = [&](int n) {
        if (n == 7) flags.bCopyBest = true;
    };
    ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::Published);
    // The line is written; the copying itself is abandoned (the list is kept),
    // so the generations edit counts on.
    EXPECT_EQ(CountLines(f.form, kMsgCopyBest), 4); // the click and the three scheduled ones
    EXPECT_EQ(host.generationTexts[97], "98");
}

TEST(GeneticLoop, ErrorInsideAGenerationEndsTheRunWithTheBestSoFar) {
    GaFleet f = SmallRun(20, 100);
    RecordingHost host(f.form);
    GaFlags flags;
    host.onGeneration = [](int n) {
        if (n == 3) throw std::runtime_error("control gone");
    };
    ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::Published);
    const auto it = std::find(f.form.Memo2.begin(), f.form.Memo2.end(), kMsgGaException);
    ASSERT_NE(it, f.form.Memo2.end());
    EXPECT_EQ(f.form.Memo2.back(), Hist_SKO(f.st, f.st.MGenet, '.'));
    EXPECT_EQ(f.st.MGenet.B, f.st.Aopt[1]);
    EXPECT_EQ(host.diaGenCalls, 1);
}

TEST(GeneticLoop, PublishesTheBestIndividual) {
    GaFleet f = SmallRun(60, 40);
    f.st.Tzenz = f.st.Hist_Stol[f.st.Hist_Stol.size() / 2].time; // columns beyond it exist
    const double sred = f.st.Sred, sko = f.st.SKO;
    RecordingHost host(f.form);
    GaFlags flags;
    ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded(3, 1, ',')), GaRunEnd::Published);
    const Mod_Weib& M = f.st.MGenet;
    const double n = static_cast<double>(f.st.MasProbl.size());
    EXPECT_EQ(M.K_powtor, (n - 1) / f.st.Izd_Prived * 8000 / f.st.MasProbl.back().time);
    EXPECT_TRUE(M.Executed);
    EXPECT_EQ(M.A, f.st.Aopt[2]);
    EXPECT_EQ(M.B, f.st.Aopt[1]);
    EXPECT_EQ(f.st.Ao, f.st.Aopt);
    EXPECT_EQ(f.st.Sred, sred);
    EXPECT_EQ(f.st.SKO, sko);
    EXPECT_EQ(M.Sred, sred);
    EXPECT_EQ(M.SKO, sko);
    EXPECT_EQ(M.Kol_Nakopl, 0);
    EXPECT_EQ(M.Unsens, 0);
    EXPECT_EQ(M.criterion, GeneticObjective(f.st, M.K_powtor)(f.st.Aopt));
    EXPECT_GT(M.evaluations, 60);
    ASSERT_EQ(M.Kol_F_priv.size(), f.st.Hist_Stol.size());
    double prev = 0;
    for (size_t j = 0; j < f.st.Hist_Stol.size(); ++j) { // every column, also beyond Tzenz
        const double t = f.st.Hist_Stol[j].time;
        EXPECT_EQ(M.F_norm[j], CDF_Gauss(sred, sko, (prev + t) / 2));
        EXPECT_EQ(M.F_Weib[j], weibCDF2(M.A, M.B, prev, t));
        EXPECT_EQ(M.Kol_F_priv[j], f.st.Izd_Prived * M.K_powtor * M.F_Weib[j] * (1 - M.F_norm[j]));
        prev = t;
    }
    Mod_Weib sig = M;
    Sigmas(f.st, sig, f.st.T_Prirab);
    EXPECT_EQ(M.SKO_out, sig.SKO_out);
    EXPECT_EQ(M.LamStart, sig.LamStart);

    // Progress lines: the first in the first generation, the last for the published model.
    std::vector<std::pair<int, std::string>> lines;
    for (const auto& m : host.memo)
        if (m.second.rfind("  ЦФ=", 0) == 0) lines.push_back(m);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().first, 1);
    const std::string last = lines.back().second;
    EXPECT_EQ(last,
              Format(',', "  ЦФ={:<30.7f}     B={:<24.5f}      A={:<20.6f}  ", M.criterion, M.B, 1 / M.A));
    EXPECT_EQ(last.find('.'), std::string::npos);
    EXPECT_EQ(f.form.Memo2.back(), Hist_SKO(f.st, M, ','));
}

TEST(GeneticLoop, SearchedWarrantyLawIsWrittenBack) {
    const struct {
        bool sred, sko;
        int genes;
    } cases[] = {{false, true, 3}, {true, false, 3}, {true, true, 4}};
    for (const auto& c : cases) {
        GaFleet f = SmallRun(40, 10, [&](MainForm& form) {
            form.Sred_flag = c.sred;
            form.SKO_Flag = c.sko;
        });
        const double sred = f.st.Sred, sko = f.st.SKO;
        RecordingHost host(f.form);
        GaFlags flags;
        ASSERT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::Published);
        EXPECT_EQ(f.form.Memo2[1], "Создано генов " + std::to_string(c.genes));
        EXPECT_EQ(f.st.Sred, c.sred ? f.st.Aopt[3] : sred);
        EXPECT_EQ(f.st.SKO, c.sko ? f.st.Aopt[c.sred ? 4 : 3] : sko);
        EXPECT_EQ(f.st.MGenet.Sred, f.st.Sred);
        EXPECT_EQ(f.st.MGenet.SKO, f.st.SKO);
    }
}

Mod_Weib Sentinel() {
    Mod_Weib m;
    m.A = 1.5;
    m.B = 777;
    m.K_powtor = 2;
    m.Executed = true;
    m.F_norm = {0.5};
    m.Kol_F_priv = {3};
    return m;
}

void ExpectSentinel(const Mod_Weib& m) {
    EXPECT_EQ(m.A, 1.5);
    EXPECT_EQ(m.B, 777);
    EXPECT_EQ(m.K_powtor, 2);
    EXPECT_EQ(m.F_norm, std::vector<double>{0.5});
    EXPECT_EQ(m.Kol_F_priv, std::vector<double>{3});
}

TEST(GeneticLoop, NoUsableObjectiveLeavesTheModel) {
    GaFleet f = SmallRun(20, 30);
    f.st.MGenet = Sentinel();
    f.st.Sred = std::numeric_limits<double>::quiet_NaN(); // every objective value is not a number
    RecordingHost host(f.form);
    GaFlags flags;
    EXPECT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::NoSolution);
    ExpectSentinel(f.st.MGenet);
    EXPECT_EQ(f.form.Memo2.back(), kMsgGaNoSolution);
    EXPECT_EQ(CountLines(f.form, "  ЦФ="), 0);
    EXPECT_EQ(f.form.NPokoleny, "30");
    EXPECT_EQ(host.diaGenCalls, 1);
}

TEST(GeneticLoop, UnusableCountsDoNotStartTheRun) {
    const struct {
        std::string population, generations;
    } cases[] = {{"1", "10"}, {"abc", "10"}, {"", "10"}, {"20", "0"}, {"20", "-3"}, {"20", "x"}};
    for (const auto& c : cases) {
        GaFleet f = SmallRun(20, 10);
        f.form.Edit3 = c.population;
        f.form.NPokoleny = c.generations;
        f.st.MGenet = Sentinel();
        const auto memo = f.form.Memo2;
        RecordingHost host(f.form);
        GaFlags flags;
        flags.bCopyBest = true;
        EXPECT_EQ(RunGenerationLoop(f.st, host, flags, Seeded()), GaRunEnd::NotStarted) << c.population;
        ExpectSentinel(f.st.MGenet);
        EXPECT_EQ(f.form.Memo2, memo);
        EXPECT_EQ(host.diaGenCalls, 0);
        EXPECT_FALSE(flags.bCopyBest);
    }
}

// Everything a run leaves behind, bit for bit.
struct Outcome {
    std::vector<std::uint64_t> bits;
    std::vector<std::string> memo;
    std::vector<int> bars;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

Outcome RunOnce(std::uint64_t seed, unsigned threads, bool searchLaw) {
    GaFleet f = SmallRun(300, 40, [&](MainForm& form) { form.SKO_Flag = searchLaw; });
    RecordingHost host(f.form);
    GaFlags flags;
    EXPECT_EQ(RunGenerationLoop(f.st, host, flags, Seeded(seed, threads)), GaRunEnd::Published);
    Outcome o;
    const Mod_Weib& M = f.st.MGenet;
    for (double v : {M.A, M.B, M.Sred, M.SKO, M.K_powtor, M.SKO_out, M.LamStart, M.Lam1000, M.criterion,
                     f.st.dMinimumAll, static_cast<double>(M.evaluations)})
        o.bits.push_back(std::bit_cast<std::uint64_t>(v));
    for (const auto* a : {&M.F_norm, &M.F_Weib, &M.Kol_F_priv})
        for (double v : *a)
            o.bits.push_back(std::bit_cast<std::uint64_t>(v));
    o.memo = f.form.Memo2;
    o.bars = {f.form.TrackBar1, f.form.TrackBar2, f.form.ProgressBar2};
    return o;
}

TEST(GeneticLoop, SameSeedSameRunWhateverTheThreadCount) {
    for (bool searchLaw : {false, true}) {
        const Outcome one = RunOnce(42, 1, searchLaw);
        EXPECT_EQ(one, RunOnce(42, 1, searchLaw));
        EXPECT_EQ(one, RunOnce(42, 2, searchLaw));
        EXPECT_EQ(one, RunOnce(42, 3, searchLaw));
        EXPECT_NE(one.bits, RunOnce(43, 2, searchLaw).bits);
    }
}

} // namespace
} // namespace tovimo
