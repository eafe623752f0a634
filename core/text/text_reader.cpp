#include "core/text/text_reader.h"

#include "core/text/text_codec.h"

namespace tovimo {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}
} // namespace

TextReader::TextReader(std::vector<std::string> lines) : owned_(std::move(lines)) {
    lines_.assign(owned_.begin(), owned_.end());
}

TextReader::TextReader(std::string_view text) : lines_(SplitLineViews(text)) {}

std::string TextReader::readLine() {
    return std::string(readLineView());
}

std::string_view TextReader::readLineView() {
    if (eof()) return {};
    return lines_[pos_++];
}

TextReader::Token TextReader::readToken() {
    while (!eof()) {
        const std::string_view l = lines_[pos_];
        size_t b = 0;
        while (b < l.size() && isBlank(l[b]))
            ++b;
        if (b == l.size()) {
            ++pos_;
            continue;
        }
        size_t e = b;
        while (e < l.size() && !isBlank(l[e]))
            ++e;
        Token t{std::string(l.substr(b, e - b)), pos_ + 1};
        ++pos_;
        return t;
    }
    return {};
}

bool TextReader::onlyBlanksLeft() const {
    for (size_t i = pos_; i < lines_.size(); ++i)
        for (char c : lines_[i])
            if (!isBlank(c)) return false;
    return true;
}

} // namespace tovimo
