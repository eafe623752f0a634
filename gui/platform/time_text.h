// Elapsed times shown as a time of day in the user's long time format,
// without the time-zone part that long formats carry.
#pragma once

#include <QLocale>
#include <QString>

#include <functional>
#include <string>

namespace tovimo {

// A time format with its unquoted zone tokens and what they leave behind
// (empty brackets, a dangling comma) removed.
QString TimeFormatWithoutZone(const QString& pattern);

// The locale's long time format without its zone part.
QString LongTimeFormatWithoutZone(const QLocale& locale);

// Seconds as a time of day (modulo 24 hours) in that format.
QString ElapsedTimeText(double seconds, const QLocale& locale = QLocale());

// The same as a formatter for the core's memo lines (UTF-8).
std::function<std::string(double)> ElapsedTimeFormatter();

} // namespace tovimo
