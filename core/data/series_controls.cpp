#include "core/data/series_controls.h"

#include "core/stats/indicators.h"
#include "core/stats/log_log.h"
#include "core/text/number_format.h"

#include <cmath>

namespace tovimo {

namespace {

std::string causeName(const AnalysisState& st, const Problems& rec) {
    return rec.chey >= 0 && static_cast<size_t>(rec.chey) < st.Vidy_otkazov.size()
               ? st.Vidy_otkazov[static_cast<size_t>(rec.chey)].Nazv_Prich
               : std::string();
}

} // namespace

std::string RecordGridCell(const AnalysisState& st, size_t row, int column, char sep) {
    if (row >= st.MasProbl.size()) return {};
    const Problems& rec = st.MasProbl[row];
    switch (column) {
    case 0:
        return std::to_string(row + 1);
    case 1:
        return FloatToStr(rec.time, sep);
    case 2: {
        // A record that reached several thresholds keeps the note of the last one.
        std::string text = causeName(st, rec);
        for (size_t k = kThresholds.size(); k-- > 0;)
            if (st.ThresholdRecord[k] >= 0 && static_cast<size_t>(st.ThresholdRecord[k]) == row)
                return text + kThresholds[k].note;
        return text;
    }
    case 3:
        return rec.komment;
    default:
        return {};
    }
}

void FillSeriesControls(const AnalysisState& st, MainForm& form) {
    const size_t n = st.MasProbl.size();
    form.Mass_List_widths = {65, 85, 200, 1010};

    form.Chart2_Series1.clear();
    form.Chart2_Series2.clear();
    form.Chart2_Series1.reserve(n);
    ForEachLogLogPoint(st.MasProbl, [&](const XYPoint& p) {
        form.Chart2_Series1.push_back({p.x, p.y, 0x008000});
    });
    if (st.Tst >= 0 && static_cast<size_t>(st.Tst) < n && std::isfinite(st.A_ln) && std::isfinite(st.B_ln))
        for (const XYPoint& p : LogLogLine(st.A_ln, st.B_ln, st.MasProbl[static_cast<size_t>(st.Tst)].time,
                                           st.MasProbl.back().time))
            form.Chart2_Series2.push_back({p.x, p.y, 0xFF0000});
}

} // namespace tovimo
