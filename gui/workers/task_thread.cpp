#include "gui/workers/task_thread.h"

namespace tovimo {

TaskThread::TaskThread(Work work, QObject* parent) : QThread(parent), work_(std::move(work)) {
    setObjectName(QStringLiteral("TaskThread"));
}

TaskThread::~TaskThread() {
    requestStop();
    wait();
}

void TaskThread::run() {
    const Progress progress = [this](const std::string& text) {
        emit progressed(QString::fromStdString(text));
    };
    try {
        work_(stop_, progress);
    } catch (const std::exception& e) {
        error_ = e.what();
    } catch (...) {
        error_ = "?";
    }
}

} // namespace tovimo
