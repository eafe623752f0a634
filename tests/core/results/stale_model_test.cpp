// A model slot sized for an earlier, shorter histogram (a model fitted to an
// earlier data file) beside a model of the current one: the table shows the
// same totals whether the charts are drawn (the window) or not (the command
// line).
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/fit/calc_run.h"
#include "core/results/chart_data.h"
#include "core/results/results_refresh.h"
#include "core/results/results_table.h"
#include "core/text/text_codec.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tovimo {
namespace {

std::string Fleet(double failures, std::uint64_t seed) {
    FleetParams p;
    p.seed = seed;
    p.fleet = FleetSizeFor(p, failures);
    return EncodeCp1251(SimulateFleet(p).text);
}

int Length(const std::string& s) {
    return static_cast<int>(CharCount(s));
}

TEST(StaleModelSlot, TableTotalsAgreeWithAndWithoutTheCharts) {
    for (const char sep : {'.', ','}) {
        AnalysisState st;
        MainForm form;
        form.decimalSeparator = sep;
        form.FilePath = "fleet.txt";
        const auto ignore = [](const std::string&) {};
        StepClock clock(0.5);
        RunCallbacks quiet;
        quiet.message = ignore;

        ASSERT_TRUE(LoadDataText(st, form, Fleet(15, 3), ignore));
        ASSERT_TRUE(RunCalculation(st, form, clock, quiet)); // model 1.1 only
        const size_t columnsA = st.Hist_Stol.size();

        // A load forgets every model; a slot whose arrays were sized for another
        // histogram must still give the same finite table with or without the charts.
        const Mod_Weib fittedToA = st.MPirsS;
        ASSERT_TRUE(LoadDataText(st, form, Fleet(400, 5), ignore));
        ASSERT_FALSE(st.MPirsS.Executed);
        st.MPirsS = fittedToA;
        form.SpirSpusk = false;
        form.BoxNewton = true;
        ASSERT_TRUE(RunCalculation(st, form, clock, quiet));
        ASSERT_GT(st.Hist_Stol.size(), columnsA) << "fleet B must have more columns";
        ASSERT_TRUE(st.MPirsS.Executed);
        ASSERT_EQ(st.MPirsS.Kol_F_priv.size(), columnsA);

        // the command line: the table right after the run
        AnalysisState cli = st;
        const ResultTable cliTable = FillResultTable(cli, sep, Length, false);

        // the window: the refresh, the charts, then the table
        AnalysisState window = st;
        RefreshResultFigures(window);
        const ResultCharts charts = BuildResultCharts(window, sep, DefaultGroupSeparator(sep));
        StoreChartTotals(window, charts);
        const ResultTable windowTable = FillResultTable(window, sep, Length, false);

        EXPECT_EQ(cliTable.cells, windowTable.cells);
        // column 1 model 1.2, column 2 the stale model 1.1; row 5 its expected failures
        double expected = 0;
        for (size_t i = 0; i < columnsA; ++i)
            if (st.Hist_Stol[i].Sum > 0) expected += st.MPirsS.Kol_F_priv[i];
        EXPECT_EQ(windowTable.cells[5][2], WholeNumber(expected, sep) + " /" + std::to_string(st.KolOtk));
        EXPECT_EQ(windowTable.cells[5][2].find("NAN"), std::string::npos);

        // the accumulation curve of the stale model stops where its columns end
        const auto& curve = FindSeries(charts.chart2, "Series9")->values;
        ASSERT_FALSE(curve.empty());
        EXPECT_TRUE(std::isfinite(curve.front()));
        EXPECT_TRUE(std::isnan(curve.back()));
    }
}

} // namespace
} // namespace tovimo
