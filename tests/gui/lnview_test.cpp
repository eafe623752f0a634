// The log-log window: opened by "Expand", left by "Продолж." or its close box.
#include "gui/windows/lnview.h"

#include "tests/gui/layout_check.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace tovimo;

namespace {

AnalysisState series(std::initializer_list<double> times) {
    AnalysisState st;
    for (double t : times)
        st.MasProbl.push_back({t, 1, "", ""});
    st.Comment = "Насосы НС-2";
    st.A_ln = 1.2;
    st.B_ln = -3.25;
    return st;
}

char separator() {
    return QLocale().decimalPoint().at(0).toLatin1();
}

// Where the chart's title is drawn, in the window's coordinates.
QRect chartTitleRect(const TLNview& w) {
    ChartView* view = w.Panel->Chart1;
    for (QGraphicsItem* item : view->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item);
            text && text->isVisible() && text->toPlainText() == view->chart()->title()) {
            const QRect inView = view->mapFromScene(text->sceneBoundingRect()).boundingRect();
            return inView.translated(view->mapTo(&w, QPoint(0, 0)));
        }
    return {};
}

void releasePending() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class LnViewTest : public QObject {
    Q_OBJECT

  private slots:
    void expandContinueExpand_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Продолж.") << false;
        QTest::newRow("close box") << true;
    }

    void expandContinueExpand() {
        QFETCH(bool, closeBox);
        const AnalysisState st = series({0, 120, 340, 700, 1500});
        QWidget main;
        main.show();
        QPointer<TLNview> first = OpenLnView(&main, st, separator());
        QVERIFY(first);
        QCOMPARE(LNview.data(), first.data());
        QVERIFY(!main.isVisible());
        QVERIFY(first->isVisible());
        const QList<QPointF> points =
            first->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series1"));
        const QList<QPointF> line = first->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series2"));

        if (closeBox)
            first->close();
        else
            QTest::mouseClick(first->Prodolgenie, Qt::LeftButton);
        releasePending();
        QVERIFY(!first); // released
        QVERIFY(main.isVisible());

        QPointer<TLNview> second = OpenLnView(&main, st, separator());
        QVERIFY(second && second->isVisible());
        QVERIFY(!main.isVisible());
        QCOMPARE(second->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series1")), points);
        QCOMPARE(second->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series2")), line);
        second->close();
        releasePending();
    }

    void pointsLineAndTexts() {
        const AnalysisState st = series({0, 120, 340, 700, 1500});
        QWidget main;
        QPointer<TLNview> w = OpenLnView(&main, st, separator());
        const QList<QPointF> points = w->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series1"));
        QCOMPARE(points.size(), 4); // the failure at 0 h gives no point but keeps its rank
        QCOMPARE(points.first(), QPointF(std::log(120.00001), std::log(2.0)));
        const QList<QPointF> line = w->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series2"));
        QCOMPARE(line.size(), 2);
        QCOMPARE(line[1].x(), std::log(700.00001)); // ends at the next-to-last failure
        QCOMPARE(line[1].y(), 1.2 * std::log(700.00001) - 3.25);
        const QString sep = QLocale().decimalPoint();
        QCOMPARE(w->Panel->Label1->text(), QStringLiteral("A= 1") + sep + QStringLiteral("2000"));
        QCOMPARE(w->Panel->Label2->text(), QStringLiteral("B= -3") + sep + QStringLiteral("2500"));
        QCOMPARE(w->Panel->Label3->text(), QStringLiteral("Насосы НС-2"));
        QCOMPARE(w->Panel->Label1->pos(), QPoint(579, 382));
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Анализ закона распределения отказов. Анализ надежности в эксплуатации."));
        QCOMPARE(w->Panel->Chart1->chart()->title(),
                 QStringLiteral("Накопленние отказов по времени наблюдения"));
        w->close();
        releasePending();
    }

    // At any size from the smallest up the chart fills the window, the title
    // clears the buttons, the texts on the chart stay whole inside it, the
    // vertical axis starts at 0 (the fitted line starts below it here) and
    // the "Log t" title stands at the start of its axis.
    void chartFollowsTheWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design") << QSize(838, 546);
        QTest::newRow("large") << QSize(1500, 950);
        QTest::newRow("smallest") << kLnViewMinimumSize;
        QTest::newRow("below the smallest") << kLnViewMinimumSize - QSize(200, 150);
    }

    void chartFollowsTheWindow() {
        QFETCH(QSize, size);
        AnalysisState st = series({0, 120, 340, 700, 1500, 2600});
        st.Comment = "Насосная станция НС-2, гарантийный период 2023 г.";
        st.A_ln = 1.2;
        st.B_ln = -6.5; // below 0 at the first failure
        QWidget main;
        QPointer<TLNview> w = OpenLnView(&main, st, separator());
        w->resize(size);
        QCoreApplication::processEvents();
        const QSize shown = size.expandedTo(kLnViewMinimumSize);
        QCOMPARE(w->size(), shown);
        QCOMPARE(w->Panel->Chart1->geometry(), w->rect().adjusted(3, 3, -3, -3));

        const QStringList faults = tovimo::test::layoutFaults(
            w, {{w->Button2, w->Panel->Chart1}, {w->Prodolgenie, w->Panel->Chart1}});
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        const QRect title = chartTitleRect(*w);
        QVERIFY(!title.isEmpty());
        for (QWidget* b : {static_cast<QWidget*>(w->Button2), static_cast<QWidget*>(w->Prodolgenie)})
            QVERIFY2(!title.intersects(b->geometry()), qPrintable(b->objectName()));
        QVERIFY(w->Prodolgenie->geometry().right() < w->width() - 3);
        const QRect comment(w->Panel->Label3->mapTo(w.data(), QPoint(0, 0)), w->Panel->Label3->size());
        QVERIFY(!comment.intersects(title));

        PlannedChart* chart = w->Panel->Chart1->plannedChart();
        QCOMPARE(chart->leftAxis()->min(), 0.0);
        QVERIFY(chart->leftAxis()->max() >= std::log(6.0));
        const QRectF plot = chart->plotArea();
        const QRectF axisTitle =
            w->Panel->bottomTitle()->mapRectToParent(w->Panel->bottomTitle()->boundingRect());
        QCOMPARE(w->Panel->bottomTitle()->text(), QStringLiteral("Log t (часов)"));
        QVERIFY(w->Panel->bottomTitle()->isVisible());
        QVERIFY(std::abs(axisTitle.left() - plot.left()) < 1);
        QVERIFY(axisTitle.top() > plot.bottom());
        QVERIFY(axisTitle.bottom() <= chart->size().height());
        w->close();
        releasePending();
    }

    void noPositiveTimeShowsLabelsWithoutALine() {
        const AnalysisState st = series({0, 0});
        QWidget main;
        QPointer<TLNview> w = OpenLnView(&main, st, separator());
        QVERIFY(w->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series1")).isEmpty());
        QVERIFY(w->Panel->Chart1->plannedChart()->pointsOf(QStringLiteral("Series2")).isEmpty());
        QVERIFY(w->Panel->Label1->text().startsWith(QStringLiteral("A= ")));
        w->close();
        releasePending();
    }
};

QTEST_MAIN(LnViewTest)
#include "lnview_test.moc"
