// The text after the time on a record line of a data file: the source, which
// names the cause, and the description after '*'.
#pragma once

#include <string>
#include <string_view>

namespace tovimo {

struct RecordSource {
    std::string source;
    std::string description;
};

// Counting characters of UTF-8 (a character starts at every byte that is not
// a continuation byte): the description starts at the second character after
// the first '*', and the source keeps the characters before the one in front
// of the star. Without a '*', or with no character before it, the text stays
// whole as the source.
RecordSource SplitRecordSource(std::string_view text);

} // namespace tovimo
