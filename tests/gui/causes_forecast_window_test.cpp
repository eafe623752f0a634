// "Причины отказов" and "Прогноз": the causes' table, the test line and the
// chart on the sample; the forecast's table, chart and refusals; the way from
// the bounds panel's buttons to both and from a selected cause to its forecast.
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/pdf_text.h"

#include "core/data/data_file.h"
#include "core/fit/likelihood_fit.h"
#include "core/state/run_inputs.h"
#include "gui/windows/app_windows.h"
#include "gui/windows/bounds_panel.h"
#include "gui/windows/causes_window.h"
#include "gui/windows/forecast_window.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

using namespace tovimo;
using namespace tovimo::test;

namespace {

AnalysisState Sample() {
    AnalysisState st;
    MainForm form;
    LoadDataFile(st, form, TOVIMO_SAMPLE, [](const std::string&) {});
    ReadRunEdits(st, form);
    return st;
}

char Sep() {
    return QLocale().decimalPoint().at(0).toLatin1();
}

// Every cell of the table from column `from` on: a figure in the window's
// decimal format, a bound, a dash or words, never a value that is not a number
// nor a figure in the other decimal format.
void checkFigures(const QTableWidget* grid, int from) {
    const QString other = Sep() == ',' ? QStringLiteral(".") : QStringLiteral(",");
    const QRegularExpression foreign(QStringLiteral("\\d") + QRegularExpression::escape(other) +
                                     QStringLiteral("\\d"));
    const QRegularExpression notANumber(QStringLiteral("\\b(inf|nan)\\b|e\\+"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = from; c < grid->columnCount(); ++c) {
            const QTableWidgetItem* item = grid->item(r, c);
            QVERIFY2(item, qPrintable(QStringLiteral("%1:%2").arg(r).arg(c)));
            const QString t = item->text();
            QVERIFY2(!foreign.match(t).hasMatch() && !notANumber.match(t).hasMatch(), qPrintable(t));
        }
}

} // namespace

class CausesForecastWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void causesTableChartAndTest() {
        UiScope scope;
        const AnalysisState st = Sample();
        TCausesWindow w;
        w.compute(st, LikelihoodSettings{}, Sep());
        // off the user-interface thread: busy until the result comes
        QVERIFY(w.busy() && !w.Busy->isHidden());
        QVERIFY(w.Summary->text().contains(QStringLiteral("расчёт")));
        QTRY_VERIFY_WITH_TIMEOUT(!w.busy(), 120000);
        QVERIFY(w.Busy->isHidden());
        QVERIFY(scope.ui.messages.isEmpty());
        QVERIFY(!scope.ui.busy);
        // one row per cause, "Другие" last, the counts adding up to the series
        const int rows = w.Causes_Grid->rowCount();
        QCOMPARE(rows, st.NPrich + 1);
        QCOMPARE(w.Causes_Grid->item(rows - 1, 0)->text(), QStringLiteral("Другие"));
        int n = 0;
        for (int r = 0; r < rows; ++r)
            n += w.Causes_Grid->item(r, 1)->text().toInt();
        QCOMPARE(n, static_cast<int>(st.MasProbl.size()));
        // numbers under the locale's separator, never a raw huge value
        for (int r = 0; r < rows; ++r)
            for (int c = 2; c < w.Causes_Grid->columnCount() - 1; ++c) {
                const QString t = w.Causes_Grid->item(r, c)->text();
                QVERIFY2(!t.contains(Sep() == ',' ? QLatin1Char('.') : QLatin1Char(',')) || t.contains(' '),
                         qPrintable(t));
                QVERIFY2(t.size() < 60, qPrintable(t));
            }
        QVERIFY(w.Summary->text().contains(QStringLiteral("одна форма A")));
        // a line per fitted cause and its observed marks; the causes' sum and its marks beside
        const auto series = w.Causes_Chart->chart()->series();
        QVERIFY(series.size() >= 2 * (rows - 1));
        QCOMPARE(w.Total_Chart->chart()->series().size(), 2); // model 3 was not run
        QVERIFY(!w.btnForecastCause->isEnabled());
        // a selected cause asks for its forecast
        int asked = 0;
        std::string name;
        w.onForecast = [&](int cause, const std::string& nm) {
            asked = cause;
            name = nm;
        };
        w.Causes_Grid->selectRow(0);
        QVERIFY(w.btnForecastCause->isEnabled());
        QTest::mouseClick(w.btnForecastCause, Qt::LeftButton);
        QVERIFY(asked > 0);
        QCOMPARE(QString::fromStdString(name), w.Causes_Grid->item(0, 0)->text());
    }

