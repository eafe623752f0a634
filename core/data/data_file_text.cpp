#include "core/data/data_file_text.h"

#include "core/text/number_format.h"
#include "core/text/text_codec.h"

#include <algorithm>

namespace tovimo {

std::string DataFileText(const DataFileContent& c) {
    std::string text = c.comment + "\n";
    text += FloatToStr(c.mean, '.') + "\n" + FloatToStr(c.sd, '.') + "\n";
    text += FloatToStr(c.fleet, '.') + "\n" + std::to_string(c.failures) + "\n";
    text += std::to_string(c.causes.size()) + "\n";
    for (const auto& cause : c.causes)
        text += cause + "\n";
    for (const auto& r : c.records)
        AppendDataFileRecord(text, r.time, r.source, r.description);
    return text;
}

void AppendDataFileRecord(std::string& text, std::string_view time, std::string_view source,
                          std::string_view description) {
    text += time;
    text += '\t';
    text += source;
    if (!description.empty()) {
        text += " * ";
        text += description;
    }
    text += '\n';
}

std::string DataFileBytes(std::string_view utf8Text) {
    // Encoded a piece of whole lines at a time: a long file is never held as
    // UTF-16 or decoded back all at once. Windows-1251 gives every character
    // one byte, so the pieces join into the encoding of the whole.
    constexpr size_t kPiece = 1 << 16;
    std::string cp1251;
    cp1251.reserve(utf8Text.size());
    bool sameText = true; // each piece decodes back to itself
    std::string back;
    for (size_t at = 0; at < utf8Text.size();) {
        size_t end = utf8Text.find('\n', std::min(at + kPiece, utf8Text.size()) - 1);
        end = end == std::string_view::npos ? utf8Text.size() : end + 1;
        const std::string_view piece = utf8Text.substr(at, end - at);
        const std::string encoded = EncodeCp1251(piece);
        back.clear();
        AppendCp1251AsUtf8(encoded, back);
        sameText = sameText && back == piece;
        cp1251 += encoded;
        at = end;
    }
    // a character outside the code page becomes '?', and a short Cyrillic text
    // can happen to be valid UTF-8: either way the loader would read other text
    const FileTextKind kind = ClassifyFileText(cp1251);
    if (kind.windows1251 ? sameText : kind.utf8 == utf8Text) return cp1251;
    return "\xEF\xBB\xBF" + std::string(utf8Text);
}

} // namespace tovimo
