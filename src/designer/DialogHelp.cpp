#include "designer/DialogHelp.h"

#include "ui/ContextHelp.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QToolButton>

namespace sw {

TDialogButtons MakeDialogButtons(QDialog* dialog, const QString& okCaption, int context)
{
    TDialogButtons b;
    b.OkButton = new QPushButton(okCaption, dialog);
    b.OkButton->setObjectName(QStringLiteral("OkButton"));
    b.OkButton->setDefault(true);
    b.CancelButton = new QPushButton(QStringLiteral("Cancel"), dialog);
    b.CancelButton->setObjectName(QStringLiteral("CancelButton"));
    b.CancelButton->setAutoDefault(false);
    QObject::connect(b.OkButton, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(b.CancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
    if (context == 0)
        return b;
    b.HelpButton = MakeHelpButton(dialog, context);
    b.MouseHelpButton = MakeMouseHelpButton(dialog);
    return b;
}

QHBoxLayout* DialogButtonRow(const TDialogButtons& b, std::initializer_list<QWidget*> extra)
{
    auto* row = new QHBoxLayout;
    if (b.MouseHelpButton)
        row->addWidget(b.MouseHelpButton);
    row->addStretch();
    row->addWidget(b.OkButton);
    for (QWidget* w : extra)
        row->addWidget(w);
    if (b.HelpButton)
        row->addWidget(b.HelpButton);
    row->addWidget(b.CancelButton);
    return row;
}

void MakeFixedDialog(QDialog* dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (dialog->layout())
        dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace sw
