#include "library/SelectLabel.h"
#include "library/DialogParts.h"
#include "library/TableGridModel.h"

#include "ui/ContextHelp.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QToolButton>
#include <QTableView>

TSelectLabel::TSelectLabel(sw::xbase::Table& labels, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Label"));
    setObjectName(QStringLiteral("SelectLabel"));
    setFixedSize(413, 226);
    const std::uint32_t current = labels.eof() ? 0 : labels.recNo();

    model_ = new TTableGridModel(labels,
                                 {{QStringLiteral("Description"), "DESCRIPT", 30},
                                  {QStringLiteral("Height \""), "LBLHEIGHT", 5},
                                  {QStringLiteral("Width \""), "LBLWIDTH", 5},
                                  {QStringLiteral("Across"), "NBRACROSS", 5},
                                  {QStringLiteral("Down"), "NBRDOWN", 5}},
                                 this);
    LabelsGrid = new QTableView(this);
    LabelsGrid->setObjectName(QStringLiteral("LabelsGrid"));
    LabelsGrid->setGeometry(8, 8, 397, 170);
    sw::library::SetUpGrid(LabelsGrid, model_);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OkButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(8, 188, 75, 27);
    QAbstractButton* help = sw::MakeHelpButton(this, HelpContext);
    help->setObjectName(QStringLiteral("Helpbutton"));
    help->setGeometry(92, 188, 75, 27);
    QAbstractButton* whats = sw::MakeMouseHelpButton(this);
    whats->setGeometry(176, 188, 27, 27);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(330, 188, 75, 27);
    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to stay on the label you have now")}},
        {QStringLiteral("Helpbutton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("LabelsGrid"), {QStringLiteral("The labels you have designed, by description, with the size of one label in inches and how many stand across and down the sheet. Double-click one to open it")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to open the highlighted label")}},
    });
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(LabelsGrid, &QTableView::doubleClicked, this, &QDialog::accept);

    connect(LabelsGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) { model_->MoveTo(now.row()); });
    const int row = current ? model_->RowOf(current) : -1;
    LabelsGrid->setCurrentIndex(model_->index(row >= 0 ? row : 0, 0));
}

void TSelectLabel::accept()
{
    // Painting reads other rows: the pointer goes back to the chosen one.
    if (!model_->MoveTo(LabelsGrid->currentIndex().row())) {
        reject();
        return;
    }
    QDialog::accept();
}
