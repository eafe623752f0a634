#include "cli/charts_option.h"

#include "cli/commands.h"
#include "cli/output_status.h"

#include <iostream>

#ifdef TOVIMO_CHART_EXPORT
#include "gui/charts/chart_export.h"
#endif

namespace tovimo::cli {

int WriteChartsOption(const AnalysisState& st, char decimalSeparator, const std::string& dir) {
#ifdef TOVIMO_CHART_EXPORT
    return WriteStatus([&] {
        for (const std::string& file : ExportResultCharts(st, decimalSeparator, dir))
            std::cerr << file << "\n";
    });
#else
    (void)st;
    (void)decimalSeparator;
    (void)dir;
    std::cerr << "Диаграммы не записаны: программа собрана без Qt\n";
    return kUsage;
#endif
}

} // namespace tovimo::cli
