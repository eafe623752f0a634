#include "cli/table_text.h"

#include "core/results/likelihood_bounds_table.h"
#include "core/text/text_codec.h"

#include <algorithm>

namespace tovimo::cli {

int TextLength(const std::string& utf8) {
    return static_cast<int>(CharCount(utf8));
}

std::string AlignedText(const std::vector<std::vector<std::string>>& rows) {
    std::vector<int> width;
    for (const auto& row : rows) {
        if (width.size() < row.size()) width.resize(row.size(), 0);
        for (size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], TextLength(row[c]));
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
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

std::string TableText(const ResultTable& table) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : table.cells)
        rows.emplace_back(row.begin(), row.end());
    return AlignedText(rows);
}

std::string BoundsText(const AnalysisState& st, char decimalSeparator) {
    std::string out = "Модель 3: доверительные границы\n";
    for (const std::string& line : LikelihoodSummaryLines(st.Pravd, st.MPravd.Executed, decimalSeparator))
        out += line + "\n";
    const std::vector<BoundsRow> shown = ShownBoundsRows(st, decimalSeparator);
    if (shown.empty()) return out;
    std::vector<std::vector<std::string>> rows{{std::begin(kBoundsHeader), std::end(kBoundsHeader)}};
    for (const BoundsRow& row : shown)
        rows.emplace_back(row.begin(), row.end());
    return out + AlignedText(rows);
}

} // namespace tovimo::cli
