#include "core/text/cause_match.h"

#include "core/text/text_codec.h"

#include <bit>
#include <stdexcept>

namespace tovimo {

namespace {
constexpr size_t kRememberedSources = 4096;
}

CauseMatcher::CauseMatcher(const std::vector<std::string>& names) {
    if (names.size() > 64) throw std::invalid_argument("more causes than the match can tell apart");
    lowerNames_.reserve(names.size());
    for (size_t k = 0; k < names.size(); ++k) {
        lowerNames_.push_back(k == 0 ? std::string() : LowerCase(names[k]));
        anyName_ = anyName_ || !lowerNames_.back().empty();
    }
}

std::uint64_t CauseMatcher::NamedIn(const std::string& source) {
    if (const auto it = known_.find(source); it != known_.end()) return it->second;
    const std::string lower = LowerCase(source);
    std::uint64_t named = 0;
    for (size_t k = 1; k < lowerNames_.size(); ++k)
        if (!lowerNames_[k].empty() && lower.find(lowerNames_[k]) != std::string::npos)
            named |= std::uint64_t{1} << k;
    if (known_.size() < kRememberedSources) known_.emplace(source, named);
    return named;
}

int CauseMatcher::LastNamedIn(const std::string& source) {
    const std::uint64_t named = NamedIn(source);
    return named ? 63 - std::countl_zero(named) : 0;
}

} // namespace tovimo
