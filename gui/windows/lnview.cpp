#include "gui/windows/lnview.h"

#include "core/results/chart_data.h"
#include "gui/charts/chart_fonts.h"
#include "gui/platform/print_service.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPen>
#include <QPushButton>
#include <QValueAxis>

namespace tovimo {

QPointer<TLNview> LNview;

namespace {

constexpr int kClientWidth = 838;
constexpr int kClientHeight = 546;
constexpr int kChartMargin = 3;

} // namespace

TLNview::TLNview(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("LNview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Анализ закона распределения отказов. Анализ надежности в эксплуатации."));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));
    resize(kClientWidth, kClientHeight);

    const LogLogChart design = LogLogChartDesign();
    auto* chart = new PlannedChart(design.chart);
    chart->setTitlePixels(18);
    for (QValueAxis* axis : {chart->bottomAxis(), chart->leftAxis()})
        axis->setLinePen(QPen(Qt::black, 1, Qt::DashLine));
    Chart1 = new ChartView(chart, this);
    Chart1->setGeometry(kChartMargin, kChartMargin, kClientWidth - 2 * kChartMargin,
                        kClientHeight - 2 * kChartMargin);

    // Labels and buttons sit on the chart, placed from its top left corner.
    Label3 = new QLabel(Chart1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(UiFont(QStringLiteral("Segoe UI"), 16, true));
    Label3->move(97, 59);
    Label1 = new QLabel(Chart1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(579, 382);
    Label2 = new QLabel(Chart1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(579, 405);
    Button2 = new QPushButton(QStringLiteral("Печать"), Chart1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(670, 4, 73, 22);
    Prodolgenie = new QPushButton(QStringLiteral("Продолж."), Chart1);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    Prodolgenie->setGeometry(750, 4, 75, 22);
    connect(Button2, &QPushButton::clicked, this, &TLNview::Button2Click);
    connect(Prodolgenie, &QPushButton::clicked, this, &TLNview::ProdolgenieClick);
}

void TLNview::fill(const AnalysisState& st, char decimalSeparator) {
    const LogLogChart ll = BuildLogLogChart(st, decimalSeparator);
    Chart1->plannedChart()->fill(ll.chart);
    Label3->setText(QString::fromStdString(ll.comment));
    Label1->setText(QString::fromStdString(ll.slopeText));
    Label2->setText(QString::fromStdString(ll.interceptText));
    for (QLabel* l : {Label1, Label2, Label3})
        l->adjustSize();
}

void TLNview::Button2Click() {
    Printing().print(this);
}

void TLNview::ProdolgenieClick() {
    close();
}

void TLNview::closeEvent(QCloseEvent* event) {
    event->accept(); // released on close
    if (mainWindow_) mainWindow_->show();
}

TLNview* OpenLnView(QWidget* mainWindow, const AnalysisState& st, char decimalSeparator) {
    auto* w = new TLNview(mainWindow);
    LNview = w;
    if (mainWindow) mainWindow->hide();
    w->show();
    w->fill(st, decimalSeparator);
    return w;
}

} // namespace tovimo
