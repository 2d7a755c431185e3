#include "library/SelectLabel.h"
#include "library/DialogParts.h"
#include "library/TableGridModel.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QPushButton>
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
    LabelsGrid->setWhatsThis(QStringLiteral("The labels you have designed, by description"));
    sw::library::SetUpGrid(LabelsGrid, model_);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(8, 188, 75, 27);
    QAbstractButton* help = sw::library::MakeHelpButton(this, 1023);
    help->setGeometry(92, 188, 75, 27);
    QAbstractButton* whats = sw::library::MakeWhatsThisButton(this);
    whats->setGeometry(176, 188, 27, 27);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(330, 188, 75, 27);
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
