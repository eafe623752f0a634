#include "gui/report/report_chart_object.h"

#include "gui/charts/chart_view.h"

#include <QAreaSeries>
#include <QCoreApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QXYSeries>

#include <QGraphicsScene>
#include <QPainter>
#include <QTextCursor>
#include <QTextFormat>
#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

enum Property { kChartIndex = QTextFormat::UserProperty + 1, kShownSize };

// A series without points that the legend does not name (a model that was not
// run) is left out: drawn, it writes an empty path that PDF readers report as
// a syntax error.
void hideEmptySeries(QChart* chart) {
    for (QAbstractSeries* s : chart->series()) {
        const auto* area = qobject_cast<QAreaSeries*>(s);
        const QXYSeries* xy = area ? area->upperSeries() : qobject_cast<QXYSeries*>(s);
        if (!xy || xy->count() > 0) continue;
        const QList<QLegendMarker*> markers = chart->legend()->markers(s);
        if (std::any_of(markers.begin(), markers.end(), [](QLegendMarker* m) { return m->isVisible(); }))
            continue;
        s->setVisible(false);
    }
}

} // namespace

ReportChartObjects::ReportChartObjects() = default;
ReportChartObjects::~ReportChartObjects() = default;

void ReportChartObjects::insert(QTextCursor& cursor, const ChartPlan& design, const ChartPlan& plan,
                                QSizeF drawSize, QSizeF shownSize) {
    auto* chart = new PlannedChart(design);
    chart->fill(plan);
    chart->setTitle(QString()); // the report writes the title as the figure's caption
    hideEmptySeries(chart);
    // drawn scaled down on the page: the column labels larger in proportion,
    // so that on paper they are as readable as on the screen
    if (shownSize.width() > 0 && shownSize.width() < drawSize.width())
        chart->setColumnLabelPixels(
            static_cast<int>(std::ceil(kColumnLabelPx * drawSize.width() / shownSize.width())));
    auto view = std::make_unique<ChartView>(chart);
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->resize(drawSize.toSize());
    view->show();
    QCoreApplication::processEvents(); // lays the chart out at its size
    views_.push_back(std::move(view));
    shown_.push_back(shownSize);

    QTextCharFormat f;
    f.setObjectType(kObjectType);
    f.setProperty(kChartIndex, static_cast<int>(views_.size() - 1));
    f.setProperty(kShownSize, shownSize);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), f);
}

PlannedChart* ReportChartObjects::chart(size_t i) const {
    return views_[i]->plannedChart();
}

QSizeF ReportChartObjects::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
    return format.property(kShownSize).toSizeF();
}

void ReportChartObjects::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                    const QTextFormat& format) {
    const int i = format.property(kChartIndex).toInt();
    if (i < 0 || static_cast<size_t>(i) >= views_.size()) return;
    // the layout also draws a block whose margin reaches into the page above
    if (!page_.isNull() && !page_.contains(rect.center())) return;
    ChartView* view = views_[static_cast<size_t>(i)].get();
    painter->save();
    view->scene()->render(painter, rect, view->sceneRect(), Qt::KeepAspectRatio);
    painter->restore();
}

} // namespace tovimo
