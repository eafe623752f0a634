// The results as CSV for spreadsheets: UTF-8 with a byte-order mark, CR LF
// line ends; ';' between fields and a decimal comma under a comma locale,
// ',' and a decimal point otherwise.
#pragma once

#include "core/results/histogram_table.h"
#include "core/results/likelihood_bounds_table.h"
#include "core/results/results_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace tovimo {

// Opens every CSV file: spreadsheets take the file for UTF-8 only with it.
inline constexpr const char* kCsvBom = "\xEF\xBB\xBF";

// The field separator that goes with a decimal separator.
char CsvSeparator(char decimalSeparator);

// A text cell as a spreadsheet is to show it: one that begins with '=', '+',
// '-', '@', a tab or a carriage return would be taken for a formula, so it
// gets a leading apostrophe; any other text is left as it is.
std::string CsvText(std::string_view text);

// A cell that may hold a number or a text: one that is entirely a number in the
// given decimal format (a negative one too) is left as it is; anything else is text.
std::string CsvCell(std::string_view text, char decimalSeparator);

// The results table's figures (ResultTable::figures), one number per cell:
// the row names with their units, a column per model, the operating data.
std::string ResultTableCsv(const ResultTable& table, char decimalSeparator);

// Header: the column edge, each cause's name, the total.
std::string HistogramCsv(const HistogramTable& histogram, char decimalSeparator);

// Model 3's bounds: the header of its panel's table, then a row per figure.
std::string BoundsCsv(const std::vector<BoundsRow>& rows, char decimalSeparator);

struct CsvFile {
    std::string name; // "results.csv"
    std::string text;
};

// results.csv and histogram.csv of the analysis, and bounds.csv when model 3
// was fitted or, refused for too few failures, has bounds at assumed shapes;
// the table is the one the refresh filled.
std::vector<CsvFile> ResultCsvFiles(const AnalysisState& st, const ResultTable& table, char decimalSeparator);

// Writes the files into `dir` (created when missing) and answers their paths;
// throws std::runtime_error naming what could not be written.
std::vector<std::string> WriteCsvFiles(const std::vector<CsvFile>& files, const std::string& dir);

} // namespace tovimo
