#include "library/ImportTemplates.h"
#include "library/DialogParts.h"
#include "library/TemplateFinder.h"

#include "ui/ContextHelp.h"
#include "ui/WindowServices.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace sw::library {

// The stocks the files hold, in file order; the filter hides rows, never forgets a check.
class TStockListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetStocks(std::vector<TStockCandidate> stocks)
    {
        beginResetModel();
        stocks_ = std::move(stocks);
        checked_.assign(stocks_.size(), false);
        folded_.clear();
        for (const TStockCandidate& c : stocks_)
            folded_ << UpperAZ(c.Values.Description);
        ShowMatchingLocked();
        endResetModel();
    }

    void Filter(const QString& query)
    {
        beginResetModel();
        query_ = query;
        ShowMatchingLocked();
        endResetModel();
    }

    void CheckShown(bool on)
    {
        for (size_t i : shown_)
            if (stocks_[i].Skip == TSkipReason::None)
                checked_[i] = on;
        if (!shown_.empty())
            emit dataChanged(index(0, 0), index(int(shown_.size()) - 1, 0), {Qt::CheckStateRole});
    }

    const std::vector<TStockCandidate>& Stocks() const { return stocks_; }
    bool Checked(size_t i) const { return checked_[i]; }
    int Shown() const { return int(shown_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(shown_.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 5; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char* const titles[] = {"Stock", "Across", "Down", "Paper", "Note"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 5)
            return {};
        return QString::fromLatin1(titles[section]);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        if (Stock(index).Skip != TSkipReason::None)
            return Qt::ItemIsSelectable;  // shown greyed, with the reason in "Note"
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const TStockCandidate& c = Stock(index);
        const bool usable = c.Skip == TSkipReason::None;
        if (role == Qt::CheckStateRole && index.column() == 0 && usable)
            return checked_[shown_[size_t(index.row())]] ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::ToolTipRole)
            return QStringLiteral("%1, line %2").arg(QDir::toNativeSeparators(c.File)).arg(c.Line);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0: return c.Values.Description;
        case 1: return usable ? QVariant(c.Values.NbrAcross) : QVariant();
        case 2: return usable ? QVariant(c.Values.NbrDown) : QVariant();
        case 3: return usable ? QVariant(c.Values.PaperSize) : QVariant();
        case 4: return SkipReasonText(c.Skip);
        }
        return {};
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::CheckStateRole || index.column() != 0 ||
            Stock(index).Skip != TSkipReason::None)
            return false;
        checked_[shown_[size_t(index.row())]] = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

private:
    const TStockCandidate& Stock(const QModelIndex& index) const { return stocks_[shown_[size_t(index.row())]]; }

    void ShowMatchingLocked()
    {
        const QStringList words = FindWords(query_);
        shown_.clear();
        for (size_t i = 0; i < stocks_.size(); ++i)
            if (HoldsAll(folded_[qsizetype(i)], words))
                shown_.push_back(i);
    }

    std::vector<TStockCandidate> stocks_;
    std::vector<bool> checked_;
    QStringList folded_;
    QString query_;
    std::vector<size_t> shown_;
};

} // namespace sw::library

using sw::library::TSkipReason;
using sw::library::TStockListModel;

namespace {

// A progress window for reading or importing; it shows only when the work takes a while.
sw::library::TProgress ProgressIn(QProgressDialog& dialog)
{
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(400);
    return [&dialog](int done, int total) {
        dialog.setMaximum(total);
        dialog.setValue(done);
        return !dialog.wasCanceled();
    };
}

} // namespace

