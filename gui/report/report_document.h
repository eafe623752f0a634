// The report's content as a text document: the figures of one results
// refresh, computed on a copy of the analysis state, written out as headings,
// paragraphs, tables and chart objects.
#pragma once

#include "core/results/chart_data.h"
#include "core/results/histogram_table.h"
#include "core/results/results_table.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "gui/report/report_pdf.h"

#include <QSizeF>
#include <QString>

class QTextDocument;

namespace tovimo {

class ReportChartObjects;

struct ReportFigures {
    AnalysisState st; // after the refresh
    MainForm form;
    ResultCharts charts;
    ResultTable table;
    LogLogChart logLog;
    HistogramTable histogram;
    ReportModel3Extras extras; // model 3 by cause and the forecast, when computed
};

// The results refresh's figures, as the results window computes them.
ReportFigures ComputeReportFigures(const AnalysisState& st, const MainForm& form);

// Where the warranty law in force came from, in words.
std::string WarrantyLawOrigin(const MainForm& form, const ReportSource& source);

// Fills `doc` with the whole report; the charts go to `charts`, each at most
// `page` large (the text width and the page's height).
void BuildReportDocument(QTextDocument& doc, ReportChartObjects& charts, const ReportFigures& f,
                         const ReportSource& source, const QString& createdAt, QSizeF page);

// Moves headings, figure captions and the lines that introduce a table to
// the next page when what they introduce starts there.
void KeepWithNext(QTextDocument& doc, double pageHeight);

} // namespace tovimo
