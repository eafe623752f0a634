#include "cli/data_input.h"

#include "core/data/data_file.h"
#include "core/data/warranty_file.h"

#include <clocale>
#include <iostream>

namespace tovimo::cli {

char LocaleDecimalSeparator() {
    char sep = '.';
    if (std::setlocale(LC_NUMERIC, "")) {
        const char* dp = std::localeconv()->decimal_point;
        if (dp && (dp[0] == ',' || dp[0] == '.') && dp[1] == '\0') sep = dp[0];
    }
    std::setlocale(LC_NUMERIC, "C");
    return sep;
}

bool LoadCommandData(AnalysisState& st, MainForm& form, const std::string& file,
                     std::vector<std::string>& messages) {
    form.decimalSeparator = LocaleDecimalSeparator();
    form.FilePath = file;
    if (LoadDataFile(st, form, file, [&](const std::string& m) { messages.push_back(m); })) return true;
    for (const auto& m : messages)
        std::cerr << m << "\n";
    return false;
}

bool LoadWarrantyOption(AnalysisState& st, MainForm& form, const std::string& path,
                        std::vector<std::string>& messages) {
    const size_t before = messages.size();
    LoadWarrantyFile(st, form, path, [&](const std::string& m) { messages.push_back(m); });
    if (st.uk) return true;
    for (size_t i = before; i < messages.size(); ++i)
        std::cerr << messages[i] << "\n";
    return false;
}

} // namespace tovimo::cli
