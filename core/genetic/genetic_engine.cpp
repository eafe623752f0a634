#include "core/genetic/genetic_engine.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

namespace tovimo {

int iGetBits(std::int64_t iVal) {
    int bits = 0;
    while (iVal >= 1) {
        iVal /= 2;
        ++bits;
    }
    return bits;
}

std::string IntToBin(std::int64_t Value, int Size) {
    std::string s(static_cast<size_t>(std::max(Size, 0)), '0');
    const auto v = static_cast<std::uint64_t>(Value);
    for (int i = 0; i < Size; ++i) {
        const int bit = Size - 1 - i;
        if (bit < 64 && ((v >> bit) & 1u)) s[static_cast<size_t>(i)] = '1';
    }
    return s;
}

std::int64_t BinToInt(std::string_view Value) {
    std::uint64_t v = 0;
    for (char c : Value)
        v = (v << 1) | (c == '1' ? 1u : 0u);
    return static_cast<std::int64_t>(v);
}

int GeneLength(double Precision) {
    const double r = RoundHalfEven(1 / Precision);
    if (!(r >= 0 && r < 9.2e18)) return 0;
    return iGetBits(static_cast<std::int64_t>(r));
}

int SortPopulation(const Xromosome& Item1, const Xromosome& Item2) {
    if (Item1.Celev_F < Item2.Celev_F) return -1;
    if (Item1.Celev_F > Item2.Celev_F) return 1;
    return 0;
}

GeneticEngine::GeneticEngine(AnalysisState& st, GaRandom& rng, const GeneticObjective& objective,
                             EvaluationPool& pool)
    : st_(st), rng_(rng), objective_(objective), pool_(pool), geneLength_(GeneLength(st.Precision)) {
    if (geneLength_ < 1 || st.iop < 1 || st.iop > N_Param_Opt)
        throw std::invalid_argument("genetic engine: no digits to encode the parameters");
}

namespace {

std::uint64_t lowMask(int digits) {
    return digits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << digits) - 1;
}

} // namespace

// Every gene has geneLength_ digits, so digit q (0-based) lies in gene
// q / geneLength_ at binary place geneLength_ - 1 - q % geneLength_.

void GeneticEngine::FlipDigit(Chromosome& x, int position) const {
    const int q = position - 1;
    if (q < 0 || q >= LengthXrome) throw std::out_of_range("chromosome digit out of range");
    const auto [gene, bit] = digitAt_[static_cast<size_t>(q)];
    x.gene[gene] ^= bit;
}

Chromosome GeneticEngine::Splice(const Chromosome& head, const Chromosome& tail, int cut) const {
    Chromosome child;
    const int genes = static_cast<int>(ListGens.size());
    for (int k = 0; k < genes; ++k) {
        const int start = k * geneLength_;
        const auto K = static_cast<size_t>(k);
        if (start + geneLength_ <= cut) {
            child.gene[K] = head.gene[K];
        } else if (start >= cut) {
            child.gene[K] = tail.gene[K];
        } else {
            // The cut lies inside this gene: its first cut - start digits come from head.
            const std::uint64_t tailMask = lowMask(geneLength_ - (cut - start));
            child.gene[K] = (head.gene[K] & ~tailMask & lowMask(geneLength_)) | (tail.gene[K] & tailMask);
        }
    }
    return child;
}

std::string GeneticEngine::Digits(const Chromosome& x) const {
    std::string s;
    for (size_t k = 0; k < ListGens.size(); ++k)
        s += IntToBin(static_cast<std::int64_t>(x.gene[k]), ListGens[k].gLength);
    return s;
}

Chromosome GeneticEngine::FromDigits(std::string_view digits) const {
    Chromosome x;
    for (size_t k = 0; k < ListGens.size(); ++k) {
        const PosGen& g = ListGens[k];
        x.gene[k] = static_cast<std::uint64_t>(
            BinToInt(digits.substr(static_cast<size_t>(g.gStart), static_cast<size_t>(g.gLength))));
    }
    return x;
}

void GeneticEngine::XromeToA(const Chromosome& sXrome, ParamVector& Ao) const {
    for (size_t k = 0; k < ListGens.size(); ++k)
        Ao[k + 1] = st_.NormA[k + 1] * static_cast<double>(static_cast<std::int64_t>(sXrome.gene[k]));
}

