#pragma once
// The import of label stocks from template files: lists what the files of a folder (or the
// files chosen) hold, with a filter and a check box per stock the catalogue can take, and
// adds the checked ones as user templates, all or none.
#include "library/StockImport.h"

#include <QDialog>

class QAbstractItemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TWindowServices;

namespace sw::library {
class TStockListModel;
}

class TImportTemplates : public QDialog {
    Q_OBJECT
public:
    TImportTemplates(TWindowServices& services, sw::xbase::Table& templates, QWidget* parent = nullptr);

    QLabel* SourceLabel;
    QPushButton* FolderButton;
    QPushButton* FilesButton;
    QLineEdit* FilterEdit;
    QTableView* StockGrid;
    QLabel* CountLabel;
    QPushButton* CheckAllButton;
    QPushButton* UncheckAllButton;
    QPushButton* ImportButton;
    QPushButton* CancelButton;

    // The folder the installed template files are in; empty when there is none.
    static QString DefaultFolder();

    // Reads the files (folders: their template files) and lists what they hold. A file that
    // cannot be read is named in a message and the list is left empty: false.
    bool ReadFrom(const QStringList& paths);

    QAbstractItemModel* Stocks() const;
    // Checks (or unchecks) every listed stock that can be imported.
    void CheckAllButtonClick();
    void UncheckAllButtonClick();
    void FolderButtonClick();
    void FilesButtonClick();
    // Adds the checked stocks, says what was imported and skipped, and closes with OK.
    void ImportButtonClick();

    // The record number of the last stock imported; 0 when nothing was.
    std::uint32_t LastImported() const { return last_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowCounts();

    TWindowServices& services_;
    sw::xbase::Table& table_;
    sw::library::TStockListModel* model_;
    bool read_ = false;
    std::uint32_t last_ = 0;
};
