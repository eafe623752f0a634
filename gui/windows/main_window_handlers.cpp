// The main window's handlers: opening the files, the runs, closing.
#include "gui/windows/main_window.h"

#include "gui/platform/settings_file.h"
#include "gui/platform/time_text.h"
#include "gui/platform/ui_seams.h"
#include "gui/windows/table_import_dialog.h"
#include "gui/workers/gen_thread.h"

#include "core/data/data_file.h"
#include "core/data/series_controls.h"
#include "core/data/warranty_file.h"
#include "core/state/run_inputs.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace tovimo {

namespace {

const char* const kDataFilter = "файлы данных (txt,rel) (*.txt *.rel)";
const char* const kWarrantyFilter = "Файл времен гарантии (gar*.txt)";
const char* const kTableFilter = "Таблицы отказов (csv, tsv, txt) (*.csv *.tsv *.txt)";

std::string localPath(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

} // namespace

void TForm1::guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const ConvertError& e) {
        Ui().setWaitCursor(false);
        // the toolkit's conversion text, under a first line naming the field
        const QString text = QString::fromStdString(e.what());
        const QString field = fieldOfBadNumber(QString::fromStdString(e.text()));
        Ui().error(this,
                   field.isEmpty() ? text : QStringLiteral("Поле «%1»: введите число\n%2").arg(field, text));
    } catch (const std::exception& e) {
        Ui().setWaitCursor(false);
        Ui().error(this, QString::fromStdString(e.what()));
    }
}

QString TForm1::fieldOfBadNumber(const QString& text) const {
    const struct {
        const QLineEdit* edit;
        const char* caption;
    } fields[] = {{meSred, "Среднее время гарантии"},
                  {meSKO, "СКО времени гарантии"},
                  {LabeledEdit2, "T fin временного ряда отказов"},
                  {LabeledEdit3, "Расч. время приработки"},
                  {Edit2, "Точность подбора"},
                  {Edit1, "Коэф-т уменьшения шага модели 1.1"},
                  {Edit6, "Коэф-т уменьшения шага модели 1.2"},
                  {Edit5, "Коэф-т уменьшения шага модели 2"},
                  {LabeledEdit1, "шт."}};
    const char sep = localeSeparator();
    for (const auto& f : fields)
        if (f.edit->text() == text && !ParseFloat(text.toStdString(), sep))
            return QString::fromUtf8(f.caption);
    return QString();
}

void TForm1::showMessage(const std::string& text) {
    Ui().message(this, QString::fromStdString(text));
}

const MainForm& TForm1::form() {
    readControls();
    return form_;
}

bool TForm1::GettingData() {
    readControls();
    return tovimo::GettingData(st_, ReadRunInputs(form_), [this](const std::string& m) { showMessage(m); });
}

void TForm1::DiaStart() {
    if (diaStart_) diaStart_();
}

void TForm1::OpenFileStartClick() {
    if (runActive()) return; // Enter in an edit reaches here too
    guarded([&] {
        QString start = ReadComStr(settingsFile_, QString());
        if (start.isEmpty()) start = sampleFile_;
        const auto chosen = Ui().openFile(this, QString::fromUtf8(kDataFilter), start);
        if (chosen) loadDataFile(*chosen);
    });
}

void TForm1::openDataFile(const QString& file) {
    if (runActive()) return;
    guarded([&] { loadDataFile(file); });
}

void TForm1::loadDataFile(const QString& file) {
    dialogFile_ = file;
    FilePath->setText(file);
    readControls();
    // A load may find many things (every undetermined failure under "Контроль ИД"):
    // one finding is a box of its own, several are one list.
    QStringList found;
    QElapsedTimer loading;
    loading.start();
    // a settings file that cannot be written never stops the load
    LoadDataFile(
        st_, form_, localPath(file), [&](const std::string& m) { found << QString::fromStdString(m); },
        [this] { WriteComStr(settingsFile_, FilePath->text()); });
    showLoaded(found, loading);
}

