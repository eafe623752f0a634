#include "gui/windows/table_import_dialog.h"

#include "core/data/data_file_text.h"
#include "core/text/number_format.h"
#include "gui/platform/ui_seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tovimo {

namespace {

const char* const kDataFilter = "файлы данных (txt,rel) (*.txt *.rel)";
const char* const kFleetCaption = "Парк изделий";
const char* const kMeanCaption = "Среднее время гарантии, ч";
const char* const kSdCaption = "СКО времени гарантии, ч";
const char* const kFailuresCaption = "Число отказов";

QString rowCaption(const char* caption) {
    return QString::fromUtf8(caption) + QLatin1Char(':');
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QLineEdit* edit(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

} // namespace

TableImportDialog::TableImportDialog(const QString& tablePath, std::string bytes, char decimalSeparator,
                                     QWidget* parent)
    : QDialog(parent), tablePath_(tablePath), bytes_(std::move(bytes)), sep_(decimalSeparator) {
    setObjectName(QStringLiteral("TableImportDialog"));
    setWindowTitle(QStringLiteral("Импорт таблицы отказов"));
    buildUi();
    const TableReadResult read = ReadFailureTable(bytes_);
    if (!read.table) {
        readError_ = qs(read.error);
        return;
    }
    table_ = *read.table;
    filling_ = true;
    separatorBox->setCurrentIndex(separatorBox->findData(QChar::fromLatin1(table_.separator)));
    headerBox->setChecked(table_.header);
    filling_ = false;
    fillColumnBoxes();
    reconvert();
}

void TableImportDialog::buildUi() {
    auto* v = new QVBoxLayout(this);
    auto* file = new QLabel(QStringLiteral("Таблица: ") + QDir::toNativeSeparators(tablePath_), this);
    file->setObjectName(QStringLiteral("tableFile"));
    v->addWidget(file);

    auto* readRow = new QHBoxLayout;
    readRow->addWidget(new QLabel(QStringLiteral("Разделитель столбцов:"), this));
    separatorBox = new QComboBox(this);
    separatorBox->setObjectName(QStringLiteral("separatorBox"));
    separatorBox->addItem(QStringLiteral("точка с запятой"), QChar::fromLatin1(';'));
    separatorBox->addItem(QStringLiteral("запятая"), QChar::fromLatin1(','));
    separatorBox->addItem(QStringLiteral("табуляция"), QChar::fromLatin1('\t'));
    readRow->addWidget(separatorBox);
    headerBox = new QCheckBox(QStringLiteral("Первая строка — заголовок"), this);
    headerBox->setObjectName(QStringLiteral("headerBox"));
    readRow->addWidget(headerBox);
    tableInfo = new QLabel(this);
    tableInfo->setObjectName(QStringLiteral("tableInfo"));
    readRow->addWidget(tableInfo, 1);
    v->addLayout(readRow);

    preview = new QTableWidget(this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setMinimumHeight(220);
    v->addWidget(preview, 1);

    auto* middle = new QHBoxLayout;
    auto* columns = new QGroupBox(QStringLiteral("Столбцы"), this);
    auto* cf = new QFormLayout(columns);
    timeColumn = new QComboBox(columns);
    timeColumn->setObjectName(QStringLiteral("timeColumn"));
    causeColumn = new QComboBox(columns);
    causeColumn->setObjectName(QStringLiteral("causeColumn"));
    descriptionColumn = new QComboBox(columns);
    descriptionColumn->setObjectName(QStringLiteral("descriptionColumn"));
    cf->addRow(QStringLiteral("Наработка, ч:"), timeColumn);
    cf->addRow(QStringLiteral("Причина отказа:"), causeColumn);
    cf->addRow(QStringLiteral("Описание отказа:"), descriptionColumn);
    middle->addWidget(columns, 1);

    auto* numbers = new QGroupBox(QStringLiteral("Заголовок файла исходных данных"), this);
    auto* nf = new QFormLayout(numbers);
    fleetEdit = edit(QStringLiteral("fleetEdit"), numbers);
    meanEdit = edit(QStringLiteral("meanEdit"), numbers);
    sdEdit = edit(QStringLiteral("sdEdit"), numbers);
    failuresEdit = edit(QStringLiteral("failuresEdit"), numbers);
    commentEdit = edit(QStringLiteral("commentEdit"), numbers);
    commentEdit->setText(qs(DefaultImportComment(QFileInfo(tablePath_).fileName().toStdString())));
    nf->addRow(rowCaption(kFleetCaption), fleetEdit);
    nf->addRow(rowCaption(kMeanCaption), meanEdit);
    nf->addRow(rowCaption(kSdCaption), sdEdit);
    nf->addRow(rowCaption(kFailuresCaption), failuresEdit);
    nf->addRow(QStringLiteral("Комментарий:"), commentEdit);
    middle->addWidget(numbers, 1);
    v->addLayout(middle);

    badRowsLabel = new QLabel(this);
    badRowsLabel->setObjectName(QStringLiteral("badRowsLabel"));
    v->addWidget(badRowsLabel);
    badRowsList = new QListWidget(this);
    badRowsList->setObjectName(QStringLiteral("badRowsList"));
    badRowsList->setMaximumHeight(110);
    v->addWidget(badRowsList);
    doubtfulLabel = new QLabel(this);
    doubtfulLabel->setObjectName(QStringLiteral("doubtfulLabel"));
    doubtfulLabel->setWordWrap(true);
    v->addWidget(doubtfulLabel);
    doubtfulList = new QListWidget(this);
    doubtfulList->setObjectName(QStringLiteral("doubtfulList"));
    doubtfulList->setMaximumHeight(90);
    v->addWidget(doubtfulList);
    notesLabel = new QLabel(this);
    notesLabel->setObjectName(QStringLiteral("notesLabel"));
    notesLabel->setWordWrap(true);
    v->addWidget(notesLabel);

    auto* buttons = new QHBoxLayout;
    saveButton = new QPushButton(QStringLiteral("Сохранить файл данных…"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    buttons->addWidget(saveButton);
    buttons->addStretch(1);
    loadButton = new QPushButton(QStringLiteral("Загрузить"), this);
    loadButton->setObjectName(QStringLiteral("loadButton"));
    loadButton->setDefault(true);
    buttons->addWidget(loadButton);
    cancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(cancelButton);
    v->addLayout(buttons);

    connect(separatorBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) reread();
    });
    connect(headerBox, &QCheckBox::toggled, this, [this] {
        if (!filling_) reread();
    });
    for (QComboBox* box : {timeColumn, causeColumn, descriptionColumn})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_) reconvert();
        });
    connect(failuresEdit, &QLineEdit::textEdited, this, [this] { failuresTyped_ = true; });
    // the warranty law's end decides which times are too long
    for (QLineEdit* e : {meanEdit, sdEdit})
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!filling_ && readError_.isEmpty()) reconvert();
        });
    connect(doubtfulList, &QListWidget::itemChanged, this, [this] {
        if (!filling_) reconvert();
    });
    connect(saveButton, &QPushButton::clicked, this, &TableImportDialog::saveClick);
    connect(loadButton, &QPushButton::clicked, this, &TableImportDialog::loadClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(900, 680);
}

