#include "core/data/record_source.h"
#include "core/text/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace tovimo {
namespace {

// The split by character counts, as the loader did it with CharCount and
// CharSubstr; the byte scan must agree with it on every text.
RecordSource ByCharacterCounts(const std::string& text) {
    RecordSource r{text, ""};
    const size_t starByte = text.find('*');
    if (starByte != std::string::npos) {
        const size_t star = CharCount(std::string_view(text).substr(0, starByte));
        r.description = CharSubstr(text, star + 2);
        if (star > 0) r.source = CharSubstr(text, 0, star - 1);
    }
    return r;
}

TEST(RecordSource, AgreesWithTheSplitByCharacterCounts) {
    const std::string cases[] = {
        "",
        "Насос",
        "Насос * течь",
        "Насос *течь",
        "Насос*течь",
        "Насос * ",
        "Насос *",
        "*",
        "* течь",
        "**",
        "Н*",
        "НС * а * б",
        "Тормозная система узла 2 * вибрация",
        "pump * leak",
        "\x80\x80* broken lead", // continuation bytes before the star
        "\x80Н* б",              // one more
        "Насос *\x80\x80 течь",  // continuation bytes after the star
        "Насос * \xD0",          // a lead byte cut off at the end
        "Ё*Ж",
        "a*\xF0\x9F\x98\x80tail", // a four-byte character after the star
    };
    for (const std::string& text : cases) {
        const RecordSource expected = ByCharacterCounts(text);
        const RecordSource got = SplitRecordSource(text);
        EXPECT_EQ(got.source, expected.source) << text;
        EXPECT_EQ(got.description, expected.description) << text;
    }
}

} // namespace
} // namespace tovimo
