#include "cli/commands.h"

#include "core/data/data_file.h"
#include "core/data/data_file_text.h"
#include "core/data/table_import.h"

#include <fstream>
#include <iostream>

namespace tovimo::cli {

namespace {

std::string separatorName(char sep) {
    if (sep == '\t') return "табуляция";
    return std::string("«") + sep + "»";
}

std::string columnText(int column) {
    return column < 0 ? "нет" : std::to_string(column + 1);
}

} // namespace

int RunImport(const ImportOptions& o) {
    ImportHeader header;
    header.fleet = o.fleet;
    header.mean = o.mean;
    header.sd = o.sd;
    header.failures = o.failures;
    header.comment = o.comment ? *o.comment : DefaultImportComment(o.table);
    const auto problems = CheckImportHeader(header);
    for (const auto& p : problems)
        std::cerr << p << "\n";
    if (!problems.empty()) return kUsage;

    auto bytes = ReadFileBytes(o.table);
    if (!bytes) {
        std::cerr << kMsgFileMissing << ": " << o.table << "\n";
        return kFileError;
    }
    TableReadResult read = ReadFailureTable(*bytes);
    bytes.reset(); // the table holds what is needed of the file
    if (!read.table) {
        std::cerr << read.error << "\n";
        return kFileError;
    }
    const FailureTable& t = *read.table;
    std::cout << "Кодировка: " << t.encoding << ", разделитель: " << separatorName(t.separator)
              << ", строка заголовка: " << (t.header ? "есть" : "нет") << "\n"
              << "Столбцы: наработка " << columnText(t.columns.time) << ", причина "
              << columnText(t.columns.cause) << ", описание " << columnText(t.columns.description) << "\n";

    const TableImport imp = ConvertFailureTable(t, header);
    read.table.reset(); // the data file's text is all that is written
    for (const BadRow& b : imp.badRows)
        std::cerr << BadRowText(b) << "\n";
    for (const std::string& n : imp.notes)
        std::cout << "Примечание: " << n << "\n";
    if (imp.records == 0) {
        std::cerr << "В таблице нет ни одной строки с отказом\n";
        return kBadData;
    }
    if (!imp.badRows.empty() && !o.skipBad) {
        std::cerr << "Не прочитано строк: " << imp.badRows.size()
                  << ". Файл не записан; --skip-bad записывает его без этих строк\n";
        return kBadData;
    }

    std::ofstream out(o.output, std::ios::binary);
    out << DataFileBytes(imp.text);
    out.close();
    if (!out) {
        std::cerr << "Не удалось записать файл " << o.output << "\n";
        return kFileError;
    }
    std::cout << "Записан файл " << o.output << ": отказов " << imp.records << ", причин " << imp.causes;
    if (!imp.badRows.empty()) std::cout << ", пропущено строк " << imp.badRows.size();
    std::cout << "\n";
    return kDone;
}

} // namespace tovimo::cli
