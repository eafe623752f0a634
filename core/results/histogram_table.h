// The failure histogram as a table: one row per histogram column with its
// right edge, the failures of every cause that has any, and the column's total.
#pragma once

#include "core/state/analysis_state.h"

#include <string>
#include <vector>

namespace tovimo {

struct HistogramTable {
    std::vector<int> causes;             // cause indexes (ranked table), those with failures
    std::vector<std::string> causeNames; // their names, same order
    struct Row {
        double edge = 0; // hours
        std::vector<int> counts;
        int total = 0;
    };
    std::vector<Row> rows;
    std::vector<int> causeTotals;
    int total = 0;
};

HistogramTable BuildHistogramTable(const AnalysisState& st);

inline constexpr const char* kHistEdgeTitle = "Граница столбца, ч";
inline constexpr const char* kHistTotalTitle = "Всего";

} // namespace tovimo
