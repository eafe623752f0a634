#include "gui/windows/app_windows.h"

#include "gui/windows/about_dialog.h"
#include "gui/windows/lnview.h"

#include <QLineEdit>

namespace tovimo {

AppWindows::AppWindows(const QString& settingsFile) : Form1(state, settingsFile), Form5(state) {
    // the results window closes with the main window and never keeps the program alive
    Form5.setAttribute(Qt::WA_QuitOnClose, false);
    Form5.setMainWindow(&Form1, [this]() -> const MainForm& { return Form1.form(); });
    Form5.setReportSource([this] {
        ReportSource source;
        source.dataFile = Form1.form().FilePath;
        if (const auto law = Form1.dataFileLaw()) {
            source.dataMean = law->first;
            source.dataSd = law->second;
        }
        return source;
    });
    Form1.setDiaStart([this] { Form5.DiaStart(); });
    Form1.setAfterLoad([this] { Form5.forgetStaleResults(); });
    Form1.setExpand([this] { OpenLnView(&Form1, state, Form1.form().decimalSeparator); });
    AddAboutMenu(&Form1);
}

} // namespace tovimo
