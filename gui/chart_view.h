// The view of one spec chart inside a window, antialiased, with the mouse
// wheel zooming where the window asks for it.
#pragma once

#include "chart_render.h"

#include <QChartView>

namespace tovimo {

class ChartView : public QChartView {
    Q_OBJECT

  public:
    ChartView(SpecChart* chart, QWidget* parent = nullptr);
    SpecChart* specChart() const { return chart_; }
    void setWheelZoom(bool on) { wheelZoom_ = on; }

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    SpecChart* chart_;
    bool wheelZoom_ = false;
};

} // namespace tovimo
