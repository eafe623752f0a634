// Elapsed times of the runs and the timing test: the locale's long time
// format without its time-zone part. The rule is tested on patterns of our
// own, since the locales' patterns change between Qt versions.
#include "gui/platform/time_text.h"

#include <QTest>
#include <QTime>

using namespace tovimo;

class TimeTextTest : public QObject {
    Q_OBJECT

  private slots:
    void zoneRemoved_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("format");
        QTest::newRow("no zone") << "HH:mm:ss"
                                 << "HH:mm:ss";
        QTest::newRow("zone last") << "HH:mm:ss t"
                                   << "HH:mm:ss";
        QTest::newRow("zone after AM/PM") << "h:mm:ss AP t"
                                          << "h:mm:ss AP";
        QTest::newRow("zone in round brackets") << "H:mm:ss (t)"
                                                << "H:mm:ss";
        QTest::newRow("long zone in square brackets") << "[tttt] H:mm:ss"
                                                      << "H:mm:ss";
        QTest::newRow("zone first") << "t HH:mm:ss"
                                    << "HH:mm:ss";
        QTest::newRow("zone after a comma") << "HH:mm:ss, t"
                                            << "HH:mm:ss";
        QTest::newRow("quoted letters stay") << "HH 'h' mm 'min' ss 's' t"
                                             << "HH 'h' mm 'min' ss 's'";
        QTest::newRow("quoted t stays") << "'at' H:mm:ss (t)"
                                        << "'at' H:mm:ss";
    }

    void zoneRemoved() {
        QFETCH(QString, pattern);
        QFETCH(QString, format);
        QCOMPARE(TimeFormatWithoutZone(pattern), format);
    }

    // Whatever a locale's pattern is, its hours, minutes and seconds stay and
    // no zone token is left.
    void localeFormatsKeepTheTimeAndLoseTheZone() {
        for (const char* name : {"ru_RU", "en_US", "es_ES", "zh_CN", "fr_CA", "sv_SE", "de_DE"}) {
            const QLocale locale{QString::fromLatin1(name)};
            const QString format = LongTimeFormatWithoutZone(locale);
            QString unquoted;
            bool quoted = false;
            for (const QChar c : format) {
                if (c == QLatin1Char('\''))
                    quoted = !quoted;
                else if (!quoted)
                    unquoted += c;
            }
            QVERIFY2(!unquoted.contains(QLatin1Char('t')), name);
            QVERIFY2(unquoted.contains(QLatin1Char('h'), Qt::CaseInsensitive), name);
            QVERIFY2(unquoted.contains(QStringLiteral("mm")), name);
            QVERIFY2(unquoted.contains(QStringLiteral("ss")), name);
            QCOMPARE(format, format.trimmed());
        }
    }

    void elapsedSeconds_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QTime>("time");
        QTest::newRow("under a second") << 0.4 << QTime(0, 0, 0, 400);
        QTest::newRow("hours, minutes, seconds") << 3725.9 << QTime(1, 2, 5, 900);
        QTest::newRow("a day wraps") << 86400.0 + 61 << QTime(0, 1, 1);
        QTest::newRow("not a number") << qQNaN() << QTime(0, 0);
        QTest::newRow("infinite") << qInf() << QTime(0, 0);
        QTest::newRow("negative") << -5.0 << QTime(0, 0);
    }

    // Seconds become a time of day shown in the format without its zone.
    void elapsedSeconds() {
        QFETCH(double, seconds);
        QFETCH(QTime, time);
        for (const char* name : {"ru_RU", "en_US"}) {
            const QLocale locale{QString::fromLatin1(name)};
            QCOMPARE(ElapsedTimeText(seconds, locale),
                     locale.toString(time, LongTimeFormatWithoutZone(locale)));
        }
        QCOMPARE(QString::fromStdString(ElapsedTimeFormatter()(3725)), ElapsedTimeText(3725));
    }
};

QTEST_MAIN(TimeTextTest)
#include "main_window_time_test.moc"
