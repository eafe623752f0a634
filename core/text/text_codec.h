// Text of the input files: Windows-1251 or UTF-8 bytes to UTF-8 lines, and
// the Unicode-aware helpers the loaders need (trim, lower case, search).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovimo {

// Decodes a whole file: valid UTF-8 (with or without a byte-order mark) is
// taken as UTF-8, anything else as Windows-1251. Returns UTF-8.
std::string DecodeFileText(std::string_view bytes);

// How DecodeFileText reads a file: the UTF-8 text it holds (after a
// byte-order mark), or nothing when it is taken as Windows-1251.
struct FileTextKind {
    bool windows1251 = false;
    std::string_view utf8; // the text when it is UTF-8
};
FileTextKind ClassifyFileText(std::string_view bytes);

// Appends the UTF-8 of Windows-1251 bytes to `out`.
void AppendCp1251AsUtf8(std::string_view bytes, std::string& out);

// Encodes UTF-8 text as Windows-1251 (characters without a code become '?').
std::string EncodeCp1251(std::string_view utf8);

// Splits into lines at CR LF, LF or CR. A final line end does not start a
// further line.
std::vector<std::string> SplitLines(std::string_view text);
// The same lines as views into `text`.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// Removes blanks and control characters (code points up to U+0020) at both ends.
std::string Trim(std::string_view utf8);
std::string_view TrimView(std::string_view utf8);

// Lower case for Cyrillic and Latin letters alike.
std::string LowerCase(std::string_view utf8);

// Number of characters (code points).
size_t CharCount(std::string_view utf8);
// Characters [from, from + count) counted in code points (0-based).
std::string CharSubstr(std::string_view utf8, size_t from, size_t count = std::string::npos);

} // namespace tovimo