void TForm1::showLoaded(const QStringList& found, const QElapsedTimer& loading) {
    if (st_.uk) {
        dataFileLaw_ = std::make_pair(st_.Sred, st_.SKO);
        FillSeriesControls(st_, form_); // the record grid and the small chart of the series just loaded
    }
    showForm();
    if (afterLoad_) afterLoad_();
    // the grid and chart first: the findings' box stands over the file they are about
    showGrid();
    showChart();
    if (st_.uk)
        appendMemoLine(LoadDoneLine(ElapsedTimeText(double(loading.elapsed()) / 1000).toStdString(),
                                    st_.MasProbl.size()));
    if (found.size() == 1) Ui().message(this, found.front());
    if (found.size() > 1) Ui().messageList(this, found);
}

void TForm1::ImportTableClick() {
    if (runActive()) return;
    guarded([&] {
        const auto chosen = Ui().openFile(this, QString::fromUtf8(kTableFilter), dialogFile_);
        if (!chosen) return;
        dialogFile_ = *chosen;
        auto bytes = ReadFileBytes(localPath(*chosen));
        if (!bytes) {
            showMessage(kMsgFileMissing);
            return;
        }
        readControls();
        TableImportDialog dialog(*chosen, std::move(*bytes), form_.decimalSeparator, this);
        if (!dialog.readError().isEmpty()) {
            Ui().message(this, dialog.readError());
            return;
        }
        if (Ui().runDialog(&dialog) != QDialog::Accepted) return;
        // then as "Путь" loads a data file; a saved data file is the one remembered
        const QString saved = dialog.savedFile();
        FilePath->setText(saved.isEmpty() ? *chosen : saved);
        readControls();
        if (!saved.isEmpty()) WriteComStr(settingsFile_, saved);
        QStringList found;
        QElapsedTimer loading;
        loading.start();
        LoadDataText(st_, form_, dialog.dataBytes(),
                     [&](const std::string& m) { found << QString::fromStdString(m); });
        showLoaded(found, loading);
    });
}

void TForm1::SpeedButton1Click() {
    if (runActive()) return;
    guarded([&] {
        // in the folder of the last warranty file, else of the data file: a data
        // file chosen there and confirmed would be read as warranty times
        QString start = warrantyFile_;
        if (start.isEmpty() && !dialogFile_.isEmpty()) start = QFileInfo(dialogFile_).absolutePath();
        if (start.isEmpty() && !FilePath->text().isEmpty())
            start = QFileInfo(FilePath->text()).absolutePath();
        const auto chosen = Ui().openFile(this, QString::fromUtf8(kWarrantyFilter), start);
        if (!chosen) return;
        warrantyFile_ = *chosen;
        readControls();
        LoadWarrantyFile(st_, form_, localPath(*chosen), [this](const std::string& m) { showMessage(m); });
        showForm();
        if (afterLoad_) afterLoad_();
    });
}

void TForm1::Button2Click() {
    if (calculationRunning()) return; // the run sorts the series the window would read
    if (expand_) expand_();
}

void TForm1::StopBtnClick() {
    flags_.Stop_Gen = true;
}

void TForm1::btnCopyBestClick() {
    flags_.bCopyBest = true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (closing_) { // a second close while the run winds down
        event->ignore();
        return;
    }
    Ui().beep();
    if (runActive()) {
        closing_ = true;
        stopCalculationRun();
        stopGeneticRun();
        waitForThread(timing_); // a few seconds at most
        closing_ = false;
    }
    event->accept();
}

void TForm1::stopGeneticRun() {
    if (!gen_) return;
    flags_.Stop_Gen = true; // as "Стоп": the run ends after its generation
    waitForThread(gen_);
}

void TForm1::waitForThread(QThread* thread) {
    QPointer<QThread> t = thread;
    if (!t) return;
    if (!t->isFinished()) {
        t->requestInterruption();
        QEventLoop loop;
        connect(t, &QThread::finished, &loop, &QEventLoop::quit);
        // the loop keeps serving the worker's hand-overs until it ends
        if (!t->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (t) t->wait();
}

} // namespace tovimo
