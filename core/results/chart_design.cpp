// The charts as they stand when their windows are created: every
// design-time series with its look, in its order, and no points.
#include "core/results/chart_data.h"

namespace tovimo {

namespace {

constexpr std::uint32_t kPravdColor = 0xFF8C00; // the likelihood model's curves and band

SeriesPlan makeSeries(const char* name, SeriesKind kind, SeriesAxis axis, std::uint32_t color, int width,
                      int transparency, const char* legend) {
    SeriesPlan s;
    s.name = name;
    s.kind = kind;
    s.axis = axis;
    s.color = color;
    s.pointColor = color;
    s.width = width;
    s.transparency = transparency;
    s.legend = legend;
    return s;
}

SeriesPlan inactive(const char* name, SeriesKind kind, int transparency, const char* legend) {
    SeriesPlan s = makeSeries(name, kind, SeriesAxis::Left, 0, 1, transparency, legend);
    s.active = false;
    return s;
}

} // namespace

ResultCharts ResultChartsDesign() {
    ResultCharts rc;
    using K = SeriesKind;
    using X = SeriesAxis;

    ChartPlan& c1 = rc.chart1;
    c1.name = "Chart1";
    c1.title = "Изменение потока отказов в течение гарантийного периода";
    c1.leftTitle = "Отказов за 100 час на 1 изделие";
    c1.rightTitle = "Накопление отказов, уход из гарантии, %";
    c1.legendVisible = true;
    c1.causeBars = true;
    c1.stackedBars = true;
    SeriesPlan s1 = makeSeries("Series1", K::Area, X::Right, 0xFFFF00, 2, 0, "Выбывание из гарантии");
    s1.hatched = true;
    SeriesPlan s17 =
        makeSeries("Series17", K::Curve, X::Right, 0x400040, 4, 0, "Фактич. накопление, % от парка");
    s17.dashed = true;
    c1.series = {
        s1,
        makeSeries("Series3", K::Curve, X::Left, 0x00FF00, 3, 12, "Модель по Пирсону 1.1"),
        makeSeries("Series2", K::Curve, X::Left, 0x00AA00, 3, 0, "Модель по Пирсону 1.1 ценз."),
        makeSeries("Series4", K::Curve, X::Left, 0x0000FF, 2, 0, "Модель по Смирнову 2"),
        makeSeries("Series20", K::Curve, X::Left, 0xF000F0, 3, 14, "Pirson/Newton 1.2"),
        makeSeries("Series21", K::Curve, X::Left, 0xFF80FF, 3, 18, "Pirson/Newton 1.2 ценз."),
        makeSeries("Series6", K::Curve, X::Left, 0xFF6F6F, 3, 0, "Генетическая"),
        makeSeries("Series5", K::Curve, X::Left, 0xFF0000, 3, 16, "Генетическая с ценз."),
        inactive("Series14", K::Bar, 14, ""),
        s17,
        makeSeries("Series24", K::Curve, X::Left, kPravdColor, 3, 0, "Модель 3 (макс. правдоподобия)"),
    };

    SeriesPlan bandLower =
        makeSeries("Series26", K::Line, X::Left, kPravdColor, 1, 0, "Модель 3: доверительные границы");
    bandLower.dashed = true;
    SeriesPlan bandUpper = makeSeries("Series27", K::Line, X::Left, kPravdColor, 1, 0, "");
    bandUpper.dashed = true;

    ChartPlan& c2 = rc.chart2;
    c2.name = "Chart2";
    c2.title = "Интегральные (накопленные) количественные оценки потока отказов";
    c2.leftTitle = "Отказов на 1 изделие";
    c2.rightTitle = "Выбывание из гарантии, %";
    c2.rightFixed = true;
    c2.causeBars = true;
    c2.stackedBars = true;
    c2.right = {0, 100};
    c2.series = {
        makeSeries("Series15", K::Area, X::Left, 0xC5A4C6, 1, 24, "Отказы (реальные)"),
        makeSeries("Series7", K::Area, X::Right, 0xFFFF15, 2, 8, "Выбывание из гарантии, %"),
        makeSeries("Series8", K::Curve, X::Left, 0x009B9B, 2, 0, "Модель по Пирсону"),
        makeSeries("Series9", K::Line, X::Left, 0x00D900, 2, 0,
                   "Модель по Пирсону с влиянием цензурирования"),
        makeSeries("Series10", K::Line, X::Left, 0x8000FF, 2, 0, "Модель по Смирнову"),
        makeSeries("Series11", K::Line, X::Left, 0xFF0000, 2, 0, "Модель \"генетическая\""),
        makeSeries("Series12", K::Line, X::Left, 0xFF6464, 2, 0,
                   "Модель \"генетическая\" с влиянием цензурирования"),
        inactive("Series16", K::Bar, 0, ""),
        makeSeries("Series22", K::Line, X::Left, 0xFF00FF, 1, 0, ""),
        makeSeries("Series23", K::Line, X::Left, 0xFF80FF, 1, 0, ""),
        makeSeries("Series25", K::Line, X::Left, kPravdColor, 2, 0, "Модель 3 (макс. правдоподобия)"),
        bandLower,
        bandUpper,
    };

    ChartPlan& c3 = rc.chart3;
    c3.name = "Chart3";
    c3.title = "Поток отказов наблюдаемых и с учетом выбывания из гарантии, LN числа отказов";
    c3.leftTitle = "Ln числа отказов парка";
    c3.causeBars = true;
    c3.leftLabels = false;
    c3.topVisible = false;
    SeriesPlan s18 = makeSeries("Series18", K::Line, X::TopRight, 0x800040, 1, 0, "Ln Накопления");
    s18.crossMarkers = true;
    s18.pointColor = 0x008000;
    SeriesPlan s19 =
        makeSeries("Series19", K::Line, X::TopRight, 0xFF0000, 1, 0, "Аппроксимация Ln накопления");
    c3.series = {inactive("Series13", K::Line, 0, "Выбывание из гарантии"), s18, s19};
    return rc;
}

LogLogChart LogLogChartDesign() {
    LogLogChart ll;
    ChartPlan& c = ll.chart;
    c.name = "Chart1";
    c.title = "Накопленние отказов по времени наблюдения";
    c.bottomTitle = "Log t (часов)";
    c.leftTitle = "Log N (отказов)";
    c.leftLabels = false;
    c.dashedAxes = true;
    SeriesPlan s1 = makeSeries("Series1", SeriesKind::Line, SeriesAxis::BottomLeft, 0x008000, 1, 0, "");
    s1.markerSize = 3;
    SeriesPlan s2 = makeSeries("Series2", SeriesKind::Line, SeriesAxis::BottomLeft, 0xFF0000, 1, 0, "");
    c.series = {s1, s2};
    return ll;
}

} // namespace tovimo
