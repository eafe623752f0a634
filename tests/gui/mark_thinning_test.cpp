// Thinning the value marks of a line: which of a row of boxes show.
#include "gui/charts/mark_thinning.h"

#include <QTest>

using namespace tovimo;

namespace {

// Boxes 20 px wide at the given left edges; a negative edge is a mark with no place.
QList<QRectF> row(const QList<double>& lefts) {
    QList<QRectF> out;
    for (double x : lefts)
        out << (x < 0 ? QRectF() : QRectF(x, 0, 20, 10));
    return out;
}

} // namespace

class MarkThinningTest : public QObject {
    Q_OBJECT

  private slots:
    void whichShow_data() {
        QTest::addColumn<QList<QRectF>>("boxes");
        QTest::addColumn<QList<bool>>("shown");
        QTest::newRow("none") << QList<QRectF>() << QList<bool>();
        QTest::newRow("apart: all") << row({0, 30, 60}) << QList<bool>{true, true, true};
        QTest::newRow("touching within the gap") << row({0, 21, 60}) << QList<bool>{true, false, true};
        QTest::newRow("crowded: every other")
            << row({0, 10, 20, 30, 40, 50, 60}) << QList<bool>{true, false, false, true, false, false, true};
        QTest::newRow("the last wins over its neighbour")
            << row({0, 30, 40}) << QList<bool>{true, false, true};
        QTest::newRow("no place: never shown")
            << row({0, -1, 60, -1}) << QList<bool>{true, false, true, false};
        QTest::newRow("nothing placed") << row({-1, -1}) << QList<bool>{false, false};
        // a line that climbs steeply: marks side by side but at other heights do not collide
        QTest::newRow("stacked heights")
            << QList<QRectF>{QRectF(0, 0, 20, 10), QRectF(10, 30, 20, 10), QRectF(20, 60, 20, 10)}
            << QList<bool>{true, true, true};
    }

    void whichShow() {
        QFETCH(QList<QRectF>, boxes);
        QFETCH(QList<bool>, shown);
        QCOMPARE(ThinMarks(boxes), shown);
    }

    // Column labels: every one where they fit, else every 2nd, 4th… column,
    // always the first and the last.
    void whichColumnLabelsShow_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("column");
        QTest::addColumn<double>("room");
        QTest::addColumn<QString>("shown"); // x: shown
        QTest::newRow("all fit") << 5 << 20.0 << 20.0 << "xxxxx";
        QTest::newRow("every second") << 7 << 10.0 << 15.0 << "x.x.x.x";
        QTest::newRow("every second, the last's neighbour left out") << 6 << 10.0 << 15.0 << "x.x..x";
        QTest::newRow("every fourth") << 9 << 5.0 << 16.0 << "x...x...x";
        QTest::newRow("every eighth, last kept") << 12 << 2.0 << 13.0 << "x..........x";
        QTest::newRow("one column") << 1 << 1.0 << 50.0 << "x";
        QTest::newRow("two crowded columns: both") << 2 << 1.0 << 50.0 << "xx";
        QTest::newRow("none") << 0 << 10.0 << 5.0 << "";
        QTest::newRow("no width yet: first and last") << 4 << 0.0 << 5.0 << "x..x";
    }

    void whichColumnLabelsShow() {
        QFETCH(int, count);
        QFETCH(double, column);
        QFETCH(double, room);
        QFETCH(QString, shown);
        QString got;
        for (bool b : ThinColumnLabels(count, column, room))
            got += b ? u'x' : u'.';
        QCOMPARE(got, shown);
    }
};

QTEST_MAIN(MarkThinningTest)
#include "mark_thinning_test.moc"
