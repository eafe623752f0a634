#include "gui/charts/chart_export.h"

#include "core/results/chart_data.h"
#include "gui/charts/chart_separators.h"
#include "gui/charts/chart_sizes.h"
#include "gui/charts/chart_view.h"
#include "gui/charts/headless_app.h"
#include "gui/charts/loglog_panel.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>

#include <memory>
#include <stdexcept>

namespace tovimo {

namespace {

// The SVG file is titled after the window the picture shows.
void save(QWidget* w, const QString& path, const QString& title, std::vector<std::string>& written) {
    const QString png = path + QStringLiteral(".png");
    if (!w->grab().save(png, "PNG"))
        throw std::runtime_error("Не удалось записать файл " + png.toStdString());
    written.push_back(png.toStdString());

    const QString svg = path + QStringLiteral(".svg");
    QSvgGenerator gen;
    gen.setFileName(svg);
    gen.setSize(w->size());
    gen.setViewBox(QRect(QPoint(0, 0), w->size()));
    gen.setTitle(title);
    QPainter p;
    if (!p.begin(&gen)) throw std::runtime_error("Не удалось записать файл " + svg.toStdString());
    w->render(&p);
    p.end();
    written.push_back(svg.toStdString());
}

} // namespace

std::vector<std::string> ExportResultCharts(const AnalysisState& st, char sep, const std::string& dir) {
    const auto app = EnsureApplication();
    const QString folder = QString::fromStdString(dir);
    if (!QDir().mkpath(folder)) throw std::runtime_error("Не удалось создать папку " + dir);
    const QDir out(folder);
    std::vector<std::string> written;

    const ResultCharts charts = BuildResultCharts(st, sep, ChartGroupSeparator(sep));
    const ResultCharts design = ResultChartsDesign();
    const struct {
        const ChartPlan& design;
        const ChartPlan& plan;
        QSize size;
        const char* file;
    } views[] = {
        {design.chart1, charts.chart1, kChart1Size, "chart1"},
        {design.chart2, charts.chart2, kChart2Size, "chart2"},
        {design.chart3, charts.chart3, kChart3Size, "chart3"},
    };
    for (const auto& v : views) {
        ChartView view(new PlannedChart(v.design));
        view.plannedChart()->fill(v.plan);
        view.resize(v.size);
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        QCoreApplication::processEvents();
        save(&view, out.filePath(QString::fromLatin1(v.file)), view.objectName(), written);
    }

    LogLogPanel ln;
    ln.setAttribute(Qt::WA_DontShowOnScreen);
    ln.show();
    ln.fill(st, sep);
    QCoreApplication::processEvents();
    save(&ln, out.filePath(QStringLiteral("lnview")), QStringLiteral("LNview"), written);
    return written;
}

} // namespace tovimo
