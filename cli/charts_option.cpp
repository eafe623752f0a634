#include "cli/charts_option.h"

#include "cli/commands.h"

#include <iostream>
#include <stdexcept>

#ifdef TOVIMO_CHART_EXPORT
#include "gui/charts/chart_export.h"
#endif

namespace tovimo::cli {

int WriteChartsOption(const AnalysisState& st, char decimalSeparator, const std::string& dir) {
#ifdef TOVIMO_CHART_EXPORT
    try {
        for (const std::string& file : ExportResultCharts(st, decimalSeparator, dir))
            std::cerr << file << "\n";
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kFileError;
    }
    return kDone;
#else
    (void)st;
    (void)decimalSeparator;
    (void)dir;
    std::cerr << "Диаграммы не записаны: программа собрана без Qt\n";
    return kUsage;
#endif
}

} // namespace tovimo::cli
