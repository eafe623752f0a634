// The failure data file: loading with its messages and indicators, then the
// histogram and the criteria on what was loaded. The first byte chooses the
// decimal separator and the "Контроль ИД" box; the rest is the file.
#pragma once

#include "core/data/data_file.h"
#include "core/data/series_controls.h"
#include "core/stats/criteria.h"
#include "core/stats/histogram.h"
#include "fuzz/fuzz_checks.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tovimo::fuzz {

inline void ScoreModels(AnalysisState& st, char sep) {
    st.Tzenz = st.MasProbl.back().time;
    const size_t columns = st.Hist_Stol.size();
    struct Pair {
        double A, B, K;
    };
    const Pair pairs[] = {{1.3, 9000, 1.4}, {0.35, 10, 0.1}, {10, 99000, 30}, {1, st.Tzenz, 1}};
    std::vector<double> phi(st.MasProbl.size());
    for (size_t i = 0; i < phi.size(); ++i)
        phi[i] = 0.5;
    for (const Pair& p : pairs) {
        Mod_Weib m;
        m.A = p.A;
        m.B = p.B;
        m.K_powtor = p.K;
        m.Sred = st.Sred;
        m.SKO = st.SKO;
        for (int form = 0; form <= 2; ++form)
            Pirson(st, form, p.A, p.B, p.K, st.Sred, st.SKO, m);
        fuzz::Check(m.F_Weib.size() == columns, "Pirson sizes the model's arrays to the histogram");
        Smirnow(st, p.A, p.B, p.K, phi);
        double crit = 0;
        std::string verdict;
        const double lambda = Kolmogor(st, p.K, p.A, p.B, st.Sred, st.SKO, crit, verdict);
        fuzz::Check(lambda == crit || (std::isnan(lambda) && std::isnan(crit)), "Kolmogor stores its result");
        Sigmas(st, m, st.T_Prirab);
        fuzz::Check(fuzz::IsUtf8(Hist_SKO(st, m, sep)), "memo line is UTF-8");
        Mod_Weib work;
        SizeModelArrays(work, columns);
        Pirson_ZFGen(st, p.A, p.B, p.K, st.Sred, st.SKO, work);
    }
}

inline int DataFileTarget(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    AnalysisState st;
    MainForm form;
    form.decimalSeparator = (data[0] & 1) ? ',' : '.';
    form.CheckBox1 = (data[0] & 2) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t messages = 0;
    const bool uk = LoadDataText(st, form, bytes, [&](const std::string& m) {
        fuzz::Check(!m.empty() && fuzz::IsUtf8(m), "message is a UTF-8 text");
        ++messages;
    });
    fuzz::Check(uk == st.uk, "LoadDataText answers uk");
    if (!uk) {
        fuzz::Check(messages > 0, "a refused file is reported");
        return 0;
    }
    FillSeriesControls(st, form);
    fuzz::CheckLoadedSeries(st, form);
    if (st.MasProbl.empty()) return 0;
    hist_Format(st);
    fuzz::CheckHistogram(st);
    ScoreModels(st, form.decimalSeparator);
    return 0;
}

} // namespace tovimo::fuzz
