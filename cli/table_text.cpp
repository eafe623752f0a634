#include "cli/table_text.h"

#include <algorithm>

namespace tovimo::cli {

int TextLength(const std::string& utf8) {
    int n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
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
