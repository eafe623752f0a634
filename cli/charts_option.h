// The --charts option of "analyze": the result charts and the log-log chart
// as image files.
#pragma once

#include "core/state/analysis_state.h"

#include <string>

namespace tovimo::cli {

// Writes the chart images into `dir` and answers the exit status: done, or a
// file error (reported on the error stream), or a usage error when this
// program was built without the desktop part that draws them.
int WriteChartsOption(const AnalysisState& st, char decimalSeparator, const std::string& dir);

} // namespace tovimo::cli
