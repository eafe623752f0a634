// The legend of a planned chart, drawn into the chart under the plot: a colour
// symbol 25 px wide before every text, in as many rows as the width needs
// (the toolkit's own legend keeps one row and cuts the texts short).
#pragma once

#include "core/results/chart_data.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QStringList>

class QChart;
class QGraphicsItem;

namespace tovimo {

// A 0xRRGGBB colour with a transparency in per cent.
QColor PlanColor(std::uint32_t rgb, int transparency = 0);

class ChartLegend : public QObject {
    Q_OBJECT

  public:
    // A legend that is not `visible` still knows its entries but draws nothing.
    ChartLegend(QChart* chart, bool visible);

    // Entries: the design-time series in the legend, then the cause bars.
    void fill(const ChartPlan& plan);
    bool contains(const QString& seriesName) const { return members_.contains(seriesName); }
    QStringList texts() const { return texts_; }

  private:
    void layout();

    QChart* chart_;
    bool visible_;
    QStringList members_;
    QStringList texts_;
    struct Entry {
        QGraphicsItem* symbol;
        QGraphicsItem* text;
        qreal width;
    };
    QList<Entry> entries_;
};

} // namespace tovimo
