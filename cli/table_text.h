// The results table and model 3's bounds as aligned plain text for the terminal.
#pragma once

#include "core/results/results_table.h"

#include <string>
#include <vector>

namespace tovimo::cli {

// Number of characters (code points) of a UTF-8 text.
int TextLength(const std::string& utf8);

// Each column as wide as its widest cell, two blanks between columns, columns
// empty in every row left out, no blanks at a line's end.
std::string AlignedText(const std::vector<std::vector<std::string>>& rows);

// The rows of a table filled without padding, aligned as above.
std::string TableText(const ResultTable& table);

// Model 3 as the bounds panel shows it: the summary lines, then the header and
// the rows of its figures (or of the assumed shapes when it was refused).
std::string BoundsText(const AnalysisState& st, char decimalSeparator);

} // namespace tovimo::cli
