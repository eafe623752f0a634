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
#include <unordered_map>

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
std::optional<TimeText> parseTime(std::string_view field) {
    const std::string_view s = TrimView(field);
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
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return Trim(out);
}

std::string_view field(const TableRows& rows, size_t row, int column) {
    return rows.field(row, column);
}

bool blank(const DelimitedRecord& r) {
    return std::all_of(r.fields.begin(), r.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

// How many of the first rows hold a time in a column.
size_t timesIn(const TableRows& rows, int column) {
    size_t n = 0;
    for (size_t i = 0; i < rows.size() && i < 20; ++i)
        if (parseTime(field(rows, i, column))) ++n;
    return n;
}

TableColumns columnsFromHeader(const std::vector<std::string>& header, size_t columnCount,
                               const TableRows& rows) {
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

size_t TableRows::fieldEnd(size_t rowIndex) const {
    return rowIndex + 1 < rows_.size() ? rows_[rowIndex + 1].firstField : fieldEnds_.size();
}

size_t TableRows::fieldCount(size_t row) const {
    return fieldEnd(first_ + row) - at(row).firstField;
}

std::string_view TableRows::field(size_t row, int column) const {
    if (column < 0 || static_cast<size_t>(column) >= fieldCount(row)) return {};
    const size_t f = at(row).firstField + static_cast<size_t>(column);
    const size_t begin = f == 0 ? 0 : fieldEnds_[f - 1];
    return std::string_view(text_).substr(begin, fieldEnds_[f] - begin);
}

std::vector<std::string> TableRows::fields(size_t row) const {
    std::vector<std::string> out;
    for (size_t c = 0; c < fieldCount(row); ++c)
        out.emplace_back(field(row, static_cast<int>(c)));
    return out;
}

void TableRows::reserve(size_t rows, size_t fields, size_t textBytes) {
    rows_.reserve(rows);
    fieldEnds_.reserve(fields);
    text_.reserve(textBytes);
}

void TableRows::add(size_t line, const std::vector<std::string>& fields, bool unclosedQuote) {
    rows_.push_back(Row{line, fieldEnds_.size(), unclosedQuote});
    for (const std::string& f : fields) {
        text_ += f;
        fieldEnds_.push_back(text_.size());
    }
}

TableReadResult ReadFailureTable(std::string_view bytes, const TableReadOptions& options) {
    TableReadResult result;
    if (!looksLikeText(bytes)) {
        result.error = "Файл не является текстовой таблицей (в нём двоичные данные): загружать нечего";
        return result;
    }
    FailureTable t;
    // UTF-8 is read where it lies; only Windows-1251 needs a decoded copy
    const FileTextKind kind = ClassifyFileText(bytes);
    std::string decoded;
    if (kind.windows1251) decoded = DecodeFileText(bytes);
    const std::string_view text = kind.windows1251 ? std::string_view(decoded) : kind.utf8;
    t.encoding = kind.windows1251 ? "Windows-1251" : "UTF-8";

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

    DelimitedReader reader(text, t.separator);
    DelimitedRecord r;
    bool first = true;
    while (reader.next(r)) {
        if (blank(r) && !r.unclosedQuote) {
            if (!first) ++t.blankRows;
            continue;
        }
        t.columnCount = std::max(t.columnCount, r.fields.size());
        if (first) {
            t.headerFields = r.fields;
            first = false;
            // room for every line with as many fields as the first row
            const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
            t.rows.reserve(lines, lines * r.fields.size(), text.size());
        }
        t.rows.add(r.line, r.fields, r.unclosedQuote);
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
        const bool firstHasTime = parseTime(field(t.rows, 0, timeColumn)).has_value();
        const bool secondHasTime = t.rows.size() > 1 && parseTime(field(t.rows, 1, timeColumn)).has_value();
        t.header = named || (!firstHasTime && secondHasTime);
    }
    if (t.header) {
        t.rows.dropFirst();
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

// A row of the table that can be a record: its texts stay in the table.
struct ImportRow {
    size_t row = 0;                   // in the table
    size_t cause = std::string::npos; // in ImportCauses, npos: no cause given
};

// One cause of the table, told apart from the others without regard to case
// and written as first spelt.
struct ImportCause {
    std::string name;
    size_t count = 0;
    size_t order = 0; // of first appearance
};

// The causes of the records, in order of first appearance.
class ImportCauses {
  public:
    // The cause a record names (not empty), counted once more.
    size_t count(const std::string& cause) {
        auto spelt = bySpelling_.find(cause);
        size_t id;
        if (spelt != bySpelling_.end()) {
            id = spelt->second;
        } else {
            auto [it, added] = byKey_.try_emplace(LowerCase(cause), list.size());
            if (added) list.push_back(ImportCause{cause, 0, list.size()});
            id = it->second;
            // a table of few causes spelt few ways is lower-cased once per spelling
            if (bySpelling_.size() < 1024) bySpelling_.emplace(cause, id);
        }
        ++list[id].count;
        return id;
    }
    std::vector<ImportCause> list;

  private:
    std::map<std::string, size_t> byKey_; // lower-case name -> index in list
    std::unordered_map<std::string, size_t> bySpelling_;
};

// The warranty law's end: loading cuts longer times to it.
double warrantyEnd(const ImportHeader& header) {
    return header.mean + 3 * header.sd;
}

// The rows that can be records, with their causes counted; the others go to
// `bad` with the reason, the doubtful ones to `doubtful` as well, and those
// on `dropLines` to `notes`.
std::vector<ImportRow> readImportRows(const FailureTable& table, const ImportHeader& header,
                                      const std::vector<size_t>& dropLines, ImportCauses& causes,
                                      std::vector<BadRow>& bad, std::vector<DoubtfulRow>& doubtful,
                                      std::vector<std::string>& notes) {
    std::vector<ImportRow> rows;
    rows.reserve(table.rows.size());
    const double end = warrantyEnd(header);
    const bool lawGiven = header.mean > 0 && header.sd > 0 && std::isfinite(end);
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const size_t line = table.rows.line(i);
        if (table.rows.unclosedQuote(i)) {
            bad.push_back({line, "не закрыта кавычка: строка и все строки за ней прочитаны как одно поле"});
            continue;
        }
        const std::string_view timeField = TrimView(field(table.rows, i, table.columns.time));
        if (timeField.empty()) {
            bad.push_back({line, "не указана наработка"});
            continue;
        }
        const auto time = parseTime(timeField);
        if (!time) {
            bad.push_back({line, "наработка «" + oneLine(timeField) + "» не является числом"});
            continue;
        }
        const std::string cause = oneLine(field(table.rows, i, table.columns.cause));
        if (cause.find('*') != std::string::npos) {
            bad.push_back({line, "в причине отказа «" + cause +
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
            doubtful.push_back({line, shown, doubt});
            if (std::find(dropLines.begin(), dropLines.end(), line) != dropLines.end()) {
                notes.push_back("Строка " + std::to_string(line) + " не загружается: " + doubt);
                continue;
            }
        }
        rows.push_back(ImportRow{i, cause.empty() ? std::string::npos : causes.count(cause)});
    }
    return rows;
}

// The causes of the rows: the most frequent MaxNamedCauses keep their names,
// the others go to "Другие".
struct CauseRanking {
    std::vector<const ImportCause*> ranked;  // most frequent first, then by first appearance
    std::vector<const ImportCause*> written; // those kept, by first appearance
    std::vector<bool> kept;                  // by index in ImportCauses
    size_t noCause = 0, droppedCauses = 0, droppedRecords = 0;
};

CauseRanking rankCauses(const std::vector<ImportRow>& rows, const ImportCauses& causes) {
    CauseRanking k;
    for (const ImportRow& r : rows)
        if (r.cause == std::string::npos) ++k.noCause;
    for (const ImportCause& c : causes.list)
        k.ranked.push_back(&c);
    std::sort(k.ranked.begin(), k.ranked.end(), [](const ImportCause* a, const ImportCause* b) {
        return a->count != b->count ? a->count > b->count : a->order < b->order;
    });
    k.kept.assign(causes.list.size(), false);
    for (size_t i = 0; i < k.ranked.size(); ++i) {
        const bool keep = i < static_cast<size_t>(MaxNamedCauses);
        k.kept[k.ranked[i]->order] = keep;
        if (keep)
            k.written.push_back(k.ranked[i]);
        else
            ++k.droppedCauses, k.droppedRecords += k.ranked[i]->count;
    }
    std::sort(k.written.begin(), k.written.end(),
              [](const ImportCause* a, const ImportCause* b) { return a->order < b->order; });
    return k;
}

// The data file of the rows: the header given, the causes kept, and every
// row with a dropped cause or none under "Другие". Written line by line from
// the table's texts, with no record held apart.
std::string importedText(const FailureTable& table, const std::vector<ImportRow>& rows, const CauseRanking& k,
                         const ImportHeader& header) {
    DataFileContent head;
    head.comment = oneLine(header.comment);
    head.mean = header.mean;
    head.sd = header.sd;
    head.fleet = header.fleet;
    head.failures = header.failures ? *header.failures : static_cast<long long>(rows.size());
    for (const ImportCause* c : k.written)
        head.causes.push_back(c->name);
    std::string text = DataFileText(head);
    text.reserve(text.size() + table.rows.textBytes() + rows.size() * 16);
    for (const ImportRow& r : rows) {
        const std::string time = parseTime(field(table.rows, r.row, table.columns.time))->text;
        const std::string description = oneLine(field(table.rows, r.row, table.columns.description));
        if (r.cause != std::string::npos && k.kept[r.cause]) {
            AppendDataFileRecord(text, time, oneLine(field(table.rows, r.row, table.columns.cause)),
                                 description);
        } else if (r.cause == std::string::npos) {
            AppendDataFileRecord(text, time, kOther, description);
        } else {
            // the cause's own name goes into the description, so it is not lost
            const std::string cause = oneLine(field(table.rows, r.row, table.columns.cause));
            AppendDataFileRecord(text, time, kOther,
                                 description.empty() ? cause : cause + ": " + description);
        }
    }
    return text;
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
    ImportCauses causes;
    const std::vector<ImportRow> rows =
        readImportRows(table, header, dropLines, causes, out.badRows, out.doubtfulRows, dropped);
    const CauseRanking ranking = rankCauses(rows, causes);
    out.records = rows.size();
    out.causes = ranking.written.size();
    out.text = importedText(table, rows, ranking, header);
    out.notes = importNotes(table, header, rows.size(), ranking);
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
