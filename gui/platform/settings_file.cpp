#include "gui/platform/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tovimo {

namespace {
const char* const kKey = "Path/ComStr";
}

QString SettingsFilePathFor(const QString& programDir, const QString& configDir) {
    const bool installed = !InstalledSampleFor(programDir).isEmpty();
    if (!installed && QFileInfo(programDir).isWritable()) return QDir(programDir).filePath(kSettingsFileName);
    const QString folder = QDir(configDir).filePath(QStringLiteral("tovimo"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(kSettingsFileName);
}

QString SettingsFilePath() {
    return SettingsFilePathFor(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString InstalledSampleFor(const QString& programDir) {
    const QFileInfo sample(QDir(programDir).filePath(QStringLiteral("../share/tovimo/sample.txt")));
    if (QDir(programDir).dirName() != QLatin1String("bin") || !sample.isFile()) return {};
    return sample.canonicalFilePath();
}

QString InstalledSample() {
    return InstalledSampleFor(QCoreApplication::applicationDirPath());
}

QString ReadComStr(const QString& settingsFile, const QString& fallback) {
    if (!QFileInfo::exists(settingsFile)) return fallback;
    QSettings s(settingsFile, QSettings::IniFormat);
    if (s.status() != QSettings::NoError || !s.contains(kKey)) return fallback;
    const QVariant v = s.value(kKey);
    // an unquoted comma in a hand-edited file makes the value a list
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool WriteComStr(const QString& settingsFile, const QString& value) {
    QSettings s(settingsFile, QSettings::IniFormat);
    s.setValue(kKey, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace tovimo
