// "Причины отказов" and "Прогноз": the causes' table, the test line and the
// chart on the sample; the forecast's table, chart and refusals; the way from
// the bounds panel's buttons to both and from a selected cause to its forecast.
#include "tests/gui/main_window_fixture.h"

#include "core/data/data_file.h"
#include "core/fit/likelihood_fit.h"
#include "core/state/run_inputs.h"
#include "gui/windows/causes_window.h"
#include "gui/windows/forecast_window.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

} // namespace

class CausesForecastWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void causesTableChartAndTest() {
        UiScope scope;
        const AnalysisState st = Sample();
        TCausesWindow w;
        w.compute(st, LikelihoodSettings{}, Sep());
        QVERIFY(scope.ui.messages.isEmpty());
        QVERIFY(scope.ui.busyTimes > 0 && !scope.ui.busy);
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
        // a line per fitted cause, its observed marks, the causes' sum
        const auto series = w.Causes_Chart->chart()->series();
        QVERIFY(series.size() >= 2 * (rows - 1) + 1);
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
        QVERIFY(w.result().done);
        QCOMPARE(w.result().kMode, LikelihoodKMode::Free);
        QCOMPARE(w.Forecast_Grid->rowCount(), 3);
    }
};

QTEST_MAIN(CausesForecastWindowTest)
#include "causes_forecast_window_test.moc"
