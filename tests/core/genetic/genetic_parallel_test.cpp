// The evaluation pool: every call made once, failures passed on, one call on
// each thread where asked, and the barrier its threads meet at.
#include "core/genetic/genetic_parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tovimo {
namespace {

class Pool : public ::testing::TestWithParam<unsigned> {};

TEST_P(Pool, ForEachCallsEveryIndexOnce) {
    EvaluationPool pool(GetParam());
    for (const size_t n : {size_t{0}, size_t{1}, size_t{31}, size_t{32}, size_t{1000}}) {
        std::vector<std::atomic<int>> calls(n);
        pool.ForEach(n, [&](size_t i) { calls[i].fetch_add(1); });
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(calls[i].load(), 1) << "n " << n << ", index " << i;
    }
}

TEST_P(Pool, ForEachAfterRunsTheLeadOnTheCallerFirst) {
    EvaluationPool pool(GetParam());
    std::atomic<bool> led{false};
    std::thread::id leader;
    std::vector<std::atomic<int>> calls(500);
    pool.ForEachAfter(
        calls.size(),
        [&] {
            leader = std::this_thread::get_id();
            led.store(true);
        },
        [&](size_t i) { calls[i].fetch_add(1); });
    EXPECT_TRUE(led.load());
    EXPECT_EQ(leader, std::this_thread::get_id());
    for (auto& c : calls)
        ASSERT_EQ(c.load(), 1);
}

TEST_P(Pool, ForEachThreadCallsEachThreadOnceOnTheSameThreadEveryTime) {
    const unsigned threads = GetParam();
    EvaluationPool pool(threads);
    ASSERT_EQ(pool.threads(), threads);
    std::vector<std::thread::id> first(threads);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::thread::id> seen(threads);
        std::vector<std::atomic<int>> calls(threads);
        pool.ForEachThread([&](size_t t) {
            calls[t].fetch_add(1);
            seen[t] = std::this_thread::get_id();
        });
        for (unsigned t = 0; t < threads; ++t)
            ASSERT_EQ(calls[t].load(), 1) << "round " << round << ", thread " << t;
        EXPECT_EQ(seen[0], std::this_thread::get_id()); // the caller takes 0
        EXPECT_EQ(std::set<std::thread::id>(seen.begin(), seen.end()).size(), threads);
        if (round == 0) first = seen;
        EXPECT_EQ(seen, first) << "round " << round;
    }
}

TEST_P(Pool, TheFirstFailureReachesTheCaller) {
    EvaluationPool pool(GetParam());
    EXPECT_THROW(pool.ForEach(200,
                              [](size_t i) {
                                  if (i == 150) throw std::runtime_error("call failed");
                              }),
                 std::runtime_error);
    EXPECT_THROW(pool.ForEachThread([&](size_t t) {
        if (t + 1 == pool.threads()) throw std::runtime_error("thread failed");
    }),
                 std::runtime_error);
    // The pool goes on working after a failure.
    std::atomic<int> calls{0};
    pool.ForEach(100, [&](size_t) { calls.fetch_add(1); });
    EXPECT_EQ(calls.load(), 100);
}

TEST_P(Pool, ThreadsMeetAtTheBarrierAgainAndAgain) {
    // Each thread writes its entry of a round, meets the others, then reads
    // every entry of that round: all must be written.
    const unsigned threads = GetParam();
    EvaluationPool pool(threads);
    SpinBarrier barrier(threads);
    constexpr int kRounds = 200;
    std::vector<std::atomic<int>> written(threads);
    std::atomic<int> missed{0};
    pool.ForEachThread([&](size_t t) {
        for (int round = 1; round <= kRounds; ++round) {
            written[t].store(round, std::memory_order_relaxed);
            barrier.ArriveAndWait();
            for (unsigned u = 0; u < threads; ++u)
                if (written[u].load(std::memory_order_relaxed) < round) missed.fetch_add(1);
            barrier.ArriveAndWait(); // nobody starts the next round before all have read
        }
    });
    EXPECT_EQ(missed.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Threads, Pool, ::testing::Values(1u, 2u, 3u));

} // namespace
} // namespace tovimo
