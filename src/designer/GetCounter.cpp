#include "designer/GetCounter.h"

#include "designer/DialogHelp.h"
#include "designer/SpinEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TGetCounter::TGetCounter(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GetCounter"));
    setWindowTitle(QStringLiteral("Counter"));

    StartingNumber = new TSpinEdit(this);
    StartingNumber->setObjectName(QStringLiteral("StartingNumber"));
    StartingNumber->SetValue(1);
    StartingNumber->setWhatsThis(QStringLiteral("Enter the starting counter number here"));
    RepeatFor = new TSpinEdit(this);
    RepeatFor->setObjectName(QStringLiteral("RepeatFor"));
    RepeatFor->SetRange(1, 999);
    RepeatFor->SetValue(1);
    RepeatFor->setWhatsThis(
        QStringLiteral("Enter the number of labels to print before increasing the counter number"));

    auto* startLabel = new QLabel(QStringLiteral("Starting Number"), this);
    startLabel->setObjectName(QStringLiteral("StartingNumberLabel"));
    startLabel->setBuddy(StartingNumber);
    startLabel->setWhatsThis(StartingNumber->whatsThis());
    auto* repeatLabel = new QLabel(QStringLiteral("Repeat for how many labels?"), this);
    repeatLabel->setObjectName(QStringLiteral("RepeatForLabel"));
    repeatLabel->setBuddy(RepeatFor);
    repeatLabel->setWhatsThis(RepeatFor->whatsThis());

    const sw::TDialogButtons buttonSet = sw::MakeDialogButtons(this, QStringLiteral("OK"), HelpContext);

    auto* grid = new QGridLayout;
    grid->addWidget(startLabel, 0, 0);
    grid->addWidget(StartingNumber, 0, 1);
    grid->addWidget(repeatLabel, 1, 0);
    grid->addWidget(RepeatFor, 1, 1);
    QHBoxLayout* buttons = sw::DialogButtonRow(buttonSet);
    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addLayout(buttons);
    sw::InstallWhatsThisMenus(this);
    sw::MakeFixedDialog(this);
}
