// Loading a failure data file into the analysis state, with every check and
// message of the loader, followed by the empirical indicators.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/messages.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tovimo {

inline constexpr const char* kMsgFileMissing = "Указанный файл не существует";
inline constexpr const char* kLoadDone = "Файл данных загружен за ";

// The progress memo's line after a load: its elapsed time (as the fits show
// theirs) and the number of failure records read.
inline std::string LoadDoneLine(const std::string& elapsed, size_t records) {
    return kLoadDone + elapsed + "ч/мин/с, записей об отказах: " + std::to_string(records);
}

// Reads a whole file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Loads the data file's bytes (steps after the file has been opened). Fills
// the state and the form, reports every message-box text through `message`
// in order and derives the indicators. Returns the final `uk`.
bool LoadDataText(AnalysisState& st, MainForm& form, std::string_view bytes, const MessageFn& message);

// Opens `path` and loads it; a file that cannot be opened clears `uk` and
// reports "Указанный файл не существует". `onOpened` runs after a successful
// opening and before reading (the program remembers the file there).
bool LoadDataFile(AnalysisState& st, MainForm& form, const std::string& path, const MessageFn& message,
                  const std::function<void()>& onOpened = {});

} // namespace tovimo
