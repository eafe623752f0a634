#include "core/data/table_import.h"

#include "core/data/data_file_text.h"
#include "core/state/analysis_state.h"
#include "core/state/run_inputs.h"
#include "core/text/delimited_text.h"
#include "core/text/number_format.h"
#include "core/text/text_codec.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <map>

namespace tovimo {

namespace {

const char* const kOther = "Другие";

enum class ColumnKind { None, Time, Cause, Description };

bool isLetter(unsigned char c) {
    // Latin letters and every byte of a multi-byte UTF-8 character (Cyrillic)
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

// Which column a header cell names: the name itself, or the name followed by
// more words ("Наработка, ч", "Причина отказа").
ColumnKind headerKind(const std::string& cell) {
    const std::string text = LowerCase(Trim(cell));
    const struct {
        const char* name;
        ColumnKind kind;
    } names[] = {{"время", ColumnKind::Time},
                 {"наработка", ColumnKind::Time},
                 {"time", ColumnKind::Time},
                 {"причина", ColumnKind::Cause},
                 {"cause", ColumnKind::Cause},
                 {"описание", ColumnKind::Description},
                 {"description", ColumnKind::Description}};
    for (const auto& n : names) {
        const std::string_view name(n.name);
        if (text.compare(0, name.size(), name) != 0) continue;
        if (text.size() == name.size() || !isLetter(static_cast<unsigned char>(text[name.size()])))
            return n.kind;
    }
    return ColumnKind::None;
}

// Blanks that spreadsheets put between groups of thousands.
size_t groupBlankAt(std::string_view s, size_t i) {
    if (s[i] == ' ') return 1;
    if (s.substr(i, 2) == "\xC2\xA0") return 2;                                         // no-break space
    if (s.substr(i, 3) == "\xE2\x80\xAF" || s.substr(i, 3) == "\xE2\x80\x89") return 3; // narrow, thin
    return 0;
}

struct TimeText {
    std::string text; // digits with a point, as the data file gets it
    double value = 0;
};

// A time with a decimal point or comma, and blanks between groups of three
// digits ("1 234,5"); anything else is not a time.
std::optional<TimeText> parseTime(const std::string& field) {
    const std::string s = Trim(field);
    std::string compact;
    for (size_t i = 0; i < s.size();) {
        if (size_t w = groupBlankAt(s, i)) {
            // a group blank stands between a digit and exactly three digits
            const bool digitBefore =
                !compact.empty() && std::isdigit(static_cast<unsigned char>(compact.back()));
            size_t j = i + w, digits = 0;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
                ++j, ++digits;
            const bool groupEnds = j == s.size() || s[j] == ',' || s[j] == '.' || groupBlankAt(s, j);
            if (!digitBefore || digits != 3 || !groupEnds) return std::nullopt;
            i += w;
            continue;
        }
        compact += s[i] == ',' ? '.' : s[i];
        ++i;
    }
    if (std::count(compact.begin(), compact.end(), '.') > 1) return std::nullopt;
    const auto v = ParseFloat(compact, '.');
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return TimeText{compact, *v};
}

// Tabs and line ends would break the data file's line layout.
std::string oneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return Trim(out);
}

std::string field(const TableRow& row, int column) {
    if (column < 0 || static_cast<size_t>(column) >= row.fields.size()) return {};
    return row.fields[static_cast<size_t>(column)];
}

bool blank(const DelimitedRecord& r) {
    return std::all_of(r.fields.begin(), r.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

// How many of the first rows hold a time in a column.
size_t timesIn(const std::vector<TableRow>& rows, int column) {
    size_t n = 0;
    for (size_t i = 0; i < rows.size() && i < 20; ++i)
        if (parseTime(field(rows[i], column))) ++n;
    return n;
}

TableColumns columnsFromHeader(const std::vector<std::string>& header, size_t columnCount,
                               const std::vector<TableRow>& rows) {
    int time = -1, cause = -1, description = -1;
    for (size_t c = 0; c < header.size(); ++c) {
        const int ci = static_cast<int>(c);
        switch (headerKind(header[c])) {
        case ColumnKind::Time:
            if (time < 0) time = ci;
            break;
        case ColumnKind::Cause:
            if (cause < 0) cause = ci;
            break;
        case ColumnKind::Description:
            if (description < 0) description = ci;
            break;
        case ColumnKind::None:
            break;
        }
    }
    if (time < 0 && cause < 0 && description < 0) return TableColumns{0, 1, columnCount > 2 ? 2 : -1};
    // a column the header does not name is taken among the rest: the time
    // where the rows hold times, the cause by position
    const auto free = [&](int c) { return c != time && c != cause && c != description; };
    if (time < 0) {
        size_t best = 0;
        for (int c = 0; c < static_cast<int>(columnCount); ++c)
            if (free(c) && (time < 0 || timesIn(rows, c) > best)) {
                time = c;
                best = timesIn(rows, c);
            }
    }
    if (cause < 0)
        for (int c = 0; c < static_cast<int>(columnCount) && cause < 0; ++c)
            if (free(c)) cause = c;
    return TableColumns{time, cause, description};
}

// Text has no NUL bytes and few control characters besides tab, line feed,
// carriage return and form feed; a PDF, an image or a spreadsheet's own
// binary format has many.
bool looksLikeText(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 64 * 1024);
    size_t control = 0;
    for (unsigned char c : head) {
        if (c == 0) return false;
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') ++control;
    }
    return control * 100 <= head.size(); // at most 1 %
}

} // namespace

TableReadResult ReadFailureTable(std::string_view bytes, const TableReadOptions& options) {
    TableReadResult result;
    if (!looksLikeText(bytes)) {
        result.error = "Файл не является текстовой таблицей (в нём двоичные данные): загружать нечего";
        return result;
    }
    FailureTable t;
    const std::string text = DecodeFileText(bytes);
    const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    t.encoding = (text == bytes || (bom && text == bytes.substr(3))) ? "UTF-8" : "Windows-1251";

    if (options.separator) {
        t.separator = *options.separator;
    } else if (auto sep = DetectSeparator(text)) {
        t.separator = *sep;
    } else {
        result.error = Trim(text).empty() ? "Таблица пуста"
                                          : "Не удалось найти разделитель столбцов (точка с запятой, "
                                            "запятая или табуляция): нужны хотя бы два столбца";
        return result;
    }

    std::vector<DelimitedRecord> records = SplitDelimited(text, t.separator);
    bool first = true;
    for (DelimitedRecord& r : records) {
        if (blank(r) && !r.unclosedQuote) {
            if (!first) ++t.blankRows;
            continue;
        }
        t.columnCount = std::max(t.columnCount, r.fields.size());
        if (first) {
            t.headerFields = r.fields;
            first = false;
        }
        t.rows.push_back(TableRow{r.line, std::move(r.fields), r.unclosedQuote});
    }
    if (t.rows.empty()) {
        result.error = "Таблица пуста";
        return result;
    }

    const bool named = std::any_of(t.headerFields.begin(), t.headerFields.end(),
                                   [](const std::string& f) { return headerKind(f) != ColumnKind::None; });
    if (options.header) {
        t.header = *options.header;
    } else {
        // a first row without a time where the next row has one is a header too
        const int timeColumn = options.columns ? options.columns->time : 0;
        const bool firstHasTime = parseTime(field(t.rows[0], timeColumn)).has_value();
        const bool secondHasTime = t.rows.size() > 1 && parseTime(field(t.rows[1], timeColumn)).has_value();
        t.header = named || (!firstHasTime && secondHasTime);
    }
    if (t.header) {
        t.rows.erase(t.rows.begin());
    } else {
        t.headerFields.clear();
    }

    if (options.columns)
        t.columns = *options.columns;
    else
        t.columns = columnsFromHeader(t.headerFields, t.columnCount, t.rows);
    result.table = std::move(t);
    return result;
}

std::vector<std::string> CheckImportHeader(const ImportHeader& h) {
    std::vector<std::string> problems;
    if (!(h.fleet > 0) || !std::isfinite(h.fleet))
        problems.emplace_back("Парк изделий должен быть больше нуля");
    if (!(h.mean > 0) || !std::isfinite(h.mean)) problems.emplace_back(kMsgSredNotPositive);
    if (!(h.sd > 0) || !std::isfinite(h.sd)) problems.emplace_back(kMsgSkoNotPositive);
    if (h.failures && *h.failures < 0) problems.emplace_back("Число отказов не может быть отрицательным");
    if (h.failures && *h.failures > INT_MAX) problems.emplace_back("Число отказов слишком велико");
    return problems;
}

namespace {

// A row of the table that can be a record.
struct ImportRow {
    TimeText time;
    std::string cause; // empty: no cause given
    std::string description;
};

// The warranty law's end: loading cuts longer times to it.
double warrantyEnd(const ImportHeader& header) {
    return header.mean + 3 * header.sd;
}

// The rows that can be records; the others go to `bad` with the reason, the
// doubtful ones to `doubtful` as well, and those on `dropLines` to `notes`.
std::vector<ImportRow> readImportRows(const FailureTable& table, const ImportHeader& header,
                                      const std::vector<size_t>& dropLines, std::vector<BadRow>& bad,
                                      std::vector<DoubtfulRow>& doubtful, std::vector<std::string>& notes) {
    std::vector<ImportRow> rows;
    const double end = warrantyEnd(header);
    const bool lawGiven = header.mean > 0 && header.sd > 0 && std::isfinite(end);
    for (const TableRow& r : table.rows) {
        if (r.unclosedQuote) {
            bad.push_back({r.line, "не закрыта кавычка: строка и все строки за ней прочитаны как одно поле"});
            continue;
        }
        const std::string timeField = Trim(field(r, table.columns.time));
        if (timeField.empty()) {
            bad.push_back({r.line, "не указана наработка"});
            continue;
        }
        const auto time = parseTime(timeField);
        if (!time) {
            bad.push_back({r.line, "наработка «" + oneLine(timeField) + "» не является числом"});
            continue;
        }
        const std::string cause = oneLine(field(r, table.columns.cause));
        if (cause.find('*') != std::string::npos) {
            bad.push_back({r.line, "в причине отказа «" + cause +
                                       "» есть знак «*», которым в файле данных начинается описание"});
            continue;
        }
        std::string doubt;
        if (time->value < 0) {
            doubt = "отрицательная наработка";
        } else if (lawGiven && time->value > end) {
            const std::string e = FloatToStr(end, header.decimalSeparator);
            doubt = "наработка больше " + e +
                    " ч (среднее время гарантии + 3 СКО): при загрузке будет "
                    "уменьшена до " +
                    e + " ч";
        }
        if (!doubt.empty()) {
            std::string shown = time->text;
            std::replace(shown.begin(), shown.end(), '.', header.decimalSeparator);
            doubtful.push_back({r.line, shown, doubt});
            if (std::find(dropLines.begin(), dropLines.end(), r.line) != dropLines.end()) {
                notes.push_back("Строка " + std::to_string(r.line) + " не загружается: " + doubt);
                continue;
            }
        }
        rows.push_back(ImportRow{*time, cause, oneLine(field(r, table.columns.description))});
    }
    return rows;
}

// One cause of the table, told apart from the others without regard to case
// and written as first spelt.
struct ImportCause {
    std::string name;
    size_t count = 0;
    size_t order = 0; // of first appearance
};

// The causes of the rows: the most frequent MaxNamedCauses keep their names,
// the others go to "Другие".
struct CauseRanking {
    std::map<std::string, ImportCause> byKey; // by lower-case name
    std::vector<std::string> keyOfRow;        // empty for a row without a cause
    std::vector<const ImportCause*> ranked;   // most frequent first, then by first appearance
    std::vector<const ImportCause*> written;  // those kept, by first appearance
    std::map<std::string, bool> kept;
    size_t noCause = 0, droppedCauses = 0, droppedRecords = 0;
};

CauseRanking rankCauses(const std::vector<ImportRow>& rows) {
    CauseRanking k;
    k.keyOfRow.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].cause.empty()) {
            ++k.noCause;
            continue;
        }
        const std::string key = LowerCase(rows[i].cause);
        auto [it, added] = k.byKey.try_emplace(key, ImportCause{rows[i].cause, 0, k.byKey.size()});
        ++it->second.count;
        k.keyOfRow[i] = key;
    }
    for (const auto& [key, c] : k.byKey)
        k.ranked.push_back(&c);
    std::sort(k.ranked.begin(), k.ranked.end(), [](const ImportCause* a, const ImportCause* b) {
        return a->count != b->count ? a->count > b->count : a->order < b->order;
    });
    for (size_t i = 0; i < k.ranked.size(); ++i) {
        const bool keep = i < static_cast<size_t>(MaxNamedCauses);
        k.kept[LowerCase(k.ranked[i]->name)] = keep;
        if (!keep) ++k.droppedCauses, k.droppedRecords += k.ranked[i]->count;
    }
    for (const ImportCause* c : k.ranked)
        if (k.kept[LowerCase(c->name)]) k.written.push_back(c);
    std::sort(k.written.begin(), k.written.end(),
              [](const ImportCause* a, const ImportCause* b) { return a->order < b->order; });
    return k;
}

