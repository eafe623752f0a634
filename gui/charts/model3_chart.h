// The charts of model 3's own windows ("Причины отказов", "Прогноз"): the
// view, and the axes of operating time along and a count up.
#pragma once

#include <QChart>
#include <QChartView>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tovimo {

// A chart view named `name` with its title, the axes' numbers under the
// locale's decimal separator, the legend where `legend` says.
inline QChartView* Model3ChartView(QWidget* parent, const QString& name, const QString& title,
                                   Qt::Alignment legend) {
    auto* chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setTitle(title);
    chart->legend()->setAlignment(legend);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

// The chart emptied of its series, with its two axes: made on the first call
// and kept after, for a chart that drops its axes and takes new ones leaves
// the old ones' labels on the screen (Qt 6.4).
inline std::pair<QValueAxis*, QValueAxis*> EmptiedHoursChart(QChart* chart, const QString& countTitle) {
    chart->removeAllSeries();
    const auto along = chart->axes(Qt::Horizontal), up = chart->axes(Qt::Vertical);
    if (!along.isEmpty() && !up.isEmpty())
        return {qobject_cast<QValueAxis*>(along.front()), qobject_cast<QValueAxis*>(up.front())};
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Наработка, ч"));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = new QValueAxis;
    y->setTitleText(countTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    return {x, y};
}

// From 0 to the next whole thousand (two thousand on a long axis) past the
// data's end, a tick at each.
inline void SetHoursRange(QValueAxis* axis, double end) {
    const double step = end > 6000 ? 2000 : 1000;
    const int ticks = std::max(1, static_cast<int>(std::ceil(end / step - 1e-9)));
    axis->setRange(0, ticks * step);
    axis->setTickCount(ticks + 1);
}

} // namespace tovimo
