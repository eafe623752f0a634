#include "core/text/text_codec.h"

#include <unicode/locid.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <array>
#include <memory>
#include <stdexcept>

namespace tovimo {

namespace {

bool isValidUtf8(std::string_view s) {
    int32_t i = 0;
    const auto n = static_cast<int32_t>(s.size());
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    while (i < n) {
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (c < 0) return false;
    }
    return true;
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

std::unique_ptr<UConverter, ConverterCloser> openCp1251() {
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> conv(ucnv_open("windows-1251", &err));
    if (U_FAILURE(err)) throw std::runtime_error("windows-1251 converter is not available");
    return conv;
}

} // namespace

FileTextKind ClassifyFileText(std::string_view bytes) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF &&
        isValidUtf8(bytes.substr(3)))
        return {false, bytes.substr(3)};
    if (isValidUtf8(bytes)) return {false, bytes};
    return {true, {}};
}

void AppendCp1251AsUtf8(std::string_view bytes, std::string& out) {
    // Windows-1251 maps every byte to one character on its own: a table of
    // the 256 UTF-8 texts, taken once from ICU's converter, decodes in one pass.
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        auto conv = openCp1251();
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            UErrorCode err = U_ZERO_ERROR;
            ucnv_reset(conv.get());
            icu::UnicodeString u(&c, 1, conv.get(), err);
            u.toUTF8String(t[static_cast<size_t>(b)]);
        }
        return t;
    }();
    for (const char c : bytes)
        out += table[static_cast<unsigned char>(c)];
}

std::string DecodeFileText(std::string_view bytes) {
    const FileTextKind kind = ClassifyFileText(bytes);
    if (!kind.windows1251) return std::string(kind.utf8);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    AppendCp1251AsUtf8(bytes, out);
    return out;
}

std::string EncodeCp1251(std::string_view utf8) {
    auto conv = openCp1251();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &err);
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    err = U_ZERO_ERROR;
    int32_t need = u.extract(nullptr, 0, conv.get(), err);
    std::string out(static_cast<size_t>(need), '\0');
    err = U_ZERO_ERROR;
    u.extract(out.data(), need, conv.get(), err);
    return out;
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> SplitLines(std::string_view text) {
    const auto views = SplitLineViews(text);
    return {views.begin(), views.end()};
}

std::string_view TrimView(std::string_view s) {
    // every code point up to U+0020 is a single byte in UTF-8
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20)
        --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}

namespace {

std::string lowerCaseThroughIcu(std::string_view utf8) {
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

} // namespace

std::string LowerCase(std::string_view utf8) {
    // Latin and basic Cyrillic letters, the letters of almost every data file,
    // map one to one without context: they are lowered in place. Any other
    // character beyond ASCII sends the whole text through ICU, so the result
    // is always that of ICU's root locale.
    std::string out(utf8);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + ('a' - 'A'));
            continue;
        }
        if ((c != 0xD0 && c != 0xD1) || i + 1 >= out.size()) return lowerCaseThroughIcu(utf8);
        const auto d = static_cast<unsigned char>(out[i + 1]);
        if ((d & 0xC0) != 0x80) return lowerCaseThroughIcu(utf8);
        unsigned cp = ((c & 0x1Fu) << 6) | (d & 0x3Fu);
        if (cp >= 0x410 && cp <= 0x42F) // А..Я
            cp += 0x20;
        else if (cp >= 0x400 && cp <= 0x40F) // Ѐ..Џ, Ё among them
            cp += 0x50;
        else if (cp > 0x45F) // other Cyrillic letters: 0x430..0x45F are lower case already
            return lowerCaseThroughIcu(utf8);
        out[i] = static_cast<char>(0xC0 | (cp >> 6));
        out[i + 1] = static_cast<char>(0x80 | (cp & 0x3F));
        ++i;
    }
    return out;
}

size_t CharCount(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string CharSubstr(std::string_view s, size_t from, size_t count) {
    size_t idx = 0, b = s.size(), e = s.size();
    size_t ch = 0;
    for (idx = 0; idx <= s.size(); ++idx) {
        bool boundary = idx == s.size() || (static_cast<unsigned char>(s[idx]) & 0xC0) != 0x80;
        if (!boundary) continue;
        if (ch == from) b = idx;
        if (count != std::string::npos && ch == from + count) {
            e = idx;
            break;
        }
        ++ch;
    }
    if (b >= s.size()) return {};
    return std::string(s.substr(b, e - b));
}

} // namespace tovimo
