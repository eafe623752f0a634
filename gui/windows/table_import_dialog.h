// "Импорт таблицы…": a failure table from a spreadsheet shown row by row,
// with its columns to pick, the header numbers of the data file to type, and
// every row that cannot be read listed; it answers the data file's text, and
// can save that file.
#pragma once

#include "core/data/table_import.h"

#include <QDialog>
#include <QString>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tovimo {

class TableImportDialog : public QDialog {
    Q_OBJECT

  public:
    // `bytes` are the table file's contents; numbers are typed with
    // `decimalSeparator`.
    TableImportDialog(const QString& tablePath, std::string bytes, char decimalSeparator,
                      QWidget* parent = nullptr);

    // Why the table cannot be imported at all (empty when it can).
    QString readError() const { return readError_; }
    // After "Загрузить": the data file's bytes as they are stored.
    const std::string& dataBytes() const { return dataBytes_; }
    // The file the data were saved to, when they were.
    QString savedFile() const { return savedFile_; }
    // Rows the preview shows at most.
    static constexpr int kPreviewRows = 20;

    QComboBox* separatorBox = nullptr;
    QCheckBox* headerBox = nullptr;
    QLabel* tableInfo = nullptr;
    QTableWidget* preview = nullptr;
    QComboBox* timeColumn = nullptr;
    QComboBox* causeColumn = nullptr;
    QComboBox* descriptionColumn = nullptr;
    QLineEdit* fleetEdit = nullptr;
    QLineEdit* meanEdit = nullptr;
    QLineEdit* sdEdit = nullptr;
    QLineEdit* failuresEdit = nullptr;
    QLineEdit* commentEdit = nullptr;
    QLabel* badRowsLabel = nullptr;
    QListWidget* badRowsList = nullptr;
    // Readable rows with a doubtful time, each with a tick: ticked rows are
    // loaded, the others left out.
    QLabel* doubtfulLabel = nullptr;
    QListWidget* doubtfulList = nullptr;
    QLabel* notesLabel = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* cancelButton = nullptr;

  public slots:
    void saveClick();
    void loadClick();

  private:
    void buildUi();
    // Reads the table again with the separator and header choice shown.
    void reread();
    // Converts again with the columns shown.
    void reconvert();
    void fillPreview();
    void fillColumnBoxes();
    TableColumns shownColumns() const;
    // The lines of the doubtful rows whose tick is cleared.
    std::vector<size_t> droppedLines() const;
    void fillDoubtfulRows();
    // The data file from the typed numbers; false (with the error shown) when
    // a number is missing or wrong.
    bool convert(TableImport& out);

    QString tablePath_;
    std::string bytes_;
    char sep_;
    FailureTable table_;
    QString readError_;
    TableImport preview_;
    bool failuresTyped_ = false;
    bool filling_ = false;
    std::string dataBytes_;
    QString savedFile_;
    std::string savedBytes_;
};

} // namespace tovimo
