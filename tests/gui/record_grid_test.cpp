// The main window's record grid as a view over the loaded series: its cells,
// header and order, edits, and what a reload or a load stopped part way
// leaves in it.
#include "tests/gui/main_window_fixture.h"

#include "core/data/data_file.h"
#include "core/stats/indicators.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace tovimo;
using namespace tovimo::test;

class RecordGridTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QDir dir() const { return QDir(tmp_.path()); }
    QString settings() const { return dir().filePath(QStringLiteral("rel.txt")); }

    struct Window {
        UiScope scope;
        AnalysisState st;
        TForm1 w;
        explicit Window(const QString& settings) : w(st, settings) {}
        QTableView* grid() const { return test::Child<QTableView>(w, "Mass_List"); }
        QAbstractItemModel* model() const { return test::Child<QTableView>(w, "Mass_List")->model(); }
        void load(const QString& file) {
            scope.ui.answers.push_back(file);
            w.OpenFileStartClick();
        }
        QStringList row(int r) const {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << cellText(grid(), r, c);
            return cells;
        }
        QStringList header() const {
            QStringList texts;
            for (int c = 0; c < 4; ++c)
                texts << model()->headerData(c, Qt::Horizontal).toString();
            return texts;
        }
    };

    // Records out of time order, with fractions, descriptions and both separators.
    QString unsortedFile() const {
        return writeDataFile(dir(), QStringLiteral("unsorted.txt"), 3,
                             {QStringLiteral("250.5\tнасос * течь"), QStringLiteral("100\tдвигатель"),
                              QStringLiteral("300,25\tдвигатель блока 2 * износ")});
    }

  private slots:
    void cleanup() { QFile::remove(settings()); }

    void blankBeforeAnyLoad() {
        Window g(settings());
        QCOMPARE(g.model()->rowCount(), 24); // 25 rows with the header
        QCOMPARE(g.model()->columnCount(), 4);
        QCOMPARE(g.header(), QStringList(4, QString()));
        QCOMPARE(g.row(0), QStringList(4, QString()));
        QCOMPARE(g.row(23), QStringList(4, QString()));
    }

    void cellsAndHeaderOfALoadedSeries() {
        Window g(settings());
        g.load(unsortedFile());
        QVERIFY(g.st.uk);
        QCOMPARE(g.header(),
                 (QStringList{QStringLiteral(" № отказа"), QStringLiteral("Наработка, ч"),
                              QStringLiteral("Источник отказа"), QStringLiteral("Описание отказа")}));
        QCOMPARE(g.model()->rowCount(), 3);
        // in time order, numbered from 1, times with the locale's separator
        QCOMPARE(g.row(0), (QStringList{"1", "100", "Двигатель", ""}));
        QCOMPARE(g.row(1), (QStringList{"2", num("250.5"), "Насос", "течь"}));
        QCOMPARE(g.row(2), (QStringList{"3", num("300.25"), "Двигатель", "износ"}));
        QCOMPARE(g.model()->index(1, 1).data(Qt::EditRole).toString(), num("250.5"));
        QCOMPARE(g.row(3), QStringList(4, QString())); // past the records: nothing
        const int widths[] = {65, 85, 200, 1010};
        for (int c = 0; c < 4; ++c)
            QVERIFY2(g.grid()->columnWidth(c) >= widths[c], qPrintable(QString::number(c)));
        QCOMPARE(g.grid()->columnWidth(3), 1010);
        // the memo names the load's time and the records read
        const QString memo =
            test::Child<QPlainTextEdit>(g.w, "Memo2")->toPlainText().split(QLatin1Char('\n')).last();
        QVERIFY2(memo.startsWith(QString::fromUtf8(kLoadDone)) &&
                     memo.endsWith(QStringLiteral("ч/мин/с, записей об отказах: 3")),
                 qPrintable(memo));
    }

    void thresholdNotesStandInTheCauseColumn() {
        Window g(settings());
        g.load(writeDataFile(dir(), QStringLiteral("forty.txt"), 40, records(40)));
        QCOMPARE(g.model()->rowCount(), 40);
        int noted = 0;
        for (size_t k = 0; k < kThresholds.size(); ++k) {
            const int rec = g.st.ThresholdRecord[k];
            if (rec < 0) continue;
            // the last threshold a record reached names it
            bool later = false;
            for (size_t j = k + 1; j < kThresholds.size(); ++j)
                later = later || g.st.ThresholdRecord[j] == rec;
            if (later) continue;
            const QString cause = rec % 2 ? QStringLiteral("Насос") : QStringLiteral("Двигатель");
            QCOMPARE(cellText(g.grid(), rec, 2), cause + QString::fromUtf8(kThresholds[k].note));
            ++noted;
        }
        QVERIFY(noted >= 2); // 10 % and 20 % of a fleet of 200 fall within forty failures
        QCOMPARE(cellText(g.grid(), 0, 2), QStringLiteral("Двигатель"));
        QCOMPARE(cellText(g.grid(), 1, 2), QStringLiteral("Насос"));
    }

    void headerClickKeepsTheTimeOrder() {
        Window g(settings());
        g.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g.w));
        g.load(unsortedFile());
        QVERIFY(!g.grid()->isSortingEnabled());
        QHeaderView* header = g.grid()->horizontalHeader();
        for (int section : {1, 2, 1}) {
            const QPoint at(header->sectionViewportPosition(section) + 5, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(cellText(g.grid(), 0, 1), QStringLiteral("100"));
            QCOMPARE(cellText(g.grid(), 2, 0), QStringLiteral("3"));
        }
        QVERIFY(!header->isSortIndicatorShown());
    }

    void scrollsToTheLastRecord() {
        Window g(settings());
        g.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g.w));
        g.load(writeDataFile(dir(), QStringLiteral("forty.txt"), 40, records(40)));
        g.grid()->scrollToBottom();
        QVERIFY(g.grid()->verticalScrollBar()->value() > 0);
        const QModelIndex last = g.grid()->indexAt(QPoint(5, g.grid()->viewport()->height() - 2));
        QCOMPARE(last.row(), 39);
        QCOMPARE(last.data().toString(), QStringLiteral("40"));
    }

    // A long series' small chart draws the points that can be told apart at
    // 1/4096 of its axes: every point left out lies that near the last drawn.
    void aLongSeriesChartDrawsThePointsThatCanBeSeen() {
        Window g(settings());
        g.load(writeDataFile(dir(), QStringLiteral("long.txt"), 5000, records(5000)));
        QLineSeries* series1 = nullptr;
        for (QAbstractSeries* s : g.w.findChild<QChartView*>(QStringLiteral("Chart2"))->chart()->series())
            if (s->objectName() == QLatin1String("Series1")) series1 = qobject_cast<QLineSeries*>(s);
        QVERIFY(series1);
        const std::vector<ChartPoint>& all = g.w.form().Chart2_Series1;
        QCOMPARE(all.size(), size_t(5000));
        const QList<QPointF> drawn = series1->points();
        QVERIFY2(drawn.size() > 50 && drawn.size() < 1000, qPrintable(QString::number(drawn.size())));
        QCOMPARE(drawn.front(), QPointF(all.front().x, all.front().y));
        QCOMPARE(drawn.back(), QPointF(all.back().x, all.back().y));
        auto* x = qobject_cast<QValueAxis*>(series1->attachedAxes().value(0));
        auto* y = qobject_cast<QValueAxis*>(series1->attachedAxes().value(1));
        QVERIFY(x && y);
        if (x->orientation() != Qt::Horizontal) std::swap(x, y);
        const double dx = (x->max() - x->min()) / 4096, dy = (y->max() - y->min()) / 4096;
        qsizetype k = 0;
        for (const ChartPoint& p : all) {
            if (k + 1 < drawn.size() && drawn[k + 1] == QPointF(p.x, p.y)) {
                ++k;
                continue;
            }
            if (drawn[k] == QPointF(p.x, p.y)) continue;
            QVERIFY(std::abs(p.x - drawn[k].x()) < dx && std::abs(p.y - drawn[k].y()) < dy);
        }
        QCOMPARE(k, drawn.size() - 1); // the drawn points in the series' order
    }

    void anEditStaysUntilAReloadReplacesTheRows() {
        Window g(settings());
        g.load(writeDataFile(dir(), QStringLiteral("forty.txt"), 40, records(40)));
        QVERIFY(g.model()->flags(g.model()->index(0, 3)) & Qt::ItemIsEditable);
        QVERIFY(g.model()->setData(g.model()->index(0, 3), QStringLiteral("заметка")));
        QCOMPARE(cellText(g.grid(), 0, 3), QStringLiteral("заметка"));
        QVERIFY(g.st.MasProbl[0].komment.empty()); // the record itself stays as read

        g.load(unsortedFile());
        QCOMPARE(g.model()->rowCount(), 3);
        QCOMPARE(g.row(0), (QStringList{"1", "100", "Двигатель", ""}));
        QCOMPARE(g.row(2), (QStringList{"3", num("300.25"), "Двигатель", "износ"}));
    }

    void aLoadStoppedInTheHeaderLeavesNoRowsOfTheOldSeries() {
        Window g(settings());
        g.load(unsortedFile());
        QCOMPARE(g.model()->rowCount(), 3);
        g.load(writeDataFile(dir(), QStringLiteral("bad.txt"), 3, records(3), QStringLiteral("три тысячи")));
        QVERIFY(!g.st.uk);
        QCOMPARE(g.scope.ui.messages.size(), 1);
        QCOMPARE(g.model()->rowCount(), int(g.st.MasProbl.size()));
        QCOMPARE(g.row(0), QStringList(4, QString()));
        // a file that is not there changes no record: the rows stay
        g.load(unsortedFile());
        g.load(dir().filePath(QStringLiteral("nowhere.txt")));
        QVERIFY(!g.st.uk);
        QCOMPARE(g.model()->rowCount(), 3);
        QCOMPARE(g.row(1), (QStringList{"2", num("250.5"), "Насос", "течь"}));
    }
};

QTEST_MAIN(RecordGridTest)
#include "record_grid_test.moc"
