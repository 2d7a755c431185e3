#include "library/SelectTemplate.h"
#include "library/DialogParts.h"
#include "library/TableGridModel.h"
#include "library/TemplateEdit.h"

#include "ui/WindowServices.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>

TSelectTemplate::TSelectTemplate(TWindowServices& services, sw::xbase::Table& templates,
                                 const QString& currentTemplate, QWidget* parent)
    : QDialog(parent), services_(services), table_(templates), wanted_(currentTemplate)
{
    setWindowTitle(QStringLiteral("Select Label Template"));
    setObjectName(QStringLiteral("SelectTemplate"));
    setFixedSize(472, 271);

    model_ = new TTableGridModel(templates,
                                 {{QStringLiteral("Description"), "TEMPLATE", 39},
                                  {QStringLiteral("Height"), "LBLHEIGHT", 6},
                                  {QStringLiteral("Width"), "LBLWIDTH", 6},
                                  {QStringLiteral("# Across"), "NBRACROSS", 8},
                                  {QStringLiteral("# Down"), "NBRDOWN", 8}},
                                 this);
    LabelGrid = new QTableView(this);
    LabelGrid->setObjectName(QStringLiteral("LabelGrid"));
    LabelGrid->setGeometry(8, 8, 456, 214);
    LabelGrid->setWhatsThis(QStringLiteral("The label stocks you can design on, by name"));
    sw::library::SetUpGrid(LabelGrid, model_);
    LabelGrid->installEventFilter(this);

    auto button = [this](const char* name, const QString& text, int x) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setGeometry(x, 234, 58, 27);
        return b;
    };
    OKButton = button("OKButton", QStringLiteral("OK"), 8);
    OKButton->setDefault(true);
    NewButton = button("NewButton", QStringLiteral("New"), 70);
    NewButton->setWhatsThis(QStringLiteral("Make a template of your own from the one selected"));
    EditButton = button("EditButton", QStringLiteral("Edit"), 132);
    EditButton->setWhatsThis(QStringLiteral("Change one of your own templates"));
    DeleteButton = button("DeleteButton", QStringLiteral("Delete"), 194);
    DeleteButton->setWhatsThis(QStringLiteral("Remove one of your own templates"));
    QAbstractButton* help = sw::library::MakeHelpButton(this, 1015);
    help->setGeometry(256, 234, 58, 27);
    QAbstractButton* whats = sw::library::MakeWhatsThisButton(this);
    whats->setGeometry(320, 234, 27, 27);
    CancelButton = button("CancelButton", QStringLiteral("Cancel"), 406);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(NewButton, &QPushButton::clicked, this, &TSelectTemplate::NewButtonClick);
    connect(EditButton, &QPushButton::clicked, this, &TSelectTemplate::EditButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TSelectTemplate::DeleteButtonClick);
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
    // The grid opens on the current label's template even before the dialog is shown.
    GoToFirstNamed(wanted_);
}

void TSelectTemplate::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!activated_) {
        activated_ = true;
        GoToFirstNamed(wanted_);
        LabelGrid->setFocus();
    }
}

bool TSelectTemplate::eventFilter(QObject* watched, QEvent* e)
{
    // The Insert key would start a new record in a data grid: here it does nothing.
    if (watched == LabelGrid && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Insert)
        return true;
    return QDialog::eventFilter(watched, e);
}

void TSelectTemplate::GoToFirstNamed(const QString& name)
{
    // First template whose name matches exactly (case counts); else the last one.
    const int rows = model_->rowCount();
    int row = rows - 1;
    int r = 0;
    for (table_.goTop(); !table_.eof(); table_.skip(1), ++r) {
        if (sw::library::FieldText(table_, "TEMPLATE") == name) {
            row = r;
            break;
        }
    }
    if (row >= 0) {
        LabelGrid->setCurrentIndex(model_->index(row, 0));
        LabelGrid->scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtCenter);
        model_->MoveTo(row);
    }
}

void TSelectTemplate::SelectRecord(std::uint32_t recno)
{
    model_->Refresh();
    int row = model_->RowOf(recno);
    if (row < 0)
        row = std::min(LabelGrid->currentIndex().row(), model_->rowCount() - 1);
    if (row >= 0) {
        LabelGrid->setCurrentIndex(model_->index(row, 0));
        model_->MoveTo(row);
    }
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
    model_->Refresh();
    const int next = std::min(row, model_->rowCount() - 1);
    if (next >= 0) {
        LabelGrid->setCurrentIndex(model_->index(next, 0));
        model_->MoveTo(next);
    }
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
