// Writing a failure data file: the header lines, the cause list and one line
// per record, as the loader reads them back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovimo {

struct DataFileRecord {
    std::string time;        // as written, with a decimal point or comma
    std::string source;      // names the cause
    std::string description; // written after " * ", when not empty
};

struct DataFileContent {
    std::string comment;
    double mean = 0; // warranty end, hours
    double sd = 0;
    double fleet = 0;
    long long failures = 0; // declared, known and unknown
    std::vector<std::string> causes;
    std::vector<DataFileRecord> records;
};

// The file as UTF-8 text, LF line ends.
std::string DataFileText(const DataFileContent& content);

// One record's line, appended to the text of a file: for a writer that makes
// its records one at a time instead of holding them all.
void AppendDataFileRecord(std::string& text, std::string_view time, std::string_view source,
                          std::string_view description);

// The bytes to store: Windows-1251 when that code page holds every character
// and the loader reads the bytes back as the same text, otherwise UTF-8 with a
// byte-order mark.
std::string DataFileBytes(std::string_view utf8Text);

} // namespace tovimo
