// Which cause names a failure's source text contains: the match the loader
// makes when it reads the records and again after the causes are ranked.
// Letters are compared in lower case. Sources repeat, so the answer for a
// source text is kept (for a bounded number of texts).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tovimo {

class CauseMatcher {
  public:
    // names[k] for k = 1..names.size() - 1; names[0] is not a cause. At most
    // 63 causes, one bit each.
    explicit CauseMatcher(const std::vector<std::string>& names);

    // Whether any cause has a name to look for.
    bool anyName() const { return anyName_; }
    // Bit k set when the source contains the name of cause k.
    std::uint64_t NamedIn(const std::string& source);
    // The last cause the source names; 0 for none.
    int LastNamedIn(const std::string& source);

  private:
    std::vector<std::string> lowerNames_;
    bool anyName_ = false;
    std::unordered_map<std::string, std::uint64_t> known_;
};

} // namespace tovimo
