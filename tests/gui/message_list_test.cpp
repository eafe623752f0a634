// The dialog that lists many findings at once: every line in one list and a
// single button that closes it.
#include "gui/platform/ui_seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace tovimo;

namespace {

// Leaves the list dialog to the base implementation; the rest is never called.
class ListOnly final : public UiSeams {
  public:
    void message(QWidget*, const QString&) override {}
    void error(QWidget*, const QString&) override {}
    void beep() override {}
    void setWaitCursor(bool) override {}
    std::optional<QString> openFile(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
};

} // namespace

class MessageListTest : public QObject {
    Q_OBJECT

  private slots:
    void everyLineInOneDialogWithOneButton_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("two") << 2;
        QTest::newRow("three thousand") << 3000;
    }

    void everyLineInOneDialogWithOneButton() {
        QFETCH(int, count);
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << QStringLiteral("Неопределенный отказ при t=%1 ч").arg(i * 10);
        QString shown;
        QString title;
        int buttons = -1;
        int dialogs = 0;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            ++dialogs;
            title = dialog->windowTitle();
            if (auto* list = dialog->findChild<QPlainTextEdit*>(QStringLiteral("MessageList")))
                shown = list->toPlainText();
            const QList<QAbstractButton*> all = dialog->findChildren<QAbstractButton*>();
            buttons = static_cast<int>(all.size());
            if (!all.isEmpty())
                all.front()->click();
            else
                dialog->reject();
        });
        ListOnly ui;
        ui.messageList(nullptr, lines);
        QCOMPARE(dialogs, 1);
        QCOMPARE(title, QString::fromUtf8(kAppTitle) + QStringLiteral(" — сообщений: %1").arg(count));
        QCOMPARE(shown.split(QLatin1Char('\n')), lines);
        QCOMPARE(buttons, 1);
    }
};

QTEST_MAIN(MessageListTest)
#include "message_list_test.moc"
