#include "cli/data_input.h"

#include "core/data/data_file.h"

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

} // namespace tovimo::cli
