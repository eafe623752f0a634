// A chart drawn from a chart plan: built once with the design-time series,
// then refilled from a new plan on every refresh. The result windows and the
// command-line export draw through this one class.
#pragma once

#include "core/results/chart_data.h"

#include <QChart>
#include <QHash>
#include <QList>
#include <QString>

class QAbstractBarSeries;
class QAbstractSeries;
class QAreaSeries;
class QBarCategoryAxis;
class QBarSet;
class QGraphicsSimpleTextItem;
class QValueAxis;
class QXYSeries;

namespace tovimo {

class ChartLegend;

// The column labels' font size: 11 px is 8 pt on a 96 dpi screen, the
// smallest size they are drawn at.
inline constexpr int kColumnLabelPx = 11;

class PlannedChart : public QChart {
    Q_OBJECT

  public:
    explicit PlannedChart(const ChartPlan& design, QGraphicsItem* parent = nullptr);
    ~PlannedChart() override;

    // Empties every series and fills them, the cause bars, the column labels,
    // the legend and the axis ranges from `plan` (same design as the constructor's).
    void fill(const ChartPlan& plan);

    // A drawn design-time series by its component name; nullptr for an
    // inactive one (never drawn).
    QAbstractSeries* seriesNamed(const QString& name) const { return named_.value(name); }
    // Points of an XY or area series.
    QList<QPointF> pointsOf(const QString& name) const;
    // The container of the cause bars (one bar set per cause and kind).
    QAbstractBarSeries* causeBars() const { return bars_; }
    // Every column's label (what the tooltips give), shown or not.
    QStringList categories() const;
    // Which column labels the axis shows; the rest are left out where they
    // would not fit at a readable size.
    QList<bool> shownColumnLabels() const { return shownLabels_; }
    // The column labels drawn under the plot, one per shown label, in column
    // order (the axis keeps their room but does not draw them: it would hide
    // an end label reaching past the plot's edge).
    QList<QGraphicsSimpleTextItem*> columnLabelItems() const { return labelItems_; }
    // The tooltip of a cause bar: its column's label, the cause and the value.
    QString barTip(int column, const QBarSet* set) const;
    // Texts of the value marks in point order.
    QStringList markTexts() const;
    // The value marks in point order; where they would overlap only some show.
    QList<QGraphicsSimpleTextItem*> markItems() const;
    // The tooltip of a line with value marks near x: the nearest point's
    // column label and mark, shown or not.
    QString markTip(const QXYSeries* series, double x) const;
    // Legend membership of a design-time series, and the legend's texts in order.
    bool inLegend(const QString& name) const;
    QStringList legendTexts() const;

    // Title font size; a chart too narrow for the title makes it smaller.
    void setTitlePixels(int px);
    // Room kept free at each end of the centred title (buttons drawn over the
    // chart's top corner), in pixels.
    void setTitleInset(int px);

    // Column labels turned where they do not fit their columns level at the
    // chart's present width (the windows); without it they keep the fixed
    // rule of the exported images: turned beyond 16 columns. Either way only
    // every second, fourth… label shows where they would not fit.
    void setFitColumnLabels(bool on);
    // The column labels' font size in pixels (larger where the chart is drawn
    // scaled down, as in the report).
    void setColumnLabelPixels(int px);

    QValueAxis* leftAxis() const { return left_; }
    QValueAxis* rightAxis() const { return right_; }
    QValueAxis* topAxis() const { return top_; }
    QValueAxis* bottomAxis() const { return bottom_; }

  private:
    void buildAxes(const ChartPlan& design);
    QAbstractSeries* addSeries(const SeriesPlan& s);
    void attach(QAbstractSeries* s, SeriesAxis axis);
    void fillBars(const ChartPlan& plan);
    void setRanges(const ChartPlan& plan);
    void placeMarks();
    void fitTitle();
    void fitAxisTitles();
    void fitColumnLabels();
    void placeColumnLabels();

    QHash<QString, QAbstractSeries*> named_;
    QList<QAbstractSeries*> twins_; // hatching drawn over an area; no legend entry of its own
    QAbstractBarSeries* bars_ = nullptr;
    QBarCategoryAxis* categories_ = nullptr;
    QValueAxis* left_ = nullptr;
    QValueAxis* right_ = nullptr;
    QValueAxis* top_ = nullptr;
    QValueAxis* bottom_ = nullptr;
    ChartLegend* legend_ = nullptr; // a child of the chart
    int titlePixels_ = 13;
    int titleInset_ = 6;
    bool fitColumnLabels_ = false;
    int columnLabelPx_ = kColumnLabelPx;
    QStringList columnLabels_; // all of them, unique
    QList<bool> shownLabels_;
    QList<QGraphicsSimpleTextItem*> labelItems_;
    QList<int> labelColumns_; // the column of each item

    struct Mark {
        QGraphicsSimpleTextItem* item;
        QPointF value;
        QXYSeries* series;
        QString label; // the point's column
    };
    QList<Mark> marks_;
};

} // namespace tovimo
