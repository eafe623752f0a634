// Elapsed times of the runs and the timing test: the locale's long time
// format without its time-zone part.
#include "gui/platform/time_text.h"

#include <QTest>

using namespace tovimo;

class TimeTextTest : public QObject {
    Q_OBJECT

  private slots:
    void formatWithoutZone_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("ru") << "ru_RU"
                            << "HH:mm:ss";
        QTest::newRow("en, zone after AM/PM") << "en_US"
                                              << "h:mm:ss AP";
        QTest::newRow("es, zone in brackets") << "es_ES"
                                              << "H:mm:ss";
        QTest::newRow("zh, zone first") << "zh_CN"
                                        << "HH:mm:ss";
        QTest::newRow("fr_CA, quoted letters") << "fr_CA"
                                               << "HH 'h' mm 'min' ss 's'";
    }

    void formatWithoutZone() {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QCOMPARE(LongTimeFormatWithoutZone(QLocale(locale)), format);
    }

    void elapsedSeconds_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("under a second") << 0.4 << "00:00:00";
        QTest::newRow("hours, minutes, seconds") << 3725.9 << "01:02:05";
        QTest::newRow("a day wraps") << 86400.0 + 61 << "00:01:01";
        QTest::newRow("not a number") << qQNaN() << "00:00:00";
        QTest::newRow("negative") << -5.0 << "00:00:00";
    }

    void elapsedSeconds() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(ElapsedTimeText(seconds, QLocale(QStringLiteral("ru_RU"))), text);
        QCOMPARE(QString::fromStdString(ElapsedTimeFormatter()(3725)), ElapsedTimeText(3725));
    }
};

QTEST_MAIN(TimeTextTest)
#include "main_window_time_test.moc"
