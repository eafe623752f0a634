// The analysis report: one A4 PDF with the title block, the input summary,
// the results table, the charts as vector graphics and the histogram. The
// results window's "Отчёт" and the command line write it through this one
// function; the interface is free of Qt so that the command line can call it.
#pragma once

#include "core/fit/likelihood_causes.h"
#include "core/fit/warranty_forecast.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <optional>
#include <string>

namespace tovimo {

struct ReportSource {
    std::string dataFile; // the data file's path; its name is shown
    // The warranty law as the data file gave it, to tell where the law in
    // force came from (data file, warranty-end times file, typed in).
    std::optional<double> dataMean, dataSd;
    std::string createdAt; // date and time shown; now when empty
};

// What model 3's own windows computed on the shown results, each reported in
// a section of its own when present.
struct ReportModel3Extras {
    std::optional<CausesResult> causes;
    std::optional<ForecastResult> forecast;
    std::string forecastCause; // the cause the forecast is of; empty: model 3 of the whole series
};

// Writes the report of the analysis in `st` as the results refresh shows it
// with the controls' values in `form` (the state is not changed). Throws
// std::runtime_error naming the file when it cannot be written.
void WriteReportPdf(const AnalysisState& st, const MainForm& form, const ReportSource& source,
                    const std::string& pdfPath, const ReportModel3Extras& extras = {});

} // namespace tovimo
