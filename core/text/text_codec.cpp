#include "core/text/text_codec.h"

#include <unicode/locid.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

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

std::string DecodeFileText(std::string_view bytes) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF &&
        isValidUtf8(bytes.substr(3)))
        return std::string(bytes.substr(3));
    if (isValidUtf8(bytes)) return std::string(bytes);
    auto conv = openCp1251();
    UErrorCode err = U_ZERO_ERROR;
    icu::UnicodeString u(bytes.data(), static_cast<int32_t>(bytes.size()), conv.get(), err);
    std::string out;
    u.toUTF8String(out);
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

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string Trim(std::string_view s) {
    // every code point up to U+0020 is a single byte in UTF-8
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20)
        --e;
    return std::string(s.substr(b, e - b));
}

std::string LowerCase(std::string_view utf8) {
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
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
