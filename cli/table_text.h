// The results table as aligned plain text for the terminal.
#pragma once

#include "core/results/results_table.h"

#include <string>

namespace tovimo::cli {

// Number of characters (code points) of a UTF-8 text.
int TextLength(const std::string& utf8);

// The rows of a table filled without padding, each column as wide as its
// widest cell, two blanks between columns; empty columns are left out.
std::string TableText(const ResultTable& table);

} // namespace tovimo::cli
