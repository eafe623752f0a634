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

            // a mean that is no number: the standard error box, the dialog stays
            typeNumbers(d);
            d->meanEdit->setText(QStringLiteral("много"));
            QTest::mouseClick(d->loadButton, Qt::LeftButton);
            CHECK_EQ(scope.ui.errors,
                     QStringList{QStringLiteral("'много' is not a valid floating point value")});
            CHECK_EQ(d->result(), int(QDialog::Rejected));

            typeNumbers(d);
            d->commentEdit->setText(QStringLiteral("Станция НС-2"));
            QTest::mouseClick(d->saveButton, Qt::LeftButton);
            QTest::mouseClick(d->loadButton, Qt::LeftButton);
            return d->result();
        };
        QTest::mouseClick(w.btnImportTable, Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(scope.ui.dialogs.back().filter,
                 QStringLiteral("Таблицы отказов (csv, tsv, txt) (*.csv *.tsv *.txt)"));
        QCOMPARE(scope.ui.saveDialogs.back().start, dir.filePath(QStringLiteral("отказы.txt")));

        // loaded as "Путь" loads the saved file, which is remembered
        const AnalysisState& st = w.state();
        QVERIFY(st.uk);
        QCOMPARE(w.FilePath->text(), saved);
        QCOMPARE(w.Label10->text(), QStringLiteral("Станция НС-2"));
        QCOMPARE(w.meSred->text(), num(QStringLiteral("3500.5")));
        QCOMPARE(w.meKolOtk->text(), QStringLiteral("3"));
        QCOMPARE(st.NPrich, 2);
        QCOMPARE(int(st.MasProbl.size()), 3);
        QCOMPARE(w.Mass_List->item(0, 1)->text(), num(QStringLiteral("120.5")));
        QCOMPARE(w.Mass_List->item(0, 3)->text(), QStringLiteral("перегрев"));
        QVERIFY(scope.ui.messages.isEmpty());

        AnalysisState st1;
        TForm1 again(st1, dir.filePath(QStringLiteral("rel.txt")));
        QCOMPARE(again.FilePath->text(), saved);
        scope.ui.answers.push_back(saved);
        QTest::mouseClick(again.OpenFileStart, Qt::LeftButton);
        QCOMPARE(again.state().MasProbl.size(), st.MasProbl.size());
        for (size_t i = 0; i < st.MasProbl.size(); ++i) {
            QCOMPARE(again.state().MasProbl[i].time, st.MasProbl[i].time);
            QCOMPARE(again.state().MasProbl[i].Pri, st.MasProbl[i].Pri);
            QCOMPARE(again.state().MasProbl[i].komment, st.MasProbl[i].komment);
        }
        QCOMPARE(again.Mass_List->item(2, 2)->text(), w.Mass_List->item(2, 2)->text());
    }

    void cancelLeavesEverythingAsItWas() {
        QTemporaryDir dir;
        UiScope scope;
        AnalysisState st0;
        TForm1 w(st0, dir.filePath(QStringLiteral("rel.txt")));
        const QString data = writeDataFile(QDir(dir.path()), QStringLiteral("d.txt"), 4, records(4));
        scope.ui.answers.push_back(data);
        QTest::mouseClick(w.OpenFileStart, Qt::LeftButton);
        QCOMPARE(int(w.state().MasProbl.size()), 4);

        scope.ui.answers.push_back(writeTable(dir, QStringLiteral("t.csv"), kTable));
        scope.ui.onDialog = [&](QDialog* dialog) {
            auto* d = qobject_cast<TableImportDialog*>(dialog);
            typeNumbers(d);
            QTest::mouseClick(d->cancelButton, Qt::LeftButton);
            return d->result();
        };
        QTest::mouseClick(w.btnImportTable, Qt::LeftButton);
        QCOMPARE(int(w.state().MasProbl.size()), 4);
        QCOMPARE(w.FilePath->text(), data);
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
        QTest::mouseClick(w.btnImportTable, Qt::LeftButton);
        QVERIFY(w.state().uk);
        QCOMPARE(int(w.state().MasProbl.size()), 3);
        QCOMPARE(w.state().MasProbl[0].time, 12.5);
        // not saved: the table's name is shown, and the settings keep the last data file
        QCOMPARE(w.FilePath->text(), dir.filePath(QStringLiteral("t.tsv")));
        QCOMPARE(w.state().MasProbl[0].komment, std::string());
    }
};

QTEST_MAIN(TableImportTest)
#include "table_import_test.moc"
