#include "gui/charts/chart_view.h"

#include <QWheelEvent>

namespace tovimo {

ChartView::ChartView(PlannedChart* chart, QWidget* parent) : QChartView(chart, parent), chart_(chart) {
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    setObjectName(chart->objectName());
}

void ChartView::wheelEvent(QWheelEvent* event) {
    if (!wheelZoom_) {
        QChartView::wheelEvent(event);
        return;
    }
    chart_->zoom(event->angleDelta().y() > 0 ? 1.25 : 0.8);
    event->accept();
}

} // namespace tovimo
