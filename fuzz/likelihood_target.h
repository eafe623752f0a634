// Model 3 on small random series: the bytes choose the failure times, the
// fleet, the warranty law (normal, or warranty-end times), the way of failing,
// the level, the end of observation and a few bootstrap replicates. Model 3
// must fit or refuse in words, never end the program, and leave only figures
// that are finite or marked as having none.
#pragma once

#include "core/fit/likelihood_fit.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tovimo::fuzz {

// Reads the bytes in order; zeros after the end.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }
    bool More() const { return pos_ < size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_, pos_ = 0;
};

// A time in hours spread over six decades, sometimes exactly repeated or zero.
inline double Hours(ByteReader& in) {
    const std::uint16_t w = in.Word();
    if (w == 0) return 0;
    return std::pow(10.0, -1 + 6.0 * (w & 0x3fff) / 0x3fff);
}

inline void CheckModel3(const AnalysisState& st) {
    const LikelihoodResult& r = st.Pravd;
    if (!r.fitted) {
        if (r.refusal.empty() || st.MPravd.Executed) std::abort();
        for (const AssumedShapeBound& b : r.assumedShape)
            for (double u : b.upper)
                if (!(std::isnan(u) || (std::isfinite(u) && u > 0))) std::abort();
        return;
    }
    if (!std::isfinite(r.loglik) || !st.MPravd.Executed) std::abort();
    for (int i = 0; i < kLikFigureCount; ++i) {
        const double e = r.estimates[i];
        if (!(std::isnan(e) || (std::isfinite(e) && e > 0))) std::abort();
        const LikInterval& in = r.intervals[i];
        if (!in.present) continue;
        if (in.lowerOpen != std::isnan(in.lower) || in.upperOpen != std::isnan(in.upper)) std::abort();
        if (!in.lowerOpen && !(std::isfinite(in.lower) && in.lower > 0)) std::abort();
        if (!in.upperOpen && !(std::isfinite(in.upper) && in.upper > 0)) std::abort();
    }
    if (r.gofReplicates > r.gofRequested) std::abort();
    if (r.lrDone && !(r.lrP >= 0 && r.lrP <= 1)) std::abort();
}

inline int LikelihoodTarget(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::uint8_t options = in.Byte();
    AnalysisState st;
    MainForm form;
    form.decimalSeparator = options & 1 ? ',' : '.';
    form.PravdOnce = (options & 2) == 0;
    form.PravdLevel = (options >> 2) % 3;
    form.PravdBootstrap = (options >> 4) & 3;
    form.PravdThreads = 1;
    form.PravdLaw = options & 0x40 ? 1 : 0;
    st.Sred = 10 + in.Word() % 8000;
    st.SKO = 1 + in.Word() % 3000;
    st.Izd_Prived = 1 + std::pow(10.0, 7.0 * in.Byte() / 255);
    if (options & 0x80) form.PravdWindow = FloatToStr(Hours(in), form.decimalSeparator);
    const int n = in.Byte() % 40;
    for (int i = 0; i < n; ++i)
        st.MasProbl.push_back({Hours(in), 1, "Насос", ""});
    if (form.PravdLaw == 1) {
        const int m = 1 + in.Byte() % 40;
        for (int i = 0; i < m; ++i)
            st.MasTGarant.push_back(Hours(in));
    }
    // the other models' view of the series: T fin at the last failure
    st.Tzenz = 1;
    for (const Problems& p : st.MasProbl)
        st.Tzenz = std::max(st.Tzenz, p.time);
    hist_Format(st);
    StepClock clock(0.01);
    FitCallbacks cb;
    Podbor_Weib_Pravd(st, form, clock, cb, [](const std::string& m) {
        if (m.empty()) std::abort();
    });
    CheckModel3(st);
    return 0;
}

} // namespace tovimo::fuzz
