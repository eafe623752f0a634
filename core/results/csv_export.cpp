#include "core/results/csv_export.h"

#include "core/text/delimited_text.h"
#include "core/text/number_format.h"
#include "core/text/text_codec.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tovimo {

namespace {

std::vector<std::string> TextCells(const std::vector<std::string>& texts) {
    std::vector<std::string> cells;
    for (const std::string& t : texts)
        cells.push_back(CsvText(t));
    return cells;
}

} // namespace

char CsvSeparator(char decimalSeparator) {
    return decimalSeparator == ',' ? ';' : ',';
}

std::string CsvText(std::string_view text) {
    const bool formula =
        !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    return formula ? "'" + std::string(text) : std::string(text);
}

std::string CsvCell(std::string_view text, char decimalSeparator) {
    const bool signedNumber =
        !text.empty() && (text.front() == '-' || text.front() == '+') && ParseFloat(text, decimalSeparator);
    return signedNumber ? std::string(text) : CsvText(text);
}

std::string ResultTableCsv(const ResultTable& table, char decimalSeparator) {
    const char sep = CsvSeparator(decimalSeparator);
    std::string out = kCsvBom;
    for (const auto& row : table.figures) {
        std::vector<std::string> fields;
        for (int c = 0; c <= table.dataColumn && c < kResultCols; ++c)
            fields.push_back(c == 0 ? CsvText(row[0])
                                    : CsvCell(row[static_cast<size_t>(c)], decimalSeparator));
        out += DelimitedLine(fields, sep);
    }
    return out;
}

std::string HistogramCsv(const HistogramTable& h, char decimalSeparator) {
    const char sep = CsvSeparator(decimalSeparator);
    std::string out = kCsvBom;
    std::vector<std::string> head{kHistEdgeTitle};
    head.insert(head.end(), h.causeNames.begin(), h.causeNames.end());
    head.emplace_back(kHistTotalTitle);
    out += DelimitedLine(TextCells(head), sep);
    for (const auto& row : h.rows) {
        std::vector<std::string> fields{FloatToStr(row.edge, decimalSeparator)};
        for (int n : row.counts)
            fields.push_back(std::to_string(n));
        fields.push_back(std::to_string(row.total));
        out += DelimitedLine(fields, sep);
    }
    return out;
}

std::string BoundsCsv(const std::vector<BoundsRow>& rows, char decimalSeparator) {
    const char sep = CsvSeparator(decimalSeparator);
    std::string out = kCsvBom;
    out += DelimitedLine(
        TextCells(std::vector<std::string>(std::begin(kBoundsHeader), std::end(kBoundsHeader))), sep);
    for (const BoundsRow& row : rows) {
        std::vector<std::string> fields;
        for (const std::string& cell : row)
            fields.push_back(CsvCell(cell, decimalSeparator));
        out += DelimitedLine(fields, sep);
    }
    return out;
}

std::vector<CsvFile> ResultCsvFiles(const AnalysisState& st, const ResultTable& table,
                                    char decimalSeparator) {
    std::vector<CsvFile> files{
        {"results.csv", ResultTableCsv(table, decimalSeparator)},
        {"histogram.csv", HistogramCsv(BuildHistogramTable(st), decimalSeparator)},
    };
    // model 3's rows, or its upper bounds at assumed shapes when it was refused
    const std::vector<BoundsRow> bounds = ShownBoundsRows(st, decimalSeparator);
    if (!bounds.empty()) files.push_back({"bounds.csv", BoundsCsv(bounds, decimalSeparator)});
    return files;
}

std::vector<std::string> WriteCsvFiles(const std::vector<CsvFile>& files, const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir)) throw std::runtime_error("Не удалось создать папку " + dir);
    std::vector<std::string> written;
    for (const CsvFile& f : files) {
        const std::string path = (fs::path(dir) / f.name).string();
        std::ofstream out(path, std::ios::binary);
        out << f.text;
        out.close();
        if (!out) throw std::runtime_error("Не удалось записать файл " + path);
        written.push_back(path);
    }
    return written;
}

} // namespace tovimo
