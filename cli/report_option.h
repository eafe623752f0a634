// The --report option of "analyze": the analysis as a PDF report.
#pragma once

#include "cli/commands.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <string>

namespace tovimo::cli {

// Writes the report and answers the exit status: done, a file error
// (reported on the error stream), or a usage error when this program was
// built without the desktop part that draws it.
int WriteReportOption(const AnalysisState& st, const MainForm& form, const ReportOrigin& origin,
                      const std::string& pdfPath);

} // namespace tovimo::cli
