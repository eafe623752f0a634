// The chart plans of a results refresh and of the log-log window, filled
// from the analysis state: the design-time series (chart_design.cpp), their
// points column by column, and the axis ranges (chart_axes.h).
#pragma once

#include "core/results/chart_plan.h"
#include "core/state/analysis_state.h"
#include "core/text/number_format.h"

#include <string>

namespace tovimo {

// The three charts as they stand when the results window is created: every
// design-time series with its look and no points.
ResultCharts ResultChartsDesign();

// The results refresh's chart fill from the analysis state, after the refresh
// figures (RefreshResultFigures: the accumulation curves draw the models'
// running totals). Numbers in texts use `decimalSeparator`; the value marks
// group thousands with `groupSeparator`.
ResultCharts BuildResultCharts(const AnalysisState& st, char decimalSeparator,
                               const std::string& groupSeparator);

// Leaves the chart fill's working figures in the state: F_OutGar and Sum_PrichCol.
void StoreChartTotals(AnalysisState& st, const ResultCharts& charts);

LogLogChart LogLogChartDesign();
LogLogChart BuildLogLogChart(const AnalysisState& st, char decimalSeparator);

} // namespace tovimo
