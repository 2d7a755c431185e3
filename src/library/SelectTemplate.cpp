#include "library/SelectTemplate.h"
#include "library/DialogParts.h"
#include "library/ImportTemplates.h"
#include "library/TableGridModel.h"
#include "library/TemplateEdit.h"

#include "ui/ContextHelp.h"
#include "ui/WindowServices.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTableView>
#include <algorithm>

TSelectTemplate::TSelectTemplate(TWindowServices& services, sw::xbase::Table& templates,
                                 const QString& currentTemplate, QWidget* parent)
    : QDialog(parent), services_(services), table_(templates), wanted_(currentTemplate)
{
    setWindowTitle(QStringLiteral("Select Label Template"));
    setObjectName(QStringLiteral("SelectTemplate"));
    // The find line sits above the grid: the dialog is one line taller than the grid alone.
    constexpr int top = 32;
    setFixedSize(472, 271 + top);

    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setGeometry(8, 8, 380, 24);
    FindEdit->setPlaceholderText(QStringLiteral("Find: maker, product number, size..."));
    FindEdit->setClearButtonEnabled(true);
    FindEdit->installEventFilter(this);
    ImportButton = new QPushButton(QStringLiteral("Import..."), this);
    ImportButton->setObjectName(QStringLiteral("ImportButton"));
    ImportButton->setAutoDefault(false);
    ImportButton->setGeometry(394, 7, 70, 26);

    model_ = new TTableGridModel(templates,
                                 {{QStringLiteral("Description"), "TEMPLATE", 39},
                                  {QStringLiteral("Height"), "LBLHEIGHT", 6},
                                  {QStringLiteral("Width"), "LBLWIDTH", 6},
                                  {QStringLiteral("# Across"), "NBRACROSS", 8},
                                  {QStringLiteral("# Down"), "NBRDOWN", 8}},
                                 this);
    LabelGrid = new QTableView(this);
    LabelGrid->setObjectName(QStringLiteral("LabelGrid"));
    LabelGrid->setGeometry(8, 8 + top, 456, 214);
    sw::library::SetUpGrid(LabelGrid, model_);
    LabelGrid->installEventFilter(this);

    auto button = [this](const char* name, const QString& text, int x) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setGeometry(x, 234 + top, 58, 27);
        return b;
    };
    OKButton = button("OkButton", QStringLiteral("OK"), 8);
    OKButton->setDefault(true);
    NewButton = button("NewLabel", QStringLiteral("New"), 70);
    EditButton = button("EditLabel", QStringLiteral("Edit"), 132);
    DeleteButton = button("DeleteLabel", QStringLiteral("Delete"), 194);
    QAbstractButton* help = sw::MakeHelpButton(this, HelpContext);
    help->setGeometry(256, 234 + top, 58, 27);
    QAbstractButton* whats = sw::MakeMouseHelpButton(this);
    whats->setGeometry(320, 234 + top, 27, 27);
    CancelButton = button("CancelButton", QStringLiteral("Cancel"), 406);

    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close this window without changing the label's stock")}},
        {QStringLiteral("DeleteLabel"), {QStringLiteral("Click here to delete the highlighted template. Only templates you made yourself can be deleted")}},
        {QStringLiteral("FindEdit"), {QStringLiteral("Type words of a template's name (maker, product number, size) to list only the templates that hold them all")}},
        {QStringLiteral("ImportButton"), {QStringLiteral("Click here to add label stocks from template files (such as gLabels templates) to your own templates")}},
        {QStringLiteral("EditLabel"), {QStringLiteral("Click here to change the sizes of the highlighted template. Only templates you made yourself can be changed")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("LabelGrid"), {QStringLiteral("The label stocks you can design on: the name printed on the package, the size of one label in inches and how many labels stand across and down the sheet. Type in the Find line above to narrow the list")}},
        {QStringLiteral("NewLabel"), {QStringLiteral("Click here to make a template of your own, starting from the sizes of the highlighted one")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to use the highlighted template for the label")}},
    });

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(NewButton, &QPushButton::clicked, this, &TSelectTemplate::NewButtonClick);
    connect(EditButton, &QPushButton::clicked, this, &TSelectTemplate::EditButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TSelectTemplate::DeleteButtonClick);
    connect(ImportButton, &QPushButton::clicked, this, &TSelectTemplate::ImportButtonClick);
    connect(FindEdit, &QLineEdit::textChanged, this, &TSelectTemplate::FindEditChange);
    connect(LabelGrid, &QTableView::doubleClicked, this, &QDialog::accept);
    connect(LabelGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) { model_->MoveTo(now.row()); });

    runEditor_ = [this](const TTemplateValues& values, const QString& caption) -> std::optional<TTemplateValues> {
        TTemplateEdit editor(services_, values, caption, this);
        services_.CenterOverMainWindow(&editor);
        if (editor.exec() != QDialog::Accepted)
            return std::nullopt;
        return editor.Values();
    };
    runImport_ = [this](sw::xbase::Table& table) -> std::uint32_t {
        TImportTemplates importer(services_, table, this);
        services_.CenterOverMainWindow(&importer);
        importer.exec();
        return importer.LastImported();
    };
    finder_.Load(table_);
    model_->ShowOnly(finder_.All());
    // The grid opens on the current label's template even before the dialog is shown.
    GoToFirstNamed(wanted_);
}

