#include "core/genetic/genetic_engine.h"
#include "core/text/number_format.h"
#include "tests/core/genetic/genetic_test_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace tovimo {
namespace {

using test::PreparedFleet;

TEST(GeneticEncoding, iGetBitsCountsBinaryDigits) {
    const struct {
        std::int64_t v;
        int bits;
    } cases[] = {{-7, 0},         {0, 0},           {1, 1},
                 {2, 2},          {3, 2},           {4, 3},
                 {5'000'000, 23}, {10'000'000, 24}, {std::numeric_limits<std::int64_t>::max(), 63}};
    for (const auto& c : cases)
        EXPECT_EQ(iGetBits(c.v), c.bits) << c.v;
}

TEST(GeneticEncoding, IntToBinAndBinToInt) {
    EXPECT_EQ(IntToBin(5, 4), "0101");
    EXPECT_EQ(IntToBin(5, 2), "01"); // only the lowest digits
    EXPECT_EQ(IntToBin(0, 3), "000");
    EXPECT_EQ(BinToInt("0101"), 5);
    EXPECT_EQ(BinToInt("x1a1"), 5); // anything but '1' reads as a zero
    EXPECT_EQ(BinToInt(""), 0);
    for (std::int64_t n : {0LL, 1LL, 2LL, 12345LL, (1LL << 22) + 3, (1LL << 23) - 1}) {
        EXPECT_EQ(IntToBin(n, 23).size(), 23u);
        EXPECT_EQ(BinToInt(IntToBin(n, 23)), n);
    }
}

TEST(GeneticEncoding, GeneLengthFromPrecision) {
    const struct {
        double precision;
        int digits;
    } cases[] = {{1e-7, 24}, {2e-7, 23}, {0.25, 3}, {0.5, 2},   {0.7, 1},
                 {1, 1},     {3, 0},     {0, 0},    {-1e-7, 0}, {1e-300, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(GeneLength(c.precision), c.digits) << c.precision;
}

TEST(GeneticEncoding, SortPopulationTreatsNotANumberAsEqual) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto x = [](double f) { return Xromosome{{}, f, 1}; };
    EXPECT_EQ(SortPopulation(x(1), x(2)), -1);
    EXPECT_EQ(SortPopulation(x(2), x(1)), 1);
    EXPECT_EQ(SortPopulation(x(2), x(2)), 0);
    EXPECT_EQ(SortPopulation(x(nan), x(2)), 0);
    EXPECT_EQ(SortPopulation(x(2), x(nan)), 0);
}

// An engine on a simulated fleet, with a twin generator that replays the draws.
struct Bench {
    explicit Bench(std::uint64_t seed = 11, unsigned threads = 1)
        : f(PreparedFleet()), rng(seed), twin(seed), objective(f.st, 1.3), pool(threads),
          eng(f.st, rng, objective, pool) {}

    // The objective of a chromosome given as digits, decoded without the engine.
    double score(const std::string& digits) const {
        auto Ao = f.st.Ao;
        for (int k = 1; k <= f.st.iop; ++k)
            Ao[static_cast<size_t>(k)] =
                f.st.NormA[static_cast<size_t>(k)] *
                static_cast<double>(BinToInt(digits.substr(static_cast<size_t>((k - 1) * 23), 23)));
        return objective(Ao);
    }
    void make(int size) {
        eng.SizePopulation = size;
        eng.MakePopulation();
        for (int i = 0; i < size * f.st.iop; ++i)
            twin.Uniform();
    }
    std::vector<std::string> digits() const {
        std::vector<std::string> d;
        for (const auto& x : eng.ListPopulation)
            d.push_back(eng.Digits(x.sX));
        return d;
    }

    test::GaFleet f;
    GaRandom rng, twin;
    GeneticObjective objective;
    EvaluationPool pool;
    GeneticEngine eng;
};

TEST(GeneticEngine, MakePopulationDrawsGenesInOrderAndScoresTheDrawnValues) {
    Bench b;
    ASSERT_EQ(b.f.st.iop, 2);
    b.eng.SizePopulation = 40;
    b.eng.MakePopulation();
    ASSERT_EQ(b.eng.ListGens.size(), 2u);
    EXPECT_EQ(b.eng.ListGens[0].gStart, 0);
    EXPECT_EQ(b.eng.ListGens[1].gStart, 23);
    EXPECT_EQ(b.eng.ListGens[1].gLength, 23);
    EXPECT_EQ(b.eng.LengthXrome, 46);
    ASSERT_EQ(b.eng.ListPopulation.size(), 40u);
    for (const Xromosome& x : b.eng.ListPopulation) {
        auto Ao = b.f.st.Ao;
        std::string expected;
        for (int k = 1; k <= 2; ++k) {
            Ao[static_cast<size_t>(k)] = Alim[1][k] + b.twin.Uniform() * Alim[2][k];
            expected +=
                IntToBin(Round(Ao[static_cast<size_t>(k)] / b.f.st.NormA[static_cast<size_t>(k)]), 23);
        }
        EXPECT_EQ(b.eng.Digits(x.sX), expected);
        EXPECT_EQ(x.Celev_F, b.objective(Ao)); // the drawn values, not the grid's
        EXPECT_NE(x.Celev_F, b.score(expected));
        EXPECT_EQ(x.Pokolenie, 1);
        ParamVector decoded{};
        b.eng.XromeToA(x.sX, decoded);
        EXPECT_NEAR(decoded[1], Ao[1], b.f.st.NormA[1]);
        EXPECT_NEAR(decoded[2], Ao[2], b.f.st.NormA[2]);
    }
}

TEST(GeneticEngine, DigitsDecodeAndFlip) {
    Bench b;
    b.make(2);
    const std::string s = "1" + std::string(22, '0') + std::string(23, '1');
    Chromosome x = b.eng.FromDigits(s);
    EXPECT_EQ(b.eng.Digits(x), s);
    ParamVector Ao{};
    b.eng.XromeToA(x, Ao);
    EXPECT_DOUBLE_EQ(Ao[1], b.f.st.NormA[1] * (1 << 22));
    EXPECT_NEAR(Ao[2], 5.05, 0.005); // the highest value gene 2 can hold
    b.eng.FlipDigit(x, 1);
    b.eng.FlipDigit(x, 46);
    EXPECT_EQ(b.eng.Digits(x), std::string(23, '0') + std::string(22, '1') + "0");
    EXPECT_THROW(b.eng.FlipDigit(x, 47), std::out_of_range);
    EXPECT_THROW(b.eng.FlipDigit(x, 0), std::out_of_range);
}

TEST(GeneticEngine, SpliceTakesTheHeadUpToTheCut) {
    Bench b;
    b.make(2);
    const std::string p1 = "1011001110001011110000101100110101011100001111";
    const std::string p2 = "0100110001110100001111010011001010100011110000";
    const Chromosome c1 = b.eng.FromDigits(p1), c2 = b.eng.FromDigits(p2);
    for (int cut : {1, 2, 7, 22, 23, 24, 30, 45}) {
        EXPECT_EQ(b.eng.Digits(b.eng.Splice(c1, c2, cut)), p1.substr(0, cut) + p2.substr(cut)) << cut;
        EXPECT_EQ(b.eng.Digits(b.eng.Splice(c2, c1, cut)), p2.substr(0, cut) + p1.substr(cut)) << cut;
    }
}

TEST(GeneticEngine, CrossingOverFollowsTheDrawsAndAppendsScoredChildren) {
    Bench b;
    b.make(20);
    b.eng.Sort();
    b.eng.fPCrossingOver = 0.33; // Round(6.6) = 7 crossings
    std::vector<std::string> ref = b.digits();
    b.eng.CrossingOver(9);
    for (int n = 0; n < 7; ++n) {
        const auto C = static_cast<std::int64_t>(ref.size());
        const std::int64_t i1 = Round(b.twin.Uniform() * C / 2);
        const std::int64_t i2 = C - 1 - Round(b.twin.Uniform() * C / 2);
        const int cut = static_cast<int>(Round(b.twin.Uniform() * 44)) + 1;
        const std::string a = ref[static_cast<size_t>(i1)], c = ref[static_cast<size_t>(i2)];
        ref.push_back(a.substr(0, cut) + c.substr(cut));
        ref.push_back(c.substr(0, cut) + a.substr(cut));
    }
    ASSERT_EQ(b.eng.ListPopulation.size(), 34u);
    EXPECT_EQ(b.digits(), ref);
    for (size_t i = 20; i < 34; ++i) {
        EXPECT_EQ(b.eng.ListPopulation[i].Pokolenie, 9);
        EXPECT_EQ(b.eng.ListPopulation[i].Celev_F, b.score(ref[i]));
    }
    EXPECT_EQ(b.rng.Uniform(), b.twin.Uniform()); // no draw more, none less
}

TEST(GeneticEngine, MutationFlipsInDrawOrderAndRescoresEveryHitIndividual) {
    Bench b;
    b.make(4);
    b.eng.fPMutation = 3; // 12 flips on 4 individuals: several hit the same one
    std::vector<std::string> ref = b.digits();
    std::vector<double> before;
    for (const auto& x : b.eng.ListPopulation)
        before.push_back(x.Celev_F);
    std::vector<bool> hit(4, false);
    b.eng.Mutation();
    for (int n = 0; n < 12; ++n) {
        const int pos = static_cast<int>(Round(b.twin.Uniform() * 45)) + 1;
        const auto j = static_cast<size_t>(Round(b.twin.Uniform() * 3));
        char& d = ref[j][static_cast<size_t>(pos - 1)];
        d = d == '0' ? '1' : '0';
        hit[j] = true;
    }
    EXPECT_EQ(b.digits(), ref);
    for (size_t j = 0; j < 4; ++j) {
        EXPECT_EQ(b.eng.ListPopulation[j].Celev_F, hit[j] ? b.score(ref[j]) : before[j]) << j;
        EXPECT_EQ(b.eng.ListPopulation[j].Pokolenie, 1);
    }
    EXPECT_EQ(b.rng.Uniform(), b.twin.Uniform());
}

TEST(GeneticEngine, MutationCountOfADefaultPopulation) {
    Bench b(5, 2);
    b.make(3000);
    b.eng.fPMutation = 15.0 / 101; // Round(445.54...) = 446 flips, two draws each
    b.eng.Mutation();
    for (int i = 0; i < 2 * 446; ++i)
        b.twin.Uniform();
    EXPECT_EQ(b.rng.Uniform(), b.twin.Uniform());
}

TEST(GeneticEngine, SortPutsValuesThatAreNotNumbersLast) {
    Bench b;
    b.make(6);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {3, nan, 1, std::numeric_limits<double>::infinity(), nan, 2};
    for (size_t i = 0; i < 6; ++i)
        b.eng.ListPopulation[i].Celev_F = values[i];
    b.eng.Sort();
    const auto& p = b.eng.ListPopulation;
    EXPECT_EQ(p[0].Celev_F, 1);
    EXPECT_EQ(p[1].Celev_F, 2);
    EXPECT_EQ(p[2].Celev_F, 3);
    EXPECT_TRUE(std::isinf(p[3].Celev_F));
    EXPECT_TRUE(std::isnan(p[4].Celev_F) && std::isnan(p[5].Celev_F));
}

// The sorts run in pieces on every thread of the pool; the result must not
// depend on how many there are.
class GeneticSort : public ::testing::TestWithParam<unsigned> {};

TEST_P(GeneticSort, KeepsTheOrderOfEqualScores) {
    // Scores with many ties, zeros of both signs and values that are not
    // numbers; a sorted head with mutated members followed by children, as a
    // generation leaves it. The result is that of a stable sort.
    Bench b(11, GetParam());
    b.make(400);
    auto& p = b.eng.ListPopulation;
    std::mt19937_64 rng(4);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pool[] = {0.0, -0.0, 1.5, 2.5, 2.5, nan, -nan, std::numeric_limits<double>::infinity(), 7};
    const auto byScore = [](const Xromosome& x, const Xromosome& y) {
        return std::isnan(y.Celev_F) ? !std::isnan(x.Celev_F) : x.Celev_F < y.Celev_F;
    };
    for (int round = 0; round < 20; ++round) {
        for (size_t i = 0; i < p.size(); ++i) {
            p[i].Celev_F = pool[rng() % std::size(pool)];
            p[i].Pokolenie = static_cast<int>(i); // marks the place before sorting
        }
        if (round % 2) {
            std::stable_sort(p.begin(), p.begin() + 300, byScore);
            p[17].Celev_F = 0.5; // a mutation inside the sorted head
        }
        auto expected = p;
        std::stable_sort(expected.begin(), expected.end(), byScore);
        b.eng.Sort();
        ASSERT_EQ(p.size(), expected.size());
        for (size_t i = 0; i < p.size(); ++i) {
            ASSERT_EQ(p[i].Pokolenie, expected[i].Pokolenie) << "round " << round << " place " << i;
            ASSERT_EQ(p[i].sX, expected[i].sX);
        }
    }
}

TEST_P(GeneticSort, AfterTheOperatorsIsAStableSort) {
    // Mutated individuals and appended children are merged into the part that
    // stayed in order; the result is that of a stable sort of the whole list.
    Bench b(11, GetParam());
    b.make(500);
    const auto byScore = [](const Xromosome& x, const Xromosome& y) {
        return std::isnan(y.Celev_F) ? !std::isnan(x.Celev_F) : x.Celev_F < y.Celev_F;
    };
    const auto expectStableSort = [&](const char* after) {
        auto& p = b.eng.ListPopulation;
        for (size_t i = 0; i < p.size(); ++i)
            p[i].Pokolenie = static_cast<int>(i);
        auto expected = p;
        std::stable_sort(expected.begin(), expected.end(), byScore);
        b.eng.Sort();
        for (size_t i = 0; i < p.size(); ++i) {
            ASSERT_EQ(p[i].Pokolenie, expected[i].Pokolenie) << after << ", place " << i;
            ASSERT_EQ(p[i].sX, expected[i].sX);
        }
    };
    expectStableSort("the initial population");
    for (int generation = 0; generation < 5; ++generation) {
        b.eng.fPCrossingOver = 0.3;
        b.eng.CrossingOver(generation + 2);
        expectStableSort("a crossover");
        b.eng.DestroyBad(b.eng.SizePopulation);
        b.eng.fPMutation = 0.2;
        b.eng.Mutation();
        // equal scores too: a copy of the head next to its original
        b.eng.ListPopulation[5].Celev_F = b.eng.ListPopulation[0].Celev_F;
        expectStableSort("a mutation");
    }
}

TEST_P(GeneticSort, SortAndDestroyBadKeepsTheBestOfAStableSort) {
    // Children appended to a sorted population, then cut back to its size:
    // the first of the stable order, whether the cut falls among children or
    // among parents.
    Bench b(11, GetParam());
    b.make(700);
    const auto byScore = [](const Xromosome& x, const Xromosome& y) {
        return std::isnan(y.Celev_F) ? !std::isnan(x.Celev_F) : x.Celev_F < y.Celev_F;
    };
    for (int generation = 0; generation < 4; ++generation) {
        b.eng.Sort();
        b.eng.fPCrossingOver = generation % 2 ? 0.45 : 0.1;
        b.eng.CrossingOver(generation + 2);
        auto& p = b.eng.ListPopulation;
        for (size_t i = 0; i < p.size(); ++i)
            p[i].Pokolenie = static_cast<int>(i);
        auto expected = p;
        std::stable_sort(expected.begin(), expected.end(), byScore);
        const int keep = generation == 3 ? 5 : b.eng.SizePopulation;
        expected.resize(static_cast<size_t>(keep));
        b.eng.SortAndDestroyBad(keep);
        ASSERT_EQ(p.size(), expected.size());
        for (size_t i = 0; i < p.size(); ++i)
            ASSERT_EQ(p[i].Pokolenie, expected[i].Pokolenie)
                << "generation " << generation << ", place " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, GeneticSort, ::testing::Values(1u, 2u, 3u));

TEST(GeneticEngine, DestroyBadKeepsTheFirstAndEmptiesTheGeneTableWithThePopulation) {
    Bench b;
    b.make(10);
    const std::string third = b.eng.Digits(b.eng.ListPopulation[2].sX);
    b.eng.DestroyBad(3);
    ASSERT_EQ(b.eng.ListPopulation.size(), 3u);
    EXPECT_EQ(b.eng.Digits(b.eng.ListPopulation[2].sX), third);
    EXPECT_EQ(b.eng.ListGens.size(), 2u);
    b.eng.DestroyBad(5);
    EXPECT_EQ(b.eng.ListPopulation.size(), 3u);
    b.eng.DestroyBad(0);
    EXPECT_TRUE(b.eng.ListPopulation.empty());
    EXPECT_TRUE(b.eng.ListGens.empty());
}

TEST(GeneticEngine, MoveBestCopiesOneMoreThanAskedUpToTheListSize) {
    const struct {
        std::optional<long long> n;
        int listSize;
        int copies;
        bool emptied;
    } cases[] = {{50, 300, 51, true}, {50, 20, 20, true}, {50, 50, 50, true},          {50, 51, 51, true},
                 {0, 10, 1, true},    {-5, 20, 0, true},  {std::nullopt, 20, 0, false}};
    for (const auto& c : cases) {
        Bench b;
        b.make(60);
        // Stored bests better than every individual, so that all copies survive.
        for (int i = 0; i < c.listSize; ++i)
            b.eng.ListBest.push_back({b.eng.ListPopulation[0].sX, -1.0 - i, 2 + i});
        const auto unsorted = b.digits();
        b.eng.MoveBest(77, c.n);
        int copied = 0;
        for (const auto& x : b.eng.ListPopulation)
            copied += x.Pokolenie == 77;
        EXPECT_EQ(copied, c.copies) << c.listSize;
        EXPECT_EQ(b.eng.ListPopulation.size(), 60u);
        EXPECT_EQ(b.eng.ListBest.empty(), c.emptied);
        if (!c.n) {
            EXPECT_EQ(b.digits(), unsorted); // not even sorted
            continue;
        }
        for (size_t i = 1; i < b.eng.ListPopulation.size(); ++i)
            EXPECT_LE(b.eng.ListPopulation[i - 1].Celev_F, b.eng.ListPopulation[i].Celev_F);
        // The oldest entries are the ones copied: the copies carry their scores.
        if (c.copies > 0) {
            EXPECT_EQ(b.eng.ListPopulation[0].Celev_F, -static_cast<double>(c.copies));
        }
    }
}

TEST(GeneticEngine, CopiesOwnTheirDigits) {
    Bench b;
    b.make(5);
    b.eng.ListBest.push_back(b.eng.ListPopulation[0]);
    b.eng.ListBest.back().Celev_F = -1;
    const std::string stored = b.eng.Digits(b.eng.ListBest[0].sX);
    b.eng.FlipDigit(b.eng.ListPopulation[0].sX, 3);
    EXPECT_EQ(b.eng.Digits(b.eng.ListBest[0].sX), stored);
    b.eng.MoveBest(3, 50);
    b.eng.FlipDigit(b.eng.ListPopulation[0].sX, 3);
    EXPECT_NE(b.eng.Digits(b.eng.ListPopulation[0].sX), stored);
    EXPECT_EQ(b.eng.ListPopulation[0].Pokolenie, 3);
}

} // namespace
} // namespace tovimo
