// Line and number reading over a decoded text file, the way the data and
// warranty files are read: whole lines, or numbers that skip blanks and empty
// lines, end at a blank, a tab or the line end, and drop the rest of their line.
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

    bool eof() const { return pos_ >= lines_.size(); }
    // 1-based number of the line the next read starts on.
    size_t lineNumber() const { return pos_ + 1; }
    // The next whole line ("" at the end of the file).
    std::string readLine();
    // The same as a view, valid while the reader's text lives.
    std::string_view readLineView();
    size_t linesLeft() const { return lines_.size() - pos_; }

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
    std::vector<std::string> owned_;
    std::vector<std::string_view> lines_;
    size_t pos_ = 0;
};

} // namespace tovimo
