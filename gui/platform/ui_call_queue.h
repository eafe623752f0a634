// Carries work from a worker thread to the user-interface thread: queued
// calls that return at once and blocking calls that wait until the
// user-interface thread has run them. One queue keeps both kinds in the order
// they were made, so a blocking read sees every earlier write.
#pragma once

#include <QObject>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace tovimo {

class UiCallQueue : public QObject {
    Q_OBJECT

  public:
    // Lives on (and runs its calls on) the thread that creates it.
    explicit UiCallQueue(QObject* parent = nullptr);

    void post(std::function<void()> work);
    // On the queue's own thread the work runs at once; elsewhere the caller
    // waits for it. An exception of the work is raised in the caller.
    void call(std::function<void()> work);

  private slots:
    void drain();

  private:
    struct Item {
        std::function<void()> work;
        bool* done = nullptr; // set for blocking calls
        std::exception_ptr* error = nullptr;
    };

    void enqueue(Item item);

    std::mutex mutex_;
    std::condition_variable doneCv_;
    std::deque<Item> items_;
};

} // namespace tovimo
