// What the window tools (screenshots, measurements) share: dialogs that
// answer themselves and a wait that keeps the windows drawing.
#pragma once

#include "gui/platform/ui_seams.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QString>
#include <QThread>

#include <cstdio>
#include <functional>
#include <optional>

namespace tovimo::tools {

// The data file for every file dialog; every message goes to the terminal.
class ScriptedUi final : public UiSeams {
  public:
    explicit ScriptedUi(QString file) : file_(std::move(file)) {}
    void message(QWidget*, const QString& text) override { std::printf("message: %s\n", qPrintable(text)); }
    void error(QWidget*, const QString& text) override { std::printf("error: %s\n", qPrintable(text)); }
    void beep() override {}
    void setWaitCursor(bool) override {}
    std::optional<QString> openFile(QWidget*, const QString&, const QString&) override { return file_; }
    int runDialog(QDialog* dialog) override { return onDialog ? onDialog(dialog) : QDialog::Rejected; }
    void setFile(QString file) { file_ = std::move(file); }
    std::function<int(QDialog*)> onDialog;

  private:
    QString file_;
};

// Lets the windows handle their events for `ms` milliseconds.
inline void settle(int ms = 300) {
    const QDeadlineTimer until(ms);
    while (!until.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

// Lets the windows handle their events until `done` answers true or `seconds`
// have passed; answers whether it did.
inline bool waitFor(const std::function<bool()>& done, int seconds) {
    const QDeadlineTimer until(seconds * 1000);
    while (!done()) {
        if (until.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

} // namespace tovimo::tools
