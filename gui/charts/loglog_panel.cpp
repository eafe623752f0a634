#include "gui/charts/loglog_panel.h"

#include "core/results/chart_data.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_sizes.h"

#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QPen>
#include <QValueAxis>

namespace tovimo {

namespace {

constexpr int kChartMargin = 3;
// The chart's design size; the slope and intercept keep their place relative to it.
constexpr QSize kChartDesign = kLogLogPanelSize - QSize(2 * kChartMargin, 2 * kChartMargin);
constexpr QPoint kCommentAt{97, 59};
constexpr QPoint kSlopeAt{579, 382};
constexpr QPoint kInterceptAt{579, 405};

QLabel* namedLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

LogLogPanel::LogLogPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LogLogPanel"));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));

    auto* chart = new PlannedChart(LogLogChartDesign().chart);
    chart->setTitlePixels(18);
    // The axis centres its own title; it keeps the room for it, unseen, and
    // the title is drawn at the start of the axis instead.
    QValueAxis* bottom = chart->bottomAxis();
    bottomTitle_ = new QGraphicsSimpleTextItem(bottom->titleText(), chart);
    bottomTitle_->setFont(bottom->titleFont());
    bottomTitle_->setBrush(Qt::black);
    bottom->setTitleBrush(Qt::transparent);
    Chart1 = new ChartView(chart, this);
    connect(chart, &QChart::plotAreaChanged, this, &LogLogPanel::placeBottomTitle);

    Label3 = namedLabel("Label3", Chart1);
    Label3->setFont(UiFont(QStringLiteral("Segoe UI"), 16, true));
    Label1 = namedLabel("Label1", Chart1);
    Label2 = namedLabel("Label2", Chart1);
    resize(kLogLogPanelSize);
    Chart1->setGeometry(QRect(QPoint(kChartMargin, kChartMargin), kChartDesign));
    placeLabels();
}

void LogLogPanel::fill(const AnalysisState& st, char decimalSeparator) {
    const LogLogChart ll = BuildLogLogChart(st, decimalSeparator);
    Chart1->plannedChart()->fill(ll.chart);
    comment_ = QString::fromStdString(ll.comment);
    Label1->setText(QString::fromStdString(ll.slopeText));
    Label2->setText(QString::fromStdString(ll.interceptText));
    placeLabels();
}

void LogLogPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Chart1->setGeometry(rect().adjusted(kChartMargin, kChartMargin, -kChartMargin, -kChartMargin));
    placeLabels();
}

void LogLogPanel::placeLabels() {
    // The comment keeps its corner; a comment longer than the chart is cut
    // short, whole in its tooltip.
    const int room = Chart1->width() - kCommentAt.x() - kChartMargin;
    const QFontMetrics m(Label3->font());
    Label3->setText(m.horizontalAdvance(comment_) <= room ? comment_
                                                          : m.elidedText(comment_, Qt::ElideRight, room));
    Label3->setToolTip(comment_);
    // The slope and intercept stay where they were in the plot as it grows or shrinks.
    auto scaled = [this](QPoint at) {
        return QPoint(at.x() * Chart1->width() / kChartDesign.width(),
                      at.y() * Chart1->height() / kChartDesign.height());
    };
    Label3->move(kCommentAt);
    Label1->move(scaled(kSlopeAt));
    Label2->move(scaled(kInterceptAt));
    for (QLabel* l : {Label1, Label2, Label3})
        l->adjustSize();
}

void LogLogPanel::placeBottomTitle() {
    // Under the axis, from its start; the axis keeps its hidden title's room there.
    PlannedChart* chart = Chart1->plannedChart();
    const QRectF box = bottomTitle_->boundingRect();
    bottomTitle_->setPos(chart->plotArea().left(),
                         chart->size().height() - chart->margins().bottom() - box.height());
}

} // namespace tovimo
