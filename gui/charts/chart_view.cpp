#include "gui/charts/chart_view.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

namespace tovimo {

ChartView::ChartView(PlannedChart* chart, QWidget* parent) : QChartView(chart, parent), chart_(chart) {
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    // The chart refits its titles' and labels' fonts as it is laid out; a
    // partial repaint left the old axis title standing beside the new one
    // until the next full paint.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setObjectName(chart->objectName());
}

void ChartView::wheelEvent(QWheelEvent* event) {
    if (!wheelZoom_) {
        QChartView::wheelEvent(event);
        return;
    }
    event->accept();
    const double step = event->angleDelta().y() > 0 ? 1.25 : 0.8;
    // a refresh puts the axes back to their design: start counting from there
    if (!chart_->isZoomed()) zoomLevel_ = 1;
    const double next = std::clamp(zoomLevel_ * step, 1.0, kMostZoom);
    if (next == zoomLevel_) return;
    if (next == 1.0) {
        chart_->zoomReset();
    } else {
        chart_->zoom(next / zoomLevel_);
    }
    zoomLevel_ = next;
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!wheelZoom_) {
        QChartView::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    chart_->zoomReset();
    zoomLevel_ = 1;
}

} // namespace tovimo
