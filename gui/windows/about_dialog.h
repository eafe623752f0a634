// "О программе": the program's name, version and licence, and the libraries
// it runs on with their versions.
#pragma once

#include <QDialog>
#include <QStringList>

class QMainWindow;

namespace tovimo {

// The program's version, as set in the build.
QString ProgramVersion();
// One line per library: its name and the version in use.
QStringList LibraryVersions();

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// The menu "Справка" with the entry "О программе" on `window`'s menu bar.
void AddAboutMenu(QMainWindow* window);

} // namespace tovimo