void TableImportDialog::reread() {
    TableReadOptions options;
    options.separator = separatorBox->currentData().toChar().toLatin1();
    options.header = headerBox->isChecked();
    const TableReadResult read = ReadFailureTable(bytes_, options);
    if (!read.table) {
        readError_ = qs(read.error);
        Ui().message(this, readError_);
        return;
    }
    readError_.clear();
    table_ = *read.table;
    fillColumnBoxes();
    reconvert();
}

void TableImportDialog::fillColumnBoxes() {
    filling_ = true;
    for (QComboBox* box : {timeColumn, causeColumn, descriptionColumn})
        box->clear();
    descriptionColumn->addItem(QStringLiteral("нет"), -1);
    for (size_t c = 0; c < table_.columnCount; ++c) {
        QString name = QStringLiteral("Столбец %1").arg(c + 1);
        if (c < table_.headerFields.size() && !table_.headerFields[c].empty())
            name += QStringLiteral(": ") + qs(table_.headerFields[c]);
        for (QComboBox* box : {timeColumn, causeColumn, descriptionColumn})
            box->addItem(name, static_cast<int>(c));
    }
    timeColumn->setCurrentIndex(timeColumn->findData(table_.columns.time));
    causeColumn->setCurrentIndex(causeColumn->findData(table_.columns.cause));
    descriptionColumn->setCurrentIndex(descriptionColumn->findData(table_.columns.description));
    filling_ = false;
}

