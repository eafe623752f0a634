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

// Reads UTF-8 text one record at a time, so that a long table is never held
// split all at once. Line ends inside quotes belong to the field; a record
// whose fields are all empty (a blank line) is read so that callers can tell
// it apart.
class DelimitedReader {
  public:
    DelimitedReader(std::string_view text, char separator) : text_(text), sep_(separator) {}
    // The next record into `rec` (its fields' storage is reused); false at the end.
    bool next(DelimitedRecord& rec);

  private:
    std::string_view text_;
    char sep_;
    size_t pos_ = 0;
    size_t line_ = 1;
};

// All records of the text, as DelimitedReader reads them.
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
