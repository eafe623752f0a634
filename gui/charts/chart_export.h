// Writing the charts of the results window and of the log-log window as PNG
// and SVG files, drawn offscreen by the windows' own chart code. The
// interface is free of Qt so that the command-line front end can call it.
#pragma once

#include "core/state/analysis_state.h"

#include <string>
#include <vector>

namespace tovimo {

// Writes chart1, chart2, chart3 and lnview as .png and .svg into `dir`
// (created when missing). Returns the files written; throws
// std::runtime_error naming the file that could not be written.
std::vector<std::string> ExportResultCharts(const AnalysisState& st, char decimalSeparator,
                                            const std::string& dir);

} // namespace tovimo
