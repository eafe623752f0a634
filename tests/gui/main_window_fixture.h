// What the main-window tests share: a recording stand-in for the desktop's
// boxes, beep, cursor and file dialogs, and small data files.
#pragma once

#include "gui/platform/ui_seams.h"
#include "gui/windows/main_window.h"
#include "tests/gui/window_controls.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <optional>

namespace tovimo::test {

class RecordingUi final : public UiSeams {
  public:
    struct Dialog {
        QString filter;
        QString start;
    };

    void message(QWidget*, const QString& text) override { messages << text; }
    void messageList(QWidget*, const QStringList& lines) override {
        lists.push_back(lines);
        if (onList) onList();
    }
    void error(QWidget*, const QString& text) override { errors << text; }
    void beep() override { ++beeps; }
    void setWaitCursor(bool b) override {
        busy = b;
        if (b) ++busyTimes;
    }
    std::optional<QString> openFile(QWidget*, const QString& filter, const QString& start) override {
        dialogs.push_back({filter, start});
        return takeAnswer(answers);
    }
    std::optional<QString> saveFile(QWidget*, const QString& filter, const QString& start) override {
        saveDialogs.push_back({filter, start});
        return takeAnswer(saveAnswers);
    }
    // The next answer of a file dialog; none left, or an empty one: cancel.
    template <class Queue> static std::optional<QString> takeAnswer(Queue& queue) {
        if (queue.empty()) return std::nullopt;
        const bool given = queue.front().has_value();
        const QString path = given ? *queue.front() : QString();
        queue.pop_front();
        if (!given) return std::nullopt;
        return path;
    }
    // A dialog of the program: the test's handler fills and closes it (none: cancel).
    int runDialog(QDialog* dialog) override { return onDialog ? onDialog(dialog) : QDialog::Rejected; }

    QStringList messages;
    std::vector<QStringList> lists;
    std::function<void()> onList; // called while a list is open
    QStringList errors;
    int beeps = 0;
    bool busy = false;
    int busyTimes = 0;
    std::vector<Dialog> dialogs;
    std::deque<std::optional<QString>> answers;
    std::vector<Dialog> saveDialogs;
    std::deque<std::optional<QString>> saveAnswers;
    std::function<int(QDialog*)> onDialog;
};

// Installs a RecordingUi for the lifetime of the object.
struct UiScope {
    UiScope() { SetUi(&ui); }
    ~UiScope() { SetUi(nullptr); }
    RecordingUi ui;
};

// The decimal separator the window uses under the current locale.
inline QString sep() {
    return QLocale().decimalPoint();
}

// A number text with the locale's separator ("12.5" → "12,5" under ru).
inline QString num(QString text) {
    return text.replace(QLatin1Char('.'), sep());
}

// The text a cell of a table view shows.
inline QString cellText(const QAbstractItemView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

// Writes a UTF-8 data file with the given header numbers and records.
inline QString writeDataFile(const QDir& dir, const QString& name, int kolOtk, const QStringList& records,
                             const QString& mean = QStringLiteral("3000"),
                             const QString& sd = QStringLiteral("700")) {
    QStringList lines{QStringLiteral("Проверочный ряд"),
                      mean,
                      sd,
                      QStringLiteral("200"),
                      QString::number(kolOtk),
                      QStringLiteral("2"),
                      QStringLiteral("Двигатель"),
                      QStringLiteral("Насос")};
    lines << records;
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return path;
}

// n records at 100, 200, ... hours, alternating causes.
inline QStringList records(int n) {
    QStringList r;
    for (int i = 1; i <= n; ++i)
        r << QStringLiteral("%1\t%2").arg(i * 100).arg(i % 2 ? QStringLiteral("двигатель")
                                                             : QStringLiteral("насос"));
    return r;
}

} // namespace tovimo::test
