// The settings file "rel.txt": section Path, key ComStr, the data file opened
// last. An installed program keeps it in the user's configuration folder
// (~/.config/tovimo/); one run where it was built keeps it in the program's
// folder when that folder is writable, and in the configuration folder
// otherwise.
#pragma once

#include <QString>

namespace tovimo {

inline constexpr const char* kSettingsFileName = "rel.txt";

// Where the settings file is read and written.
QString SettingsFilePath();
// The same for a program in `programDir`, with `configDir` the user's
// configuration folder.
QString SettingsFilePathFor(const QString& programDir, const QString& configDir);

// The sample data file installed beside a program in `programDir`
// (PREFIX/bin/ and PREFIX/share/tovimo/sample.txt), or empty when there is none:
// then the program runs where it was built.
QString InstalledSampleFor(const QString& programDir);
// The same for this program.
QString InstalledSample();

// Key ComStr of section Path, or `fallback` when the file or the key is missing.
QString ReadComStr(const QString& settingsFile, const QString& fallback);

// Writes key ComStr of section Path; false when the file could not be written.
bool WriteComStr(const QString& settingsFile, const QString& value);

} // namespace tovimo
