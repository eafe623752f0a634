#include "gui/windows/lnview.h"

#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_sizes.h"
#include "gui/platform/print_service.h"

#include <QCloseEvent>
#include <QPushButton>

namespace tovimo {

QPointer<TLNview> LNview;

namespace {

// The buttons' places at the design size, from the chart's top left corner;
// they keep their distance to the chart's right edge as the window changes.
constexpr int kChartDesignWidth = kLogLogPanelSize.width() - 6;
constexpr QRect kPrintAt{670, 4, 73, 22};
constexpr QRect kLeaveAt{750, 4, 75, 22};
constexpr int kTitleGap = 2; // between the chart title and "Печать"

} // namespace

TLNview::TLNview(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("LNview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Анализ закона распределения отказов. Анализ надежности в эксплуатации."));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));

    Panel = new LogLogPanel(this);
    // the centred chart title keeps clear of the buttons on its right
    Panel->Chart1->plannedChart()->setTitleInset(kChartDesignWidth - kPrintAt.left() + kTitleGap);

    Button2 = new QPushButton(QStringLiteral("Печать"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Prodolgenie = new QPushButton(QStringLiteral("Продолж."), this);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    connect(Button2, &QPushButton::clicked, this, &TLNview::Button2Click);
    connect(Prodolgenie, &QPushButton::clicked, this, &TLNview::ProdolgenieClick);

    setMinimumSize(kLnViewMinimumSize);
    resize(kLogLogPanelSize);
    layOut();
}

void TLNview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TLNview::layOut() {
    Panel->setGeometry(rect());
    // The buttons sit on the chart, placed from its top right corner.
    const QRect chart(Panel->Chart1->mapTo(this, QPoint(0, 0)), Panel->Chart1->size());
    const int shift = chart.width() - kChartDesignWidth;
    Button2->setGeometry(kPrintAt.translated(chart.topLeft() + QPoint(shift, 0)));
    Prodolgenie->setGeometry(kLeaveAt.translated(chart.topLeft() + QPoint(shift, 0)));
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
    w->Panel->fill(st, decimalSeparator);
    return w;
}

} // namespace tovimo
