#include "gui/platform/ui_call_queue.h"

#include <QThread>

namespace tovimo {

UiCallQueue::UiCallQueue(QObject* parent) : QObject(parent) {}

void UiCallQueue::enqueue(Item item) {
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
    }
    // by name: no functor object crosses the threads outside our mutex
    QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
}

void UiCallQueue::post(std::function<void()> work) {
    enqueue({std::move(work), nullptr, nullptr});
}

void UiCallQueue::call(std::function<void()> work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    bool done = false;
    std::exception_ptr error;
    enqueue({std::move(work), &done, &error});
    std::unique_lock lock(mutex_);
    doneCv_.wait(lock, [&] { return done; });
    if (error) std::rethrow_exception(error);
}

void UiCallQueue::drain() {
    for (;;) {
        Item item;
        {
            std::lock_guard lock(mutex_);
            if (items_.empty()) return;
            item = std::move(items_.front());
            items_.pop_front();
        }
        std::exception_ptr error;
        try {
            item.work();
        } catch (...) {
            error = std::current_exception();
        }
        if (item.done) {
            std::lock_guard lock(mutex_);
            *item.error = error;
            *item.done = true;
            doneCv_.notify_all();
        }
    }
}

} // namespace tovimo
