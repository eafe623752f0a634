// Builds data files in memory for the loader tests.
#pragma once

#include "core/data/data_file.h"
#include "core/data/series_controls.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/text/text_codec.h"

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

} // namespace tovimo::test
