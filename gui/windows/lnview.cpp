#include "gui/windows/lnview.h"

#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_sizes.h"
#include "gui/platform/print_service.h"

#include <QCloseEvent>
#include <QPushButton>

namespace tovimo {

QPointer<TLNview> LNview;

TLNview::TLNview(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("LNview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Анализ закона распределения отказов. Анализ надежности в эксплуатации."));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));
    resize(kLogLogPanelSize);

    Panel = new LogLogPanel(this);

    // The buttons sit on the chart, placed from its top left corner.
    const QPoint corner = Panel->Chart1->pos();
    Button2 = new QPushButton(QStringLiteral("Печать"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(QRect(corner + QPoint(670, 4), QSize(73, 22)));
    Prodolgenie = new QPushButton(QStringLiteral("Продолж."), this);
    Prodolgenie->setObjectName(QStringLiteral("Prodolgenie"));
    Prodolgenie->setGeometry(QRect(corner + QPoint(750, 4), QSize(75, 22)));
    connect(Button2, &QPushButton::clicked, this, &TLNview::Button2Click);
    connect(Prodolgenie, &QPushButton::clicked, this, &TLNview::ProdolgenieClick);
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
