// Printing a window: an image of it on one landscape page, scaled to fit.
// The program asks the user through the print dialog; tests print straight
// into a PDF file.
#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace tovimo {

class PrintService {
  public:
    virtual ~PrintService() = default;
    // Prints an image of `window`; false when nothing was printed.
    virtual bool print(QWidget* window) = 0;
};

// Draws an image of `window` on the printer's page, scaled to fit with its
// proportions kept. False when the printer cannot be opened.
bool PrintWindowImage(QPrinter& printer, QWidget* window);

// The first printer of the system's list, landscape, then the print dialog in
// which the user may choose another printer and the page settings (or a PDF
// file where no printer is installed). Cancel prints nothing.
class DialogPrintService : public PrintService {
  public:
    // `prepare` runs on the printer before the dialog opens (tests point it at a file).
    explicit DialogPrintService(std::function<void(QPrinter&)> prepare = {}) : prepare_(std::move(prepare)) {}
    bool print(QWidget* window) override;

  private:
    std::function<void(QPrinter&)> prepare_;
};

// Landscape PDF file, no dialog.
class PdfPrintService : public PrintService {
  public:
    explicit PdfPrintService(QString file) : file_(std::move(file)) {}
    bool print(QWidget* window) override;

  private:
    QString file_;
};

// The service in force: the one set by SetPrintService, else the dialog.
PrintService& Printing();
// Installs a service (nullptr puts the dialog back). The caller keeps it alive.
void SetPrintService(PrintService* service);

} // namespace tovimo