TImportTemplates::TImportTemplates(TWindowServices& services, sw::xbase::Table& templates, QWidget* parent)
    : QDialog(parent), services_(services), table_(templates)
{
    setWindowTitle(QStringLiteral("Import Label Stocks"));
    setObjectName(QStringLiteral("ImportTemplates"));
    resize(640, 440);

    SourceLabel = new QLabel(this);
    SourceLabel->setObjectName(QStringLiteral("SourceLabel"));
    SourceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FolderButton = new QPushButton(QStringLiteral("Folder..."), this);
    FolderButton->setObjectName(QStringLiteral("FolderButton"));
    FilesButton = new QPushButton(QStringLiteral("Files..."), this);
    FilesButton->setObjectName(QStringLiteral("FilesButton"));

    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setPlaceholderText(QStringLiteral("Filter: maker, product number, size..."));
    FilterEdit->setClearButtonEnabled(true);

    model_ = new TStockListModel(this);
    StockGrid = new QTableView(this);
    StockGrid->setObjectName(QStringLiteral("StockGrid"));
    StockGrid->setModel(model_);
    StockGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    StockGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    StockGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StockGrid->verticalHeader()->hide();
    StockGrid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    StockGrid->horizontalHeader()->setStretchLastSection(true);

    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    CheckAllButton = new QPushButton(QStringLiteral("Check All"), this);
    CheckAllButton->setObjectName(QStringLiteral("CheckAllButton"));
    UncheckAllButton = new QPushButton(QStringLiteral("Uncheck All"), this);
    UncheckAllButton->setObjectName(QStringLiteral("UncheckAllButton"));
    ImportButton = new QPushButton(QStringLiteral("Import"), this);
    ImportButton->setObjectName(QStringLiteral("ImportButton"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    QAbstractButton* whats = sw::MakeMouseHelpButton(this);
    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close this window without importing anything")}},
        {QStringLiteral("CheckAllButton"), {QStringLiteral("Check every stock listed")}},
        {QStringLiteral("FilesButton"), {QStringLiteral("Read template files you choose")}},
        {QStringLiteral("FilterEdit"), {QStringLiteral("List only the stocks whose name holds every word typed here")}},
        {QStringLiteral("FolderButton"), {QStringLiteral("Read the template files of another folder")}},
        {QStringLiteral("ImportButton"), {QStringLiteral("Add the checked stocks to your own templates")}},
        {QStringLiteral("StockGrid"), {QStringLiteral("What the files hold: check the stocks to import. Greyed stocks cannot be used here; \"Note\" says why")}},
        {QStringLiteral("UncheckAllButton"), {QStringLiteral("Uncheck every stock listed")}},
    });
    // Enter in the filter must not start an import.
    for (QPushButton* b : {FolderButton, FilesButton, CheckAllButton, UncheckAllButton, ImportButton, CancelButton})
        b->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(SourceLabel, 1);
    top->addWidget(FolderButton);
    top->addWidget(FilesButton);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CheckAllButton);
    bottom->addWidget(UncheckAllButton);
    bottom->addWidget(whats);
    bottom->addStretch(1);
    bottom->addWidget(ImportButton);
    bottom->addWidget(CancelButton);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(FilterEdit);
    all->addWidget(StockGrid, 1);
    all->addWidget(CountLabel);
    all->addLayout(bottom);
    StockGrid->setColumnWidth(0, 330);
    for (int c = 1; c <= 3; ++c)
        StockGrid->setColumnWidth(c, 52);

    connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_->Filter(text);
        ShowCounts();
    });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { ShowCounts(); });
    connect(CheckAllButton, &QPushButton::clicked, this, &TImportTemplates::CheckAllButtonClick);
    connect(UncheckAllButton, &QPushButton::clicked, this, &TImportTemplates::UncheckAllButtonClick);
    connect(FolderButton, &QPushButton::clicked, this, &TImportTemplates::FolderButtonClick);
    connect(FilesButton, &QPushButton::clicked, this, &TImportTemplates::FilesButtonClick);
    connect(ImportButton, &QPushButton::clicked, this, &TImportTemplates::ImportButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    ShowCounts();
}

QString TImportTemplates::DefaultFolder()
{
    for (const char* dir : {"/usr/share/libglabels-3.0/templates", "/usr/local/share/libglabels-3.0/templates",
                            "/usr/share/glabels-qt/templates"})
        if (QDir(QLatin1String(dir)).exists())
            return QLatin1String(dir);
    return QString();
}

QAbstractItemModel* TImportTemplates::Stocks() const
{
    return model_;
}

void TImportTemplates::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The installed templates are read once the dialog is on screen, so that the progress
    // window has something to stand over.
    if (!read_)
        QTimer::singleShot(0, this, [this] {
            if (read_)
                return;
            const QString folder = DefaultFolder();
            if (folder.isEmpty()) {
                read_ = true;
                SourceLabel->setText(QStringLiteral("No installed template files: choose a folder or files"));
                return;
            }
            ReadFrom({folder});
        });
}

