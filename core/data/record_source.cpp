#include "core/data/record_source.h"

namespace tovimo {

namespace {
bool startsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
} // namespace

RecordSource SplitRecordSource(std::string_view text) {
    RecordSource r;
    const size_t star = text.find('*');
    if (star == std::string_view::npos) {
        r.source = text;
        return r;
    }
    // The description: from the second character start after the star (the
    // end of the text counts as one).
    int starts = 0;
    for (size_t i = star + 1; i <= text.size(); ++i)
        if (i == text.size() || startsCharacter(text[i])) {
            if (++starts == 2 && i < text.size()) r.description = text.substr(i);
            if (starts == 2) break;
        }
    // The source: from the first character up to the start of the last one
    // before the star.
    size_t first = std::string_view::npos, last = 0;
    for (size_t i = 0; i < star; ++i)
        if (startsCharacter(text[i])) {
            if (first == std::string_view::npos) first = i;
            last = i;
        }
    if (first == std::string_view::npos)
        r.source = text;
    else
        r.source = text.substr(first, last - first);
    return r;
}

} // namespace tovimo
