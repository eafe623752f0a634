#include "core/data/data_file_text.h"

#include "core/text/number_format.h"
#include "core/text/text_codec.h"

namespace tovimo {

std::string DataFileText(const DataFileContent& c) {
    std::string text = c.comment + "\n";
    text += FloatToStr(c.mean, '.') + "\n" + FloatToStr(c.sd, '.') + "\n";
    text += FloatToStr(c.fleet, '.') + "\n" + std::to_string(c.failures) + "\n";
    text += std::to_string(c.causes.size()) + "\n";
    for (const auto& cause : c.causes)
        text += cause + "\n";
    for (const auto& r : c.records) {
        text += r.time + "\t" + r.source;
        if (!r.description.empty()) text += " * " + r.description;
        text += "\n";
    }
    return text;
}

std::string DataFileBytes(std::string_view utf8Text) {
    std::string cp1251 = EncodeCp1251(utf8Text);
    // a character outside the code page becomes '?', and a short Cyrillic text
    // can happen to be valid UTF-8: either way the loader would read other text
    if (DecodeFileText(cp1251) == utf8Text) return cp1251;
    return "\xEF\xBB\xBF" + std::string(utf8Text);
}

} // namespace tovimo