// The data file of the rows: the header given, the causes kept, and every
// row with a dropped cause or none under "Другие".
DataFileContent importedFile(const std::vector<ImportRow>& rows, CauseRanking& k,
                             const ImportHeader& header) {
    DataFileContent file;
    file.comment = oneLine(header.comment);
    file.mean = header.mean;
    file.sd = header.sd;
    file.fleet = header.fleet;
    file.failures = header.failures ? *header.failures : static_cast<long long>(rows.size());
    for (const ImportCause* c : k.written)
        file.causes.push_back(c->name);
    for (size_t i = 0; i < rows.size(); ++i) {
        const ImportRow& r = rows[i];
        if (!r.cause.empty() && k.kept[k.keyOfRow[i]]) {
            file.records.push_back({r.time.text, r.cause, r.description});
        } else if (r.cause.empty()) {
            file.records.push_back({r.time.text, kOther, r.description});
        } else {
            // the cause's own name goes into the description, so it is not lost
            file.records.push_back(
                {r.time.text, kOther, r.description.empty() ? r.cause : r.cause + ": " + r.description});
        }
    }
    return file;
}

// What the user should know about the import: causes merged into "Другие",
// names that hold one another (the loader counts a record for every cause
// whose name its text holds), more failures read than declared, blank rows.
std::vector<std::string> importNotes(const FailureTable& table, const ImportHeader& header, size_t rowCount,
                                     const CauseRanking& k) {
    std::vector<std::string> notes;
    if (k.droppedCauses > 0)
        notes.push_back("В таблице " + std::to_string(k.ranked.size()) + " причин отказов; оставлены " +
                        std::to_string(static_cast<size_t>(MaxNamedCauses)) + " самых частых, остальные " +
                        std::to_string(k.droppedCauses) + " (" + std::to_string(k.droppedRecords) +
                        " отказов) отнесены к «Другие»");
    if (k.noCause > 0)
        notes.push_back("Отказов без причины: " + std::to_string(k.noCause) + ", они отнесены к «Другие»");
    const std::string otherKey = LowerCase(kOther);
    for (const ImportCause* a : k.written) {
        const std::string ka = LowerCase(a->name);
        for (const ImportCause* b : k.written)
            if (a != b && LowerCase(b->name).find(ka) != std::string::npos)
                notes.push_back("Название причины «" + a->name + "» входит в название причины «" + b->name +
                                "»: отказы «" + b->name + "» засчитываются и причине «" + a->name + "»");
        if ((k.noCause > 0 || k.droppedRecords > 0) && otherKey.find(ka) != std::string::npos)
            notes.push_back("Название причины «" + a->name +
                            "» входит в «Другие»: отказы «Другие» засчитываются и ей");
    }
    if (header.failures && static_cast<size_t>(*header.failures) < rowCount)
        notes.push_back("Заявлено отказов (" + std::to_string(*header.failures) +
                        ") меньше, чем прочитано (" + std::to_string(rowCount) + ")");
    if (table.blankRows > 0) notes.push_back("Пустых строк пропущено: " + std::to_string(table.blankRows));
    return notes;
}

} // namespace

TableImport ConvertFailureTable(const FailureTable& table, const ImportHeader& header,
                                const std::vector<size_t>& dropLines) {
    TableImport out;
    std::vector<std::string> dropped;
    const std::vector<ImportRow> rows =
        readImportRows(table, header, dropLines, out.badRows, out.doubtfulRows, dropped);
    CauseRanking causes = rankCauses(rows);
    const DataFileContent file = importedFile(rows, causes, header);
    out.records = file.records.size();
    out.causes = file.causes.size();
    out.text = DataFileText(file);
    out.notes = importNotes(table, header, rows.size(), causes);
    out.notes.insert(out.notes.end(), dropped.begin(), dropped.end());
    return out;
}

bool MostRowsUnreadable(const TableImport& import) {
    return import.records == 0 || import.badRows.size() > import.records;
}

std::string DoubtfulRowText(const DoubtfulRow& row) {
    return "Строка " + std::to_string(row.line) + ": " + row.time + " ч — " + row.reason;
}

std::string BadRowText(const BadRow& row) {
    return "Строка " + std::to_string(row.line) + ": " + row.reason;
}

std::string DefaultImportComment(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace tovimo
