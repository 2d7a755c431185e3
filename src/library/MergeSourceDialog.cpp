#include "library/MergeSourceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace sw;

namespace {
const TCsvDelimiter kDelimiters[] = {TCsvDelimiter::Comma, TCsvDelimiter::Semicolon, TCsvDelimiter::Tab};

// One line per value in the grid.
QString OneLine(QString s)
{
    return s.replace(QLatin1String("\r\n"), QLatin1String(" / ")).replace(QLatin1Char('\n'), QLatin1String(" / "));
}
} // namespace

TMergeSourceDialog::TMergeSourceDialog(const TMergeSource& source, const QString& tableDir, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      source_(source),
      tableDir_(tableDir)
{
    setObjectName(QStringLiteral("MergeSource"));
    setWindowTitle(QStringLiteral("Merge Source"));
    resize(560, 380);

    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    FileEdit->setReadOnly(true);
    BrowseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    BrowseButton->setObjectName(QStringLiteral("BrowseButton"));
    NoneButton = new QPushButton(QStringLiteral("&None"), this);
    NoneButton->setObjectName(QStringLiteral("NoneButton"));
    DelimiterBox = new QComboBox(this);
    DelimiterBox->setObjectName(QStringLiteral("DelimiterBox"));
    for (TCsvDelimiter d : kDelimiters)
        DelimiterBox->addItem(CsvDelimiterName(d));
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    RecordsGrid = new QTableWidget(this);
    RecordsGrid->setObjectName(QStringLiteral("RecordsGrid"));
    RecordsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RecordsGrid->verticalHeader()->setDefaultSectionSize(20);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Okbutton = buttons->button(QDialogButtonBox::Ok);
    Okbutton->setObjectName(QStringLiteral("Okbutton"));
    CancelButton = buttons->button(QDialogButtonBox::Cancel);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* grid = new QGridLayout;
    auto* fileLabel = new QLabel(QStringLiteral("&File:"), this);
    fileLabel->setBuddy(BrowseButton);
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(FileEdit, 0, 1);
    grid->addWidget(BrowseButton, 0, 2);
    grid->addWidget(NoneButton, 0, 3);
    auto* delimiterLabel = new QLabel(QStringLiteral("&Delimiter:"), this);
    delimiterLabel->setBuddy(DelimiterBox);
    grid->addWidget(delimiterLabel, 1, 0);
    grid->addWidget(DelimiterBox, 1, 1, Qt::AlignLeft);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(SummaryLabel);
    layout->addWidget(RecordsGrid, 1);
    layout->addWidget(buttons);

    BrowseForFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Merge Source"), tableDir_,
                                            QStringLiteral("Address lists (*.csv *.txt *.tsv *.dbf *.DBF *.CSV);;All files (*)"));
    };
    connect(BrowseButton, &QPushButton::clicked, this, [this] {
        const QString file = BrowseForFile();
        if (!file.isEmpty())
            ChooseFile(file);
    });
    connect(NoneButton, &QPushButton::clicked, this, [this] {
        source_ = TMergeSource{};
        Show();
    });
    connect(DelimiterBox, &QComboBox::activated, this, [this](int index) {
        source_.DelimiterFixed = true;
        source_.Delimiter = kDelimiters[index];
        Show();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Show();
}

void TMergeSourceDialog::ChooseFile(const QString& path)
{
    source_ = TMergeSource{};
    source_.File = StoredMergePath(path, tableDir_);
    source_.Format = MergeFormatOf(path);
    Show();
}

void TMergeSourceDialog::Show()
{
    RecordsGrid->clear();
    RecordsGrid->setRowCount(0);
    RecordsGrid->setColumnCount(0);
    FileEdit->setText(source_.File);
    NoneButton->setEnabled(source_.IsSet());
    // A list that cannot be read is not taken: the window says why, and Cancel or None leave it.
    Okbutton->setEnabled(true);
    const bool csv = source_.IsSet() && source_.Format == TMergeFormat::Csv;
    DelimiterBox->setEnabled(csv);
    if (!source_.IsSet()) {
        SummaryLabel->setText(QStringLiteral("The label has no merge source: it prints as designed. Choose a CSV "
                                             "file or an xBase table (.DBF) to print one label per record; "
                                             "{FIELD} in a text names a field."));
        return;
    }
    TMergeData data;
    QString error;
    if (!LoadMergeData(ResolvedMergePath(source_.File, tableDir_), source_, data, &error)) {
        SummaryLabel->setText(error);
        Okbutton->setEnabled(false);
        return;
    }
    if (csv)
        DelimiterBox->setCurrentIndex(int(data.Delimiter));
    const QString kind = csv ? QStringLiteral("CSV file, %1, %2-separated")
                                   .arg(data.Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252"),
                                        CsvDelimiterName(data.Delimiter).toLower())
                             : QStringLiteral("xBase table");
    SummaryLabel->setText(QStringLiteral("%1: %2 fields, %3 records. Fields: %4")
                              .arg(kind)
                              .arg(data.Fields.size())
                              .arg(data.Records.size())
                              .arg(data.Fields.join(QStringLiteral(", "))));
    RecordsGrid->setColumnCount(int(data.Fields.size()));
    RecordsGrid->setHorizontalHeaderLabels(data.Fields);
    const int rows = int(std::min<std::size_t>(data.Records.size(), kRecordsShown));
    RecordsGrid->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int f = 0; f < data.Fields.size(); ++f)
            RecordsGrid->setItem(r, f, new QTableWidgetItem(OneLine(data.Records[std::size_t(r)][f])));
    RecordsGrid->resizeColumnsToContents();
}
