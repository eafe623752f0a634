// Another data file loaded after every model was run on the first: no column,
// bound, warning or report line of the first file stays in the windows, and
// model 3 takes the normal warranty law again.
#include "tests/gui/main_window_fixture.h"

#include "gui/charts/chart_render.h"
#include "gui/windows/app_windows.h"
#include "gui/windows/bounds_panel.h"

#include "core/fit/fit_clock.h"
#include "core/stats/model_slot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTest>

using namespace tovimo;
using namespace tovimo::test;

class AnotherDataFileTest : public QObject {
    Q_OBJECT

    static QStringList headers(const TForm5& r) {
        QStringList out;
        for (int c = 1; c < r.Result_Grid->columnCount(); ++c)
            if (!r.cellText(0, c).isEmpty()) out << r.cellText(0, c);
        return out;
    }

    static QStringList allCells(const TForm5& r) {
        QStringList out;
        for (int row = 0; row <= r.Result_Grid->rowCount(); ++row)
            for (int c = 0; c < r.Result_Grid->columnCount(); ++c)
                out << r.cellText(row, c);
        return out;
    }

  private slots:
    void nothingOfTheFirstFileRemains() {
        QTemporaryDir dir;
        UiScope scope;
        AppWindows app(dir.filePath(QStringLiteral("rel.txt")));
        TForm1& w = app.Form1;
        TForm5& r = app.Form5;
        TBoundsPanel* panel = r.boundsPanel();
        StepClock clock(2); // the step searches end after a few readings
        w.setClock(&clock);
        w.setGeneticThreads(2);

        // file A: the sample with its warranty-end times, every model
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        w.OpenFileStartClick();
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_TEST_DATA "/gar_three.txt"));
        w.SpeedButton1Click();
        QCOMPARE(test::Child<QComboBox>(w, "PravdLaw")->currentText(), QStringLiteral("по файлу"));
        for (QCheckBox* box :
             {test::Child<QCheckBox>(w, "SpirSpusk"), test::Child<QCheckBox>(w, "BoxNewton"),
              test::Child<QCheckBox>(w, "BoxSmirnow"), test::Child<QCheckBox>(w, "BoxPravd")})
            box->setChecked(true);
        QTest::mouseClick(test::Child<QPushButton>(w, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.calculationRunning(), 120000);
        test::Child<QLineEdit>(w, "Edit3")->setText(QStringLiteral("20"));
        test::Child<QLineEdit>(w, "NPokoleny")->setText(QStringLiteral("5"));
        QTest::mouseClick(test::Child<QPushButton>(w, "ToolBRunGenOptim"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Gen(), 120000); // its end handled, the controls back
        QVERIFY2(scope.ui.errors.isEmpty() && scope.ui.messages.isEmpty(),
                 qPrintable((scope.ui.errors + scope.ui.messages).join('\n')));
        QVERIFY(app.state.MGenet.Executed && app.state.MPravd.Executed && app.state.Pravd.fitted);
        QCOMPARE(headers(r).size(), 6); // five models and the operating data
        QVERIFY(allCells(r).join(QLatin1Char('|')).contains(QStringLiteral("/345")));
        QCOMPARE(panel->Bounds_Grid->rowCount(), kLikFigureCount);
        QVERIFY(panel->Summary->text().contains(QStringLiteral("по файлу")));
        QVERIFY(!r.WarningsLine->text().isEmpty());
        QVERIFY(r.btnReport->isEnabled() && r.btnSaveTable->isEnabled());
        QVERIFY(!r.Chart1->plannedChart()->pointsOf(QStringLiteral("Series24")).isEmpty());

        // file B
        scope.ui.answers.push_back(writeDataFile(QDir(dir.path()), QStringLiteral("b.txt"), 6, records(6)));
        w.OpenFileStartClick();
        QVERIFY(app.state.uk);
        QVERIFY(!AnyModelExecuted(app.state));
        QVERIFY(!app.state.Pravd.fitted);
        QVERIFY(app.state.Warnings.empty());
        QVERIFY(app.state.MasTGarant.empty());
        QCOMPARE(test::Child<QComboBox>(w, "PravdLaw")->currentText(), QStringLiteral("нормальный"));
        const auto* lawItems =
            qobject_cast<const QStandardItemModel*>(test::Child<QComboBox>(w, "PravdLaw")->model());
        QVERIFY(lawItems && !lawItems->item(1)->isEnabled()); // no warranty-end times any more
        // the results window holds nothing of A
        for (const QString& cell : allCells(r))
            QVERIFY2(cell.isEmpty(), qPrintable(cell));
        QVERIFY(r.Label10->text().isEmpty());
        QVERIFY(r.WarningsLine->text().isEmpty());
        QVERIFY(!r.btnReport->isEnabled() && !r.btnSaveTable->isEnabled());
        for (const char* series : {"Series24", "Series25"})
            QVERIFY2(r.Chart2->plannedChart()->pointsOf(QString::fromLatin1(series)).isEmpty() &&
                         r.Chart1->plannedChart()->pointsOf(QString::fromLatin1(series)).isEmpty(),
                     series);
        QCOMPARE(panel->Bounds_Grid->rowCount(), 0);
        QCOMPARE(panel->Summary->text(), QStringLiteral("Модель 3 не рассчитана"));
        QCOMPARE(panel->Warnings_List->count(), 1);
        QCOMPARE(panel->Warnings_List->item(0)->text(), QStringLiteral("Предупреждений нет"));

        // a run on B with model 1.1 only shows model 1.1 and B's data, nothing else
        for (QCheckBox* box :
             {test::Child<QCheckBox>(w, "BoxNewton"), test::Child<QCheckBox>(w, "BoxSmirnow"),
              test::Child<QCheckBox>(w, "BoxPravd")})
            box->setChecked(false);
        QTest::mouseClick(test::Child<QPushButton>(w, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.calculationRunning(), 120000);
        QCOMPARE(headers(r),
                 (QStringList{QStringLiteral("Пирсона/спир.спуск"), QStringLiteral("Данные эксплуатации")}));
        QVERIFY(!allCells(r).join(QLatin1Char('|')).contains(QStringLiteral("/345")));
        QCOMPARE(panel->Bounds_Grid->rowCount(), 0);
        QCOMPARE(panel->Summary->text(), QStringLiteral("Модель 3 не рассчитана"));
        for (int i = 0; i < panel->Warnings_List->count(); ++i)
            QVERIFY(!panel->Warnings_List->item(i)->text().contains(QStringLiteral("Модель 3")));
        QVERIFY(r.btnReport->isEnabled());

        // a data file that cannot be opened leaves the results as they are
        scope.ui.answers.push_back(dir.filePath(QStringLiteral("nowhere.txt")));
        w.OpenFileStartClick();
        QVERIFY(r.btnReport->isEnabled());
        QCOMPARE(r.cellText(0, 1), QStringLiteral("Пирсона/спир.спуск"));

        // a warranty-end times file forgets the models of the previous law the same way
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_TEST_DATA "/gar_three.txt"));
        w.SpeedButton1Click();
        QCOMPARE(test::Child<QComboBox>(w, "PravdLaw")->currentText(), QStringLiteral("по файлу"));
        QVERIFY(!r.btnReport->isEnabled());
        QVERIFY(r.cellText(0, 1).isEmpty());
    }
};

QTEST_MAIN(AnotherDataFileTest)
#include "another_data_file_test.moc"
