// The view of one plan chart inside a window, antialiased, with the mouse
// wheel zooming where the window asks for it: in up to eight times, never out
// beyond the designed axes, and a double click restores them.
#pragma once

#include "gui/charts/chart_render.h"

#include <QChartView>

namespace tovimo {

class ChartView : public QChartView {
    Q_OBJECT

  public:
    ChartView(PlannedChart* chart, QWidget* parent = nullptr);
    PlannedChart* plannedChart() const { return chart_; }
    void setWheelZoom(bool on) { wheelZoom_ = on; }

    // How far the wheel has zoomed in: 1 at the designed axes.
    double zoomLevel() const { return zoomLevel_; }
    static constexpr double kMostZoom = 8;

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    PlannedChart* chart_;
    bool wheelZoom_ = false;
    double zoomLevel_ = 1;
};

} // namespace tovimo
