// Extreme but valid series: each loads, builds its histogram, runs the three
// fits (on a clock that advances quickly) and fills the results table without
// a crash, a hang or a value that is not finite where the figure is defined.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/data/series_controls.h"
#include "core/fit/calc_run.h"
#include "core/results/results_table.h"
#include "fuzz/fuzz_checks.h"
#include "tests/core/load_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

using namespace tovimo;

namespace {

struct Outcome {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    bool loaded = false;
    bool ran = false;
    ResultTable table;
    long long clockReadings = 0;
};

std::vector<std::string> g_broken;

// Loads the text (as Windows-1251), runs all three fits and fills the table.
Outcome Analyse(const std::string& utf8, double clockStep = 1.0) {
    Outcome o;
    auto message = [&](const std::string& m) { o.messages.push_back(m); };
    o.loaded = LoadDataText(o.st, o.form, EncodeCp1251(utf8), message);
    if (!o.loaded) return o;
    FillSeriesControls(o.st, o.form); // as the window does after a load
    o.form.FilePath = "extreme.txt";
    o.form.SpirSpusk = o.form.BoxNewton = o.form.BoxSmirnow = true;
    StepClock clock(clockStep);
    RunCallbacks cb;
    cb.message = message;
    o.ran = RunCalculation(o.st, o.form, clock, cb);
    o.clockReadings = clock.readings();
    if (o.ran)
        o.table = FillResultTable(
            o.st, '.', [](const std::string& s) { return int(s.size()); }, false);
    return o;
}

// The loader's and the histogram's invariants, as the fuzzers check them.
std::string BrokenInvariants(const Outcome& o) {
    g_broken.clear();
    fuzz::onBroken = [](const char* what) { g_broken.emplace_back(what); };
    fuzz::CheckLoadedSeries(o.st, o.form);
    if (o.ran) fuzz::CheckHistogram(o.st);
    fuzz::onBroken = fuzz::AbortOnBroken;
    std::string all;
    for (const auto& b : g_broken)
        all += b + "; ";
    return all;
}

bool Finite(const std::string& cell) {
    return cell.find("NAN") == std::string::npos && cell.find("INF") == std::string::npos &&
           cell.find("nan") == std::string::npos && cell.find("inf") == std::string::npos;
}

std::string Header(double sred, double sko, double park, long long kolOtk,
                   const std::vector<std::string>& causes) {
    std::ostringstream s;
    s.precision(17);
    s << "Крайний случай\n"
      << sred << "\n"
      << sko << "\n"
      << park << "\n"
      << kolOtk << "\n"
      << causes.size() << "\n";
    for (const auto& c : causes)
        s << c << "\n";
    return s.str();
}

std::string Records(const std::vector<double>& times, const std::string& source = "Двигатель") {
    std::ostringstream s;
    s.precision(17);
    for (double t : times)
        s << t << "\t" << source << "\n";
    return s.str();
}

struct Case {
    const char* name;
    std::string text;
    // result rows whose model figures are not defined for the series (the
    // spread needs two failures, the flow a failure inside the window ...)
    std::set<int> undefinedRows;
    // the repeat coefficient of model 1.2 is (n - 1) / (reduced fleet) * 8000 / (last time)
    bool newtonUndefined = false;
    // the run refuses the series with this message
    const char* refusal = nullptr;
};

std::vector<double> Spread(double from, double to, int n) {
    std::vector<double> t;
    for (int i = 0; i < n; ++i)
        t.push_back(from + (to - from) * i / std::max(1, n - 1));
    return t;
}

std::vector<double> Geometric(double from, double to, int n) {
    std::vector<double> t;
    for (int i = 0; i < n; ++i)
        t.push_back(from * std::pow(to / from, double(i) / (n - 1)));
    return t;
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    const std::vector<std::string> one{"Двигатель"};

    cases.push_back({"all failures at one time",
                     Header(3000, 700, 200, 40, one) + Records(std::vector<double>(40, 1500)),
                     {}});
    // one failure repeats nothing: the repeat coefficient of the Pearson
    // models is 0, so the times between failures are infinite, and the
    // spread needs a second failure
    cases.push_back({"one failure", Header(3000, 700, 200, 1, one) + Records({1200}), {6, 10}});
    cases.push_back(
        {"times of a nanosecond", Header(3000, 700, 200, 30, one) + Records(Geometric(1e-9, 3e-8, 30)), {}});
    cases.push_back(
        {"times up to 1e15 hours", Header(1e15, 2e14, 5000, 60, one) + Records(Geometric(10, 1e15, 60)), {}});
    cases.push_back({"times from 1e-9 to 1e15 hours in one series",
                     Header(1e15, 2e14, 5000, 80, one) + Records(Geometric(1e-9, 1e15, 80)),
                     {}});
    cases.push_back(
        {"warranty sd of 1e-6 hours", Header(3000, 1e-6, 200, 50, one) + Records(Spread(50, 4000, 50)), {}});
    cases.push_back(
        {"warranty sd of 1e6 hours", Header(3000, 1e6, 200, 50, one) + Records(Spread(50, 4000, 50)), {}});
    // a fleet of 0 leaves nothing to refer the failures to: the run is refused
    cases.push_back({"census of zeros",
                     Header(3000, 700, 0, 0, one) + Records(Spread(20, 2500, 40)),
                     {},
                     true,
                     kMsgFleetNotPositive});
    cases.push_back({"fleet smaller than the failure count",
                     Header(3000, 700, 5, 40, one) + Records(Spread(20, 2500, 40)),
                     {}});
    return cases;
}

} // namespace

