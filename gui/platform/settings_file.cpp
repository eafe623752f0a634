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

QString SettingsFilePath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(programDir).isWritable()) return QDir(programDir).filePath(kSettingsFileName);
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(configDir);
    return QDir(configDir).filePath(kSettingsFileName);
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
