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

void FillSeriesControls(const AnalysisState& st, MainForm& form) {
    const char sep = form.decimalSeparator;
    const size_t n = st.MasProbl.size();

    // The record grid holds the header and exactly the loaded records.
    form.Mass_List_widths = {65, 85, 200, 1010};
    form.Mass_List.assign(n + 1, {});
    form.Mass_List[0] = {" № отказа", "Наработка, ч", "Источник отказа", "Описание отказа"};
    for (size_t i = 0; i < n; ++i) {
        const Problems& rec = st.MasProbl[i];
        form.Mass_List[i + 1] = {std::to_string(i + 1), FloatToStr(rec.time, sep), causeName(st, rec),
                                 rec.komment};
    }
    // A record that reached several thresholds keeps the note of the last one.
    for (size_t k = 0; k < kThresholds.size(); ++k) {
        const int rec = st.ThresholdRecord[k];
        if (rec < 0 || static_cast<size_t>(rec) >= n) continue;
        form.Mass_List[static_cast<size_t>(rec) + 1][2] =
            causeName(st, st.MasProbl[static_cast<size_t>(rec)]) + kThresholds[k].note;
    }

    form.Chart2_Series1.clear();
    form.Chart2_Series2.clear();
    for (const XYPoint& p : LogLogPoints(st.MasProbl))
        form.Chart2_Series1.push_back({p.x, p.y, 0x008000});
    if (st.Tst >= 0 && static_cast<size_t>(st.Tst) < n && std::isfinite(st.A_ln) && std::isfinite(st.B_ln))
        for (const XYPoint& p : LogLogLine(st.A_ln, st.B_ln, st.MasProbl[static_cast<size_t>(st.Tst)].time,
                                           st.MasProbl.back().time))
            form.Chart2_Series2.push_back({p.x, p.y, 0xFF0000});
}

} // namespace tovimo
