#include "gui/platform/ui_seams.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tovimo {

namespace {

class QtUiSeams final : public UiSeams {
  public:
    void message(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, parent);
        box.exec();
    }

    void error(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Critical, kAppTitle, text, QMessageBox::Ok, parent);
        box.exec();
    }

    void beep() override { QApplication::beep(); }

    void setWaitCursor(bool busy) override {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        if (busy) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            // the computation that follows blocks the loop; let the cursor show first
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }

    std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& start) override {
        QFileDialog dialog(parent);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(filter);
        if (!start.isEmpty()) {
            const QFileInfo fi(start);
            if (fi.isDir()) {
                dialog.setDirectory(start);
            } else {
                dialog.setDirectory(fi.absolutePath());
                dialog.selectFile(fi.fileName());
            }
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().first();
    }

    std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& start) override {
        QFileDialog dialog(parent);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(filter);
        if (!start.isEmpty()) {
            const QFileInfo fi(start);
            dialog.setDirectory(fi.absolutePath());
            dialog.selectFile(fi.fileName());
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().first();
    }
};

UiSeams* g_installed = nullptr;

constexpr int kListWidth = 640;
constexpr int kListHeight = 420;

} // namespace

std::optional<QString> UiSeams::saveFile(QWidget*, const QString&, const QString&) {
    return std::nullopt;
}

int UiSeams::runDialog(QDialog* dialog) {
    return dialog->exec();
}

void UiSeams::messageList(QWidget* parent, const QStringList& lines) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromUtf8(kAppTitle) +
                          QStringLiteral(" — сообщений: %1").arg(lines.size()));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QPlainTextEdit(&dialog);
    list->setObjectName(QStringLiteral("MessageList"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(kListWidth, kListHeight);
    dialog.exec();
}

UiSeams& Ui() {
    static QtUiSeams qtSeams;
    return g_installed ? *g_installed : qtSeams;
}

void SetUi(UiSeams* seams) {
    g_installed = seams;
}

} // namespace tovimo