void TSelectTemplate::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!activated_) {
        activated_ = true;
        GoToFirstNamed(wanted_);
        FindEdit->setFocus();
    }
}

bool TSelectTemplate::eventFilter(QObject* watched, QEvent* e)
{
    // The keys that move through the grid move through it from the find line as well.
    if (watched == FindEdit && e->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(LabelGrid, e);
            return true;
        default:
            break;
        }
    }
    // The Insert key would start a new record in a data grid: here it does nothing.
    if (watched == LabelGrid && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Insert)
        return true;
    return QDialog::eventFilter(watched, e);
}

void TSelectTemplate::GoToFirstNamed(const QString& name)
{
    // First template whose name matches exactly (case counts); else the last one shown.
    const std::uint32_t recno = finder_.FirstNamed(name);
    const int row = recno != 0 ? model_->RowOf(recno) : -1;
    SelectRow(row >= 0 ? row : model_->rowCount() - 1);
    if (LabelGrid->currentIndex().isValid())
        LabelGrid->scrollTo(LabelGrid->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void TSelectTemplate::SelectRow(int row)
{
    if (row < 0)
        return;
    LabelGrid->setCurrentIndex(model_->index(row, 0));
    model_->MoveTo(row);
}

void TSelectTemplate::FindEditChange()
{
    const std::uint32_t current = model_->RecNoAt(LabelGrid->currentIndex().row());
    model_->ShowOnly(finder_.Matching(FindEdit->text()));
    const int row = current != 0 ? model_->RowOf(current) : -1;
    SelectRow(row >= 0 ? row : 0);
    if (LabelGrid->currentIndex().isValid())
        LabelGrid->scrollTo(LabelGrid->currentIndex());
}

void TSelectTemplate::SelectRecord(std::uint32_t recno)
{
    const int before = LabelGrid->currentIndex().row();
    finder_.Load(table_);
    std::vector<std::uint32_t> rows = finder_.Matching(FindEdit->text());
    if (recno != 0 && std::find(rows.begin(), rows.end(), recno) == rows.end() && !FindEdit->text().isEmpty()) {
        const QSignalBlocker quiet(FindEdit);
        FindEdit->clear();
        rows = finder_.All();
    }
    model_->ShowOnly(std::move(rows));
    int row = recno != 0 ? model_->RowOf(recno) : -1;
    if (row < 0)
        row = std::min(before, model_->rowCount() - 1);
    SelectRow(row);
    if (LabelGrid->currentIndex().isValid())
        LabelGrid->scrollTo(LabelGrid->currentIndex());
}

std::optional<TTemplateValues> TSelectTemplate::Selected() const
{
    if (!model_->MoveTo(LabelGrid->currentIndex().row()))
        return std::nullopt;
    return sw::library::ReadTemplate(table_);
}

bool TSelectTemplate::Store(const TTemplateValues& values)
{
    try {
        sw::library::WriteTemplate(table_, values);
        table_.putRecord();
    } catch (const std::exception& e) {
        table_.cancel();
        services_.ShowInformation(QStringLiteral("Unable to save the template: %1").arg(QString::fromStdString(e.what())));
        return false;
    }
    return true;
}

void TSelectTemplate::NewButtonClick()
{
    TTemplateValues start;
    if (auto selected = Selected())
        start = *selected;
    start.Description = QStringLiteral("Copy of ") + start.Description;
    const auto edited = runEditor_(start, QStringLiteral("Create Label Template"));
    if (!edited)
        return;
    TTemplateValues values = *edited;
    values.UserDef = true;
    table_.appendBlank();
    if (Store(values))
        SelectRecord(table_.recNo());
    else
        SelectRecord(0);
}

void TSelectTemplate::EditButtonClick()
{
    const auto selected = Selected();
    if (!selected)
        return;
    if (!selected->UserDef) {
        services_.ShowInformation(QStringLiteral("You may only edit User Defined Templates"));
        return;
    }
    const std::uint32_t recno = table_.recNo();
    const auto edited = runEditor_(*selected, QStringLiteral("Edit Label Template"));
    if (!edited)
        return;
    TTemplateValues values = *edited;
    values.UserDef = true;
    model_->MoveTo(LabelGrid->currentIndex().row());
    Store(values);
    SelectRecord(recno);
}

void TSelectTemplate::DeleteButtonClick()
{
    const auto selected = Selected();
    if (!selected)
        return;
    if (!selected->UserDef) {
        services_.ShowInformation(QStringLiteral("You may only delete User Defined Templates"));
        return;
    }
    const int row = LabelGrid->currentIndex().row();
    if (!services_.AskYesNo(QStringLiteral("Delete this Label Template?"), QStringLiteral("Delete")))
        return;
    model_->MoveTo(row);
    table_.deleteRecord();
    SelectRecord(0);
}

void TSelectTemplate::ImportButtonClick()
{
    const std::uint32_t last = runImport_(table_);
    SelectRecord(last);
    FindEdit->setFocus();
}

void TSelectTemplate::accept()
{
    // An empty catalogue has nothing to choose: OK then means no template.
    if (!Selected()) {
        reject();
        return;
    }
    QDialog::accept();
}
