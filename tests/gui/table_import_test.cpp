// "Импорт таблицы…": the dialog's preview, columns, header numbers and bad
// rows, cancelling it, saving the data file, and the load that follows.
#include "tests/gui/main_window_fixture.h"

#include "core/text/text_codec.h"
#include "gui/windows/table_import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace tovimo;
using namespace tovimo::test;

// A check inside a dialog handler, which cannot return early as QCOMPARE does.
#define CHECK_EQ(actual, expected) QTest::qCompare(actual, expected, #actual, #expected, __FILE__, __LINE__)

namespace {

// Windows-1251, ';', a header, one row without a time.
const char* const kTable = "Описание;Наработка, ч;Причина\r\n"
                           "перегрев;120,5;Двигатель\r\n"
                           "течь;;Насос\r\n"
                           ";455;Насос\r\n"
                           "обрыв;2400;двигатель\r\n";

QString writeTable(const QTemporaryDir& dir, const QString& name, const std::string& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

void typeNumbers(TableImportDialog* d) {
    d->fleetEdit->setText(QStringLiteral("125"));
    d->meanEdit->setText(num(QStringLiteral("3500.5")));
    d->sdEdit->setText(QStringLiteral("800"));
}

} // namespace

class TableImportTest : public QObject {
    Q_OBJECT

