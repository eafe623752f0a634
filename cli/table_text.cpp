#include "cli/table_text.h"

#include "core/text/text_codec.h"

#include <algorithm>

namespace tovimo::cli {

int TextLength(const std::string& utf8) {
    return static_cast<int>(CharCount(utf8));
}

std::string TableText(const ResultTable& table) {
    std::array<int, kResultCols> width{};
    for (const auto& row : table.cells)
        for (int c = 0; c < kResultCols; ++c)
            width[c] = std::max(width[c], TextLength(row[c]));
    std::string out;
    for (const auto& row : table.cells) {
        std::string line;
        for (int c = 0; c < kResultCols; ++c) {
            if (width[c] == 0) continue;
            if (!line.empty()) line += "  ";
            line += row[c];
            line.append(static_cast<size_t>(width[c] - TextLength(row[c])), ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + "\n";
    }
    return out;
}

} // namespace tovimo::cli