TableColumns TableImportDialog::shownColumns() const {
    return {timeColumn->currentData().toInt(), causeColumn->currentData().toInt(),
            descriptionColumn->currentData().toInt()};
}

std::vector<size_t> TableImportDialog::droppedLines() const {
    std::vector<size_t> out;
    for (int i = 0; i < doubtfulList->count(); ++i)
        if (doubtfulList->item(i)->checkState() == Qt::Unchecked)
            out.push_back(doubtfulList->item(i)->data(Qt::UserRole).value<qulonglong>());
    return out;
}

void TableImportDialog::reconvert() {
    table_.columns = shownColumns();
    tableInfo->setText(QStringLiteral("Кодировка: %1").arg(qs(table_.encoding)));
    // the header numbers do not change which rows are read, but the warranty
    // law's end, when typed, tells which times are too long
    ImportHeader probe;
    probe.decimalSeparator = sep_;
    try {
        probe.mean = StrToFloat(meanEdit->text().toStdString(), sep_);
        probe.sd = StrToFloat(sdEdit->text().toStdString(), sep_);
    } catch (const ConvertError&) {
        probe.mean = probe.sd = 0;
    }
    preview_ = ConvertFailureTable(table_, probe, droppedLines());
    fillPreview();
    fillDoubtfulRows();

    badRowsList->clear();
    for (const BadRow& b : preview_.badRows)
        badRowsList->addItem(qs(BadRowText(b)));
    const bool unusable = MostRowsUnreadable(preview_);
    if (unusable)
        badRowsLabel->setText(
            QStringLiteral("Не прочитано строк: %1 из %2 — большая часть таблицы не читается как таблица "
                           "отказов; загружать нечего (проверьте разделитель и столбцы)")
                .arg(preview_.badRows.size())
                .arg(table_.rows.size()));
    else
        badRowsLabel->setText(preview_.badRows.empty()
                                  ? QStringLiteral("Все строки прочитаны: отказов %1").arg(preview_.records)
                                  : QStringLiteral("Не прочитано строк: %1 — они не войдут в файл данных "
                                                   "(«Отмена» — не загружать)")
                                        .arg(preview_.badRows.size()));
    badRowsLabel->setStyleSheet(preview_.badRows.empty() ? QString() : QStringLiteral("color: #b00000;"));
    for (QPushButton* b : {loadButton, saveButton})
        b->setEnabled(!unusable);
    QStringList notes;
    for (const std::string& n : preview_.notes)
        notes << qs(n);
    notesLabel->setText(notes.join(QLatin1Char('\n')));
    if (!failuresTyped_) failuresEdit->setText(QString::number(preview_.records));
}

void TableImportDialog::fillDoubtfulRows() {
    // the ticks the user set stay with their lines
    const std::vector<size_t> dropped = droppedLines();
    filling_ = true;
    doubtfulList->clear();
    for (const DoubtfulRow& r : preview_.doubtfulRows) {
        auto* item = new QListWidgetItem(qs(DoubtfulRowText(r)), doubtfulList);
        item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(r.line));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool drop = std::find(dropped.begin(), dropped.end(), r.line) != dropped.end();
        item->setCheckState(drop ? Qt::Unchecked : Qt::Checked);
    }
    filling_ = false;
    doubtfulLabel->setText(preview_.doubtfulRows.empty()
                               ? QString()
                               : QStringLiteral("Подозрительные строки: %1 — отмеченные загружаются, снимите "
                                                "отметку, чтобы не загружать строку")
                                     .arg(preview_.doubtfulRows.size()));
    doubtfulLabel->setStyleSheet(QStringLiteral("color: #b05000;"));
    doubtfulLabel->setVisible(!preview_.doubtfulRows.empty());
    doubtfulList->setVisible(!preview_.doubtfulRows.empty());
}

