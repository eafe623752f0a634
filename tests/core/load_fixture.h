// Builds data files in memory for the loader tests.
#pragma once

#include "core/data/data_file.h"
#include "core/data/series_controls.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/text/text_codec.h"

#include <array>
#include <string>
#include <vector>

namespace tovimo::test {

struct Loaded {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    bool ok = false;
};

inline std::string DataFile(const std::vector<std::string>& causes, const std::vector<std::string>& records,
                            double sred = 3000, double sko = 500, double park = 100, int kolOtk = -1) {
    std::string s = "Тестовый ряд\n" + std::to_string(sred) + "\n" + std::to_string(sko) + "\n" +
                    std::to_string(park) + "\n" + std::to_string(kolOtk < 0 ? records.size() : kolOtk) +
                    "\n" + std::to_string(causes.size()) + "\n";
    for (const auto& c : causes)
        s += c + "\n";
    for (const auto& r : records)
        s += r + "\n";
    return s;
}

inline Loaded Load(const std::string& utf8Text, char sep = '.', bool check = false, bool asCp1251 = true) {
    Loaded l;
    l.form.decimalSeparator = sep;
    l.form.CheckBox1 = check;
    const std::string bytes = asCp1251 ? EncodeCp1251(utf8Text) : utf8Text;
    l.ok = LoadDataText(l.st, l.form, bytes, [&](const std::string& m) { l.messages.push_back(m); });
    if (l.ok) FillSeriesControls(l.st, l.form); // as the window does after a load
    return l;
}

// What the record grid shows: the header row, then one row per record.
inline std::vector<std::array<std::string, kRecordGridColumns>> GridRows(const AnalysisState& st, char sep) {
    std::vector<std::array<std::string, kRecordGridColumns>> rows(st.MasProbl.size() + 1);
    for (int c = 0; c < kRecordGridColumns; ++c)
        rows[0][static_cast<size_t>(c)] = kRecordGridHeader[static_cast<size_t>(c)];
    for (size_t r = 0; r < st.MasProbl.size(); ++r)
        for (int c = 0; c < kRecordGridColumns; ++c)
            rows[r + 1][static_cast<size_t>(c)] = RecordGridCell(st, r, c, sep);
    return rows;
}

} // namespace tovimo::test