bool TImportTemplates::ReadFrom(const QStringList& paths)
{
    read_ = true;
    QStringList shown;
    for (const QString& p : paths)
        shown << QDir::toNativeSeparators(p);
    SourceLabel->setText(shown.join(QStringLiteral(", ")));
    SourceLabel->setToolTip(shown.join(u'\n'));

    const QStringList files = sw::library::StockFiles(paths);
    QProgressDialog progress(QStringLiteral("Reading label stocks..."), QStringLiteral("Cancel"), 0,
                             int(files.size()), this);
    sw::library::TStockSet set =
        sw::library::ReadStocks(files, sw::library::CatalogueNames(table_), ProgressIn(progress));
    progress.reset();
    if (!set.Error.isEmpty() || set.Stopped || files.isEmpty()) {
        model_->SetStocks({});
        ShowCounts();
        if (set.Stopped)
            SourceLabel->setText(QStringLiteral("Reading stopped: choose a folder or files"));
        else if (!set.Error.isEmpty())
            services_.ShowInformation(set.Error);
        else if (files.isEmpty())
            services_.ShowInformation(QStringLiteral("There are no template files in %1").arg(shown.join(QStringLiteral(", "))));
        return false;
    }
    model_->SetStocks(std::move(set.Stocks));
    model_->Filter(FilterEdit->text());
    ShowCounts();
    return true;
}

void TImportTemplates::ShowCounts()
{
    int usable = 0, checked = 0;
    const auto& stocks = model_->Stocks();
    for (size_t i = 0; i < stocks.size(); ++i)
        if (stocks[i].Skip == TSkipReason::None) {
            ++usable;
            checked += model_->Checked(i) ? 1 : 0;
        }
    CountLabel->setText(QStringLiteral("%1 stocks in the files, %2 listed: %3 can be imported, %4 checked; "
                                       "%5 cannot (see Note)")
                            .arg(stocks.size())
                            .arg(model_->Shown())
                            .arg(usable)
                            .arg(checked)
                            .arg(int(stocks.size()) - usable));
    ImportButton->setEnabled(checked > 0);
}

void TImportTemplates::CheckAllButtonClick()
{
    model_->CheckShown(true);
}

void TImportTemplates::UncheckAllButtonClick()
{
    model_->CheckShown(false);
}

void TImportTemplates::FolderButtonClick()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder of Template Files"),
                                                          DefaultFolder());
    if (!dir.isEmpty())
        ReadFrom({dir});
}

void TImportTemplates::FilesButtonClick()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Template Files"), DefaultFolder(),
        QStringLiteral("Template files (*.xml *.template);;All files (*)"));
    if (!files.isEmpty())
        ReadFrom(files);
}

void TImportTemplates::ImportButtonClick()
{
    std::vector<TTemplateValues> chosen;
    std::array<int, sw::library::kSkipReasonCount> skipped{};
    const auto& stocks = model_->Stocks();
    for (size_t i = 0; i < stocks.size(); ++i) {
        if (stocks[i].Skip != TSkipReason::None)
            ++skipped[size_t(stocks[i].Skip)];
        else if (model_->Checked(i))
            chosen.push_back(stocks[i].Values);
    }
    if (chosen.empty()) {
        services_.ShowInformation(QStringLiteral("Check the stocks you want to import first"));
        return;
    }
    QProgressDialog progress(QStringLiteral("Importing label stocks..."), QStringLiteral("Cancel"), 0,
                             int(chosen.size()), this);
    const sw::library::TAppendResult r = sw::library::AppendStocks(table_, chosen, ProgressIn(progress));
    progress.reset();
    if (r.Stopped) {
        services_.ShowInformation(QStringLiteral("The import was stopped: nothing was imported"));
        return;
    }
    if (!r.Error.isEmpty()) {
        services_.ShowInformation(QStringLiteral("Unable to import the label stocks: %1\nNothing was imported.").arg(r.Error));
        return;
    }
    last_ = r.LastRecNo;
    services_.ShowInformation(sw::library::ImportSummary(r.Appended, skipped));
    accept();
}
