#include "gui/windows/about_dialog.h"

#include "gui/platform/ui_seams.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/qtchartsversion.h>

#include <boost/version.hpp>
#include <unicode/uversion.h>

namespace tovimo {

QString ProgramVersion() {
    return QStringLiteral(TOVIMO_VERSION);
}

QStringList LibraryVersions() {
    UVersionInfo icu;
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(icu, icuText);
    return {
        QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
        QStringLiteral("Qt Charts %1").arg(QStringLiteral(QTCHARTS_VERSION_STR)),
        QStringLiteral("ICU %1").arg(QString::fromLatin1(icuText)),
        QStringLiteral("Boost %1.%2.%3")
            .arg(BOOST_VERSION / 100000)
            .arg(BOOST_VERSION / 100 % 1000)
            .arg(BOOST_VERSION % 100),
    };
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("О программе"));
    auto* layout = new QVBoxLayout(this);
    const auto line = [&](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(l);
        return l;
    };
    QLabel* title = line(QStringLiteral("ProgramName"),
                         QStringLiteral("Tovimo — анализ надежности по цензурированному ряду отказов"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    line(QStringLiteral("ProgramVersion"), QStringLiteral("Версия %1").arg(ProgramVersion()));
    line(QStringLiteral("ProgramLicence"),
         QStringLiteral("Лицензия: GNU General Public License версии 3 или более поздней (GPL-3.0-or-later). "
                        "Программа поставляется без каких-либо гарантий."))
        ->setWordWrap(true);
    line(QStringLiteral("Libraries"),
         QStringLiteral("Библиотеки:\n  %1").arg(LibraryVersions().join(QStringLiteral("\n  "))));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("AboutClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void AddAboutMenu(QMainWindow* window) {
    QMenu* help = window->menuBar()->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    QAction* about = help->addAction(QStringLiteral("О программе"));
    about->setObjectName(QStringLiteral("AboutAction"));
    QObject::connect(about, &QAction::triggered, window, [window] {
        AboutDialog dialog(window);
        Ui().runDialog(&dialog);
    });
}

} // namespace tovimo
