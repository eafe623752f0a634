// What every fuzz target checks on the state it leaves. A broken invariant
// aborts with a line saying which, so that libFuzzer keeps the input; the
// regression tests replace the handler by a test failure.
#pragma once

#include "core/data/series_controls.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace tovimo::fuzz {

inline void AbortOnBroken(const char* what) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

inline void (*onBroken)(const char* what) = AbortOnBroken;

inline void Check(bool ok, const char* what) {
    if (!ok) onBroken(what);
}

// Well-formed UTF-8 without overlong forms or surrogates.
inline bool IsUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        unsigned cp = len == 1 ? c : c & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc >> 6) != 0x2) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += len;
    }
    return true;
}

// The loaded series as the rest of the program expects it.
inline void CheckLoadedSeries(const AnalysisState& st, const MainForm& form) {
    Check(st.NPrich >= 0 && st.NPrich <= MaxNamedCauses, "cause count within 0..50");
    Check(st.V_otk.size() == static_cast<size_t>(st.NPrich) + 2, "V_otk holds the causes and \"Другие\"");
    Check(st.Kol_izw == static_cast<int>(st.MasProbl.size()), "Kol_izw counts the records");
    Check(IsUtf8(st.Comment) && IsUtf8(form.Label10), "comment is UTF-8");
    for (const auto& v : st.V_otk)
        Check(IsUtf8(v.Nazv_Prich), "cause name is UTF-8");
    double prev = -INFINITY;
    for (const auto& p : st.MasProbl) {
        Check(p.chey >= 1 && p.chey <= st.NPrich + 1, "record cause within 1..NPrich+1");
        Check(IsUtf8(p.Pri) && IsUtf8(p.komment), "record texts are UTF-8");
        Check(!std::isnan(p.time), "record time is a number");
        Check(p.time >= prev, "series sorted by time");
        prev = p.time;
    }
    for (size_t r = 0; r < st.MasProbl.size(); ++r)
        for (int c = 0; c < kRecordGridColumns; ++c)
            Check(IsUtf8(RecordGridCell(st, r, c, form.decimalSeparator)), "grid cell is UTF-8");
    Check(RecordGridCell(st, st.MasProbl.size(), 0, form.decimalSeparator).empty(),
          "record grid holds the records only");
}

// The histogram invariants: contiguous columns with strictly increasing upper
// edges, every failure in exactly one column, no empty column but the last.
inline void CheckHistogram(const AnalysisState& st) {
    const auto& h = st.Hist_Stol;
    const auto& m = st.MasProbl;
    Check(!h.empty(), "histogram has a column");
    // The later columns' width stops doubling before it would overflow (past
    // 4.6e18 h); only beyond that may a series need more columns.
    Check(h.size() <= static_cast<size_t>(MaxHistColumns) ||
              st.D_Hist2 > std::numeric_limits<std::int64_t>::max() / 2,
          "at most 52 columns");
    Check(st.D_Hist1 >= 1 && st.D_Hist2 >= 1, "column widths positive");
    long long total = 0;
    double prevEdge = 0;
    size_t i = 0;
    for (size_t j = 0; j < h.size(); ++j) {
        Check(j == 0 ? h[j].time >= prevEdge : h[j].time > prevEdge, "edges increase");
        Check(h[j].Sum >= 0, "column count non-negative");
        Check(h[j].Sum > 0 || j + 1 == h.size(), "only the last column may be empty");
        long long perCause = 0;
        for (int c : h[j].Npr)
            perCause += c;
        Check(perCause == h[j].Sum, "per-cause counts add up to the column count");
        for (int k = 0; k < h[j].Sum; ++k, ++i) {
            Check(i < m.size(), "no more failures counted than loaded");
            Check(h[j].time + 0.1 > m[i].time || m[i].time <= h[j].time, "failure below its column's edge");
        }
        total += h[j].Sum;
        prevEdge = h[j].time;
    }
    Check(total == static_cast<long long>(m.size()), "every failure in a column");
    Check(h.back().time >= m.back().time, "last edge reaches the last failure");
}

} // namespace tovimo::fuzz