    void causesRefusedInAMessage() {
        UiScope scope;
        AnalysisState st = Sample();
        st.SKO = 0;
        TCausesWindow w;
        w.compute(st, LikelihoodSettings{}, Sep());
        QTRY_VERIFY_WITH_TIMEOUT(!w.busy(), 120000);
        QCOMPARE(scope.ui.messages.size(), 1);
        QCOMPARE(w.Causes_Grid->rowCount(), 0);
        QVERIFY(w.Causes_Chart->chart()->series().isEmpty());
    }

    void forecastTableChartAndErrors() {
        UiScope scope;
        const AnalysisState st = Sample();
        TForecastWindow w;
        w.setSource(st, LikelihoodSettings{}, 0, {}, Sep());
        QCOMPARE(w.edMean->text(), num(QStringLiteral("3000")));
        w.edExtend->setText(QStringLiteral("500"));
        w.edHorizon->setText(QStringLiteral("2000"));
        w.btnCalcClick();
        QVERIFY(w.busy() && !w.btnCalc->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w.busy(), 120000);
        QVERIFY(w.btnCalc->isEnabled() && w.Busy->isHidden());
        QVERIFY(scope.ui.messages.isEmpty());
        QVERIFY(w.result().done);
        // 500, 1000, 1500, 2000 h, the total, the extended total and the extra
        QCOMPARE(w.Forecast_Grid->rowCount(), 7);
        QCOMPARE(w.Forecast_Grid->item(0, 0)->text(), QStringLiteral("500"));
        QVERIFY(w.Forecast_Grid->item(4, 0)->text().startsWith(QStringLiteral("Всего за гарантию")));
        QVERIFY(w.Forecast_Grid->item(6, 0)->text().contains(QStringLiteral("дополнительно")));
        QVERIFY(w.Forecast_Grid->item(1, 2)->text().contains(QStringLiteral("–")));
        QCOMPARE(w.Forecast_Chart->chart()->series().size(), 3); // two bands and the line
        // a text that is not a number: the toolkit's error, nothing computed again
        w.edFleet->setText(QStringLiteral("много"));
        w.btnCalcClick();
        QCOMPARE(scope.ui.errors.size(), 1);
        QVERIFY(
            scope.ui.errors.front().contains(QStringLiteral("'много' is not a valid floating point value")));
        // a fleet that is not positive: refused in a message
        w.edFleet->setText(QStringLiteral("-3"));
        w.btnCalcClick();
        QTRY_VERIFY_WITH_TIMEOUT(!w.busy(), 120000);
        QCOMPARE(scope.ui.messages.size(), 1);
        QVERIFY(scope.ui.messages.front().contains(QStringLiteral("парка")));
        QCOMPARE(w.Forecast_Grid->rowCount(), 0);
    }

    void forecastOfOneCause() {
        UiScope scope;
        const AnalysisState st = Sample();
        TForecastWindow w;
        w.setSource(st, LikelihoodSettings{}, 1, st.Vidy_otkazov[1].Nazv_Prich, Sep());
        QVERIFY(w.Source->text().contains(QString::fromStdString(st.Vidy_otkazov[1].Nazv_Prich)));
        w.edHorizon->setText(QStringLiteral("1000"));
        w.btnCalcClick();
        QTRY_VERIFY_WITH_TIMEOUT(!w.busy(), 120000);
        QVERIFY(w.result().done);
        QCOMPARE(w.result().kMode, LikelihoodKMode::Free);
        QCOMPARE(w.Forecast_Grid->rowCount(), 3);
    }

    void aNewComputationSupersedesTheRunningOne() {
        UiScope scope;
        AnalysisState refused = Sample();
        refused.SKO = 0;
        TCausesWindow w;
        w.compute(Sample(), LikelihoodSettings{}, Sep());
        w.compute(refused, LikelihoodSettings{}, Sep());
        QTRY_VERIFY_WITH_TIMEOUT(!w.busy(), 120000);
        // only the second one's refusal, never the first one's table
        QCOMPARE(scope.ui.messages.size(), 1);
        QCOMPARE(w.Causes_Grid->rowCount(), 0);
        QVERIFY(!w.result().done);
    }

    // The way a user goes: model 3 on the sample, "По причинам" and "Прогноз"
    // from its bounds panel, a cause's forecast, then the report and the table.
    void bothWindowsFromTheirButtonsAfterModelThree() {
        QTemporaryDir dir;
        UiScope scope;
        AppWindows app(dir.filePath(QStringLiteral("rel.txt")));
        TForm5& r = app.Form5;
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        app.Form1.OpenFileStartClick();
        test::Child<QCheckBox>(app.Form1, "BoxPravd")->setChecked(true);
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!app.Form1.calculationRunning() && r.isVisible(), 120000);
        QVERIFY(app.state.MPravd.Executed);
        QTest::mouseClick(r.btnBounds, Qt::LeftButton);
        QVERIFY(r.boundsPanel()->isVisible());
        QCOMPARE(r.btnCauses->text(), QStringLiteral("По причинам"));
        QCOMPARE(r.btnForecast->text(), QStringLiteral("Прогноз"));
        QVERIFY(r.btnCauses->isVisible() && r.btnCauses->isEnabled() && r.btnForecast->isEnabled());

