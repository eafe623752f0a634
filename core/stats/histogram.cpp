#include "core/stats/histogram.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace tovimo {

void sort_MinMax(AnalysisState& st) {
    // A stable sort of (time, place) pairs, then each record moved once:
    // sorting the records themselves moves their texts at every step.
    auto& m = st.MasProbl;
    std::vector<std::pair<double, size_t>> order(m.size());
    for (size_t i = 0; i < m.size(); ++i)
        order[i] = {m[i].time, i};
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // The permutation applied in place, one cycle at a time, so that the
    // records are never held twice; a place done is marked as its own source.
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i].second == i) continue;
        Problems held = std::move(m[i]);
        size_t j = i;
        for (;;) {
            const size_t from = order[j].second;
            order[j].second = j;
            if (from == i) {
                m[j] = std::move(held);
                break;
            }
            m[j] = std::move(m[from]);
            j = from;
        }
    }
}

namespace {

// One build with the current widths (steps 2 to 4).
void build(AnalysisState& st) {
    st.Hist_Stol.clear();
    st.Sum_PrichCol.fill(0);
    const auto& m = st.MasProbl;
    const size_t n = m.size();
    const double last = m.back().time;
    size_t i = 0, k = 0;
    double t2 = 0;
    for (int j = 0;; ++j) {
        Hist_Rec col;
        const double width = static_cast<double>(j < 10 ? st.D_Hist1 : st.D_Hist2);
        for (;;) {
            // A stretch without failures widens the column one width at a time;
            // jump over most of it at once. Edges stay whole multiples of the
            // width, so they equal those of the step-by-step widening.
            if (i < n && !(t2 + width + 0.1 > m[i].time) && !(t2 + width >= last)) {
                const double target = std::min(m[i].time - 0.1, last);
                const double steps = std::floor((target - t2) / width) - 2;
                if (steps > 0) t2 += steps * width;
            }
            const double before = t2;
            t2 += width;
            if (t2 == before) t2 = std::max(t2, last); // beyond the precision of doubles
            // A failure up to 0.1 h beyond the edge still counts; at magnitudes
            // where 0.1 is lost, a failure at or below the edge does.
            while (i < n && (t2 + 0.1 > m[i].time || m[i].time <= t2)) {
                const int c = m[i].chey;
                if (c >= 0 && c < static_cast<int>(col.Npr.size())) ++col.Npr[static_cast<size_t>(c)];
                ++i;
            }
            col.Sum = static_cast<int>(i - k);
            if (i > k || t2 >= last) break;
        }
        col.time = t2;
        for (int c = 1; c <= st.NPrich + 1 && c < static_cast<int>(st.Sum_PrichCol.size()); ++c)
            st.Sum_PrichCol[static_cast<size_t>(c)] += col.Npr[static_cast<size_t>(c)];
        st.Hist_Stol.push_back(col);
        k = i;
        if (!(t2 < last)) break;
    }
}

} // namespace

void hist_Format(AnalysisState& st) {
    st.D_Hist1 = 100;
    st.D_Hist2 = 100;
    if (st.MasProbl.empty()) {
        st.Hist_Stol.clear();
        st.Sum_PrichCol.fill(0);
        return;
    }
    const size_t N = st.MasProbl.size();
    for (;;) {
        build(st);
        const size_t C = st.Hist_Stol.size();
        if ((N > 70 && C <= 10) || C <= 6) {
            if (st.D_Hist1 <= 1) return; // the series is too short to spread further
            st.D_Hist1 /= 2;
        } else if (C > static_cast<size_t>(MaxHistColumns) &&
                   st.D_Hist2 <= std::numeric_limits<std::int64_t>::max() / 2) {
            st.D_Hist2 *= 2;
        } else {
            return;
        }
    }
}

} // namespace tovimo
