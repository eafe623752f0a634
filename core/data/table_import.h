// Import of a failure table kept in a spreadsheet (CSV or TSV): one row per
// failure with its operating time, its cause and an optional description,
// turned into a failure data file. Rows that cannot be read are listed with
// their line and reason, never dropped silently.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovimo {

// Column indexes, 0-based; -1: the table has no such column.
struct TableColumns {
    int time = 0;
    int cause = 1;
    int description = -1;
};

struct TableReadOptions {
    std::optional<char> separator;       // tab, ';' or ','; detected when not given
    std::optional<bool> header;          // whether the first row is a header; detected when not given
    std::optional<TableColumns> columns; // by the header's names or by position when not given
};

// The data rows of a table. Their fields are kept end to end in one text, so
// that a table of a million rows costs little more than its file.
class TableRows {
  public:
    size_t size() const { return rows_.size() - first_; }
    bool empty() const { return size() == 0; }
    size_t line(size_t row) const { return at(row).line; } // 1-based line of the file
    bool unclosedQuote(size_t row) const { return at(row).unclosedQuote; }
    size_t fieldCount(size_t row) const;
    // A field's text; empty past the row's last field.
    std::string_view field(size_t row, int column) const;
    std::vector<std::string> fields(size_t row) const;
    size_t textBytes() const { return text_.size(); } // of all fields together

    void reserve(size_t rows, size_t fields, size_t textBytes);
    void add(size_t line, const std::vector<std::string>& fields, bool unclosedQuote);
    void dropFirst() { ++first_; } // the first row was the header

  private:
    struct Row {
        size_t line = 0;
        size_t firstField = 0; // into fieldEnds_
        bool unclosedQuote = false;
    };
    const Row& at(size_t row) const { return rows_[first_ + row]; }
    size_t fieldEnd(size_t rowIndex) const; // first field of the next row

    std::vector<Row> rows_;
    std::vector<size_t> fieldEnds_; // where each field ends in text_
    std::string text_;
    size_t first_ = 0;
};

struct FailureTable {
    std::string encoding; // "UTF-8" or "Windows-1251"
    char separator = ';';
    bool header = false;
    std::vector<std::string> headerFields;
    TableRows rows; // the data rows, blank rows left out
    size_t blankRows = 0;
    size_t columnCount = 0; // fields of the widest row
    TableColumns columns;
};

struct TableReadResult {
    std::optional<FailureTable> table;
    std::string error; // why there is no table
};

// Decodes the bytes (UTF-8 or Windows-1251), finds the separator, the header
// row and the columns (by the header names время/наработка/time,
// причина/cause, описание/description in any case, else by position).
TableReadResult ReadFailureTable(std::string_view bytes, const TableReadOptions& options = {});

struct ImportHeader {
    double fleet = 0;
    double mean = 0; // warranty end, hours
    double sd = 0;
    std::optional<long long> failures; // declared; the number of failures read when not given
    std::string comment;
    char decimalSeparator = '.'; // of the numbers in the lists of doubtful rows and the notes
};

struct BadRow {
    size_t line = 0;
    std::string reason;
};

// A readable row whose time is doubtful: below zero, or beyond the end of
// the warranty law (mean + 3 SD), where loading cuts it to that end.
struct DoubtfulRow {
    size_t line = 0;
    std::string time; // as read, with the header's decimal separator
    std::string reason; // "отрицательная наработка", "наработка больше 5100 ч…"
};

struct TableImport {
    std::vector<BadRow> badRows;           // rows left out, in file order
    std::vector<DoubtfulRow> doubtfulRows; // readable rows with a doubtful time, in file order
    std::vector<std::string> notes;        // what was changed on the way
    size_t records = 0;                    // failures written
    size_t causes = 0;                     // named causes written
    std::string text;                      // the data file, UTF-8
};

// Problems with the header numbers, one text each (empty when usable).
std::vector<std::string> CheckImportHeader(const ImportHeader& header);

// Builds the data file from the readable rows. More than MaxNamedCauses
// distinct causes: the most frequent are kept and the rest go to "Другие".
// Rows on the lines `dropLines` are left out, each with a note saying so.
TableImport ConvertFailureTable(const FailureTable& table, const ImportHeader& header,
                                const std::vector<size_t>& dropLines = {});

// Most rows could not be read (more left out than read, or none read): the
// table is not what it was taken for, and nothing should be loaded from it.
bool MostRowsUnreadable(const TableImport& import);

// "Строка 7: наработка -15.5 ч — отрицательная наработка"
std::string DoubtfulRowText(const DoubtfulRow& row);

// "Строка 5: наработка «abc» не является числом"
std::string BadRowText(const BadRow& row);

// The comment a table gets when none is given: its file name without folders.
std::string DefaultImportComment(std::string_view path);

} // namespace tovimo
