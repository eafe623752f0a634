#include "core/text/text_reader.h"

#include "core/text/text_codec.h"

namespace tovimo {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

// Each line followed by a line end: reading the text gives the same lines back.
std::string joined(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& l : lines)
        size += l.size() + 1;
    std::string text;
    text.reserve(size);
    for (const std::string& l : lines) {
        text += l;
        text += '\n';
    }
    return text;
}
} // namespace

TextReader::TextReader(std::vector<std::string> lines) : owned_(joined(lines)), text_(owned_) {}

TextReader::TextReader(std::string_view text) : text_(text) {}

TextReader TextReader::OfFileBytes(std::string_view bytes) {
    const FileTextKind kind = ClassifyFileText(bytes);
    if (!kind.windows1251) return TextReader(kind.utf8);
    // Windows-1251 has its line ends and blanks where ASCII has them: the
    // lines are found in the bytes and decoded one at a time.
    return TextReader(bytes, true);
}

std::string_view TextReader::lineAt(size_t at, size_t& next) const {
    size_t i = at;
    while (i < text_.size() && text_[i] != '\n' && text_[i] != '\r')
        ++i;
    const std::string_view line = text_.substr(at, i - at);
    if (i < text_.size() && text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
    next = i + 1;
    return line;
}

std::string TextReader::readLine() {
    return std::string(readLineView());
}

std::string_view TextReader::readLineView() {
    if (eof()) return {};
    const std::string_view line = lineAt(at_, at_);
    ++read_;
    if (!windows1251_) return line;
    line_.clear();
    AppendCp1251AsUtf8(line, line_);
    return line_;
}

size_t TextReader::linesLeft() const {
    size_t count = 0;
    for (size_t at = at_; at < text_.size(); ++count)
        lineAt(at, at);
    return count;
}

TextReader::Token TextReader::readToken() {
    while (!eof()) {
        const std::string_view l = readLineView();
        size_t b = 0;
        while (b < l.size() && isBlank(l[b]))
            ++b;
        if (b == l.size()) continue;
        size_t e = b;
        while (e < l.size() && !isBlank(l[e]))
            ++e;
        return Token{std::string(l.substr(b, e - b)), read_};
    }
    return {};
}

bool TextReader::onlyBlanksLeft() const {
    for (size_t i = at_; i < text_.size(); ++i)
        if (!isBlank(text_[i]) && text_[i] != '\n' && text_[i] != '\r') return false;
    return true;
}

} // namespace tovimo
