#include "gui/report/report_pdf.h"

#include "gui/charts/chart_fonts.h"
#include "gui/charts/headless_app.h"
#include "gui/report/report_chart_object.h"
#include "gui/report/report_document.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextDocument>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace tovimo {

namespace {

// The charts are laid out for the screen; drawn into a PDF at the same dots
// per inch, their fonts keep their proportions to the lines.
int screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
    return dpi > 0 ? dpi : 96;
}

} // namespace

void WriteReportPdf(const AnalysisState& st, const MainForm& form, const ReportSource& source,
                    const std::string& pdfPath, const ReportModel3Extras& extras) {
    const auto app = EnsureApplication();
    const QString path = QString::fromStdString(pdfPath);
    const auto fail = [&] { return std::runtime_error("Не удалось записать файл " + pdfPath); };
    {
        QFile probe(path); // QPdfWriter only warns when it cannot open its file
        if (!probe.open(QIODevice::WriteOnly)) throw fail();
    }

    QPdfWriter writer(path);
    const int dpi = screenDpi();
    writer.setResolution(dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 12, 12, 12), QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Tovimo"));
    writer.setTitle(QString::fromStdString(st.Comment));

    const QRectF paint = writer.pageLayout().paintRectPixels(dpi);
    const QFont bodyFont(InstalledFamily(QStringLiteral("Arial")), 9);
    const double footer = 2.2 * QFontMetricsF(bodyFont, &writer).height();
    const QSizeF body(paint.width(), paint.height() - footer);

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(bodyFont);
    doc.setUseDesignMetrics(true);
    doc.setDocumentMargin(0);
    doc.setPageSize(body);
    ReportChartObjects charts;
    doc.documentLayout()->registerHandler(ReportChartObjects::kObjectType, &charts);

    ReportFigures figures = ComputeReportFigures(st, form);
    figures.extras = extras;
    const QString createdAt = source.createdAt.empty()
                                  ? QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                  : QString::fromStdString(source.createdAt);
    BuildReportDocument(doc, charts, figures, source, createdAt, body);
    KeepWithNext(doc, body.height());

    QPainter painter;
    if (!painter.begin(&writer)) throw fail();
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) writer.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, i * body.height(), body.width(), body.height());
        charts.setPageRect(ctx.clip);
        painter.setClipRect(ctx.clip);
        doc.documentLayout()->draw(&painter, ctx);
        painter.restore();
        painter.setFont(bodyFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("Страница %1 из %2").arg(i + 1).arg(pages));
    }
    if (!painter.end()) throw fail();
}

} // namespace tovimo
