#pragma once
// TMergeSourceDialog: Label -> "Merge Source...", the address list whose records fill the label.
// It shows the chosen file's fields and first records; a CSV file's delimiter is detected and
// can be changed. "None" takes the source off the label.
#include "model/MergeSource.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TMergeSourceDialog : public QDialog {
    Q_OBJECT
public:
    // tableDir: the label table's folder (a file there or below is stored relative to it).
    TMergeSourceDialog(const sw::TMergeSource& source, const QString& tableDir, QWidget* parent = nullptr);

    // The source as it will be stored (not set after None).
    sw::TMergeSource Source() const { return source_; }
    // Chooses a file as Browse... does and shows it.
    void ChooseFile(const QString& path);

    // The file chooser, replaceable for tests: the chosen file, empty when cancelled.
    std::function<QString()> BrowseForFile;

    QLineEdit* FileEdit;
    QPushButton* BrowseButton;
    QPushButton* NoneButton;
    QComboBox* DelimiterBox;
    QLabel* SummaryLabel;
    QTableWidget* RecordsGrid;
    QPushButton* Okbutton;
    QPushButton* CancelButton;

    static constexpr int kRecordsShown = 10;

private:
    void Show();

    sw::TMergeSource source_;
    QString tableDir_;
};