TEST(ExtremeInputs, EachSeriesLoadsComputesAndPresents) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const Outcome o = Analyse(c.text);
        ASSERT_TRUE(o.loaded);
        EXPECT_EQ(BrokenInvariants(o), "");
        if (c.refusal) {
            EXPECT_FALSE(o.ran);
            EXPECT_EQ(o.messages, std::vector<std::string>{c.refusal});
            EXPECT_FALSE(o.st.MPirsS.Executed || o.st.MPirsN.Executed || o.st.MSmirn.Executed);
            continue;
        }
        ASSERT_TRUE(o.ran);
        for (const Mod_Weib* m : {&o.st.MPirsS, &o.st.MPirsN, &o.st.MSmirn}) {
            EXPECT_TRUE(m->Executed);
            if (m == &o.st.MPirsN && c.newtonUndefined) continue;
            EXPECT_TRUE(std::isfinite(m->A) && m->A > 0) << m->A;
            EXPECT_TRUE(std::isfinite(m->B) && m->B > 0) << m->B;
            EXPECT_TRUE(std::isfinite(m->K_powtor) && m->K_powtor >= 0) << m->K_powtor;
        }
        for (int r = 1; r < kResultRows; ++r)
            for (int col = c.newtonUndefined ? 2 : 1; col <= 3; ++col)
                if (!c.undefinedRows.count(r)) {
                    EXPECT_TRUE(Finite(o.table.cells[r][col]))
                        << "row " << r << " column " << col << ": " << o.table.cells[r][col];
                }
    }
}

TEST(ExtremeInputs, HundredThousandRecords) {
    // A law near the start points of the fits: the test is about the length
    // of the series, not about the length of the search.
    FleetParams p;
    p.seed = 77;
    p.scale = 2000;
    p.shape = 1.0;
    p.repeat = 1.1;
    p.fleet = std::ceil(FleetSizeFor(p, 100000));
    const SimulatedFleet f = SimulateFleet(p);
    const Outcome o = Analyse(f.text);
    ASSERT_TRUE(o.loaded);
    EXPECT_GT(o.st.Kol_izw, 95000);
    EXPECT_EQ(o.st.Kol_izw, static_cast<int>(f.times.size()));
    EXPECT_EQ(BrokenInvariants(o), "");
    ASSERT_TRUE(o.ran);
    EXPECT_GE(o.st.Hist_Stol.size(), 11u);
    for (const Mod_Weib* m : {&o.st.MPirsS, &o.st.MPirsN, &o.st.MSmirn})
        EXPECT_TRUE(std::isfinite(m->A) && std::isfinite(m->B) && std::isfinite(m->K_powtor));
    for (int r = 1; r < kResultRows; ++r)
        for (int col = 1; col <= 4; ++col)
            EXPECT_TRUE(Finite(o.table.cells[r][col])) << o.table.cells[r][col];
}

TEST(ExtremeInputs, FiftyCausesWithLongCyrillicNames) {
    FleetParams p;
    p.seed = 5;
    p.fleet = 300;
    p.causes.clear();
    for (int k = 1; k <= MaxNamedCauses; ++k)
        p.causes.push_back("Узел " + std::to_string(k) +
                           " гидравлической системы подъема стрелы, "
                           "уплотнения, клапаны, ёмкости и трубопроводы высокого давления — Щ" +
                           std::string(k % 7 * 2, ' ') + "Ж");
    const SimulatedFleet f = SimulateFleet(p);
    const Outcome o = Analyse(f.text);
    ASSERT_TRUE(o.loaded);
    EXPECT_EQ(BrokenInvariants(o), "");
    ASSERT_EQ(o.st.NPrich, MaxNamedCauses);
    std::set<std::string> ranked;
    for (int k = 1; k <= MaxNamedCauses; ++k)
        ranked.insert(o.st.Vidy_otkazov[static_cast<size_t>(k)].Nazv_Prich);
    EXPECT_TRUE(ranked == std::set<std::string>(p.causes.begin(), p.causes.end()))
        << "the ranked causes are not the file's names";
    ASSERT_TRUE(o.ran);
    double counted = 0;
    for (int c = 1; c <= Mx_prich; ++c)
        counted += o.st.Sum_PrichCol[static_cast<size_t>(c)];
    EXPECT_EQ(counted, o.st.Kol_izw);
    const auto grid = test::GridRows(o.st, o.form.decimalSeparator);
    for (size_t r = 1; r < grid.size(); ++r) {
        const Problems& rec = o.st.MasProbl[r - 1];
        EXPECT_EQ(grid[r][2].rfind(o.st.Vidy_otkazov[static_cast<size_t>(rec.chey)].Nazv_Prich, 0), 0u);
    }
}
