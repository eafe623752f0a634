// A small pool of worker threads that runs independent evaluations of one
// batch side by side. The calling thread takes part; a pool of one thread
// runs everything on the caller.
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
    // a call is rethrown here.
    void ForEach(std::size_t n, const std::function<void(std::size_t)>& fn);

  private:
    void workerLoop();
    void takeShare() noexcept;

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(std::size_t)>* job_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    unsigned busy_ = 0;
    std::uint64_t batch_ = 0;
    bool quit_ = false;
    std::exception_ptr error_;
};

} // namespace tovimo
