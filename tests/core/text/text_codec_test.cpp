#include "core/text/text_codec.h"

#include <gtest/gtest.h>

#include <unicode/locid.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <random>
#include <string>

namespace tovimo {
namespace {

std::string IcuLower(const std::string& utf8) {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(utf8);
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

TEST(LowerCase, LatinAndCyrillicLetters) {
    const struct {
        const char* text;
        const char* lower;
    } cases[] = {
        {"", ""},
        {"Pump NO.2 (AB-12)", "pump no.2 (ab-12)"},
        {"ДВИГАТЕЛЬ Насоса", "двигатель насоса"},
        {"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ", "абвгдежзийклмнопрстуфхцчшщъыьэюя"},
        {"ЁЂЃЄЅІЇЈЉЊЋЌЍЎЏЀ ёђѓєѕіїјљњћќѝўџѐ", "ёђѓєѕіїјљњћќѝўџѐ ёђѓєѕіїјљњћќѝўџѐ"},
        // beyond the basic letters the text goes through ICU: other Cyrillic
        // letters, a Greek final sigma that needs its context, a dotted capital
        // I, and cut sequences that become the replacement character
        {"Ѣ ѣ Ґ", nullptr},
        {"ΣΟΦΟΣ Straße", nullptr},
        {"İ", nullptr},
        {"\xD0", nullptr},
        {"a\xD0z", nullptr},
        {"Ж\xD1", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LowerCase(c.text), c.lower ? std::string(c.lower) : IcuLower(c.text)) << c.text;
}

TEST(LowerCase, SameAsIcuForMixedTexts) {
    // Texts drawn from ASCII, the Cyrillic block and a few other letters.
    const std::string pieces[] = {"A", "z", " ", "7", "*", "Ж", "ж", "Ё", "ё", "Ї", "Ѣ", "Ω", "ß", "€", "\t"};
    std::mt19937 rng(2);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(rng() % 12);
        for (int i = 0; i < length; ++i)
            text += pieces[rng() % std::size(pieces)];
        EXPECT_EQ(LowerCase(text), IcuLower(text)) << text;
    }
}

TEST(DecodeFileText, EveryWindows1251ByteAsIcuConvertsIt) {
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    bytes += "\r\nЖ"; // not valid UTF-8 as a whole, so the file is taken as Windows-1251
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open("windows-1251", &err);
    ASSERT_TRUE(U_SUCCESS(err));
    icu::UnicodeString u(bytes.data(), static_cast<int32_t>(bytes.size()), conv, err);
    ucnv_close(conv);
    std::string expected;
    u.toUTF8String(expected);
    EXPECT_EQ(DecodeFileText(bytes), expected);
}

TEST(SplitLines, ViewsAndCopiesAgree) {
    for (const char* text : {"", "a", "a\n", "a\r\nb\rc\n\nd", "\n\n", "x\r"}) {
        const auto copies = SplitLines(text);
        const auto views = SplitLineViews(text);
        ASSERT_EQ(copies.size(), views.size()) << text;
        for (size_t i = 0; i < copies.size(); ++i)
            EXPECT_EQ(copies[i], views[i]);
    }
    EXPECT_EQ(TrimView(" \t x y \r"), "x y");
}

} // namespace
} // namespace tovimo
