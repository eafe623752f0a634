// The genetic engine's sort: a stable sort of the population by score.
#include "core/genetic/genetic_engine.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

using SortKey = GeneticSortKey;

// A score as an unsigned key in the same order: -0 and +0 alike, every value
// that is not a number last and equal to the others of its kind.
std::uint64_t scoreKey(double score) {
    if (std::isnan(score)) return ~std::uint64_t{0};
    const auto bits = std::bit_cast<std::uint64_t>(score + 0.0);
    return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The key of an individual: its score's key, then its place; one comparison
// orders by score and keeps equal scores in place order.
SortKey keyOf(const Xromosome& x, size_t place) {
    return {scoreKey(x.Celev_F), static_cast<std::uint32_t>(place)};
}

std::uint32_t placeOf(SortKey key) {
    return key.place;
}

constexpr SortKey kNoKey{~std::uint64_t{0}, ~std::uint32_t{0}}; // above every key

// The first place at or after `place` that is in order, or `head`.
size_t firstInOrder(size_t place, size_t head, const std::vector<char>& misplaced) {
    while (place < head && misplaced[place])
        ++place;
    return place;
}

// Merges sorted runs a and b whole into `out`, for a b that is short against
// a: the keys of a between two keys of b are copied in one stretch.
void mergeAround(const SortKey* a, size_t na, const SortKey* b, size_t nb, SortKey* out) {
    size_t i = 0;
    for (size_t j = 0; j < nb; ++j) {
        const SortKey next = b[j];
        while (i < na && a[i] < next)
            *out++ = a[i++];
        *out++ = next;
    }
    std::copy(a + i, a + na, out);
}

// Sorts keys whose places increase along the list by their score alone,
// stably, so that they end in (score, place) order: a least significant digit
// radix sort on the score's eight bytes, skipping the bytes all keys share.
void sortByScore(std::vector<SortKey>& keys, std::vector<SortKey>& spare) {
    const size_t n = keys.size();
    if (n < 256) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    const auto scoreOf = [](SortKey k) { return k.score; };
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (const SortKey& k : keys) {
        const std::uint64_t score = scoreOf(k);
        for (size_t d = 0; d < 8; ++d)
            ++counts[d][(score >> (8 * d)) & 0xFF];
    }
    spare.resize(n);
    for (size_t d = 0; d < 8; ++d) {
        auto& c = counts[d];
        if (c[(scoreOf(keys[0]) >> (8 * d)) & 0xFF] == n) continue;
        std::uint32_t at = 0;
        for (auto& v : c) {
            const std::uint32_t here = v;
            v = at;
            at += here;
        }
        for (const SortKey& k : keys)
            spare[c[(scoreOf(k) >> (8 * d)) & 0xFF]++] = k;
        keys.swap(spare);
    }
}

// Below this many individuals a sort runs in one piece on the caller.
constexpr size_t kSortInPiecesFrom = 256;
// Keys of those to place looked at to estimate how they fall among the rest.
constexpr size_t kSample = 64;
// About how many times the work of a key in order it takes to sort a key to
// place into its range.
constexpr size_t kPlacingCost = 5;

} // namespace

void GeneticEngine::Sort() {
    sortKeeping(ListPopulation.size());
}

void GeneticEngine::SortAndDestroyBad(int iNumOsobey) {
    sortKeeping(static_cast<size_t>(std::max(iNumOsobey, 0)));
    DestroyBad(iNumOsobey);
}