void TableImportDialog::fillPreview() {
    const int rows = std::min<int>(kPreviewRows, static_cast<int>(table_.rows.size()));
    preview->clear();
    preview->setColumnCount(static_cast<int>(table_.columnCount));
    preview->setRowCount(rows);
    QStringList heads;
    for (size_t c = 0; c < table_.columnCount; ++c)
        heads << (c < table_.headerFields.size() ? qs(table_.headerFields[c])
                                                 : QStringLiteral("Столбец %1").arg(c + 1));
    preview->setHorizontalHeaderLabels(heads);
    QStringList lines;
    for (int r = 0; r < rows; ++r) {
        const size_t row = static_cast<size_t>(r);
        lines << QString::number(table_.rows.line(row));
        for (size_t c = 0; c < table_.rows.fieldCount(row); ++c)
            preview->setItem(
                r, static_cast<int>(c),
                new QTableWidgetItem(qs(std::string(table_.rows.field(row, static_cast<int>(c))))));
    }
    preview->setVerticalHeaderLabels(lines);
    preview->resizeColumnsToContents();
}

bool TableImportDialog::convert(TableImport& out) {
    if (!readError_.isEmpty()) {
        Ui().message(this, readError_);
        return false;
    }
    ImportHeader h;
    // each number under its field's caption, in Russian: the toolkit's
    // English text would not say which field is wrong
    const struct {
        QLineEdit* edit;
        const char* caption;
        double* value;
    } numbers[] = {
        {fleetEdit, kFleetCaption, &h.fleet}, {meanEdit, kMeanCaption, &h.mean}, {sdEdit, kSdCaption, &h.sd}};
    auto refuse = [this](QLineEdit* e, const char* caption) {
        const QString text = e->text().trimmed();
        Ui().error(
            this,
            text.isEmpty()
                ? QStringLiteral("Поле «%1» не заполнено: введите число").arg(QString::fromUtf8(caption))
                : QStringLiteral("Поле «%1»: «%2» не является числом").arg(QString::fromUtf8(caption), text));
        e->setFocus();
        e->selectAll();
        return false;
    };
    for (const auto& n : numbers) {
        try {
            *n.value = StrToFloat(n.edit->text().toStdString(), sep_);
        } catch (const ConvertError&) {
            return refuse(n.edit, n.caption);
        }
    }
    if (!failuresEdit->text().trimmed().isEmpty()) {
        try {
            h.failures = StrToInt(failuresEdit->text().toStdString());
        } catch (const ConvertError&) {
            return refuse(failuresEdit, kFailuresCaption);
        }
    }
    h.comment = commentEdit->text().toStdString();
    const auto problems = CheckImportHeader(h);
    if (!problems.empty()) {
        Ui().message(this, qs(problems.front()));
        return false;
    }
    h.decimalSeparator = sep_;
    out = ConvertFailureTable(table_, h, droppedLines());
    if (MostRowsUnreadable(out) && out.records > 0) {
        Ui().message(this, QStringLiteral("Большая часть таблицы не читается: загружать нечего"));
        return false;
    }
    if (out.records == 0) {
        Ui().message(this, QStringLiteral("В таблице нет ни одной строки с отказом"));
        return false;
    }
    return true;
}

void TableImportDialog::saveClick() {
    TableImport imp;
    if (!convert(imp)) return;
    const QFileInfo table(tablePath_);
    const QString start = table.absoluteDir().filePath(table.completeBaseName() + QStringLiteral(".txt"));
    const auto chosen = Ui().saveFile(this, QString::fromUtf8(kDataFilter), start);
    if (!chosen) return;
    QFile f(*chosen);
    const std::string bytes = DataFileBytes(imp.text);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        Ui().message(this, QStringLiteral("Не удалось записать файл ") + QDir::toNativeSeparators(*chosen));
        return;
    }
    savedFile_ = *chosen;
    savedBytes_ = bytes;
}

void TableImportDialog::loadClick() {
    TableImport imp;
    if (!convert(imp)) return;
    dataBytes_ = DataFileBytes(imp.text);
    // a file saved before the columns or numbers changed is not what is loaded
    if (dataBytes_ != savedBytes_) savedFile_.clear();
    accept();
}

} // namespace tovimo
