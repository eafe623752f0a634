#include "core/text/delimited_text.h"

#include <algorithm>
#include <map>

namespace tovimo {

bool DelimitedReader::next(DelimitedRecord& rec) {
    const std::string_view text = text_;
    const char sep = sep_;
    const size_t n = text.size();
    size_t i = pos_;
    size_t line = line_;
    if (i >= n) return false;
    rec.line = line;
    rec.unclosedQuote = false;
    size_t used = 0; // fields of `rec` filled so far; the rest are dropped at the end
    bool ended = false;
    while (!ended) {
        if (used == rec.fields.size()) rec.fields.emplace_back();
        std::string& field = rec.fields[used++];
        field.clear();
        if (i < n && text[i] == '"') {
            // quoted field: up to the closing quote, "" standing for one quote
            ++i;
            bool closed = false;
            while (i < n) {
                const char c = text[i];
                if (c == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (c == '\n' || (c == '\r' && !(i + 1 < n && text[i + 1] == '\n'))) ++line;
                field += c;
                ++i;
            }
            if (!closed) rec.unclosedQuote = true;
        }
        // the unquoted rest of the field, up to a separator or the line end
        size_t end = i;
        while (end < n && text[end] != sep && text[end] != '\n' && text[end] != '\r')
            ++end;
        field.append(text.data() + i, end - i);
        i = end;
        if (i >= n) {
            ended = true;
        } else if (text[i] == sep) {
            ++i;
        } else {
            if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            ++i;
            ++line;
            ended = true;
        }
    }
    rec.fields.resize(used);
    pos_ = i;
    line_ = line;
    return true;
}

std::vector<DelimitedRecord> SplitDelimited(std::string_view text, char sep) {
    std::vector<DelimitedRecord> records;
    DelimitedReader reader(text, sep);
    DelimitedRecord rec;
    while (reader.next(rec))
        records.push_back(rec);
    return records;
}

std::optional<char> DetectSeparator(std::string_view text) {
    constexpr size_t kProbe = 50; // records looked at
    std::optional<char> best;
    size_t bestAgree = 0;
    for (char sep : {'\t', ';', ','}) {
        DelimitedReader reader(text, sep);
        DelimitedRecord r;
        std::map<size_t, size_t> counts; // fields per record -> records
        size_t probed = 0;
        while (reader.next(r)) {
            const bool blank =
                std::all_of(r.fields.begin(), r.fields.end(), [](const std::string& f) { return f.empty(); });
            if (blank) continue;
            ++counts[r.fields.size()];
            if (++probed == kProbe) break;
        }
        size_t agree = 0;
        for (const auto& [fields, records] : counts)
            if (fields >= 2) agree = std::max(agree, records);
        if (agree > bestAgree) {
            bestAgree = agree;
            best = sep;
        }
    }
    return best;
}

std::string DelimitedField(std::string_view field, char sep) {
    if (field.find_first_of(std::string{sep, '"', '\n', '\r'}) == std::string_view::npos)
        return std::string(field);
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string DelimitedLine(const std::vector<std::string>& fields, char sep) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += sep;
        out += DelimitedField(fields[i], sep);
    }
    out += "\r\n";
    return out;
}

} // namespace tovimo