// The order of a stable sort by score, found on (key, place) keys and then
// applied to the individuals in one pass: sorting the individuals themselves
// moves 48 bytes at every step. Since the last sort only the individuals
// changed by a mutation and those appended since are out of place ("to
// place"); the others are still in order and are merged with them.
//
// With more than one thread the keys are cut into ranges at keys of the
// individuals in order, chosen so that the ranges take about as much work
// each (a key to place costs more than one in order). The threads deal the
// keys to place to the ranges, each its share; then a thread takes the
// individuals in order of its range (one stretch of places) and the keys to
// place dealt to it, sorts the latter, merges both where the range begins in
// the new order and moves the individuals there. Keys are unique, so the
// result does not depend on how the work was shared. Should a score in order
// have changed behind the engine's back, the ranges do not fit together and
// the sort is made again in one piece.
void GeneticEngine::sortKeeping(size_t keep) {
    auto& p = ListPopulation;
    const size_t n = p.size();
    keep = std::min(keep, n);
    const size_t head = std::min(sortedCount_, n);
    misplaced_.assign(head, 0);
    for (std::uint32_t i : changed_)
        if (i < head) misplaced_[i] = 1;
    // The places to place, in place order.
    toPlace_.resize(n);
    size_t count = 0;
    if (!changed_.empty())
        for (size_t i = 0; i < head; ++i) {
            toPlace_[count] = static_cast<std::uint32_t>(i);
            count += misplaced_[i] != 0;
        }
    for (size_t i = head; i < n; ++i)
        toPlace_[count++] = static_cast<std::uint32_t>(i);
    toPlace_.resize(count);
    changed_.clear();
    const size_t inOrder = n - count;
    size_t parts = n >= kSortInPiecesFrom && inOrder >= 2 * pool_.threads() ? pool_.threads() : 1;
    cuts_.assign(parts + 1, head);
    cuts_[0] = 0;
    if (parts > 1) cutIntoRanges(head, parts);
    merged_.resize(n);
    scratch_.resize(keep);
    ranges_.resize(parts);
    setBounds(head, parts);
    // Range t on thread t: it moves into its range the individuals it will
    // change and score in the next mutation. The threads first deal the keys
    // to place, each its share, to the ranges.
    if (parts == 1) {
        dealToPlace(0, 1);
        sortRange(0, 1, keep);
    } else {
        SpinBarrier dealt(parts);
        pool_.ForEachThread([&](size_t t) {
            dealToPlace(t, parts);
            dealt.ArriveAndWait();
            sortRange(t, parts, keep);
        });
    }
    bool fits = true;
    for (size_t t = 0; t < parts; ++t)
        fits = fits && ranges_[t].fits && ranges_[t].output == (t == 0 ? 0 : ranges_[t - 1].end);
    fits = fits && ranges_[parts - 1].end == n;
    if (!fits) {
        parts = 1;
        cuts_.assign({0, head});
        ranges_.resize(1);
        setBounds(head, 1);
        dealToPlace(0, 1);
        sortRange(0, 1, keep);
    }
    owners_.assign(parts + 1, keep);
    for (size_t t = 0; t < parts; ++t)
        owners_[t] = std::min(ranges_[t].output, keep);
    p.swap(scratch_);
    sortedCount_ = keep;
}

// The places where the ranges of keys begin among the first `head` places:
// cut t is where about t / parts of the work ends, counted from the keys in
// order below it and estimated for those to place from a sample of their
// keys, each of which weighs kPlacingCost keys in order.
void GeneticEngine::cutIntoRanges(size_t head, size_t parts) {
    const auto& p = ListPopulation;
    const size_t count = toPlace_.size();
    sample_.clear();
    for (size_t s = 0; s < std::min(count, kSample); ++s) {
        const std::uint32_t i = toPlace_[s * count / std::min(count, kSample)];
        sample_.push_back(keyOf(p[i], i));
    }
    std::sort(sample_.begin(), sample_.end());
    // Those to place among the head come first in toPlace_, in place order.
    const size_t misplacedInHead =
        static_cast<size_t>(std::lower_bound(toPlace_.begin(), toPlace_.end(), head) - toPlace_.begin());
    const auto below = [&](size_t c) { // estimated keys below the first key in order from place c
        const size_t inOrderBelow =
            c - static_cast<size_t>(
                    std::lower_bound(toPlace_.begin(),
                                     toPlace_.begin() + static_cast<std::ptrdiff_t>(misplacedInHead), c) -
                    toPlace_.begin());
        c = firstInOrder(c, head, misplaced_);
        const size_t sampled =
            c < head ? static_cast<size_t>(std::lower_bound(sample_.begin(), sample_.end(), keyOf(p[c], c)) -
                                           sample_.begin())
                     : sample_.size();
        const size_t placed = sample_.empty() ? 0 : sampled * count / sample_.size();
        return inOrderBelow + kPlacingCost * placed;
    };
    const size_t work = p.size() - count + kPlacingCost * count;
    for (size_t t = 1; t < parts; ++t) {
        size_t lo = cuts_[t - 1], hi = head;
        while (lo < hi) {
            const size_t c = lo + (hi - lo) / 2;
            if (below(c) < work * t / parts)
                lo = c + 1;
            else
                hi = c;
        }
        cuts_[t] = lo;
    }
}