// Scores `count` candidates four at a time, the groups side by side:
// point(i, Ao) fills candidate i's parameters (once for each i) and
// store(i, value) takes its score. A last group short of four repeats its
// last candidate in the lanes left over. With a lead, the calling thread runs
// it first while the other threads start scoring.
template <class Point, class Store>
void GeneticEngine::scoreInFours(size_t count, Point point, Store store, const std::function<void()>* lead) {
    const std::function<void(size_t)> score = [&](size_t group) { scoreGroup(count, group, point, store); };
    if (lead)
        pool_.ForEachAfter((count + 3) / 4, *lead, score);
    else
        pool_.ForEach((count + 3) / 4, score);
}

// Group `group` of four of `count` candidates (see scoreInFours).
template <class Point, class Store>
void GeneticEngine::scoreGroup(size_t count, size_t group, Point& point, Store& store) const {
    std::array<ParamVector, 4> Ao;
    const ParamVector* lanes[4];
    double value[4];
    const size_t first = 4 * group, real = std::min<size_t>(4, count - first);
    for (size_t b = 0; b < 4; ++b) {
        if (b < real) {
            Ao[b] = st_.Ao;
            point(first + b, Ao[b]);
        }
        lanes[b] = &Ao[std::min(b, real - 1)];
    }
    objective_.Evaluate4(lanes, value);
    for (size_t b = 0; b < real; ++b)
        store(first + b, value[b]);
}

void GeneticEngine::MakePopulation() {
    ListGens.clear();
    int start = 0;
    for (int k = 1; k <= st_.iop; ++k) {
        ListGens.push_back({start, geneLength_});
        start += geneLength_;
    }
    // The draws are taken in order first; the scoring of the drawn values is
    // independent between individuals and runs in parallel.
    const size_t first = ListPopulation.size();
    const size_t count = static_cast<size_t>(std::max(SizePopulation, 0));
    std::vector<ParamVector> drawn(count, st_.Ao);
    ListPopulation.reserve(first + count);
    for (size_t n = 0; n < count; ++n) {
        Xromosome x;
        for (int k = 1; k <= st_.iop; ++k) {
            const double a = Alim[1][k] + rng_.Uniform() * Alim[2][k];
            drawn[n][static_cast<size_t>(k)] = a;
            x.sX.gene[static_cast<size_t>(k - 1)] =
                static_cast<std::uint64_t>(Round(a / st_.NormA[static_cast<size_t>(k)])) &
                lowMask(geneLength_);
        }
        x.Pokolenie = 1;
        ListPopulation.push_back(x);
    }
    scoreInFours(
        count, [&](size_t n, ParamVector& Ao) { Ao = drawn[n]; },
        [&](size_t n, double v) { ListPopulation[first + n].Celev_F = v; });
    evaluations_ += static_cast<long long>(count);
    if (count > 0) st_.Ao = drawn.back();
    LengthXrome = st_.iop * geneLength_;
    digitAt_.clear();
    for (int q = 0; q < LengthXrome; ++q)
        digitAt_.push_back({static_cast<std::uint32_t>(q / geneLength_),
                            std::uint64_t{1} << (geneLength_ - 1 - q % geneLength_)});
}

void GeneticEngine::CrossingOver(int iNumPokolenie) {
    crossingOver(iNumPokolenie, false);
}

void GeneticEngine::CrossingOverThenMutationDraws(int iNumPokolenie) {
    crossingOver(iNumPokolenie, true);
}

