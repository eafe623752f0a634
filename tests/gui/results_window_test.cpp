// The results window after refreshes of the sample's analysis: series and
// points, cause bars, legend membership, the table's columns, leaving it;
// the report's figures drawn from the same refresh.
#include "gui/windows/results_layout.h"
#include "gui/windows/results_window.h"

#include "tests/gui/layout_check.h"

#include "gui/charts/chart_export.h"
#include "gui/report/report_chart_object.h"
#include "gui/report/report_document.h"
#include "gui/windows/bounds_panel.h"
#include "gui/windows/lnview.h"

#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/results/results_refresh.h"
#include "core/results/results_table.h"
#include "core/state/run_inputs.h"
#include "core/stats/criteria.h"
#include "core/stats/histogram.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QFontMetrics>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <QXYSeries>

#include <algorithm>

using namespace tovimo;

namespace {

// The sample loaded and its histogram built, as a run leaves them before the fits.
AnalysisState loadedSample(MainForm& form) {
    AnalysisState st;
    form.decimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
    const bool ok = LoadDataFile(st, form, TOVIMO_SAMPLE, [](const std::string&) {});
    if (!ok) qFatal("the sample does not load");
    ReadRunEdits(st, form);
    hist_Format(st);
    return st;
}

// A simulated fleet of about `failures` failures loaded, as a run leaves it before the fits.
AnalysisState loadedFleet(MainForm& form, double failures) {
    FleetParams p;
    p.fleet = FleetSizeFor(p, failures);
    p.seed = 3;
    AnalysisState st;
    form.decimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
    if (!LoadDataText(st, form, SimulateFleet(p).text, [](const std::string&) {}))
        qFatal("the simulated fleet does not load");
    ReadRunEdits(st, form);
    hist_Format(st);
    return st;
}

// A model slot filled as a fit leaves it, for fixed parameters.
void fitted(AnalysisState& st, Mod_Weib& m, double A, double B, double K) {
    SizeModelArrays(m, st.Hist_Stol.size());
    m.A = A;
    m.B = B;
    m.K_powtor = K;
    m.Sred = st.Sred;
    m.SKO = st.SKO;
    Pirson(st, 1, A, B, K, st.Sred, st.SKO, m);
    Sigmas(st, m, st.T_Prirab);
    m.Executed = true;
}

void fitAll(AnalysisState& st) {
    fitted(st, st.MPirsN, 1.3, 9000, 1.4);
    fitted(st, st.MPirsS, 1.25, 9500, 1.35);
    fitted(st, st.MSmirn, 1.35, 8800, 1.45);
    fitted(st, st.MGenet, 1.28, 9100, 1.4);
}

// A refresh, then the window shown at `size`.
void refreshedAt(TForm5& w, QSize size) {
    w.DiaStart();
    w.showNormal();
    w.resize(size);
    QCoreApplication::processEvents();
}

int failureColumns(const AnalysisState& st) {
    int n = 0;
    for (const auto& c : st.Hist_Stol)
        n += c.Sum > 0;
    return n;
}

QStringList rowTexts(const TForm5& w, int row) {
    QStringList out;
    for (int c = 0; c < 6; ++c)
        out << w.cellText(row, c);
    return out;
}

// Everything a refresh puts into one chart, for comparing two refreshes.
QStringList snapshot(PlannedChart* chart) {
    QStringList out;
    out << QString::number(chart->series().size());
    for (QAbstractSeries* s : chart->series()) {
        out << s->objectName() + QLatin1Char(':') + QString::number(chart->pointsOf(s->objectName()).size());
        for (const QPointF& p : chart->pointsOf(s->objectName()))
            out << QString::number(p.x()) + QLatin1Char(',') + QString::number(p.y(), 'g', 17);
    }
    if (chart->causeBars())
        for (QBarSet* set : chart->causeBars()->barSets())
            out << set->label() + set->color().name(QColor::HexArgb) + QString::number(set->count());
    out << chart->categories() << chart->markTexts();
    for (QValueAxis* axis : {chart->leftAxis(), chart->rightAxis(), chart->topAxis()})
        if (axis) out << QStringLiteral("%1..%2/%3").arg(axis->min()).arg(axis->max()).arg(axis->tickCount());
    return out;
}

} // namespace

class ResultsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void seriesAndPointsStayAfterASecondRefresh() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        w.DiaStart();
        QVERIFY(w.isVisible());
        const int columns = failureColumns(st);
        QVERIFY(columns > 3);

        PlannedChart* c1 = w.Chart1->plannedChart();
        PlannedChart* c2 = w.Chart2->plannedChart();
        PlannedChart* c3 = w.Chart3->plannedChart();
        for (const char* name :
             {"Series1", "Series3", "Series2", "Series4", "Series20", "Series21", "Series6", "Series5"})
            QCOMPARE(c1->pointsOf(QLatin1String(name)).size(), columns);
        QCOMPARE(c1->pointsOf(QStringLiteral("Series17")).size(), static_cast<int>(st.Hist_Stol.size()));
        QCOMPARE(c1->markTexts().size(), static_cast<int>(st.Hist_Stol.size()));
        for (const char* name : {"Series15", "Series7", "Series8", "Series9", "Series10", "Series11",
                                 "Series12", "Series22", "Series23"})
            QCOMPARE(c2->pointsOf(QLatin1String(name)).size(), columns);
        QCOMPARE(c3->pointsOf(QStringLiteral("Series19")).size(), 2);
        QVERIFY(c3->pointsOf(QStringLiteral("Series18")).size() > 100);
        QVERIFY(!c1->seriesNamed(QStringLiteral("Series14"))); // inactive: never drawn
        QVERIFY(!c3->seriesNamed(QStringLiteral("Series13")));

        int causes = 0;
        for (size_t k = 1; k < st.Vidy_otkazov.size(); ++k)
            causes += st.Vidy_otkazov[k].Dolya > 0;
        QCOMPARE(c1->causeBars()->count(), causes);
        QCOMPARE(c2->causeBars()->count(), causes);
        QCOMPARE(c3->causeBars()->count(), 2 * causes);
        QCOMPARE(c1->causeBars()->barSets().first()->count(), columns);

        const QStringList first1 = snapshot(c1), first2 = snapshot(c2), first3 = snapshot(c3);
        const QStringList table = rowTexts(w, 5);
        w.DiaStart();
        QCOMPARE(snapshot(c1), first1);
        QCOMPARE(snapshot(c2), first2);
        QCOMPARE(snapshot(c3), first3);
        QCOMPARE(rowTexts(w, 5), table);
        QVERIFY(w.Label10->toolTip().endsWith(QStringLiteral(" шт.)"))); // the whole header
    }

    void causeColoursFollowTheCauseIndex() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        QVERIFY(st.NPrich >= 3);
        // Cause 2 loses its failures to cause 1.
        st.Vidy_otkazov[1].Dolya += st.Vidy_otkazov[2].Dolya;
        st.Vidy_otkazov[2].Dolya = 0;
        for (auto& c : st.Hist_Stol) {
            c.Npr[1] += c.Npr[2];
            c.Npr[2] = 0;
        }
        TForm5 w(st);
        w.DiaStart();
        const QList<QBarSet*> sets = w.Chart1->plannedChart()->causeBars()->barSets();
        QVERIFY(sets.size() >= 2);
        QCOMPARE(sets[0]->color().name(), QStringLiteral("#ff0000"));
        QCOMPARE(sets[1]->color().name(), QStringLiteral("#ffd700")); // cause 3 keeps its own entry
        QVERIFY(sets[0]->label().contains(QStringLiteral(" раз (")));
        QVERIFY(sets[0]->label().endsWith(QStringLiteral("% /маш.)")));
        const QList<QBarSet*> sets2 = w.Chart2->plannedChart()->causeBars()->barSets();
        QCOMPARE(sets2[1]->color().alpha(), qRound(255 * 0.49));
        const QList<QBarSet*> sets3 = w.Chart3->plannedChart()->causeBars()->barSets();
        QCOMPARE(sets3[2]->color().rgb(), sets3[3]->color().rgb());
        QVERIFY(sets3[3]->label().endsWith(QStringLiteral(" с учетом цензурирования")));
    }

    void legendMembershipPerExecutedSlot() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitted(st, st.MPirsN, 1.3, 9000, 1.4);
        fitted(st, st.MGenet, 1.28, 9100, 1.4);
        TForm5 w(st);
        w.DiaStart();
        PlannedChart* c1 = w.Chart1->plannedChart();
        const struct {
            const char* name;
            bool shown;
        } cases[] = {{"Series1", true},  {"Series3", false}, {"Series2", false},
                     {"Series4", false}, {"Series20", true}, {"Series21", true},
                     {"Series6", true},  {"Series5", true},  {"Series17", true}};
        for (const auto& c : cases) {
            QCOMPARE(c1->inLegend(QLatin1String(c.name)), c.shown);
            QCOMPARE(c1->pointsOf(QLatin1String(c.name)).isEmpty(), !c.shown);
        }
        QVERIFY(w.Chart2->plannedChart()->pointsOf(QStringLiteral("Series10")).isEmpty());
        QVERIFY(!w.Chart2->plannedChart()->pointsOf(QStringLiteral("Series23")).isEmpty());

        // The legend lists the shown curves in their order, then the causes.
        const QStringList texts = c1->legendTexts();
        const int causes = c1->causeBars()->count();
        QCOMPARE(texts.size(), 6 + causes);
        QCOMPARE(texts.mid(0, 6),
                 (QStringList{"Выбывание из гарантии", "Pirson/Newton 1.2", "Pirson/Newton 1.2 ценз.",
                              "Генетическая", "Генетическая с ценз.", "Фактич. накопление, % от парка"}));
        QCOMPARE(texts[6], c1->causeBars()->barSets().first()->label());
    }

    void tableColumnOrder_data() {
        QTest::addColumn<QList<int>>("models"); // 0 MPirsN, 1 MPirsS, 2 MSmirn, 3 MGenet
        QTest::addColumn<QStringList>("header");
        QTest::newRow("none") << QList<int>{}
                              << QStringList{
                                     "Результаты для методов:", "Данные эксплуатации", "", "", "", ""};
        QTest::newRow("Smirnov")
            << QList<int>{2}
            << QStringList{"Результаты для методов:", "Смирнова ", "Данные эксплуатации", "", "", ""};
        QTest::newRow("all four") << QList<int>{3, 2, 1, 0} << QStringList{"Результаты для методов:",
                                                                           "Пирсона/Ньютона",
                                                                           "Пирсона/спир.спуск",
                                                                           "Смирнова ",
                                                                           "Генетическая",
                                                                           "Данные эксплуатации"};
    }

    void tableColumnOrder() {
        QFETCH(QList<int>, models);
        QFETCH(QStringList, header);
        MainForm form;
        AnalysisState st = loadedSample(form);
        Mod_Weib* all[] = {&st.MPirsN, &st.MPirsS, &st.MSmirn, &st.MGenet};
        for (int s : models)
            fitted(st, *all[s], 1.3, 9000, 1.4);
        TForm5 w(st);
        w.DiaStart();
        QCOMPARE(rowTexts(w, 0), header);
        const int data = static_cast<int>(models.size()) + 1;
        QVERIFY(w.cellText(5, data).startsWith(QStringLiteral(" ") + QString::number(st.Kol_izw) + " /"));
        for (int c = data + 1; c < 6; ++c)
            for (int r = 0; r < 12; ++r)
                QVERIFY(w.cellText(r, c).isEmpty());
        QVERIFY(w.Result_Grid->columnWidth(data) > 100);
    }

    void fourModelsThenThree() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        w.DiaStart();
        QCOMPARE(w.cellText(0, 5), QStringLiteral("Данные эксплуатации"));
        QVERIFY(!w.Chart1->plannedChart()->pointsOf(QStringLiteral("Series4")).isEmpty());

        st.MSmirn.Executed = false;
        w.DiaStart();
        QCOMPARE(rowTexts(w, 0),
                 (QStringList{"Результаты для методов:", "Пирсона/Ньютона", "Пирсона/спир.спуск",
                              "Генетическая", "Данные эксплуатации", ""}));
        for (int r = 0; r < 12; ++r)
            QVERIFY(w.cellText(r, 5).isEmpty());
        QVERIFY(w.Chart1->plannedChart()->pointsOf(QStringLiteral("Series4")).isEmpty());
        QVERIFY(!w.Chart1->plannedChart()->inLegend(QStringLiteral("Series4")));
        QVERIFY(w.Chart2->plannedChart()->pointsOf(QStringLiteral("Series10")).isEmpty());
    }

    void leavingHidesAndShowsTheMainWindow_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Продолж.") << false;
        QTest::newRow("close box") << true;
    }

    void leavingHidesAndShowsTheMainWindow() {
        QFETCH(bool, closeBox);
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitted(st, st.MPirsS, 1.3, 9000, 1.4);
        QWidget main;
        TForm5 w(st);
        w.setMainWindow(&main, [&]() -> const MainForm& { return form; });
        w.DiaStart();
        QVERIFY(w.isVisible());
        if (closeBox)
            w.close();
        else
            QTest::mouseClick(w.Prodolgenie, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(w.cellText(0, 1), QStringLiteral("Пирсона/спир.спуск")); // kept for the next refresh

        fitted(st, st.MPirsN, 1.3, 9000, 1.4);
        w.DiaStart();
        QVERIFY(w.isVisible());
        QCOMPARE(w.cellText(0, 1), QStringLiteral("Пирсона/Ньютона"));
    }

    // "Границы" belongs to the results window: it leaves with it, is not
    // shown again by the next refresh, keeps a readable smallest size and
    // reopens at least at its readable size.
    void boundsPanelLeavesWithTheWindowAndReopensReadable() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        QWidget main;
        TForm5 w(st);
        w.setMainWindow(&main, [&]() -> const MainForm& { return form; });
        w.DiaStart();
        TBoundsPanel* panel = w.boundsPanel();
        QCOMPARE(panel->parentWidget(), &w);
        QTest::mouseClick(w.btnBounds, Qt::LeftButton);
        QVERIFY(panel->isVisible());
        panel->resize(169, 278);
        QVERIFY(panel->width() >= 560 && panel->height() >= 380);
        QTest::mouseClick(w.Prodolgenie, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(!panel->isVisible());
        w.DiaStart();
        QVERIFY(w.isVisible());
        QVERIFY(!panel->isVisible());
        QTest::mouseClick(w.btnBounds, Qt::LeftButton);
        QVERIFY(panel->isVisible());
        const QSize room = QGuiApplication::primaryScreen()->availableSize();
        QCOMPARE(panel->size(), QSize(900, 640).boundedTo(room));
        w.close();
        QVERIFY(!panel->isVisible());
    }

    void exportedChartsAreWhatTheWindowsShow() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        refreshedAt(w, QSize(1522, 818));
        QTemporaryDir dir;
        ExportResultCharts(st, form.decimalSeparator, dir.path().toStdString());
        const struct {
            ChartView* view;
            const char* file;
        } charts[] = {{w.Chart1, "chart1.png"}, {w.Chart2, "chart2.png"}, {w.Chart3, "chart3.png"}};
        // the window shares its width among the charts and fits the column labels to
        // it; drawn at the export's size with the export's labels they are the same
        for (const auto& c : charts)
            c.view->plannedChart()->setFitColumnLabels(false);
        w.DiaStart();
        QCoreApplication::processEvents(); // the window's own layout first
        for (const auto& c : charts)
            c.view->resize(QImage(dir.filePath(QLatin1String(c.file))).size());
        QCoreApplication::processEvents();
        for (const auto& c : charts) {
            const QImage shown = c.view->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QImage exported =
                QImage(dir.filePath(QLatin1String(c.file))).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(exported.size(), shown.size());
            QVERIFY2(exported == shown, c.file);
        }

        // the log-log window shows the exported panel under its buttons
        QPointer<TLNview> ln = OpenLnView(nullptr, st, form.decimalSeparator);
        QCoreApplication::processEvents();
        const QImage shown = ln->Panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage exported =
            QImage(dir.filePath(QStringLiteral("lnview.png"))).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(exported.size(), QSize(838, 546));
        QCOMPARE(shown.size(), exported.size());
        QVERIFY(exported == shown);
        ln->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Model 1.1 fitted to an earlier, shorter series stays on display: the
    // window shows the totals the command line prints, not "NAN".
    void staleModelSlotShowsTheCommandLineTotals() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitted(st, st.MPirsN, 1.3, 9000, 1.4);
        fitted(st, st.MPirsS, 1.25, 9500, 1.35);
        const size_t earlier = st.Hist_Stol.size() / 2;
        for (std::vector<double>* v : {&st.MPirsS.F_Weib, &st.MPirsS.F_norm, &st.MPirsS.Kol_F_priv})
            v->resize(earlier);

        AnalysisState cli = st;
        RefreshResultFigures(cli);
        const ResultTable table = FillResultTable(
            cli, form.decimalSeparator, [](const std::string&) { return 0; }, false);

        QWidget main;
        TForm5 w(st);
        w.setMainWindow(&main, [&]() -> const MainForm& { return form; });
        w.DiaStart();
        for (int row = 1; row < kResultRows; ++row)
            QCOMPARE(w.cellText(row, 2).trimmed(), QString::fromStdString(table.cells[row][2]).trimmed());
        QVERIFY(!w.cellText(5, 2).contains(QStringLiteral("NAN")));
    }

    void createdAtTheScreenSize() {
        AnalysisState st;
        TForm5 w(st);
        QCOMPARE(w.geometry(), QGuiApplication::primaryScreen()->geometry());
        QCOMPARE(w.windowTitle(), QStringLiteral("Количественный анализ закона распределения отказов. Анализ "
                                                 "надежности в эксплуатации."));
        QCOMPARE(w.Button1->text(), QStringLiteral("Печать"));
        QCOMPARE(w.Prodolgenie->text(), QStringLiteral("Продолж."));
        QVERIFY(!w.isVisible());
    }

    // At the design size and larger every column of the table, the whole
    // header and both buttons show, with nothing on top of anything else;
    // down to the smallest size nothing overlaps, and the charts follow.
    // The window goes no smaller than its minimum, where the whole table,
    // header and buttons still show with every control whole and apart.
    void layoutShowsEveryPartAtEverySize_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("models");
        QTest::newRow("design") << QSize(1522, 818) << 4;
        QTest::newRow("larger") << QSize(1900, 1000) << 4;
        QTest::newRow("asked 640x420") << QSize(640, 420) << 4;
        QTest::newRow("smallest, four models") << QSize(1, 1) << 4;
        QTest::newRow("smallest, five models") << QSize(1, 1) << 5;
        QTest::newRow("design, five models") << QSize(1522, 818) << 5;
        QTest::newRow("narrow and tall") << QSize(1100, 1000) << 5;
    }

    void layoutShowsEveryPartAtEverySize() {
        QFETCH(QSize, size);
        QFETCH(int, models);
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        if (models == 5) fitted(st, st.MPravd, 1.32, 9200, 1.0);
        TForm5 w(st);
        refreshedAt(w, size);
        QVERIFY(w.width() >= size.width() || w.width() == w.minimumWidth());
        QVERIFY(w.minimumWidth() >= kResultsMinimumSize.width());
        // never larger than the screen, whatever its size
        QVERIFY(w.minimumWidth() <= QGuiApplication::primaryScreen()->availableGeometry().width());
        const QRect client = w.rect();
        const QList<QWidget*> parts{w.Label10, w.Result_Grid, w.Chart1,     w.Chart2,
                                    w.Chart3,  w.Button1,     w.Prodolgenie};
        for (QWidget* p : parts) {
            QVERIFY2(client.contains(p->geometry()), qPrintable(p->objectName()));
            QVERIFY2(p->width() > 0 && p->height() > 0, qPrintable(p->objectName()));
            for (QWidget* q : parts)
                if (p != q)
                    QVERIFY2(!p->geometry().intersects(q->geometry()),
                             qPrintable(p->objectName() + " / " + q->objectName()));
        }
        // the charts take what the table leaves, down to the bottom edge
        QCOMPARE(w.Chart1->geometry().bottom(), client.bottom());
        QCOMPARE(std::max(w.Chart2->geometry().bottom(), w.Chart3->geometry().bottom()), client.bottom());
        QVERIFY(std::max({w.Chart1->geometry().right(), w.Chart2->geometry().right(),
                          w.Chart3->geometry().right()}) >= client.right() - 8);
        QVERIFY(w.Chart1->width() >= 300 && w.Chart2->width() >= 180 && w.Chart3->width() >= 180);
        QVERIFY(w.Label10->toolTip().startsWith(QString::fromStdString(st.Comment)));
        QVERIFY(w.Label10->toolTip().endsWith(QStringLiteral(" шт.)")));
        const QStringList faults = tovimo::test::layoutFaults(&w);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        int columns = 0;
        for (int c = 0; c < w.Result_Grid->columnCount(); ++c)
            columns += w.Result_Grid->columnWidth(c);
        QVERIFY2(columns <= w.Result_Grid->viewport()->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(w.Result_Grid->viewport()->width())));
        QVERIFY(w.Result_Grid->horizontalScrollBar()->maximum() == 0);
        QCOMPARE(w.Label10->text(), w.Label10->toolTip());
    }

    // One record: figures without a value or far too large show as dashes,
    // and no column grows past what a figure needs.
    void oneRecordShowsDashesNotGarbage() {
        MainForm form;
        form.decimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
        AnalysisState st;
        const std::string text = "Один отказ\n3000\n700\n200\n1\n1\nНасос\n500\tнасос\n";
        QVERIFY(LoadDataText(st, form, text, [](const std::string&) {}));
        ReadRunEdits(st, form);
        hist_Format(st);
        fitted(st, st.MPirsN, 1.3, 9000, 1.4);
        st.MPirsN.LamStart = 0;    // no flow at the start: an infinite MTBF
        st.MPirsN.Lam1000 = 1e-22; // a 25-digit MTBF
        TForm5 w(st);
        refreshedAt(w, QSize(1522, 818));
        bool dash = false;
        for (int r = 0; r < 12; ++r)
            for (int c = 1; c < w.Result_Grid->columnCount(); ++c) {
                const QString cell = w.cellText(r, c);
                QVERIFY2(!cell.contains(QStringLiteral("INF"), Qt::CaseInsensitive), qPrintable(cell));
                QVERIFY2(!cell.contains(QStringLiteral("NAN"), Qt::CaseInsensitive), qPrintable(cell));
                dash |= cell.contains(QChar(0x2014));
            }
        QVERIFY(dash);
        for (int c = 1; c < w.Result_Grid->columnCount(); ++c)
            QVERIFY2(w.Result_Grid->columnWidth(c) <= 260, qPrintable(QString::number(c)));
    }

    // The column labels of every chart stay readable (8 pt at least): where
    // they do not all fit only every second, fourth… shows, the first and
    // the last always, and no two overlap; every column's label and value
    // stay in its bars' tooltip. Every side axis shows its whole title.
    void columnLabelsReadableWithoutOverlap_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design") << QSize(1522, 818);
        QTest::newRow("full screen") << QSize(1600, 1000);
        QTest::newRow("large") << QSize(1920, 1080);
        QTest::newRow("smallest") << QSize(1, 1);
    }

    void columnLabelsReadableWithoutOverlap() {
        QFETCH(QSize, size);
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        refreshedAt(w, size);
        for (ChartView* view : {w.Chart1, w.Chart2, w.Chart3}) {
            PlannedChart* chart = view->plannedChart();
            const QString name = chart->objectName();
            const QStringList categories = chart->categories();
            const QList<bool> expected = chart->shownColumnLabels();
            QVERIFY(categories.size() > 10);
            QCOMPARE(expected.size(), categories.size());
            QVERIFY(expected.first() && expected.last());
            QList<QRectF> boxes;
            QStringList shown;
            const QRectF inside = chart->rect();
            for (QGraphicsSimpleTextItem* text : chart->columnLabelItems()) {
                if (!text->isVisible()) continue;
                shown << text->text();
                boxes << text->mapRectToParent(text->boundingRect());
                QVERIFY2(inside.contains(boxes.last()), qPrintable(name + ": " + text->text()));
                QVERIFY2(boxes.last().top() >= chart->plotArea().bottom(),
                         qPrintable(name + ": " + text->text()));
                QVERIFY2(text->font().pixelSize() * 72.0 / 96 >= 8, qPrintable(name + ": " + text->text()));
            }
            QStringList wanted; // the labels of the columns meant to show, in order
            for (int i = 0; i < categories.size(); ++i)
                if (expected[i]) wanted << QString(categories[i]).remove(QChar(0x200B));
            QCOMPARE(shown, wanted);
            for (int i = 0; i < boxes.size(); ++i)
                for (int j = i + 1; j < boxes.size(); ++j)
                    QVERIFY2(!boxes[i].adjusted(1, 1, -1, -1).intersects(boxes[j].adjusted(1, 1, -1, -1)),
                             qPrintable(name + ": " + shown[i] + " / " + shown[j]));
            // hovering a bar names its column, shown on the axis or not, with its value
            QBarSet* set = chart->causeBars()->barSets().first();
            for (int c = 0; c < categories.size(); ++c) {
                QString label = categories[c];
                label.remove(QChar(0x200B));
                QCOMPARE(chart->barTip(c, set), label + QStringLiteral(": ") + set->label() +
                                                    QLatin1Char(' ') +
                                                    QLocale().toString(set->at(c), 'g', 6));
            }
            // the side axes' titles whole too, in a smaller font where the chart is short
            QStringList texts;
            for (QGraphicsItem* item : view->scene()->items())
                if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
                    texts << text->toPlainText();
            for (QValueAxis* axis : {chart->leftAxis(), chart->rightAxis()})
                if (axis && !axis->titleText().isEmpty())
                    QVERIFY2(texts.contains(axis->titleText()),
                             qPrintable(view->objectName() + ": " + axis->titleText()));
        }
    }

    // The report's figures: column labels as readable on paper as on the
    // screen, and the log-log figure with the values on its axes.
    void reportFiguresReadableOnPaper() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);

        QTextDocument doc;
        ReportChartObjects charts;
        const QSizeF page(691, 1000); // A4's text width at 96 dpi
        const ReportFigures figures = ComputeReportFigures(st, form);
        BuildReportDocument(doc, charts, figures, ReportSource{}, QStringLiteral("—"), page);
        QCOMPARE(charts.count(), size_t{4});
        for (size_t i = 0; i < 3; ++i) {
            PlannedChart* chart = charts.chart(i);
            auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).first());
            QVERIFY(axis);
            const double scale = charts.shownSize(i).width() / chart->size().width();
            QVERIFY(scale < 1);
            // at the page's 96 dpi, 8 pt is 10.67 px
            QVERIFY2(axis->labelsFont().pixelSize() * scale * 72 / 96 >= 8, qPrintable(QString::number(i)));
            QVERIFY(chart->shownColumnLabels().first() && chart->shownColumnLabels().last());
        }
        // a unit stays with its number, and the genetic settings name theirs
        const QString text = doc.toRawText(); // plain text would turn the no-break spaces into blanks
        QVERIFY(text.contains(QChar(0x00A0) + QStringLiteral("ч.")));
        int units = 0;
        for (const auto& row : figures.table.cells)
            for (const std::string& cell : row) {
                const QString shown = QString::fromStdString(cell).trimmed();
                if (!shown.contains(QStringLiteral(" ч"))) continue;
                ++units;
                // any blank may be a no-break one (a column kept on one line), the one before "ч" must be
                QString pattern = QRegularExpression::escape(shown);
                pattern.replace(QStringLiteral("\\ ч"), QStringLiteral("\\x{00A0}ч"))
                    .replace(QStringLiteral("\\ "), QStringLiteral("[ \\x{00A0}]"));
                QVERIFY2(text.contains(QRegularExpression(pattern)), qPrintable(shown));
            }
        QVERIFY(units > 4);
        QVERIFY(text.contains(QStringLiteral("вероятность скрещивания 55 %; вероятность мутаций 15 %")));
        // figure 4: the log-log window's dashed axes, here with their values
        PlannedChart* logLog = charts.chart(3);
        for (QValueAxis* axis : {logLog->leftAxis(), logLog->bottomAxis()}) {
            QVERIFY(axis);
            QVERIFY(axis->labelsVisible());
            QVERIFY(axis->labelsBrush().color().alpha() > 0);
            QCOMPARE(axis->linePen().style(), Qt::DashLine);
        }
    }
    // When the window first shows, the charts refit their axis titles to their
    // height: what is on the screen then is what a full repaint draws (a
    // partial repaint left Chart2's old right-axis title beside the new one).
    void firstPaintHasEachAxisTitleOnce() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        w.resize(1245, 700);
        w.DiaStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (ChartView* view : {w.Chart1, w.Chart2, w.Chart3}) {
            QCOMPARE(view->viewportUpdateMode(), QGraphicsView::FullViewportUpdate);
            QValueAxis* right = view->plannedChart()->rightAxis();
            if (!right || right->titleText().isEmpty()) continue;
            int titles = 0;
            for (QGraphicsItem* item : view->scene()->items())
                if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
                    text && text->isVisible() && text->toPlainText() == right->titleText())
                    ++titles;
            QCOMPARE(titles, 1);
        }
    }

    // The value marks of the observed accumulation never run into each other,
    // on the sample and on a 3,000-failure fleet, at the design size and the
    // smallest: the last value always shows, and every value, shown or not,
    // is in the line's tooltip.
    void accumulationMarksNeverOverlap_data() {
        QTest::addColumn<double>("failures"); // 0: the sample
        QTest::addColumn<QSize>("size");
        QTest::newRow("sample, design") << 0.0 << QSize(1522, 818);
        QTest::newRow("sample, smallest") << 0.0 << QSize(1, 1);
        QTest::newRow("3000 failures, design") << 3000.0 << QSize(1522, 818);
        QTest::newRow("3000 failures, smallest") << 3000.0 << QSize(1, 1);
        QTest::newRow("3000 failures, large") << 3000.0 << QSize(1900, 1000);
    }

    void accumulationMarksNeverOverlap() {
        QFETCH(double, failures);
        QFETCH(QSize, size);
        MainForm form;
        AnalysisState st = failures > 0 ? loadedFleet(form, failures) : loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        refreshedAt(w, size);
        PlannedChart* chart = w.Chart1->plannedChart();
        const QList<QGraphicsSimpleTextItem*> marks = chart->markItems();
        const QList<QPointF> points = chart->pointsOf(QStringLiteral("Series17"));
        QCOMPARE(marks.size(), points.size());
        QVERIFY(marks.size() > 20);
        QList<QRectF> shown;
        for (QGraphicsSimpleTextItem* m : marks)
            if (m->isVisible()) shown << m->mapRectToParent(m->boundingRect());
        QVERIFY(marks.last()->isVisible());
        QVERIFY(shown.size() >= 3);
        for (int i = 0; i < shown.size(); ++i)
            for (int j = i + 1; j < shown.size(); ++j)
                QVERIFY2(!shown[i].intersects(shown[j]),
                         qPrintable(QStringLiteral("marks %1 and %2").arg(i).arg(j)));

        auto* line = qobject_cast<QXYSeries*>(chart->seriesNamed(QStringLiteral("Series17")));
        QVERIFY(line);
        const QStringList labels = chart->categories();
        for (int i = 0; i < points.size(); ++i) {
            QString label = labels[i];
            label.remove(QChar(0x200B));
            QCOMPARE(chart->markTip(line, points[i].x() + 0.2),
                     label + QStringLiteral(": ") + marks[i]->text());
        }
        // hovering the line at a point whose mark is left out shows its value
        const auto hidden = std::find_if(marks.begin(), marks.end(), [](auto* m) { return !m->isVisible(); });
        QVERIFY(hidden != marks.end());
        const QPointF at = points[static_cast<int>(hidden - marks.begin())];
        emit line->hovered(at, true);
        QVERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().endsWith(QStringLiteral(": ") + (*hidden)->text()));
        QToolTip::hideText();
    }

    // The wheel zooms Chart2 in at most eight times and never out beyond the
    // designed axes; a double click brings those back.
    void wheelZoomIsBoundedAndDoubleClickRestores() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        refreshedAt(w, QSize(1522, 818));
        QValueAxis* left = w.Chart2->plannedChart()->leftAxis();
        const double span = left->max() - left->min();
        const QPair<double, double> design{left->min(), left->max()};
        auto wheel = [&](int steps, int delta) {
            const QPoint at = w.Chart2->viewport()->rect().center();
            for (int i = 0; i < steps; ++i) {
                QWheelEvent e(at, w.Chart2->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(w.Chart2->viewport(), &e);
            }
        };
        wheel(3, -120); // out first: nothing to zoom out of
        QCOMPARE(left->min(), design.first);
        QCOMPARE(left->max(), design.second);
        wheel(40, 120);
        QVERIFY(left->max() - left->min() >= span / ChartView::kMostZoom * 0.99);
        QVERIFY(left->max() - left->min() < span / 2);
        wheel(80, -120);
        QVERIFY(std::abs((left->max() - left->min()) - span) < span * 1e-9);
        wheel(5, 120);
        QVERIFY(left->max() - left->min() < span);
        QTest::mouseDClick(w.Chart2->viewport(), Qt::LeftButton);
        QCOMPARE(left->min(), design.first);
        QCOMPARE(left->max(), design.second);
        QCOMPARE(w.Chart2->zoomLevel(), 1.0);
    }

    void longHeaderIsElidedBeforeTheButtons() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        st.Comment =
            std::string(40, 'W') + " длинный комментарий файла данных, который не умещается в строке окна";
        TForm5 w(st);
        refreshedAt(w, QSize(1522, 818));
        QVERIFY(w.Label10->toolTip().startsWith(QString::fromStdString(st.Comment)));
        QVERIFY(w.Label10->text() != w.Label10->toolTip());
        QVERIFY(w.Label10->text().endsWith(QChar(0x2026)));
        QVERIFY(w.Label10->geometry().right() < w.Button1->geometry().left());
        QVERIFY(QFontMetrics(w.Label10->font()).horizontalAdvance(w.Label10->text()) <= w.Label10->width());
    }

    // Five or more model columns: the table still shows whole at the design
    // size, the charts move rather than cover it.
    void layoutForFiveModelColumns() {
        MainForm form;
        AnalysisState st = loadedSample(form);
        fitAll(st);
        TForm5 w(st);
        w.DiaStart();
        QSize grid(0, 240);
        for (int c = 0; c < w.Result_Grid->columnCount(); ++c)
            grid.rwidth() += w.Result_Grid->columnWidth(c);
        const int modelColumn = w.Result_Grid->columnWidth(1);
        for (int models : {5, 6}) {
            const QSize wide = grid + QSize((models - 4) * modelColumn, 0);
            for (QSize client : {QSize(1522, 818), QSize(1920, 1080)}) {
                const ResultsLayout l = LayOutResults(client, wide, 700);
                QVERIFY(!l.gridScrolls);
                QCOMPARE(l.grid.width(), wide.width());
                const QRect all(QPoint(0, 0), client);
                const QRect parts[] = {l.title, l.grid, l.chart1, l.chart2, l.chart3, l.print, l.leave};
                for (const QRect& p : parts) {
                    QVERIFY(all.contains(p));
                    for (const QRect& q : parts)
                        if (&p != &q) QVERIFY(!p.intersects(q));
                }
            }
        }
    }
};

QTEST_MAIN(ResultsWindowTest)
#include "results_window_test.moc"
