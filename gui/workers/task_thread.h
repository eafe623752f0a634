// One computation of a window's, off the user-interface thread: the fit of
// model 3 by cause, the warranty forecast. The work gets its own stop flag
// and a way to say what it is doing (carried to the window as a signal); the
// window takes what the work left once finished() has arrived. Nothing the
// work raises leaves the thread: its text is kept for the window.
#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <string>

namespace tovimo {

class TaskThread : public QThread {
    Q_OBJECT

  public:
    using Progress = std::function<void(const std::string&)>;
    using Work = std::function<void(const std::atomic<bool>& stop, const Progress& progress)>;

    explicit TaskThread(Work work, QObject* parent = nullptr);
    // Asks the work to stop and waits for it: a window going away takes its
    // computation with it.
    ~TaskThread() override;

    void requestStop() { stop_ = true; }
    // Valid once finished: the text of what the work raised, empty when nothing.
    const std::string& error() const { return error_; }

  signals:
    void progressed(const QString& text);

  protected:
    void run() override;

  private:
    Work work_;
    std::atomic<bool> stop_{false};
    std::string error_;
};

} // namespace tovimo