// Where the ranges of keys begin: range t from bounds_[t] up to
// bounds_[t + 1], the key of the first individual in order at or after place
// cuts_[t]; the first range from the lowest key, the last up to the highest.
void GeneticEngine::setBounds(size_t head, size_t parts) {
    const auto& p = ListPopulation;
    bounds_.assign(parts + 1, kNoKey);
    bounds_[0] = SortKey{};
    for (size_t t = 1; t < parts; ++t) {
        const size_t c = firstInOrder(cuts_[t], head, misplaced_);
        if (c < head) bounds_[t] = keyOf(p[c], c);
    }
    dealt_.resize(parts);
    for (auto& byRange : dealt_) {
        byRange.resize(parts);
        for (auto& keys : byRange) {
            keys.clear();
            keys.reserve(toPlace_.size() / parts + 1);
        }
    }
}

// Share t of the individuals to place: their keys, dealt to the ranges they
// fall in (dealt_[t][range]), in place order.
void GeneticEngine::dealToPlace(size_t t, size_t parts) {
    const auto& p = ListPopulation;
    const size_t count = toPlace_.size();
    auto& byRange = dealt_[t];
    for (size_t k = t * count / parts; k < (t + 1) * count / parts; ++k) {
        const std::uint32_t i = toPlace_[k];
        const SortKey key = keyOf(p[i], i);
        const size_t range =
            parts == 2 ? key >= bounds_[1]
                       : static_cast<size_t>(std::upper_bound(bounds_.begin() + 1, bounds_.end() - 1, key) -
                                             (bounds_.begin() + 1));
        byRange[range].push_back(key);
    }
}

// Range t of the keys: from the key of the first individual in order at or
// after place cuts_[t] up to that after cuts_[t + 1]. Its keys are merged
// into merged_ from where the range begins, and the individuals of those
// among the first `keep` moved into scratch_.
void GeneticEngine::sortRange(size_t t, size_t parts, size_t keep) {
    const auto& p = ListPopulation;
    SortRange& r = ranges_[t];
    const size_t head = cuts_[parts];
    const size_t from = t == 0 ? 0 : firstInOrder(cuts_[t], head, misplaced_);
    const size_t to = t + 1 == parts ? head : firstInOrder(cuts_[t + 1], head, misplaced_);
    const SortKey low = bounds_[t], high = bounds_[t + 1];
    // Those in order: one stretch of places, in key order unless a score
    // changed behind the engine's back.
    r.inOrder.resize(to - from);
    size_t kept = 0;
    for (size_t i = from; i < to; ++i) {
        r.inOrder[kept] = keyOf(p[i], i);
        kept += misplaced_[i] == 0;
    }
    r.inOrder.resize(kept);
    r.fits = std::is_sorted(r.inOrder.begin(), r.inOrder.end());
    if (!r.fits && parts == 1) {
        std::sort(r.inOrder.begin(), r.inOrder.end());
        r.fits = true;
    }
    if (!r.inOrder.empty()) r.fits = r.fits && r.inOrder.front() >= low && r.inOrder.back() < high;
    // Those to place whose keys fall in the range; those below it count
    // towards where it begins.
    r.toPlace.clear();
    size_t before = 0;
    for (size_t u = 0; u < parts; ++u) {
        r.toPlace.insert(r.toPlace.end(), dealt_[u][t].begin(), dealt_[u][t].end());
        for (size_t range = 0; range < t; ++range)
            before += dealt_[u][range].size();
    }
    const size_t inOrderBefore =
        from - static_cast<size_t>(std::count(
                   misplaced_.begin(), misplaced_.begin() + static_cast<std::ptrdiff_t>(from), char{1}));
    r.output = inOrderBefore + before;
    r.end = r.output + r.inOrder.size() + r.toPlace.size();
    if (!r.fits || r.end > merged_.size()) {
        r.fits = false;
        return;
    }
    sortByScore(r.toPlace, r.spare);
    SortKey* out = merged_.data() + r.output;
    mergeAround(r.inOrder.data(), r.inOrder.size(), r.toPlace.data(), r.toPlace.size(), out);
    for (size_t o = r.output; o < std::min(r.end, keep); ++o)
        scratch_[o] = p[placeOf(merged_[o])];
}

} // namespace tovimo