  private slots:
    void dialogShowsTheTableAndLoadsItAsPathDoes() {
        QTemporaryDir dir;
        UiScope scope;
        AnalysisState st0;
        TForm1 w(st0, dir.filePath(QStringLiteral("rel.txt")));
        const QString table = writeTable(dir, QStringLiteral("отказы.csv"), EncodeCp1251(kTable));
        const QString saved = dir.filePath(QStringLiteral("отказы.txt"));
        scope.ui.answers.push_back(table);
        scope.ui.saveAnswers.push_back(saved);
        bool seen = false;
        scope.ui.onDialog = [&](QDialog* dialog) {
            auto* d = qobject_cast<TableImportDialog*>(dialog);
            if (!d) return int(QDialog::Rejected);
            seen = true;
            // the table as read: columns by their names, the header row left out
            CHECK_EQ(d->preview->rowCount(), 4);
            CHECK_EQ(d->preview->item(0, 1)->text(), QStringLiteral("120,5"));
            CHECK_EQ(d->headerBox->isChecked(), true);
            CHECK_EQ(d->separatorBox->currentData().toChar(), QChar(u';'));
            CHECK_EQ(d->timeColumn->currentData().toInt(), 1);
            CHECK_EQ(d->causeColumn->currentData().toInt(), 2);
            CHECK_EQ(d->descriptionColumn->currentData().toInt(), 0);
            CHECK_EQ(d->badRowsList->count(), 1);
            CHECK_EQ(d->badRowsList->item(0)->text(), QStringLiteral("Строка 3: не указана наработка"));
            CHECK_EQ(d->failuresEdit->text(), QStringLiteral("3"));
            CHECK_EQ(d->commentEdit->text(), QStringLiteral("отказы.csv"));

            // a header number that is no number or missing: answered in Russian
            // naming the field, the dialog stays
            const struct {
                QLineEdit* edit;
                QString text, answer;
            } wrong[] = {
                {d->meanEdit, QStringLiteral("много"),
                 QStringLiteral("Поле «Среднее время гарантии, ч»: «много» не является числом")},
                {d->fleetEdit, QString(), QStringLiteral("Поле «Парк изделий» не заполнено: введите число")},
                {d->sdEdit, QStringLiteral(" "),
                 QStringLiteral("Поле «СКО времени гарантии, ч» не заполнено: введите число")},
                {d->failuresEdit, QStringLiteral("3,5"),
                 QStringLiteral("Поле «Число отказов»: «3,5» не является числом")},
            };
            for (const auto& c : wrong) {
                typeNumbers(d);
                c.edit->setText(c.text);
                scope.ui.errors.clear();
                QTest::mouseClick(d->loadButton, Qt::LeftButton);
                CHECK_EQ(scope.ui.errors, QStringList{c.answer});
                CHECK_EQ(d->result(), int(QDialog::Rejected));
            }
            scope.ui.errors.clear();
            d->failuresEdit->setText(QStringLiteral("3"));

            typeNumbers(d);
            d->commentEdit->setText(QStringLiteral("Станция НС-2"));
            QTest::mouseClick(d->saveButton, Qt::LeftButton);
            QTest::mouseClick(d->loadButton, Qt::LeftButton);
            return d->result();
        };
        QTest::mouseClick(test::Child<QPushButton>(w, "btnImportTable"), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(scope.ui.dialogs.back().filter,
                 QStringLiteral("Таблицы отказов (csv, tsv, txt) (*.csv *.tsv *.txt)"));
        QCOMPARE(scope.ui.saveDialogs.back().start, dir.filePath(QStringLiteral("отказы.txt")));

        // loaded as "Путь" loads the saved file, which is remembered
        const AnalysisState& st = w.state();
        QVERIFY(st.uk);
        QCOMPARE(test::Child<QLineEdit>(w, "FilePath")->text(), saved);
        QCOMPARE(test::Child<QLabel>(w, "Label10")->text(), QStringLiteral("Станция НС-2"));
        QCOMPARE(test::Child<QLineEdit>(w, "meSred")->text(), num(QStringLiteral("3500.5")));
        QCOMPARE(test::Child<QLineEdit>(w, "meKolOtk")->text(), QStringLiteral("3"));
        QCOMPARE(st.NPrich, 2);
        QCOMPARE(int(st.MasProbl.size()), 3);
        QCOMPARE(cellText(test::Child<QTableView>(w, "Mass_List"), 0, 1), num(QStringLiteral("120.5")));
        QCOMPARE(cellText(test::Child<QTableView>(w, "Mass_List"), 0, 3), QStringLiteral("перегрев"));
        QVERIFY(scope.ui.messages.isEmpty());

        AnalysisState st1;
        TForm1 again(st1, dir.filePath(QStringLiteral("rel.txt")));
        QCOMPARE(test::Child<QLineEdit>(again, "FilePath")->text(), saved);
        scope.ui.answers.push_back(saved);
        QTest::mouseClick(test::Child<QPushButton>(again, "OpenFileStart"), Qt::LeftButton);
        QCOMPARE(again.state().MasProbl.size(), st.MasProbl.size());
        for (size_t i = 0; i < st.MasProbl.size(); ++i) {
            QCOMPARE(again.state().MasProbl[i].time, st.MasProbl[i].time);
            QCOMPARE(again.state().MasProbl[i].Pri, st.MasProbl[i].Pri);
            QCOMPARE(again.state().MasProbl[i].komment, st.MasProbl[i].komment);
        }
        QCOMPARE(cellText(test::Child<QTableView>(again, "Mass_List"), 2, 2),
                 cellText(test::Child<QTableView>(w, "Mass_List"), 2, 2));
    }

    void cancelLeavesEverythingAsItWas() {
        QTemporaryDir dir;
        UiScope scope;
        AnalysisState st0;
        TForm1 w(st0, dir.filePath(QStringLiteral("rel.txt")));
        const QString data = writeDataFile(QDir(dir.path()), QStringLiteral("d.txt"), 4, records(4));
        scope.ui.answers.push_back(data);
        QTest::mouseClick(test::Child<QPushButton>(w, "OpenFileStart"), Qt::LeftButton);
        QCOMPARE(int(w.state().MasProbl.size()), 4);

        scope.ui.answers.push_back(writeTable(dir, QStringLiteral("t.csv"), kTable));
        scope.ui.onDialog = [&](QDialog* dialog) {
            auto* d = qobject_cast<TableImportDialog*>(dialog);
            typeNumbers(d);
            QTest::mouseClick(d->cancelButton, Qt::LeftButton);
            return d->result();
        };
        QTest::mouseClick(test::Child<QPushButton>(w, "btnImportTable"), Qt::LeftButton);
        QCOMPARE(int(w.state().MasProbl.size()), 4);
        QCOMPARE(test::Child<QLineEdit>(w, "FilePath")->text(), data);
        QVERIFY(scope.ui.saveDialogs.empty());
    }

    void columnsAndSeparatorCanBeChosen() {
        QTemporaryDir dir;
        UiScope scope;
        AnalysisState st0;
        TForm1 w(st0, dir.filePath(QStringLiteral("rel.txt")));
        // no header; the time in the third column; tabs
        scope.ui.answers.push_back(
            writeTable(dir, QStringLiteral("t.tsv"), "Насос\tтечь\t12.5\nДвигатель\t\t30\nНасос\t\t44\n"));
        scope.ui.onDialog = [&](QDialog* dialog) {
            auto* d = qobject_cast<TableImportDialog*>(dialog);
            CHECK_EQ(d->headerBox->isChecked(), false);
            CHECK_EQ(d->badRowsList->count(), 3); // by position the time is "Насос"
            d->timeColumn->setCurrentIndex(d->timeColumn->findData(2));
            d->causeColumn->setCurrentIndex(d->causeColumn->findData(0));
            d->descriptionColumn->setCurrentIndex(d->descriptionColumn->findData(1));
            CHECK_EQ(d->badRowsList->count(), 0);
            CHECK_EQ(d->failuresEdit->text(), QStringLiteral("3"));
            // a separator that splits nothing: every row lacks its time
            d->separatorBox->setCurrentIndex(d->separatorBox->findData(QChar(u',')));
            CHECK_EQ(d->badRowsList->count(), 3);
            d->separatorBox->setCurrentIndex(d->separatorBox->findData(QChar(u'\t')));
            d->timeColumn->setCurrentIndex(d->timeColumn->findData(2));
            d->causeColumn->setCurrentIndex(d->causeColumn->findData(0));
            d->descriptionColumn->setCurrentIndex(d->descriptionColumn->findData(-1));
            typeNumbers(d);
            QTest::mouseClick(d->loadButton, Qt::LeftButton);
            return d->result();
        };
        QTest::mouseClick(test::Child<QPushButton>(w, "btnImportTable"), Qt::LeftButton);
        QVERIFY(w.state().uk);
        QCOMPARE(int(w.state().MasProbl.size()), 3);
        QCOMPARE(w.state().MasProbl[0].time, 12.5);
        // not saved: the table's name is shown, and the settings keep the last data file
        QCOMPARE(test::Child<QLineEdit>(w, "FilePath")->text(), dir.filePath(QStringLiteral("t.tsv")));
        QCOMPARE(w.state().MasProbl[0].komment, std::string());
    }

    // A negative time and one past the warranty law's end are listed as
    // doubtful with a tick each; a cleared tick leaves the row out with a
    // line saying so, a kept long time is cut by the loader as its line says.
    void doubtfulRowsAreListedAndCanBeDropped() {
        QTemporaryDir dir;
        UiScope scope;
        AnalysisState st0;
        TForm1 w(st0, dir.filePath(QStringLiteral("rel.txt")));
        scope.ui.answers.push_back(writeTable(dir, QStringLiteral("t.csv"),
                                              "Наработка;Причина\n-15,5;Насос\n120;Насос\n99999999;Насос\n"));
        scope.ui.onDialog = [&](QDialog* dialog) {
            auto* d = qobject_cast<TableImportDialog*>(dialog);
            CHECK_EQ(d->doubtfulList->count(), 1); // no warranty law typed yet: only the negative time
            typeNumbers(d);                        // 3500,5 + 3 · 800 = 5900,5
            CHECK_EQ(d->doubtfulList->count(), 2);
            CHECK_EQ(d->doubtfulList->item(0)->text(), QStringLiteral("Строка 2: ") +
                                                           num(QStringLiteral("-15.5")) +
                                                           QStringLiteral(" ч — отрицательная наработка"));
            const QString longReason =
                QStringLiteral("наработка больше ") + num(QStringLiteral("5900.5")) +
                QStringLiteral(" ч (среднее время гарантии + 3 СКО): при загрузке будет "
                               "уменьшена до ") +
                num(QStringLiteral("5900.5")) + QStringLiteral(" ч");
            CHECK_EQ(d->doubtfulList->item(1)->text(),
                     QStringLiteral("Строка 4: 99999999 ч — ") + longReason);
            CHECK_EQ(d->doubtfulLabel->isHidden(), false);
            CHECK_EQ(d->doubtfulList->item(0)->checkState(), Qt::Checked); // kept unless dropped
            d->doubtfulList->item(0)->setCheckState(Qt::Unchecked);
            CHECK_EQ(d->failuresEdit->text(), QStringLiteral("2"));
            CHECK_EQ(d->notesLabel->text().contains(
                         QStringLiteral("Строка 2 не загружается: отрицательная наработка")),
                     true);
            CHECK_EQ(d->doubtfulList->count(), 2); // still listed, to be ticked again
            CHECK_EQ(d->doubtfulList->item(0)->checkState(), Qt::Unchecked);
            QTest::mouseClick(d->loadButton, Qt::LeftButton);
            return d->result();
        };
        QTest::mouseClick(test::Child<QPushButton>(w, "btnImportTable"), Qt::LeftButton);
        QCOMPARE(int(w.state().MasProbl.size()), 2);
        QCOMPARE(w.state().MasProbl[0].time, 120.0);
        QCOMPARE(w.state().MasProbl[1].time, 5900.5);
    }

    // A file that is not text is refused before the dialog; a text whose rows
    // mostly cannot be read offers nothing to load.
    void unreadableFilesOfferNothingToLoad() {
        QTemporaryDir dir;
        UiScope scope;
        AnalysisState st0;
        TForm1 w(st0, dir.filePath(QStringLiteral("rel.txt")));
        std::string pdf =
            "%PDF-1.5\n%\xB5\xED\xAE\xFB\n3 0 obj\n<< /Length 4 /Filter /FlateDecode >>\nstream\n";
        for (int i = 0; i < 200; ++i)
            pdf += std::string("x\x9C\x01\x02;\x03") + char(i % 7 + 1) + ",\n";
        scope.ui.answers.push_back(writeTable(dir, QStringLiteral("report.csv"), pdf));
        bool opened = false;
        scope.ui.onDialog = [&](QDialog*) {
            opened = true;
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(test::Child<QPushButton>(w, "btnImportTable"), Qt::LeftButton);
        QVERIFY(!opened);
        QCOMPARE(scope.ui.messages,
                 QStringList{QStringLiteral("Файл не является текстовой таблицей (в нём двоичные данные): "
                                            "загружать нечего")});
        QVERIFY(!w.state().uk);

        // text, but 2 of 5 rows readable: the dialog opens with nothing to load
        scope.ui.answers.push_back(
            writeTable(dir, QStringLiteral("t.csv"), "Наработка;Причина\n10;a\nx;b\ny;c\n20;d\nz;e\n"));
        scope.ui.onDialog = [&](QDialog* dialog) {
            auto* d = qobject_cast<TableImportDialog*>(dialog);
            opened = true;
            typeNumbers(d);
            CHECK_EQ(d->loadButton->isEnabled(), false);
            CHECK_EQ(d->saveButton->isEnabled(), false);
            CHECK_EQ(d->badRowsLabel->text().startsWith(
                         QStringLiteral("Не прочитано строк: 3 из 5 — большая часть")),
                     true);
            return int(QDialog::Rejected);
        };
        QTest::mouseClick(test::Child<QPushButton>(w, "btnImportTable"), Qt::LeftButton);
        QVERIFY(opened);
        QVERIFY(!w.state().uk);
    }
};

QTEST_MAIN(TableImportTest)
#include "table_import_test.moc"
