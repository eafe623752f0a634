#include "core/genetic/genetic_parallel.h"

#include <algorithm>

namespace tovimo {

namespace {
constexpr std::size_t kChunk = 8;        // calls taken at a time
constexpr std::size_t kSerialBelow = 32; // smaller batches are not worth waking threads
} // namespace

EvaluationPool::EvaluationPool(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 1; i < threads; ++i)
        workers_.emplace_back([this] { workerLoop(); });
}

EvaluationPool::~EvaluationPool() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (auto& t : workers_)
        t.join();
}

void EvaluationPool::takeShare() noexcept {
    const auto& fn = *job_;
    for (;;) {
        const std::size_t first = next_.fetch_add(kChunk, std::memory_order_relaxed);
        if (first >= count_) return;
        const std::size_t last = std::min(count_, first + kChunk);
        try {
            for (std::size_t i = first; i < last; ++i)
                fn(i);
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!error_) error_ = std::current_exception();
        }
    }
}

void EvaluationPool::workerLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || batch_ != seen; });
            if (quit_) return;
            seen = batch_;
        }
        takeShare();
        std::lock_guard lock(mutex_);
        if (--busy_ == 0) done_.notify_one();
    }
}

void EvaluationPool::ForEach(std::size_t n, const std::function<void(std::size_t)>& fn) {
    if (workers_.empty() || n < kSerialBelow) {
        for (std::size_t i = 0; i < n; ++i)
            fn(i);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        job_ = &fn;
        count_ = n;
        next_.store(0, std::memory_order_relaxed);
        busy_ = static_cast<unsigned>(workers_.size());
        error_ = nullptr;
        ++batch_;
    }
    wake_.notify_all();
    takeShare();
    std::exception_ptr error;
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return busy_ == 0; });
        job_ = nullptr;
        error = error_;
        error_ = nullptr;
    }
    if (error) std::rethrow_exception(error);
}

} // namespace tovimo
