#include "gui/charts/loglog_panel.h"

#include "core/results/chart_data.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_sizes.h"

#include <QLabel>
#include <QPen>
#include <QValueAxis>

namespace tovimo {

namespace {

constexpr int kChartMargin = 3;

QLabel* namedLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

LogLogPanel::LogLogPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LogLogPanel"));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));
    resize(kLogLogPanelSize);

    auto* chart = new PlannedChart(LogLogChartDesign().chart);
    chart->setTitlePixels(18);
    for (QValueAxis* axis : {chart->bottomAxis(), chart->leftAxis()})
        axis->setLinePen(QPen(Qt::black, 1, Qt::DashLine));
    Chart1 = new ChartView(chart, this);
    Chart1->setGeometry(kChartMargin, kChartMargin, kLogLogPanelSize.width() - 2 * kChartMargin,
                        kLogLogPanelSize.height() - 2 * kChartMargin);

    Label3 = namedLabel("Label3", Chart1);
    Label3->setFont(UiFont(QStringLiteral("Segoe UI"), 16, true));
    Label3->move(97, 59);
    Label1 = namedLabel("Label1", Chart1);
    Label1->move(579, 382);
    Label2 = namedLabel("Label2", Chart1);
    Label2->move(579, 405);
}

void LogLogPanel::fill(const AnalysisState& st, char decimalSeparator) {
    const LogLogChart ll = BuildLogLogChart(st, decimalSeparator);
    Chart1->plannedChart()->fill(ll.chart);
    Label3->setText(QString::fromStdString(ll.comment));
    Label1->setText(QString::fromStdString(ll.slopeText));
    Label2->setText(QString::fromStdString(ll.interceptText));
    for (QLabel* l : {Label1, Label2, Label3})
        l->adjustSize();
}

} // namespace tovimo