void GeneticEngine::crossingOver(int iNumPokolenie, bool drawMutation) {
    // Parents may be children of this call, whose digits do not depend on any
    // score. The calling thread takes the draws and builds the children in
    // order while the other threads already score those that are built.
    const size_t first = ListPopulation.size();
    const std::int64_t Nx = Round(static_cast<double>(first) * fPCrossingOver);
    if (Nx <= 0) {
        if (drawMutation) drawMutationFlips();
        return;
    }
    const size_t children = 2 * static_cast<size_t>(Nx);
    // Room for the children first, so that they do not move while the other
    // threads score them; the children are appended one by one as they are
    // built.
    ListPopulation.reserve(first + children);
    Xromosome* const child = ListPopulation.data() + first;
    constexpr size_t kAbandoned = std::numeric_limits<size_t>::max();
    std::atomic<size_t> built{0};
    const std::function<void()> build = [&] {
        try {
            for (std::int64_t n = 0; n < Nx; ++n) {
                const auto C = static_cast<std::int64_t>(first) + 2 * n;
                const std::int64_t iX1 = Round(rng_.Uniform() * static_cast<double>(C) / 2);
                const std::int64_t iX2 = C - 1 - Round(rng_.Uniform() * static_cast<double>(C) / 2);
                const int iCrossX = static_cast<int>(Round(rng_.Uniform() * (LengthXrome - 2))) + 1;
                if (iX1 < 0 || iX1 >= C || iX2 < 0 || iX2 >= C)
                    throw std::out_of_range("crossover parent out of range");
                const Chromosome p1 = ListPopulation[static_cast<size_t>(iX1)].sX;
                const Chromosome p2 = ListPopulation[static_cast<size_t>(iX2)].sX;
                ListPopulation.push_back({Splice(p1, p2, iCrossX), 0, iNumPokolenie});
                ListPopulation.push_back({Splice(p2, p1, iCrossX), 0, iNumPokolenie});
                built.store(static_cast<size_t>(2 * n + 2), std::memory_order_release);
            }
            if (drawMutation) drawMutationFlips();
        } catch (...) {
            built.store(kAbandoned, std::memory_order_release); // no one waits any longer
            throw;
        }
    };
    // A child is read once built; after a failure the children not built are
    // neither read nor scored.
    const auto ready = [&](size_t i) {
        size_t b;
        while ((b = built.load(std::memory_order_acquire)) <= i)
            CpuRelax();
        return b != kAbandoned;
    };
    scoreInFours(
        children,
        [&](size_t i, ParamVector& Ao) {
            if (ready(i)) XromeToA(child[i].sX, Ao);
        },
        [&](size_t i, double v) {
            if (built.load(std::memory_order_acquire) != kAbandoned) child[i].Celev_F = v;
        },
        &build);
    evaluations_ += static_cast<long long>(children);
}

// The draws of a mutation, in order, gathered by place: the digits to flip
// at each place hit (flipping is its own inverse, so their order does not
// matter) and the places hit in the order first hit.
void GeneticEngine::drawMutationFlips() {
    const std::int64_t n = Round(SizePopulation * fPMutation);
    clearFlips();
    for (std::int64_t m = 0; m < n; ++m) {
        const int iBitMut1 = static_cast<int>(Round(rng_.Uniform() * (LengthXrome - 1))) + 1;
        const std::int64_t j = Round(rng_.Uniform() * (SizePopulation - 1));
        if (j < 0 || j > std::numeric_limits<std::uint32_t>::max() - 1 || iBitMut1 < 1 ||
            iBitMut1 > LengthXrome) {
            flipsOutOfRange_ = true;
            continue;
        }
        const auto J = static_cast<size_t>(j);
        if (J >= flips_.size()) {
            flips_.resize(J + 1);
            isHit_.resize(J + 1, 0);
        }
        const auto [gene, bit] = digitAt_[static_cast<size_t>(iBitMut1 - 1)];
        if (!isHit_[J]) {
            isHit_[J] = 1;
            hit_.push_back(static_cast<std::uint32_t>(J));
        }
        flips_[J].gene[gene] ^= bit;
    }
    flipsDrawn_ = true;
}

// Applies the flips drawn for place j, clears them, and decodes the
// individual there.
void GeneticEngine::flipAndDecode(size_t j, ParamVector& Ao) {
    Xromosome& x = ListPopulation[j];
    Chromosome& f = flips_[j];
    for (size_t k = 0; k < f.gene.size(); ++k)
        x.sX.gene[k] ^= f.gene[k];
    f = {};
    isHit_[j] = 0;
    XromeToA(x.sX, Ao);
}

void GeneticEngine::clearFlips() {
    for (std::uint32_t j : hit_) {
        flips_[j] = {};
        isHit_[j] = 0;
    }
    hit_.clear();
    flipsOutOfRange_ = false;
}

