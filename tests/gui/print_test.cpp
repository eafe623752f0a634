// Printing the result windows: into a PDF file, and through the print dialog
// where Cancel prints nothing.
#include "gui/platform/print_service.h"
#include "gui/windows/lnview.h"
#include "gui/windows/results_window.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tovimo;

namespace {

bool isPdf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-" && f.size() > 1000;
}

// Answers the print dialog once it is open.
void answerDialog(bool accept) {
    QTimer::singleShot(0, [accept] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            qWarning("no print dialog");
            return;
        }
        accept ? dialog->accept() : dialog->reject();
    });
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }

  private slots:
    void cleanup() { SetPrintService(nullptr); }

    void resultsWindowToPdf() {
        AnalysisState st;
        TForm5 w(st);
        w.DiaStart();
        PdfPrintService pdf(file("results.pdf"));
        SetPrintService(&pdf);
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(isPdf(file("results.pdf")));
    }

    void logLogWindowToPdf() {
        AnalysisState st;
        st.MasProbl = {{10, 1, "", ""}, {50, 1, "", ""}};
        QPointer<TLNview> w = OpenLnView(nullptr, st, '.');
        PdfPrintService pdf(file("lnview.pdf"));
        SetPrintService(&pdf);
        QTest::mouseClick(w->Button2, Qt::LeftButton);
        QVERIFY(isPdf(file("lnview.pdf")));
        w->close();
    }

    void dialogCancelPrintsNothing_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Print") << true;
    }

    void dialogCancelPrintsNothing() {
        QFETCH(bool, accept);
        const QString out = file(accept ? "printed.pdf" : "cancelled.pdf");
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        DialogPrintService dialog([&](QPrinter& p) {
            orientation = p.pageLayout().orientation();
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
        });
        SetPrintService(&dialog);
        AnalysisState st;
        TForm5 w(st);
        w.DiaStart();
        answerDialog(accept);
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(orientation, QPageLayout::Landscape);
        QCOMPARE(QFile::exists(out), accept);
        if (accept) QVERIFY(isPdf(out));
    }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
