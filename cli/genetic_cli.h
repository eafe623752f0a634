// The genetic-algorithm run of `tovimo-cli analyze --models genetic`.
#pragma once

#include "cli/commands.h"

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/run_inputs.h"

#include <functional>
#include <string>
#include <vector>

namespace tovimo::cli {

// Runs one genetic-algorithm run on the loaded state with the inputs `in`
// (seeded from o.seed, or the clock), appending memo lines to form.Memo2 and
// message-box texts to `messages`. Returns kDone, or an exit code when the run
// was refused (kUsage, kFileError) or could not be set up or failed (kRunFailed),
// its message the last of `messages`. The results refresh is the caller's.
int RunGeneticHeadless(AnalysisState& st, MainForm& form, const RunInputs& in, const AnalyzeOptions& o,
                       std::vector<std::string>& messages);

} // namespace tovimo::cli
