// The warranty-end times file: the law of the warranty period taken from the
// individual warranty-end times of the products.
#pragma once

#include "core/data/data_file.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

namespace tovimo {

// The chosen name as "X:\..name": the drive letter (or the first letter of the
// path on systems without drives), ":\.." and the file name without folder.
std::string WarrantyFileCaption(const std::string& path);

// Loads the file's bytes after it has been opened. Returns the final `uk`.
bool LoadWarrantyText(AnalysisState& st, MainForm& form, std::string_view bytes, const MessageFn& message);

// Opens and loads; a file that cannot be opened clears `uk` with the message
// "Указанный файл не существует".
bool LoadWarrantyFile(AnalysisState& st, MainForm& form, const std::string& path, const MessageFn& message);

} // namespace tovimo
