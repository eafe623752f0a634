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

const char* const kBom = "\xEF\xBB\xBF"; // spreadsheets take the file for UTF-8 only with it

} // namespace

char CsvSeparator(char decimalSeparator) {
    return decimalSeparator == ',' ? ';' : ',';
}

std::string ResultTableCsv(const ResultTable& table, char decimalSeparator) {
    const char sep = CsvSeparator(decimalSeparator);
    std::string out = kBom;
    for (const auto& row : table.cells) {
        std::vector<std::string> fields;
        for (int c = 0; c <= table.dataColumn && c < kResultCols; ++c)
            fields.push_back(Trim(row[static_cast<size_t>(c)]));
        out += DelimitedLine(fields, sep);
    }
    return out;
}

std::string HistogramCsv(const HistogramTable& h, char decimalSeparator) {
    const char sep = CsvSeparator(decimalSeparator);
    std::string out = kBom;
    std::vector<std::string> head{kHistEdgeTitle};
    head.insert(head.end(), h.causeNames.begin(), h.causeNames.end());
    head.emplace_back(kHistTotalTitle);
    out += DelimitedLine(head, sep);
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
    std::string out = kBom;
    out += DelimitedLine(std::vector<std::string>(std::begin(kBoundsHeader), std::end(kBoundsHeader)), sep);
    for (const BoundsRow& row : rows)
        out += DelimitedLine(std::vector<std::string>(row.begin(), row.end()), sep);
    return out;
}

std::vector<CsvFile> ResultCsvFiles(const AnalysisState& st, const ResultTable& table,
                                    char decimalSeparator) {
    std::vector<CsvFile> files{
        {"results.csv", ResultTableCsv(table, decimalSeparator)},
        {"histogram.csv", HistogramCsv(BuildHistogramTable(st), decimalSeparator)},
    };
    if (st.MPravd.Executed && st.Pravd.fitted)
        files.push_back(
            {"bounds.csv", BoundsCsv(LikelihoodBoundsRows(st.Pravd, decimalSeparator), decimalSeparator)});
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
