// The results window's "Сохранить таблицу" and "Отчёт": the table and the
// report of what the window shows, through the program's own wiring, until
// another data file is loaded.
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/pdf_text.h"

#include "core/fit/fit_clock.h"
#include "core/text/delimited_text.h"
#include "gui/windows/app_windows.h"

#include <QCheckBox>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace tovimo;
using namespace tovimo::test;

namespace {

QString trimmed(const QString& s) {
    return s.trimmed();
}

} // namespace

class ReportButtonsTest : public QObject {
    Q_OBJECT

  private slots:
    void tableAndReportOfTheShownResults() {
        QTemporaryDir dir;
        UiScope scope;
        AppWindows app(dir.filePath(QStringLiteral("rel.txt")));
        TForm5& r = app.Form5;
        QVERIFY(!r.btnReport->isEnabled()); // nothing shown yet
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        app.Form1.OpenFileStartClick();
        test::Child<QCheckBox>(app.Form1, "BoxSmirnow")->setChecked(true);
        StepClock clock(2); // the fits' time rules met after a few readings
        app.Form1.setClock(&clock);
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!app.Form1.calculationRunning(), 120000);
        QVERIFY(r.isVisible());
        QVERIFY(r.btnReport->isEnabled());
        QCOMPARE(r.btnReport->text(), QStringLiteral("Отчёт"));
        QCOMPARE(r.btnSaveTable->text(), QStringLiteral("Сохранить таблицу"));

        const QString csv = dir.filePath(QStringLiteral("table.csv"));
        scope.ui.saveAnswers.push_back(csv);
        QVERIFY(r.SaveStatus->text().isEmpty());
        QTest::mouseClick(r.btnSaveTable, Qt::LeftButton);
        QCOMPARE(scope.ui.saveDialogs.back().filter, QStringLiteral("Таблица CSV (*.csv)"));
        // the first save is offered beside the data file; the status line says where it went
        QCOMPARE(
            scope.ui.saveDialogs.back().start,
            QFileInfo(QStringLiteral(TOVIMO_SAMPLE)).absoluteDir().filePath(QStringLiteral("sample.csv")));
        QCOMPARE(r.SaveStatus->toolTip(),
                 QStringLiteral("Таблица сохранена: ") + QDir::toNativeSeparators(csv));
        QVERIFY(r.SaveStatus->isVisible() &&
                r.SaveStatus->text().startsWith(QStringLiteral("Таблица сохранена: ")) &&
                r.SaveStatus->text().endsWith(QStringLiteral("table.csv")));
        QVERIFY(!r.SaveStatus->geometry().intersects(r.WarningsLine->geometry()));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString decimal = QLocale().decimalPoint();
        const char fieldSep = decimal == QStringLiteral(",") ? ';' : ',';
        const auto rows = SplitDelimited(bytes.mid(3).toStdString(), fieldSep);
        QVERIFY(rows.size() > 20);
        // one figure per cell under the window's decimal separator, its unit in the row's name
        const QRegularExpression number(
            QStringLiteral("^-?[0-9]+(%1[0-9]+)?$").arg(QRegularExpression::escape(decimal)));
        QMap<QString, QStringList> figures;
        for (const auto& row : rows) {
            QCOMPARE(int(row.fields.size()), 4); // the row's name, two models, the data
            QStringList cells;
            for (const std::string& field : row.fields)
                cells << QString::fromStdString(field);
            for (int c = 1; c < 4 && !figures.isEmpty(); ++c) // below the header row
                QVERIFY2(cells[c].isEmpty() || cells[c] == QStringLiteral("—") ||
                             number.match(cells[c]).hasMatch(),
                         qPrintable(cells[0] + QStringLiteral(": ") + cells[c]));
            figures[cells[0]] = cells;
        }
        QCOMPARE(figures.value(QStringLiteral("Результаты для методов:")).mid(1),
                 (QStringList{r.cellText(0, 1), r.cellText(0, 2), r.cellText(0, 3)}));
        auto value = [&](const char* row, int c) {
            return QLocale().toDouble(figures.value(QString::fromUtf8(row)).value(c));
        };
        for (int c = 1; c <= 2; ++c) {
            // the window's "1,739 / 3635,41" and "0,933 <1.3581(0.05)" as figures of their own
            const QStringList ab = trimmed(r.cellText(1, c)).split(QStringLiteral(" / "));
            QCOMPARE(figures.value(QStringLiteral("Параметр формы A")).value(c), ab.value(0).trimmed());
            QCOMPARE(figures.value(QStringLiteral("Параметр масштаба B, ч")).value(c), ab.value(1).trimmed());
            QCOMPARE(figures.value(QStringLiteral("Критерий Колмогорова")).value(c),
                     trimmed(r.cellText(9, c)).section(QLatin1Char(' '), 0, 0));
            QVERIFY(qAbs(value("Доверит. 95% интервал", c) - 1.96 * value("СКО модели", c)) <= 0.015);
            QVERIFY(value("Критическое значение Колмогорова (5%)", c) == 1.3581);
        }
        QCOMPARE(value("Записей об отказах", 3),
                 double(r.cellText(5, 3).trimmed().section(QLatin1Char(' '), 0, 0).toInt()));

