#include "core/text/delimited_text.h"

#include <algorithm>
#include <map>

namespace tovimo {

std::vector<DelimitedRecord> SplitDelimited(std::string_view text, char sep) {
    std::vector<DelimitedRecord> records;
    size_t line = 1;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        DelimitedRecord rec;
        rec.line = line;
        std::string field;
        bool ended = false;
        while (!ended) {
            if (i < n && text[i] == '"' && field.empty()) {
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
            while (i < n && text[i] != sep && text[i] != '\n' && text[i] != '\r')
                field += text[i++];
            rec.fields.push_back(std::move(field));
            field.clear();
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
        records.push_back(std::move(rec));
    }
    return records;
}

std::optional<char> DetectSeparator(std::string_view text) {
    constexpr size_t kProbe = 50; // records looked at
    std::optional<char> best;
    size_t bestAgree = 0;
    for (char sep : {'\t', ';', ','}) {
        std::vector<DelimitedRecord> recs = SplitDelimited(text, sep);
        std::map<size_t, size_t> counts; // fields per record -> records
        size_t probed = 0;
        for (const DelimitedRecord& r : recs) {
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
