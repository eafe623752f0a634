// What every command that reads a data file starts with: the user's decimal
// separator and the file loaded as the desktop program's "Путь" loads it.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <string>
#include <vector>

namespace tovimo::cli {

// The decimal separator of the user's locale.
char LocaleDecimalSeparator();

// Gives `form` the user's decimal separator and `file` as its path and loads
// the file into `st`, collecting the loader's messages; when the file cannot
// be loaded they also go to the error stream.
bool LoadCommandData(AnalysisState& st, MainForm& form, const std::string& file,
                     std::vector<std::string>& messages);

// Loads the warranty-end times file of --warranty; on failure prints the
// loader's messages to the error stream and answers false.
bool LoadWarrantyOption(AnalysisState& st, MainForm& form, const std::string& path,
                        std::vector<std::string>& messages);

} // namespace tovimo::cli
