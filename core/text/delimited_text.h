// Delimited text (CSV, TSV) as spreadsheets write it: fields split at a
// separator, quoted fields that may hold separators, doubled quotes and line
// ends, and the same quoting when such text is written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovimo {

struct DelimitedRecord {
    size_t line = 0; // 1-based line of the file the record starts on
    std::vector<std::string> fields;
    bool unclosedQuote = false; // the file ended inside a quoted field
};

// Splits UTF-8 text into records. Line ends inside quotes belong to the field;
// a record whose fields are all empty (a blank line) is kept so that callers
// can tell it apart.
std::vector<DelimitedRecord> SplitDelimited(std::string_view text, char separator);

// The separator among tab, ';' and ',' that splits the first records into the
// same number of fields (at least two) most often; ties go in that order.
// nullopt when none gives two fields.
std::optional<char> DetectSeparator(std::string_view text);

// One field as it is written: quoted when it holds the separator, a quote or a
// line end.
std::string DelimitedField(std::string_view field, char separator);

// A whole line of fields, ended by CR LF.
std::string DelimitedLine(const std::vector<std::string>& fields, char separator);

} // namespace tovimo
