// The CSV files the command line writes, read back as a spreadsheet reads them.
#pragma once

#include "core/text/delimited_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace tovimo::test {

// An empty folder of this test process's own under the temporary folder.
inline std::filesystem::path FreshDir(const std::string& group, const std::string& name) {
    const auto dir =
        std::filesystem::temp_directory_path() / (group + "_" + std::to_string(::getpid())) / name;
    std::filesystem::remove_all(dir);
    return dir;
}

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The rows of a CSV file after its byte-order mark, which it must have.
inline std::vector<std::vector<std::string>> ReadCsv(const std::filesystem::path& p, char sep) {
    const std::string text = Slurp(p);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << p;
    std::vector<std::vector<std::string>> rows;
    if (text.size() < 3) return rows;
    for (auto& r : SplitDelimited(std::string_view(text).substr(3), sep))
        rows.push_back(r.fields);
    return rows;
}

// The CSV's field separator and decimal under each decimal separator's locale.
struct CsvLocale {
    const char* env;
    char sep;
    char decimal;
};
inline constexpr CsvLocale kCsvLocales[] = {{"LC_ALL=C", ',', '.'}, {"LC_ALL=ru_RU.UTF-8", ';', ','}};

} // namespace tovimo::test
