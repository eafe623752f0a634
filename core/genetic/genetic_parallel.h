// A small pool of worker threads that runs independent evaluations of one
// batch side by side. The calling thread takes part; a pool of one thread
// runs everything on the caller.
//
// A genetic run hands the pool a batch every few tens of microseconds, far
// less than it takes the system to wake a sleeping thread. Between batches
// the workers therefore spin for a short while before they sleep, and the
// caller spins while the last calls of a batch finish.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tovimo {

// The pause of round `round` (from 1) of a loop in which a thread waits on
// another: a processor pause, and every few rounds the processor given up to
// other threads, in case the one waited for is not running.
void WaitPause(unsigned round);

// A meeting point for `count` threads that run at the same time (as those of
// EvaluationPool::ForEachThread): each waits in ArriveAndWait until all have
// arrived. It can be used again at once.
class SpinBarrier {
  public:
    explicit SpinBarrier(std::size_t count) : count_(count) {}
    void ArriveAndWait();

  private:
    alignas(64) std::atomic<std::size_t> arrived_{0};
    alignas(64) std::atomic<unsigned> generation_{0};
    std::size_t count_;
};

class EvaluationPool {
  public:
    // `threads` counts the caller; 0 means one per hardware thread.
    explicit EvaluationPool(unsigned threads);
    ~EvaluationPool();
    EvaluationPool(const EvaluationPool&) = delete;
    EvaluationPool& operator=(const EvaluationPool&) = delete;

    unsigned threads() const { return static_cast<unsigned>(workers_.size()) + 1; }

    // Calls fn(i) for every i in [0, n) and returns when all calls are done.
    // The calls must not depend on each other. The first exception thrown by
    // a call is rethrown here. Small batches run on the caller alone.
    void ForEach(std::size_t n, const std::function<void(std::size_t)>& fn);

    // As ForEach, with `lead` run on the calling thread first while the other
    // threads already take calls: fn must wait for what lead prepares.
    void ForEachAfter(std::size_t n, const std::function<void()>& lead,
                      const std::function<void(std::size_t)>& fn);

    // Calls fn(t) once on every thread t of the pool, all at the same time:
    // t is 0 on the caller and 1, 2... on the workers, the same worker for
    // the same t every time, so that what a thread made stays in its cache.
    // The calls may wait for each other.
    void ForEachThread(const std::function<void(std::size_t)>& fn);

  private:
    void run(std::size_t n, std::size_t chunk, const std::function<void(std::size_t)>& fn,
             const std::function<void()>* lead = nullptr, bool perThread = false);
    void workerLoop(std::size_t index);
    void takeShare() noexcept;
    void callOnce(std::size_t index) noexcept;
    bool waitForBatch(std::uint64_t seen);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(std::size_t)>* job_ = nullptr;
    std::size_t count_ = 0;
    std::size_t chunk_ = 1;
    bool perThread_ = false; // the batch is one call on each thread
    alignas(64) std::atomic<std::size_t> next_{0};
    alignas(64) std::atomic<unsigned> busy_{0};
    alignas(64) std::atomic<std::uint64_t> batch_{0};
    std::atomic<bool> quit_{false};
    unsigned sleepers_ = 0; // workers waiting on wake_, guarded by mutex_
    bool callerSleeps_ = false;
    std::exception_ptr error_;
    char pad_[64];
};

} // namespace tovimo
