#include "core/text/text_codec.h"
#include "core/text/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovimo {
namespace {

std::vector<std::string> ReadAll(TextReader& r) {
    std::vector<std::string> lines;
    const size_t left = r.linesLeft();
    while (!r.eof())
        lines.push_back(r.readLine());
    EXPECT_EQ(lines.size(), left);
    EXPECT_EQ(r.readLine(), "");
    EXPECT_EQ(r.linesLeft(), 0u);
    return lines;
}

// The reader finds the lines SplitLines finds, whatever the line ends, for a
// text read in place, for lines given one by one, and for a file's bytes in
// UTF-8 (with or without a byte-order mark) or in Windows-1251 (each line
// decoded as it is read).
TEST(TextReader, LinesAreThoseOfSplitLines) {
    const std::string texts[] = {
        "",
        "\n",
        "\r\n\r\n",
        "one",
        "one\ntwo\n",
        "one\r\ntwo\r\n\r\nfour",
        "one\rtwo\r\rfour\r",
        "mixed\r\n\n\rend",
        "\xD0\x9D\xD0\xB0\xD1\x81\xD0\xBE\xD1\x81 * \xD1\x82\xD0\xB5\xD1\x87\xD1\x8C\r\n2\n"};
    for (const std::string& text : texts) {
        const std::vector<std::string> expected = SplitLines(text);
        TextReader inPlace(text);
        EXPECT_EQ(inPlace.linesLeft(), expected.size()) << text;
        EXPECT_EQ(ReadAll(inPlace), expected) << text;
        TextReader given(SplitLines(text));
        EXPECT_EQ(ReadAll(given), expected) << text;
        TextReader utf8 = TextReader::OfFileBytes(text);
        EXPECT_EQ(ReadAll(utf8), expected) << text;
        const std::string withMark = "\xEF\xBB\xBF" + text;
        TextReader marked = TextReader::OfFileBytes(withMark);
        EXPECT_EQ(ReadAll(marked), SplitLines(DecodeFileText(withMark))) << text;
        const std::string cp1251 = EncodeCp1251(text);
        TextReader decoded = TextReader::OfFileBytes(cp1251);
        EXPECT_EQ(ReadAll(decoded), SplitLines(DecodeFileText(cp1251))) << text;
    }
}

TEST(TextReader, TokensSkipBlankLinesAndKnowTheirLine) {
    const std::string text = "  \n\t12 rest\n\n 3,5\r\n   \n";
    TextReader r(text);
    EXPECT_FALSE(r.onlyBlanksLeft());
    const auto a = r.readToken();
    EXPECT_EQ(a.text, "12");
    EXPECT_EQ(a.line, 2u);
    EXPECT_EQ(r.lineNumber(), 3u);
    const auto b = r.readToken();
    EXPECT_EQ(b.text, "3,5");
    EXPECT_EQ(b.line, 4u);
    EXPECT_TRUE(r.onlyBlanksLeft());
    const auto none = r.readToken();
    EXPECT_EQ(none.text, "");
    EXPECT_TRUE(r.eof());
}

} // namespace
} // namespace tovimo
