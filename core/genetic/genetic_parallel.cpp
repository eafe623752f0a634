#include "core/genetic/genetic_parallel.h"

#include <algorithm>
#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TOVIMO_CPU_RELAX() _mm_pause()
#else
#define TOVIMO_CPU_RELAX() std::this_thread::yield()
#endif

namespace tovimo {

namespace {
// Calls are taken a chunk at a time: about eight chunks per thread, so that
// a thread that falls behind leaves little to wait for, and no fewer than
// two calls.
constexpr std::size_t kChunksPerThread = 8;
constexpr std::size_t kChunkAtLeast = 2;
constexpr std::size_t kSerialBelow = 32; // smaller batches are not worth sharing
// How long a worker keeps looking for the next batch, and the caller for the
// end of the current one, before they sleep.
constexpr auto kSpin = std::chrono::microseconds(500);
// A waiting thread gives up the processor every this many pauses: the thread
// it waits for may not be running (a busy machine, more threads than
// processors), and spinning out a whole time slice would hold it back.
constexpr unsigned kYieldEvery = 32;

// Spins until done() holds or kSpin has passed; true when done() holds.
template <class Done> bool spinUntil(Done done) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    for (unsigned round = 1;; ++round) {
        if (done()) return true;
        WaitPause(round);
        if (round % kYieldEvery == 0 && std::chrono::steady_clock::now() > until) return false;
    }
}
} // namespace

void WaitPause(unsigned round) {
    TOVIMO_CPU_RELAX();
    if (round % kYieldEvery == 0) std::this_thread::yield();
}

void SpinBarrier::ArriveAndWait() {
    const unsigned generation = generation_.load(std::memory_order_acquire);
    if (arrived_.fetch_add(1, std::memory_order_acq_rel) + 1 == count_) {
        arrived_.store(0, std::memory_order_relaxed);
        generation_.fetch_add(1, std::memory_order_release);
        return;
    }
    for (unsigned round = 1; generation_.load(std::memory_order_acquire) == generation; ++round)
        WaitPause(round);
}

EvaluationPool::EvaluationPool(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 1; i < threads; ++i)
        workers_.emplace_back([this, i] { workerLoop(i); });
}

EvaluationPool::~EvaluationPool() {
    {
        std::lock_guard lock(mutex_);
        quit_.store(true);
    }
    wake_.notify_all();
    for (auto& t : workers_)
        t.join();
}

void EvaluationPool::takeShare() noexcept {
    const auto& fn = *job_;
    for (;;) {
        const std::size_t first = next_.fetch_add(chunk_, std::memory_order_relaxed);
        if (first >= count_) return;
        const std::size_t last = std::min(count_, first + chunk_);
        try {
            for (std::size_t i = first; i < last; ++i)
                fn(i);
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!error_) error_ = std::current_exception();
        }
    }
}

void EvaluationPool::callOnce(std::size_t index) noexcept {
    try {
        (*job_)(index);
    } catch (...) {
        std::lock_guard lock(mutex_);
        if (!error_) error_ = std::current_exception();
    }
}

// Whether a batch newer than `seen` was posted; false when the pool closes.
bool EvaluationPool::waitForBatch(std::uint64_t seen) {
    const auto posted = [&] {
        return quit_.load(std::memory_order_acquire) || batch_.load(std::memory_order_acquire) != seen;
    };
    if (!spinUntil(posted)) {
        std::unique_lock lock(mutex_);
        ++sleepers_;
        wake_.wait(lock, posted);
        --sleepers_;
    }
    return !quit_.load(std::memory_order_acquire);
}

void EvaluationPool::workerLoop(std::size_t index) {
    std::uint64_t seen = 0;
    while (waitForBatch(seen)) {
        seen = batch_.load(std::memory_order_acquire);
        if (perThread_)
            callOnce(index);
        else
            takeShare();
        if (busy_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            std::lock_guard lock(mutex_);
            if (callerSleeps_) done_.notify_one();
        }
    }
}

void EvaluationPool::run(std::size_t n, std::size_t chunk, const std::function<void(std::size_t)>& fn,
                         const std::function<void()>* lead, bool perThread) {
    {
        std::lock_guard lock(mutex_);
        job_ = &fn;
        perThread_ = perThread;
        count_ = n;
        chunk_ = chunk;
        next_.store(0, std::memory_order_relaxed);
        busy_.store(static_cast<unsigned>(workers_.size()), std::memory_order_relaxed);
        error_ = nullptr;
        batch_.fetch_add(1, std::memory_order_release);
        if (sleepers_ > 0) wake_.notify_all();
    }
    if (lead) {
        try {
            (*lead)();
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!error_) error_ = std::current_exception();
        }
    }
    if (perThread)
        callOnce(0);
    else
        takeShare();
    const auto finished = [&] { return busy_.load(std::memory_order_acquire) == 0; };
    std::exception_ptr error;
    {
        if (!spinUntil(finished)) {
            std::unique_lock lock(mutex_);
            callerSleeps_ = true;
            done_.wait(lock, finished);
            callerSleeps_ = false;
        }
        std::lock_guard lock(mutex_);
        job_ = nullptr;
        error = error_;
        error_ = nullptr;
    }
    if (error) std::rethrow_exception(error);
}

void EvaluationPool::ForEach(std::size_t n, const std::function<void(std::size_t)>& fn) {
    if (workers_.empty() || n < kSerialBelow) {
        for (std::size_t i = 0; i < n; ++i)
            fn(i);
        return;
    }
    run(n, std::max(kChunkAtLeast, n / (kChunksPerThread * threads())), fn);
}

void EvaluationPool::ForEachAfter(std::size_t n, const std::function<void()>& lead,
                                  const std::function<void(std::size_t)>& fn) {
    if (workers_.empty() || n < kSerialBelow) {
        lead();
        for (std::size_t i = 0; i < n; ++i)
            fn(i);
        return;
    }
    run(n, std::max(kChunkAtLeast, n / (kChunksPerThread * threads())), fn, &lead);
}

void EvaluationPool::ForEachThread(const std::function<void(std::size_t)>& fn) {
    if (workers_.empty()) {
        fn(0);
        return;
    }
    run(threads(), 1, fn, nullptr, true);
}

} // namespace tovimo
