// Line and number reading over a decoded text file, the way the data and
// warranty files are read: whole lines, or numbers that skip blanks and empty
// lines, end at a blank, a tab or the line end, and drop the rest of their line.
// A line ends at "\r\n", "\n" or "\r"; text after the last line end is a line
// too. The lines are found as they are read, without a table of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovimo {

class TextReader {
  public:
    explicit TextReader(std::vector<std::string> lines);
    // Reads the lines of `text` in place; the text must outlive the reader.
    explicit TextReader(std::string_view text);
    // Reads the lines of a file as DecodeFileText would decode it, each line
    // decoded as it is read; the bytes must outlive the reader.
    static TextReader OfFileBytes(std::string_view bytes);
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool eof() const { return at_ >= text_.size(); }
    // 1-based number of the line the next read starts on.
    size_t lineNumber() const { return read_ + 1; }
    // The next whole line ("" at the end of the file).
    std::string readLine();
    // The same as a view, valid until the next read.
    std::string_view readLineView();
    // How many lines are left to read (counted anew at each call).
    size_t linesLeft() const;

    struct Token {
        std::string text; // empty when the file ended first
        size_t line = 0;  // 1-based line the token stood on
    };
    // The next number's text, skipping blanks and empty lines; the rest of its
    // line is dropped.
    Token readToken();
    // True when only blanks and line ends are left.
    bool onlyBlanksLeft() const;

  private:
    TextReader(std::string_view text, bool windows1251) : text_(text), windows1251_(windows1251) {}
    // The line starting at `at` and where the one after it starts.
    std::string_view lineAt(size_t at, size_t& next) const;

    std::string owned_;
    std::string_view text_;
    bool windows1251_ = false; // text_ holds Windows-1251 bytes, decoded line by line into line_
    std::string line_;
    size_t at_ = 0;   // where the next line starts
    size_t read_ = 0; // lines read so far
};

} // namespace tovimo
