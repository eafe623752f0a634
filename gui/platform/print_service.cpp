#include "gui/platform/print_service.h"

#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace tovimo {

namespace {

PrintService* g_service = nullptr;

} // namespace

bool PrintWindowImage(QPrinter& printer, QWidget* window) {
    const QPixmap image = window->grab();
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRect(QPoint(0, 0), size), image);
    return p.end();
}

bool DialogPrintService::print(QWidget* window) {
    QPrinter printer(QPrinter::HighResolution);
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (!printers.isEmpty()) printer.setPrinterName(printers.first().printerName());
    printer.setPageOrientation(QPageLayout::Landscape);
    if (prepare_) prepare_(printer);
    QPrintDialog dialog(&printer, window);
    if (dialog.exec() != QDialog::Accepted) return false;
    return PrintWindowImage(printer, window);
}

bool PdfPrintService::print(QWidget* window) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file_);
    printer.setPageOrientation(QPageLayout::Landscape);
    return PrintWindowImage(printer, window);
}

PrintService& Printing() {
    static DialogPrintService dialog;
    return g_service ? *g_service : dialog;
}

void SetPrintService(PrintService* service) {
    g_service = service;
}

} // namespace tovimo