void GeneticEngine::Mutation() {
    // The flips drawn (now, or after the crossover) are applied and scored
    // side by side, once for each individual hit: the score it is left with.
    if (!flipsDrawn_) drawMutationFlips();
    flipsDrawn_ = false;
    const size_t size = ListPopulation.size();
    bool outOfRange = flipsOutOfRange_;
    // Each individual is scored by the thread that moved it into its place in
    // the last sort, whose cache holds it, when that sort was shared out.
    const size_t parts = owners_.size() - 1;
    const bool byOwner =
        owners_.size() >= 3 && owners_.size() == pool_.threads() + 1 && owners_.back() == size;
    if (byOwner) {
        byOwner_.resize(parts);
        for (auto& list : byOwner_)
            list.clear();
    }
    for (std::uint32_t j : hit_) {
        outOfRange = outOfRange || j >= size;
        if (byOwner)
            byOwner_[static_cast<size_t>(std::upper_bound(owners_.begin() + 1, owners_.end() - 1, j) -
                                         (owners_.begin() + 1))]
                .push_back(j);
    }
    if (outOfRange) {
        clearFlips();
        throw std::out_of_range("mutation out of the population");
    }
    if (byOwner) {
        pool_.ForEachPart(parts, [&](size_t t) {
            const auto& list = byOwner_[t];
            auto point = [&](size_t i, ParamVector& Ao) { flipAndDecode(list[i], Ao); };
            auto store = [&](size_t i, double v) { ListPopulation[list[i]].Celev_F = v; };
            for (size_t group = 0; 4 * group < list.size(); ++group)
                scoreGroup(list.size(), group, point, store);
        });
    } else {
        scoreInFours(
            hit_.size(), [&](size_t i, ParamVector& Ao) { flipAndDecode(hit_[i], Ao); },
            [&](size_t i, double v) { ListPopulation[hit_[i]].Celev_F = v; });
    }
    changed_.insert(changed_.end(), hit_.begin(), hit_.end());
    evaluations_ += static_cast<long long>(hit_.size());
    hit_.clear(); // their flips were cleared as they were applied
}

void GeneticEngine::DestroyBad(int iNumOsobey) {
    const size_t keep = static_cast<size_t>(std::max(iNumOsobey, 0));
    if (ListPopulation.size() > keep) ListPopulation.resize(keep);
    sortedCount_ = std::min(sortedCount_, ListPopulation.size());
    if (ListPopulation.empty()) ListGens.clear();
}

