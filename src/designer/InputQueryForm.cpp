#include "designer/InputQueryForm.h"

#include "designer/DialogHelp.h"
#include "ui/WindowServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TInputQueryForm::TInputQueryForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InputQueryForm"));
    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    InputText = new QLineEdit(this);
    InputText->setObjectName(QStringLiteral("InputText"));
    InputText->setMinimumWidth(260);
    MessageLabel->setBuddy(InputText);

    const sw::TDialogButtons buttonSet = sw::MakeDialogButtons(this, QStringLiteral("Ok"), 0);

    QHBoxLayout* buttons = sw::DialogButtonRow(buttonSet);
    auto* box = new QVBoxLayout(this);
    box->addWidget(MessageLabel);
    box->addWidget(InputText);
    box->addLayout(buttons);
    sw::MakeFixedDialog(this);
}

bool QueryText(const QString& caption, const QString& prompt, QString& value, TWindowServices* services)
{
    TInputQueryForm form(services ? services->MainWidget() : nullptr);
    if (services)
        services->CenterOverMainWindow(&form);
    form.InputText->setText(value);
    form.InputText->selectAll();
    form.setWindowTitle(caption);
    form.MessageLabel->setText(prompt);
    if (form.exec() != QDialog::Accepted)
        return false;
    value = form.InputText->text();
    return true;
}
