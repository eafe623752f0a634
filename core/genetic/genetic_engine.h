// The genetic algorithm's population and operators: the gene table, the
// binary encoding of the parameters, the initial population, single-point
// crossover, point mutation, truncation and the copying back of stored best
// individuals. Lower objective values are better everywhere.
#pragma once

#include "core/genetic/genetic_objective.h"
#include "core/genetic/genetic_parallel.h"
#include "core/genetic/genetic_random.h"
#include "core/state/analysis_state.h"

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovimo {

// Number of binary digits of iVal; 0 for iVal <= 0.
int iGetBits(std::int64_t iVal);
// The lowest Size binary digits of Value, most significant first.
std::string IntToBin(std::int64_t Value, int Size);
// Reads binary digits, most significant first; a '1' is a one, anything else a zero.
std::int64_t BinToInt(std::string_view Value);

// Digits per gene for a precision: iGetBits(Round(1 / Precision)). A reciprocal
// that is not finite or does not fit a 64-bit integer gives 0 digits.
int GeneLength(double Precision);

// One gene: its first digit's offset in the chromosome and its digit count.
struct PosGen {
    int gStart = 0;
    int gLength = 0;
};

// The digits of a chromosome, one machine word per gene: gene k holds the
// integer whose binary digits, most significant first, are the gene's digits.
struct Chromosome {
    std::array<std::uint64_t, N_Param_Opt> gene{};
    friend bool operator==(const Chromosome&, const Chromosome&) = default;
};

// One individual.
struct Xromosome {
    Chromosome sX;
    double Celev_F = 0; // objective value, lower is better
    int Pokolenie = 0;  // generation in which it was created or copied in
};

// -1 when Item1 is better, 1 when worse, 0 otherwise (equal, or a value that
// is not a number).
int SortPopulation(const Xromosome& Item1, const Xromosome& Item2);

// The population and the operators of one run (the worker minus its thread).
// The state supplies iop, NormA and Precision; the objective scores a decoded
// parameter vector; the pool spreads independent evaluations over threads.
// The key by which Sort orders an individual: its score's key first, its
// place second (see genetic_sort.cpp).
struct GeneticSortKey {
    std::uint64_t score = 0;
    std::uint32_t place = 0;
    friend constexpr auto operator<=>(const GeneticSortKey&, const GeneticSortKey&) = default;
};

class GeneticEngine {
  public:
    GeneticEngine(AnalysisState& st, GaRandom& rng, const GeneticObjective& objective, EvaluationPool& pool);

    int SizePopulation = 0;
    double fPCrossingOver = 0;
    double fPMutation = 0;
    std::vector<Xromosome> ListPopulation;
    std::vector<Xromosome> ListBest;
    std::vector<PosGen> ListGens;
    int LengthXrome = 0;

    // Builds the gene table and SizePopulation individuals drawn uniformly
    // from the initial ranges (scored at the drawn values, not the grid's).
    void MakePopulation();
    // Decodes a chromosome into Ao[1..iop].
    void XromeToA(const Chromosome& sXrome, ParamVector& Ao) const;
    // Appends 2 * Round(count * fPCrossingOver) children.
    void CrossingOver(int iNumPokolenie);
    // The same, then takes the draws of the next Mutation while the children
    // are being scored: the draws come in the same order as with CrossingOver
    // and Mutation one after the other, provided nothing else draws between.
    void CrossingOverThenMutationDraws(int iNumPokolenie);
    // Flips Round(SizePopulation * fPMutation) digits of random individuals in place.
    void Mutation();
    // Removes the last individuals down to iNumOsobey; an emptied population
    // empties the gene table too.
    void DestroyBad(int iNumOsobey);
    // Copies the first min(n + 1, size) entries of the best list back into the
    // population, empties the list, sorts and truncates. A copy count that is
    // not an integer (nullopt) leaves everything as it is.
    void MoveBest(int iNPokolenie, std::optional<long long> copyCount);
    // Sorts the population ascending; values that are not numbers go last.
    void Sort();
    // Sorts, then removes the last individuals down to iNumOsobey, as Sort and
    // DestroyBad one after the other, moving only the individuals it keeps.
    void SortAndDestroyBad(int iNumOsobey);

    // The chromosome as its digits "0"/"1", LengthXrome characters.
    std::string Digits(const Chromosome& x) const;
    // The chromosome whose digits are the given text (LengthXrome characters).
    Chromosome FromDigits(std::string_view digits) const;
    // Flips digit `position` (1-based) of a chromosome.
    void FlipDigit(Chromosome& x, int position) const;
    // The first `cut` digits of `head` followed by the remaining digits of `tail`.
    Chromosome Splice(const Chromosome& head, const Chromosome& tail, int cut) const;

    long long evaluations() const { return evaluations_; }

  private:
    template <class Point, class Store>
    void scoreInFours(size_t count, Point point, Store store, const std::function<void()>* lead = nullptr);
    template <class Point, class Store>
    void scoreGroup(size_t count, size_t group, Point& point, Store& store) const;
    void flipAndDecode(size_t j, ParamVector& Ao);
    void crossingOver(int iNumPokolenie, bool drawMutation);
    void drawMutationFlips();
    void clearFlips();
    void sortKeeping(size_t keep);
    void cutIntoRanges(size_t head, size_t parts);
    void sortRange(size_t t, size_t parts, size_t keep);
    void setBounds(size_t head, size_t parts);
    void dealToPlace(size_t t, size_t parts);

    AnalysisState& st_;
    GaRandom& rng_;
    const GeneticObjective& objective_;
    EvaluationPool& pool_;
    int geneLength_ = 0;
    long long evaluations_ = 0;
    // What Sort knows: the first sortedCount_ individuals were in order after
    // it, except those whose score a mutation has changed since.
    size_t sortedCount_ = 0;
    std::vector<std::uint32_t> changed_;
    // Where each digit lies: its gene and its bit in that gene.
    std::vector<std::pair<std::uint32_t, std::uint64_t>> digitAt_;
    // Working storage of Mutation: the digits to flip in each individual hit.
    bool flipsDrawn_ = false;
    bool flipsOutOfRange_ = false;
    std::vector<Chromosome> flips_;
    std::vector<char> isHit_;
    std::vector<std::uint32_t> hit_;
    // Working storage of Sort, kept between generations: the places out of
    // order, a sample of their keys, where the ranges of keys begin, and each
    // range's keys. A key orders by the score's key first and by the place
    // second (see genetic_sort.cpp).
    using SortKey = GeneticSortKey;
    struct SortRange {
        std::vector<SortKey> inOrder, toPlace, spare;
        size_t output = 0, end = 0; // where the range's keys begin and end in the new order
        bool fits = true;
    };
    std::vector<char> misplaced_;
    std::vector<std::uint32_t> toPlace_;
    std::vector<SortKey> sample_, merged_;
    std::vector<size_t> cuts_;
    std::vector<SortRange> ranges_;
    std::vector<SortKey> bounds_;
    std::vector<std::vector<std::vector<SortKey>>> dealt_; // [share][range]
    std::vector<Xromosome> scratch_;
    // Where the last sort's threads put the individuals they moved: thread t
    // the places from owners_[t] up to owners_[t + 1].
    std::vector<size_t> owners_;
    std::vector<std::vector<std::uint32_t>> byOwner_;
};

} // namespace tovimo
