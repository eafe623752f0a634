// The settings file "rel.txt": section Path, key ComStr, the data file opened
// last. It lives in the program's folder when that folder is writable, and in
// the user's configuration folder otherwise.
#pragma once

#include <QString>

namespace tovimo {

inline constexpr const char* kSettingsFileName = "rel.txt";

// Where the settings file is read and written.
QString SettingsFilePath();

// Key ComStr of section Path, or `fallback` when the file or the key is missing.
QString ReadComStr(const QString& settingsFile, const QString& fallback);

// Writes key ComStr of section Path; false when the file could not be written.
bool WriteComStr(const QString& settingsFile, const QString& value);

} // namespace tovimo