namespace {

// A score as an unsigned key in the same order: -0 and +0 alike, every value
// that is not a number last and equal to the others of its kind.
std::uint64_t scoreKey(double score) {
    if (std::isnan(score)) return ~std::uint64_t{0};
    const auto bits = std::bit_cast<std::uint64_t>(score + 0.0);
    return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

} // namespace

void GeneticEngine::Sort() {
    sortKeeping(ListPopulation.size());
}

void GeneticEngine::SortAndDestroyBad(int iNumOsobey) {
    sortKeeping(static_cast<size_t>(std::max(iNumOsobey, 0)));
    DestroyBad(iNumOsobey);
}

namespace {

// Merges two sorted runs into `out` until it holds `count` keys or both runs
// are spent, without a branch on the comparison.
template <class Key>
void mergeFirst(const Key* a, size_t na, const Key* b, size_t nb, Key* out, size_t count) {
    size_t i = 0, j = 0, o = 0;
    while (o < count && i < na && j < nb) {
        const bool fromB = b[j] < a[i];
        out[o++] = fromB ? b[j] : a[i];
        j += fromB;
        i += !fromB;
    }
    while (o < count && i < na)
        out[o++] = a[i++];
    while (o < count && j < nb)
        out[o++] = b[j++];
}

// How many of the first k keys of the merge of sorted runs a and b (unique
// keys, k <= na + nb) come from a.
template <class Key> size_t coRank(const Key* a, size_t na, const Key* b, size_t nb, size_t k) {
    size_t lo = k > nb ? k - nb : 0, hi = std::min(k, na);
    while (lo < hi) {
        const size_t i = lo + (hi - lo) / 2, j = k - i;
        if (j > 0 && b[j - 1] > a[i])
            lo = i + 1;
        else
            hi = i;
    }
    return lo;
}

// Sorts keys whose places increase along the list by their score alone,
// stably, so that they end in (score, place) order: a least significant digit
// radix sort on the score's eight bytes, skipping the bytes all keys share.
template <class Key> void sortByScore(std::vector<Key>& keys, std::vector<Key>& spare) {
    const size_t n = keys.size();
    if (n < 256) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (const Key& k : keys) {
        const auto score = static_cast<std::uint64_t>(k >> 32);
        for (size_t d = 0; d < 8; ++d)
            ++counts[d][(score >> (8 * d)) & 0xFF];
    }
    spare.resize(n);
    for (size_t d = 0; d < 8; ++d) {
        auto& c = counts[d];
        if (c[static_cast<size_t>((static_cast<std::uint64_t>(keys[0] >> 32) >> (8 * d)) & 0xFF)] == n)
            continue;
        std::uint32_t at = 0;
        for (auto& v : c) {
            const std::uint32_t here = v;
            v = at;
            at += here;
        }
        for (const Key& k : keys)
            spare[c[(static_cast<std::uint64_t>(k >> 32) >> (8 * d)) & 0xFF]++] = k;
        keys.swap(spare);
    }
}

// Below this many individuals a sort runs in one piece on the caller.
constexpr size_t kSortInPiecesFrom = 256;

// Run t holds the places of blocks t, t + parts, t + 2 parts... of n, blocks
// of kSortBlock places: each thread reads mostly whole cache lines of its own.
constexpr size_t kSortBlock = 32;

size_t runLength(size_t n, size_t t, size_t parts) {
    const size_t blocks = n / kSortBlock, rest = n % kSortBlock;
    const size_t whole = (blocks + parts - 1 - t) / parts * kSortBlock;
    return whole + (blocks % parts == t ? rest : 0);
}

size_t runStart(size_t n, size_t t, size_t parts) {
    size_t start = 0;
    for (size_t u = 0; u < t; ++u)
        start += runLength(n, u, parts);
    return start;
}

} // namespace

// The order of a stable sort by score, found on (key, place) keys and then
// applied to the individuals in one pass: sorting the individuals themselves
// moves 48 bytes at every step. Since the last sort only the individuals
// changed by a mutation and those appended since are out of place; the rest
// is merged with them. With more than one thread the places are dealt out to
// the threads in turn (so that each gets its share of those out of place),
// each thread sorts its places into a run, and the runs are merged by ranges
// of keys, each range on its own thread. Keys are unique, so the result does
// not depend on how the work was shared.
void GeneticEngine::sortKeeping(size_t keep) {
    auto& p = ListPopulation;
    const size_t n = p.size();
    keep = std::min(keep, n);
    misplaced_.assign(n, 0);
    for (size_t i = sortedCount_; i < n; ++i)
        misplaced_[i] = 1;
    for (std::uint32_t i : changed_)
        if (i < n) misplaced_[i] = 1;
    changed_.clear();
    const size_t parts = n >= kSortInPiecesFrom ? pool_.threads() : 1;
    // With two threads, each takes the places of the sorted head that it
    // filled in the last sort, and every other block of those appended since;
    // otherwise all places are dealt out by blocks.
    const bool byOwner =
        parts == 2 && owners_.size() == 3 && owners_.back() == sortedCount_ && sortedCount_ <= n;
    const size_t head = byOwner ? sortedCount_ : 0;
    pieces_.resize(parts);
    for (size_t t = 0; t < parts; ++t) {
        SortPiece& piece = pieces_[t];
        piece.byOwner = byOwner;
        piece.runStart = (byOwner ? owners_[t] : 0) + runStart(n - head, t, parts);
        piece.runLength = (byOwner ? owners_[t + 1] - owners_[t] : 0) + runLength(n - head, t, parts);
    }
    runs_.resize(n);
    pool_.ForEachPart(parts, [&](size_t t) { sortPart(t, parts); });
    scratch_.resize(keep);
    owners_.assign(parts + 1, keep);
    owners_[0] = 0;
    if (parts == 1) {
        for (size_t i = 0; i < keep; ++i)
            scratch_[i] = p[static_cast<std::uint32_t>(runs_[i])];
    } else {
        merged_.resize(keep);
        pool_.ForEachPart(parts, [&](size_t t) { mergePart(t, parts, keep); });
        for (size_t t = 1; t < parts; ++t)
            owners_[t] = pieces_[t].output;
    }
    p.swap(scratch_);
    sortedCount_ = keep;
}

// Run `part`: the keys of its places, those out of place sorted and merged
// with those in place (sorted too if a score changed outside the operators).
void GeneticEngine::sortPart(size_t part, size_t parts) {
    const size_t n = ListPopulation.size();
    SortPiece& piece = pieces_[part];
    piece.inOrder.clear();
    piece.outOfOrder.clear();
    const auto take = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            const SortKey key =
                (SortKey{scoreKey(ListPopulation[i].Celev_F)} << 32) | static_cast<std::uint32_t>(i);
            (misplaced_[i] ? piece.outOfOrder : piece.inOrder).push_back(key);
        }
    };
    size_t tail = 0;
    if (piece.byOwner) {
        take(owners_[part], owners_[part + 1]);
        tail = sortedCount_;
    }
    for (size_t block = tail + part * kSortBlock; block < n; block += parts * kSortBlock)
        take(block, std::min(n, block + kSortBlock));
    if (!std::is_sorted(piece.inOrder.begin(), piece.inOrder.end()))
        std::sort(piece.inOrder.begin(), piece.inOrder.end());
    sortByScore(piece.outOfOrder, piece.spare);
    mergeFirst(piece.inOrder.data(), piece.inOrder.size(), piece.outOfOrder.data(), piece.outOfOrder.size(),
               runs_.data() + piece.runStart, piece.runLength);
}

