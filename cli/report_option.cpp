#include "cli/report_option.h"

#include "cli/commands.h"

#include <iostream>
#include <stdexcept>

#ifdef TOVIMO_REPORT
#include "gui/report/report_pdf.h"
#endif

namespace tovimo::cli {

int WriteReportOption(const AnalysisState& st, const MainForm& form, const ReportOrigin& origin,
                      const std::string& pdfPath) {
#ifdef TOVIMO_REPORT
    try {
        ReportSource source;
        source.dataFile = origin.dataFile;
        source.dataMean = origin.dataMean;
        source.dataSd = origin.dataSd;
        WriteReportPdf(st, form, source, pdfPath);
        std::cerr << pdfPath << "\n";
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kFileError;
    }
    return kDone;
#else
    (void)st;
    (void)form;
    (void)origin;
    (void)pdfPath;
    std::cerr << "Отчёт не записан: программа собрана без Qt\n";
    return kUsage;
#endif
}

} // namespace tovimo::cli
