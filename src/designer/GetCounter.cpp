#include "designer/GetCounter.h"

#include "designer/DialogHelp.h"
#include "designer/SpinEdit.h"
#include "ui/ContextHelp.h"

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
    RepeatFor = new TSpinEdit(this);
    RepeatFor->setObjectName(QStringLiteral("RepeatFor"));
    RepeatFor->SetRange(1, 999);
    RepeatFor->SetValue(1);

    auto* startLabel = new QLabel(QStringLiteral("Starting Number"), this);
    startLabel->setObjectName(QStringLiteral("StartingNumberLabel"));
    startLabel->setBuddy(StartingNumber);
    auto* repeatLabel = new QLabel(QStringLiteral("Repeat for how many labels?"), this);
    repeatLabel->setObjectName(QStringLiteral("RepeatForLabel"));
    repeatLabel->setBuddy(RepeatFor);

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
    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close this window without changing the counter")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to keep the numbers shown")}},
        {QStringLiteral("RepeatFor"), {QStringLiteral("Enter the number of labels to print before increasing the counter number")}},
        {QStringLiteral("RepeatForLabel"), {QStringLiteral("->RepeatFor")}},
        {QStringLiteral("StartingNumber"), {QStringLiteral("Enter the starting counter number here")}},
        {QStringLiteral("StartingNumberLabel"), {QStringLiteral("->StartingNumber")}},
    });
    sw::MakeFixedDialog(this);
}
