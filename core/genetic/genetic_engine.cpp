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

namespace {
// Pairs of children whose draws are taken before any of them is built.
constexpr size_t kPairsDrawnAhead = 8;
} // namespace

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
            // The draws of a few pairs at a time, their parents asked for all
            // at once, then the pairs built: the parents arrive side by side.
            struct Draw {
                std::int64_t iX1, iX2;
                int iCrossX;
            };
            std::array<Draw, kPairsDrawnAhead> block;
            for (std::int64_t from = 0; from < Nx; from += kPairsDrawnAhead) {
                const std::int64_t to = std::min<std::int64_t>(Nx, from + kPairsDrawnAhead);
                for (std::int64_t n = from; n < to; ++n) {
                    const auto C = static_cast<std::int64_t>(first) + 2 * n;
                    Draw& d = block[static_cast<size_t>(n - from)];
                    d.iX1 = Round(rng_.Uniform() * static_cast<double>(C) / 2);
                    d.iX2 = C - 1 - Round(rng_.Uniform() * static_cast<double>(C) / 2);
                    d.iCrossX = static_cast<int>(Round(rng_.Uniform() * (LengthXrome - 2))) + 1;
                    if (d.iX1 < 0 || d.iX1 >= C || d.iX2 < 0 || d.iX2 >= C)
                        throw std::out_of_range("crossover parent out of range");
                    __builtin_prefetch(ListPopulation.data() + d.iX1);
                    __builtin_prefetch(ListPopulation.data() + d.iX2);
                }
                for (std::int64_t n = from; n < to; ++n) {
                    const Draw& d = block[static_cast<size_t>(n - from)];
                    const Chromosome p1 = ListPopulation[static_cast<size_t>(d.iX1)].sX;
                    const Chromosome p2 = ListPopulation[static_cast<size_t>(d.iX2)].sX;
                    ListPopulation.push_back({Splice(p1, p2, d.iCrossX), 0, iNumPokolenie});
                    ListPopulation.push_back({Splice(p2, p1, d.iCrossX), 0, iNumPokolenie});
                    built.store(static_cast<size_t>(2 * n + 2), std::memory_order_release);
                }
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
        for (unsigned round = 1; (b = built.load(std::memory_order_acquire)) <= i; ++round)
            WaitPause(round);
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

// Applies the flips drawn for place j and decodes the
// individual there.
void GeneticEngine::flipAndDecode(size_t j, ParamVector& Ao) {
    Xromosome& x = ListPopulation[j];
    const Chromosome& f = flips_[j];
    for (size_t k = 0; k < f.gene.size(); ++k)
        x.sX.gene[k] ^= f.gene[k];
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
        // A thread through with its own individuals takes what is left of
        // the others'.
        struct alignas(64) Next {
            std::atomic<size_t> group{0};
        };
        std::vector<Next> nextGroup(parts);
        pool_.ForEachThread([&](size_t t) {
            for (size_t k = 0; k < parts; ++k) {
                const auto& list = byOwner_[(t + k) % parts];
                auto& next = nextGroup[(t + k) % parts].group;
                auto point = [&](size_t i, ParamVector& Ao) { flipAndDecode(list[i], Ao); };
                auto store = [&](size_t i, double v) { ListPopulation[list[i]].Celev_F = v; };
                for (size_t group; 4 * (group = next.fetch_add(1, std::memory_order_relaxed)) < list.size();)
                    scoreGroup(list.size(), group, point, store);
            }
        });
    } else {
        scoreInFours(
            hit_.size(), [&](size_t i, ParamVector& Ao) { flipAndDecode(hit_[i], Ao); },
            [&](size_t i, double v) { ListPopulation[hit_[i]].Celev_F = v; });
    }
    changed_.insert(changed_.end(), hit_.begin(), hit_.end());
    evaluations_ += static_cast<long long>(hit_.size());
    // The flips applied are cleared with the next draws, on the thread that
    // draws: the threads that applied them only read them.
}

void GeneticEngine::DestroyBad(int iNumOsobey) {
    const size_t keep = static_cast<size_t>(std::max(iNumOsobey, 0));
    if (ListPopulation.size() > keep) ListPopulation.resize(keep);
    sortedCount_ = std::min(sortedCount_, ListPopulation.size());
    if (ListPopulation.empty()) ListGens.clear();
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
