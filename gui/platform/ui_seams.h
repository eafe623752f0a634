// What the windows ask of the desktop: message boxes, the beep, the wait
// cursor and the file-open dialog. The program uses the Qt implementation;
// tests install their own and answer the dialogs themselves.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

namespace tovimo {

inline constexpr const char* kAppTitle = "Анализ надежности";

class UiSeams {
  public:
    virtual ~UiSeams() = default;
    // Modal box with one text and one button.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // One modal dialog listing many messages, one a line, with one button.
    virtual void messageList(QWidget* parent, const QStringList& lines);
    // The toolkit's standard error box.
    virtual void error(QWidget* parent, const QString& text) = 0;
    virtual void beep() = 0;
    // The screen-wide wait cursor: one state, not a stack.
    virtual void setWaitCursor(bool busy) = 0;
    // File-open dialog with a filter ("text (patterns)") starting at a file or
    // folder; nullopt when the user cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& start) = 0;
    // File-save dialog asking before it replaces a file; nullopt when the
    // user cancels (the stand-ins of tests that do not answer it cancel).
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& start);
    // Runs a dialog of the program modally and answers its result code
    // (tests fill and close the dialog themselves).
    virtual int runDialog(QDialog* dialog);
};

// The seam in force: the one set by SetUi, else the Qt implementation.
UiSeams& Ui();
// Installs a seam (nullptr puts the Qt implementation back).
void SetUi(UiSeams* seams);

} // namespace tovimo
