#include "gui/platform/time_text.h"

#include <QRegularExpression>
#include <QTime>

#include <cmath>

namespace tovimo {

QString TimeFormatWithoutZone(const QString& pattern) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        out += c;
    }
    // brackets the zone stood in, and separators it leaves at the end
    static const QRegularExpression emptyBrackets(QStringLiteral("\\(\\s*\\)|\\[\\s*\\]"));
    out.remove(emptyBrackets);
    out = out.trimmed();
    while (out.endsWith(QLatin1Char(',')) || out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}

QString LongTimeFormatWithoutZone(const QLocale& locale) {
    return TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
}

QString ElapsedTimeText(double seconds, const QLocale& locale) {
    if (!(seconds >= 0) || !std::isfinite(seconds)) seconds = 0;
    const auto ms = static_cast<long long>(seconds * 1000.0) % 86'400'000LL;
    return locale.toString(QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)),
                           LongTimeFormatWithoutZone(locale));
}

std::function<std::string(double)> ElapsedTimeFormatter() {
    return [](double seconds) { return ElapsedTimeText(seconds).toStdString(); };
}

} // namespace tovimo