// Range `part` of the keys: those from its splitter up to the next one, taken
// from every run, merged into merged_ where they belong and, as far as the
// first `keep`, their individuals gathered into scratch_. Two runs split
// exactly at the middle of the first `keep`; with more, run 0 samples every
// parts-th block, so its keys spaced by keep / parts^2 split them nearly evenly.
void GeneticEngine::mergePart(size_t part, size_t parts, size_t keep) {
    const auto runBegin = [&](size_t r) { return runs_.data() + pieces_[r].runStart; };
    const auto runEnd = [&](size_t r) { return runBegin(r) + pieces_[r].runLength; };
    const auto splitAt = [&](size_t r, size_t s) -> const SortKey* {
        if (s == 0) return runBegin(r);
        if (s == parts) return runEnd(r);
        if (parts == 2) { // where the first keep / 2 of the merged keys end in run r
            const size_t first =
                coRank(runBegin(0), pieces_[0].runLength, runBegin(1), pieces_[1].runLength, keep / 2);
            return r == 0 ? runBegin(0) + first : runBegin(1) + (keep / 2 - first);
        }
        const SortKey splitter = runs_[std::min(keep * s / (parts * parts), pieces_[0].runLength - 1)];
        return std::lower_bound(runBegin(r), runEnd(r), splitter);
    };
    size_t output = 0;
    for (size_t r = 0; r < parts; ++r)
        output += static_cast<size_t>(splitAt(r, part) - runBegin(r));
    pieces_[part].output = std::min(output, keep);
    if (output >= keep) return;
    struct Head {
        const SortKey* at;
        const SortKey* end;
    };
    std::vector<Head> heads;
    size_t total = 0;
    for (size_t r = 0; r < parts; ++r) {
        const Head h{splitAt(r, part), splitAt(r, part + 1)};
        total += static_cast<size_t>(h.end - h.at);
        if (h.at != h.end) heads.push_back(h);
    }
    const size_t count = std::min(total, keep - output);
    SortKey* out = merged_.data() + output;
    if (heads.size() <= 2) { // two threads: a plain merge
        const Head none{nullptr, nullptr};
        const Head a = heads.empty() ? none : heads[0], b = heads.size() < 2 ? none : heads[1];
        mergeFirst(a.at, static_cast<size_t>(a.end - a.at), b.at, static_cast<size_t>(b.end - b.at), out,
                   count);
    } else { // more: the smallest head each time
        for (size_t o = 0; o < count; ++o) {
            size_t best = heads.size();
            for (size_t h = 0; h < heads.size(); ++h)
                if (heads[h].at != heads[h].end && (best == heads.size() || *heads[h].at < *heads[best].at))
                    best = h;
            out[o] = *heads[best].at++;
        }
    }
    for (size_t o = 0; o < count; ++o)
        scratch_[output + o] = ListPopulation[static_cast<std::uint32_t>(out[o])];
}

void GeneticEngine::MoveBest(int iNPokolenie, std::optional<long long> copyCount) {
    if (!copyCount) return;
    const long long n = *copyCount;
    const long long available = static_cast<long long>(ListBest.size());
    const long long copies = std::max(0LL, std::min(n < available ? n + 1 : available, available));
    for (long long i = 0; i < copies; ++i) {
        Xromosome x = ListBest[static_cast<size_t>(i)];
        x.Pokolenie = iNPokolenie;
        ListPopulation.push_back(x);
    }
    ListBest.clear();
    SortAndDestroyBad(SizePopulation);
}

} // namespace tovimo
