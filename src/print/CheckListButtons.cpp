#include "print/CheckListButtons.h"

#include <QDialog>
#include <QPushButton>

TCheckListButtons MakeCheckListButtons(QDialog* dialog)
{
    const auto button = [dialog](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, dialog);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    TCheckListButtons b{button(QStringLiteral("OK"), "Okbutton"), button(QStringLiteral("Cancel"), "CancelButton"),
                        button(QStringLiteral("All"), "Allbutton"), button(QStringLiteral("None"), "Nonebutton")};
    b.Ok->setDefault(true);
    QObject::connect(b.Cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}
