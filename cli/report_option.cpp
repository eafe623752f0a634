#include "cli/report_option.h"

#include "cli/commands.h"
#include "cli/output_status.h"

#include <iostream>

#ifdef TOVIMO_REPORT
#include "gui/report/report_pdf.h"
#endif

namespace tovimo::cli {

int WriteReportOption(const AnalysisState& st, const MainForm& form, const ReportOrigin& origin,
                      const std::string& pdfPath) {
#ifdef TOVIMO_REPORT
    return WriteStatus([&] {
        ReportSource source;
        source.dataFile = origin.dataFile;
        source.dataMean = origin.dataMean;
        source.dataSd = origin.dataSd;
        ReportModel3Extras extras;
        if (origin.causes && origin.causes->done) extras.causes = origin.causes;
        WriteReportPdf(st, form, source, pdfPath, extras);
        std::cerr << pdfPath << "\n";
    });
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
