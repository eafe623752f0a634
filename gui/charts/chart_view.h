// The view of one plan chart inside a window, antialiased, with the mouse
// wheel zooming where the window asks for it.
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

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    PlannedChart* chart_;
    bool wheelZoom_ = false;
};

} // namespace tovimo
