#include "core/text/text_reader.h"

namespace tovimo {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}
} // namespace

std::string TextReader::readLine() {
    if (eof()) return {};
    return lines_[pos_++];
}

TextReader::Token TextReader::readToken() {
    while (!eof()) {
        const std::string& l = lines_[pos_];
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
        Token t{l.substr(b, e - b), pos_ + 1};
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
