// Model 3 in the windows: its controls on the main window's first page, the
// warranty law that follows a loaded warranty-end times file, the run that
// fits it, its column and curves in the results window and the bounds panel.
#include "tests/gui/main_window_fixture.h"

#include "gui/charts/chart_render.h"
#include "gui/windows/app_windows.h"
#include "gui/windows/bounds_panel.h"

#include "core/fit/likelihood_fit.h"
#include "core/results/model_warnings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTest>

using namespace tovimo;
using namespace tovimo::test;

class LikelihoodWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString settings() const { return QDir(tmp_.path()).filePath(QStringLiteral("rel.txt")); }

    static bool fileLawEnabled(const TForm1& w) {
        const auto* model =
            qobject_cast<const QStandardItemModel*>(test::Child<QComboBox>(w, "PravdLaw")->model());
        return model && model->item(1)->isEnabled();
    }

    static QStringList items(const QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }

  private slots:
    void cleanup() { QFile::remove(settings()); }

    void pageOneControlsAndTheirDefaults() {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        QCOMPARE(test::Child<QCheckBox>(w, "BoxPravd")->text(),
                 QStringLiteral("Модель 3 (максимум правдоподобия)"));
        QVERIFY(!test::Child<QCheckBox>(w, "BoxPravd")->isChecked());
        QCOMPARE(test::Child<QCheckBox>(w, "PravdOnce")->text(),
                 QStringLiteral("Отказ изделия не более одного раза (K = 1)"));
        QVERIFY(test::Child<QCheckBox>(w, "PravdOnce")->isChecked());
        QCOMPARE(items(test::Child<QComboBox>(w, "PravdLevel")),
                 (QStringList{num("0.90"), num("0.95"), num("0.99")}));
        QCOMPARE(test::Child<QComboBox>(w, "PravdLevel")->currentText(), num("0.95"));
        QCOMPARE(items(test::Child<QComboBox>(w, "PravdLaw")),
                 (QStringList{QStringLiteral("нормальный"), QStringLiteral("по файлу")}));
        QCOMPARE(test::Child<QComboBox>(w, "PravdLaw")->currentIndex(), 0);
        QVERIFY(!fileLawEnabled(w)); // no warranty-end times yet
        // the boxes stand with the other models' boxes on the first page
        QCOMPARE(test::Child<QCheckBox>(w, "BoxPravd")->window(), &w);
        QVERIFY(test::Child<QTabWidget>(w, "PageControl")
                    ->widget(0)
                    ->isAncestorOf(test::Child<QCheckBox>(w, "BoxPravd")));
        QVERIFY(test::Child<QTabWidget>(w, "PageControl")
                    ->widget(0)
                    ->isAncestorOf(test::Child<QComboBox>(w, "PravdLaw")));

        const MainForm& f = w.form();
        QVERIFY(!f.BoxPravd);
        QVERIFY(f.PravdOnce);
        QCOMPARE(f.PravdLevel, 1);
        QCOMPARE(f.PravdLaw, 0);
        test::Child<QCheckBox>(w, "BoxPravd")->setChecked(true);
        test::Child<QCheckBox>(w, "PravdOnce")->setChecked(false);
        test::Child<QComboBox>(w, "PravdLevel")->setCurrentIndex(2);
        const LikelihoodSettings s = LikelihoodSettingsFromForm(w.form());
        QVERIFY(w.form().BoxPravd);
        QCOMPARE(s.kMode, LikelihoodKMode::Free);
        QCOMPARE(s.level, 0.99);
        QCOMPARE(s.law, WarrantyLawKind::Normal);
    }

    void warrantyFileMakesTheFileLawTheDefault() {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        w.setDiaStart([] {});
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        w.OpenFileStartClick();
        QVERIFY(!fileLawEnabled(w));
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_TEST_DATA "/gar_three.txt"));
        w.SpeedButton1Click();
        QVERIFY(fileLawEnabled(w));
        QCOMPARE(test::Child<QComboBox>(w, "PravdLaw")->currentText(), QStringLiteral("по файлу"));
        QCOMPARE(LikelihoodSettingsFromForm(w.form()).law, WarrantyLawKind::Empirical);
        // the user may go back to the normal law, and a later refresh of the controls keeps the choice
        test::Child<QComboBox>(w, "PravdLaw")->setCurrentIndex(0);
        QCOMPARE(w.form().PravdLaw, 0);
        QCOMPARE(test::Child<QComboBox>(w, "PravdLaw")->currentIndex(), 0);
    }

    void runFitsModelThreeAndShowsItsBounds() {
        UiScope scope;
        AppWindows app(settings());
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        app.Form1.OpenFileStartClick();
        test::Child<QCheckBox>(app.Form1, "BoxPravd")->setChecked(true); // after model 1.1, ticked by default
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(app.state.MPravd.Executed && app.Form5.isVisible(), 120000);
        QVERIFY2(scope.ui.errors.isEmpty() && scope.ui.messages.isEmpty(),
                 qPrintable((scope.ui.errors + scope.ui.messages).join('\n')));

        // the memo: the elapsed-time line after model 1.1's, then the warnings
        const QStringList memo =
            test::Child<QPlainTextEdit>(app.Form1, "Memo2")->toPlainText().split(QLatin1Char('\n'));
        qsizetype done = -1;
        for (qsizetype i = 0; i < memo.size(); ++i)
            if (memo[i].startsWith(QString::fromUtf8(kPravdDone))) done = i;
        QVERIFY(done > 0);
        QVERIFY(!app.state.Warnings.empty());
        for (const ModelWarning& w : app.state.Warnings)
            QVERIFY2(memo.contains(QString::fromStdString(WarningMemoLine(w))), w.text.c_str());

        // its column after model 1.1's and before the operating data
        TForm5& r = app.Form5;
        QCOMPARE(r.Result_Grid->columnCount(), 7);
        QCOMPARE(r.cellText(0, 1), QStringLiteral("Пирсона/спир.спуск"));
        QCOMPARE(r.cellText(0, 2), QStringLiteral("Макс. правдоподобия"));
        QVERIFY(!r.cellText(0, 3).isEmpty());
        QVERIFY(r.cellText(1, 2).contains(num(QString::number(app.state.MPravd.A, 'f', 3))));

        // its curves and band
        auto* chart1 = r.Chart1->plannedChart();
        auto* chart2 = r.Chart2->plannedChart();
        QVERIFY(!chart1->pointsOf(QStringLiteral("Series24")).isEmpty());
        const auto value = chart2->pointsOf(QStringLiteral("Series25"));
        const auto lower = chart2->pointsOf(QStringLiteral("Series26"));
        const auto upper = chart2->pointsOf(QStringLiteral("Series27"));
        QVERIFY(!value.isEmpty());
        QCOMPARE(lower.size(), upper.size());
        QVERIFY(!lower.isEmpty());
        for (qsizetype i = 0; i < lower.size(); ++i)
            QVERIFY(lower[i].y() <= upper[i].y());
        QVERIFY(chart2->inLegend(QStringLiteral("Series25")));

        // the warnings line and the bounds panel
        const QString count = QString::number(app.state.Warnings.size());
        QVERIFY(r.WarningsLine->text().contains(count));
        // At the smallest size a shorter form keeps the count whole.
        const QSize before = r.size();
        r.resize(r.minimumSize());
        QCoreApplication::processEvents();
        QVERIFY2(r.WarningsLine->text().contains(count) && !r.WarningsLine->text().contains(QChar(0x2026)),
                 qPrintable(r.WarningsLine->text()));
        r.resize(before);
        QCoreApplication::processEvents();
        QVERIFY(!r.boundsPanel()->isVisible());
        QTest::mouseClick(r.btnBounds, Qt::LeftButton);
        TBoundsPanel* panel = r.boundsPanel();
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->windowTitle(), QStringLiteral("Границы"));
        QCOMPARE(panel->Bounds_Grid->rowCount(), kLikFigureCount);
        QCOMPARE(panel->Bounds_Grid->horizontalHeaderItem(4)->text(), QStringLiteral("Примечание"));
        QCOMPARE(panel->Bounds_Grid->item(0, 0)->text(), QStringLiteral("A (параметр формы)"));
        QCOMPARE(panel->Bounds_Grid->item(0, 1)->text(), num(QString::number(app.state.Pravd.A, 'f', 3)));
        QCOMPARE(panel->Bounds_Grid->item(2, 2)->text(), QStringLiteral("—")); // K held at 1
        // T50 lies past the sample's last failure
        QVERIFY(panel->Bounds_Grid->item(5, 4)->text().contains(QStringLiteral("экстраполяция")));
        for (int row = 0; row < kLikFigureCount; ++row) {
            if (row == 2) continue;
            const double est = QLocale().toDouble(panel->Bounds_Grid->item(row, 1)->text());
            const double lo = QLocale().toDouble(panel->Bounds_Grid->item(row, 2)->text());
            const double hi = QLocale().toDouble(panel->Bounds_Grid->item(row, 3)->text());
            QVERIFY2(lo <= est && est <= hi, qPrintable(panel->Bounds_Grid->item(row, 0)->text()));
        }
        QCOMPARE(panel->Warnings_List->count(), static_cast<int>(app.state.Warnings.size()));
        QCOMPARE(panel->Warnings_List->item(0)->text(),
                 QString::fromStdString(WarningMemoLine(app.state.Warnings.front())));
        QVERIFY(panel->Summary->text().contains(QStringLiteral("ln L = ")));
        QVERIFY2(panel->Summary->text().contains(QStringLiteral("приведённый парк ")),
                 qPrintable(panel->Summary->text()));
        // model 1.1's fixed K, without model 2 in the run, says where it came from
        const QString kOrigin = QStringLiteral("взят из формулы (N − 1) / 11 по числу отказов N = %1")
                                    .arg(app.state.MasProbl.size());
        bool saysWhereKCameFrom = false;
        for (int i = 0; i < panel->Warnings_List->count(); ++i) {
            const QString line = panel->Warnings_List->item(i)->text();
            saysWhereKCameFrom |= line.contains(QStringLiteral("(Модель 1.1)")) && line.contains(kOrigin);
        }
        QVERIFY2(saysWhereKCameFrom, qPrintable(kOrigin));
        QTest::mouseClick(panel->CloseButton, Qt::LeftButton);
        QVERIFY(!panel->isVisible());

        // a run without model 3 drops its column and the panel says so
        test::Child<QCheckBox>(app.Form1, "BoxPravd")->setChecked(false);
        app.state.MPravd.Executed = false; // as a new warranty file would
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(
            app.Form5.isVisible() && r.cellText(0, 2) != QStringLiteral("Макс. правдоподобия"), 120000);
        QCOMPARE(panel->Bounds_Grid->rowCount(), 0);
        QVERIFY(panel->Summary->text().startsWith(QStringLiteral("Модель 3 не рассчитана")));
    }

    void refusedModelIsReportedAndLeavesNoColumn() {
        // a series with as many failures as products cannot fail at most once each
        UiScope scope;
        AppWindows app(settings());
        QStringList recs;
        for (int i = 1; i <= 200; ++i)
            recs << QStringLiteral("%1\tдвигатель").arg(i * 10);
        const QString data = writeDataFile(QDir(tmp_.path()), QStringLiteral("full.txt"), 200, recs);
        scope.ui.answers.push_back(data);
        app.Form1.OpenFileStartClick();
        test::Child<QCheckBox>(app.Form1, "BoxPravd")->setChecked(true);
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(app.Form5.isVisible(), 120000);
        QVERIFY(!app.state.MPravd.Executed);
        QCOMPARE(scope.ui.messages.size(), 1);
        QCOMPARE(scope.ui.messages.front(), QString::fromStdString(app.state.Pravd.refusal));
        for (int c = 0; c < 7; ++c)
            QVERIFY(app.Form5.cellText(0, c) != QStringLiteral("Макс. правдоподобия"));
        app.Form5.btnBounds->click();
        QVERIFY(app.Form5.boundsPanel()->Summary->text().contains(
            QString::fromStdString(app.state.Pravd.refusal)));
    }
};

QTEST_MAIN(LikelihoodWindowTest)
#include "likelihood_window_test.moc"
