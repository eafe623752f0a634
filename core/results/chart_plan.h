// The charts of the results window and of the log-log window as plain data:
// every series with its look, legend text and points, every cause bar set,
// and the axis ranges. The windows and the command-line export draw exactly
// these, so what is shown is decided once, in the core.
#pragma once

#include "core/state/analysis_state.h"
#include "core/stats/log_log.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tovimo {

enum class SeriesKind {
    Line,  // straight segments
    Curve, // smooth curve through the points
    Area,  // filled down to the axis
    Bar,   // container of the cause bars (never drawn itself)
};

enum class SeriesAxis {
    Left,       // category axis at the bottom, values on the left
    Right,      // category axis at the bottom, values on the right
    TopRight,   // value axes at the top and on the right (log-log points)
    BottomLeft, // value axes at the bottom and on the left
};

struct SeriesPlan {
    std::string name; // component name, "Series3"
    SeriesKind kind = SeriesKind::Line;
    SeriesAxis axis = SeriesAxis::Left;
    std::uint32_t color = 0;      // 0xRRGGBB
    std::uint32_t pointColor = 0; // colour the points are drawn in (the series colour unless set)
    int width = 1;
    int transparency = 0; // per cent
    bool dashed = false;
    bool hatched = false; // horizontal hatching over a gradient fill
    bool crossMarkers = false;
    int markerSize = 0; // circular point markers of this diameter, 0 = none
    bool active = true; // an inactive series is never drawn or filled
    std::string legend; // legend text, or the title where no legend text is set
    bool inLegend = false;
    // Points: value n sits at category position n; XY series use `points`.
    std::vector<double> values;
    std::vector<XYPoint> points;
    std::vector<std::string> marks; // value marks drawn at the points, when any
};

struct BarSetPlan {
    int cause = 0; // cause index, selects the colour entry
    std::string title;
    std::uint32_t color = 0;
    int transparency = 0; // per cent
    // One value per category position; NaN leaves the bar out.
    std::vector<double> values;
};

struct AxisRange {
    double min = 0;
    double max = 1;
};

struct ChartPlan {
    std::string name; // "Chart1"
    std::string title;
    std::string leftTitle, rightTitle, bottomTitle;
    bool leftLabels = true;  // value labels on the left and bottom value axes
    bool dashedAxes = false; // the left and bottom axis lines dashed
    bool topVisible = true;
    bool rightFixed = false; // the right axis keeps its range whatever the values
    bool legendVisible = false;
    bool causeBars = false;              // the chart carries per-cause bars
    bool stackedBars = false;            // cause bars on each other (else side by side)
    std::vector<std::string> categories; // column labels, position n = point n
    std::vector<SeriesPlan> series;      // the design-time series, in their order
    std::vector<BarSetPlan> bars;        // cause bars in legend order
    AxisRange left, right, top, bottom;
};

// Everything one results refresh draws, plus the working figures it leaves.
struct ResultCharts {
    ChartPlan chart1, chart2, chart3;
    std::string header; // Label10
    std::vector<double> F_OutGar;
    std::array<double, CauseSlots> Sum_PrichCol{};
    double Expl_sum = 0;
};

struct LogLogChart {
    ChartPlan chart; // Series1 the failures, Series2 the fitted line
    std::string comment;
    std::string slopeText;     // "A= 1.2000"
    std::string interceptText; // "B= 0.5000"
};

// Looks a series up by its component name; nullptr when the chart has none.
const SeriesPlan* FindSeries(const ChartPlan& chart, const std::string& name);
SeriesPlan* FindSeries(ChartPlan& chart, const std::string& name);

} // namespace tovimo
