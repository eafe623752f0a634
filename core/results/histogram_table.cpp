#include "core/results/histogram_table.h"

#include <algorithm>

namespace tovimo {

HistogramTable BuildHistogramTable(const AnalysisState& st) {
    HistogramTable t;
    const int lastCause = std::min<int>(st.NPrich + 1, static_cast<int>(st.Vidy_otkazov.size()) - 1);
    for (int k = 1; k <= lastCause; ++k) {
        const Vid_otkaza& v = st.Vidy_otkazov[static_cast<size_t>(k)];
        if (!(v.Dolya > 0)) continue;
        t.causes.push_back(k);
        t.causeNames.push_back(v.Nazv_Prich);
    }
    t.causeTotals.assign(t.causes.size(), 0);
    for (const Hist_Rec& col : st.Hist_Stol) {
        HistogramTable::Row row;
        row.edge = col.time;
        for (size_t i = 0; i < t.causes.size(); ++i) {
            const int n = col.Npr[static_cast<size_t>(t.causes[i])];
            row.counts.push_back(n);
            t.causeTotals[i] += n;
        }
        row.total = col.Sum;
        t.total += col.Sum;
        t.rows.push_back(std::move(row));
    }
    return t;
}

} // namespace tovimo