        const QString pdf = dir.filePath(QStringLiteral("отчёт.pdf"));
        scope.ui.saveAnswers.push_back(pdf);
        QTest::mouseClick(r.btnReport, Qt::LeftButton);
        QVERIFY(scope.ui.messages.isEmpty());
        QVERIFY(QFile::exists(pdf));
        // offered in the folder last saved to
        QCOMPARE(scope.ui.saveDialogs.back().start, dir.filePath(QStringLiteral("sample.pdf")));
        QCOMPARE(r.SaveStatus->toolTip(), QStringLiteral("Отчёт сохранён: ") + QDir::toNativeSeparators(pdf));
        const QString text = pdfText(pdf);
        for (int row = 0; row < 12; ++row)
            for (int c = 0; c < 4; ++c) {
                const QString cell =
                    trimmed(r.cellText(row, c))
                        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
                if (c == 0) QVERIFY2(text.contains(cell), qPrintable(cell)); // every row label
            }
        QVERIFY(text.contains(QStringLiteral("sample.txt")));
        QVERIFY(text.contains(QStringLiteral("по файлу исходных данных")));

        // cancelled: nothing written; an unwritable place: said so
        QTest::mouseClick(r.btnReport, Qt::LeftButton);
        QVERIFY(scope.ui.messages.isEmpty());
        const QString bad = dir.filePath(QStringLiteral("нет/отчёт.pdf"));
        scope.ui.saveAnswers.push_back(bad);
        QTest::mouseClick(r.btnReport, Qt::LeftButton);
        QCOMPARE(scope.ui.messages, QStringList{QStringLiteral("Не удалось записать файл ") + bad});
        QCOMPARE(r.SaveStatus->toolTip(), QStringLiteral("Отчёт сохранён: ") + QDir::toNativeSeparators(pdf));

        // another data file: the results of the first are no longer given away
        scope.ui.answers.push_back(
            writeDataFile(QDir(dir.path()), QStringLiteral("other.txt"), 4, records(4)));
        app.Form1.OpenFileStartClick();
        QVERIFY(!r.btnReport->isEnabled());
        QVERIFY(!r.btnSaveTable->isEnabled());
        const int dialogs = int(scope.ui.saveDialogs.size());
        QTest::mouseClick(r.btnSaveTable, Qt::LeftButton);
        QTest::mouseClick(r.btnReport, Qt::LeftButton);
        QCOMPARE(int(scope.ui.saveDialogs.size()), dialogs);
    }
};

QTEST_MAIN(ReportButtonsTest)
#include "report_buttons_test.moc"