        TCausesWindow* causes = r.causesWindow();
        QTest::mouseClick(r.btnCauses, Qt::LeftButton);
        QVERIFY(causes->isVisible());
        QCOMPARE(causes->windowTitle(), QStringLiteral("Причины отказов"));
        QVERIFY(causes->busy() && causes->Busy->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!causes->busy(), 120000);
        QVERIFY(!causes->Busy->isVisible());
        QVERIFY(scope.ui.messages.isEmpty());
        const int rows = causes->Causes_Grid->rowCount();
        QCOMPARE(rows, app.state.NPrich + 1);
        QCOMPARE(causes->Causes_Grid->item(rows - 1, 0)->text(), QStringLiteral("Другие"));
        checkFigures(causes->Causes_Grid, 1);
        QVERIFY(causes->Summary->text().contains(QStringLiteral("p = ") + num(QStringLiteral("0."))));
        // each cause's line and marks; beside them the causes' sum, its marks and model 3's own curve
        QCOMPARE(causes->Causes_Chart->chart()->series().size(), 2 * rows);
        QCOMPARE(causes->Total_Chart->chart()->series().size(), 3);

        // "Прогноз по причине" of the first cause
        TForecastWindow* forecast = r.forecastWindow();
        causes->Causes_Grid->selectRow(0);
        const QString name = causes->Causes_Grid->item(0, 0)->text();
        QCOMPARE(causes->btnForecastCause->text(), QStringLiteral("Прогноз по причине"));
        QTest::mouseClick(causes->btnForecastCause, Qt::LeftButton);
        QVERIFY(forecast->isVisible() && forecast->busy());
        QCOMPARE(forecast->windowTitle(), QStringLiteral("Прогноз"));
        QTRY_VERIFY_WITH_TIMEOUT(!forecast->busy(), 120000);
        QVERIFY(forecast->Source->text().contains(QStringLiteral("«") + name + QStringLiteral("»")));
        QVERIFY(forecast->result().done);
        QVERIFY(forecast->Forecast_Grid->rowCount() >= 3);
        checkFigures(forecast->Forecast_Grid, 0);
        QVERIFY(forecast->Summary->text().contains(QStringLiteral("K подбирается")));

        // the report has both sections; the saved table brings both tables beside it
        const QString pdf = dir.filePath(QStringLiteral("отчёт.pdf"));
        scope.ui.saveAnswers.push_back(pdf);
        QTest::mouseClick(r.btnReport, Qt::LeftButton);
        QVERIFY2(scope.ui.messages.isEmpty(), qPrintable(scope.ui.messages.join('\n')));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Причины отказов: модель 3 по каждой причине")));
        QVERIFY(text.contains(QStringLiteral("Прогноз По причине «") + name));
        QVERIFY(text.contains(QStringLiteral("Проверка «у всех причин одна форма A»")));
        scope.ui.saveAnswers.push_back(dir.filePath(QStringLiteral("table.csv")));
        QTest::mouseClick(r.btnSaveTable, Qt::LeftButton);
        for (const char* file : {"table.csv", "table.causes.csv", "table.forecast.csv"})
            QVERIFY2(QFileInfo(dir.filePath(QString::fromLatin1(file))).size() > 100, file);
        QVERIFY(r.SaveStatus->toolTip().contains(QStringLiteral("table.forecast.csv")));

        // "Прогноз" of model 3 itself
        QTest::mouseClick(r.btnForecast, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!forecast->busy(), 120000);
        QCOMPARE(forecast->Source->text(), QStringLiteral("По модели 3 всего ряда"));
        QVERIFY(forecast->result().done);
        QVERIFY(forecast->Forecast_Grid->item(forecast->Forecast_Grid->rowCount() - 1, 0)
                    ->text()
                    .startsWith(QStringLiteral("Всего за гарантию")));
        checkFigures(forecast->Forecast_Grid, 0);
        QVERIFY(forecast->Forecast_Chart->chart()->series().size() == 3);
        QCOMPARE(forecast->Forecast_Chart->chart()->axes().size(), 2); // a refill leaves no old axis behind

        // a new run makes both stale: they leave, and the report no longer has them
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!app.Form1.calculationRunning() && r.isVisible(), 120000);
        QVERIFY(!causes->isVisible() && !forecast->isVisible());
        QCOMPARE(causes->Causes_Grid->rowCount(), 0);
        QVERIFY(!forecast->result().done);
    }
};

QTEST_MAIN(CausesForecastWindowTest)
#include "causes_forecast_window_test.moc"
