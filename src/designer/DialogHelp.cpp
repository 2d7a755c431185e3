#include "designer/DialogHelp.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QWhatsThis>

namespace sw {

namespace {
THelpOpener& Opener()
{
    static THelpOpener opener;
    return opener;
}
} // namespace

void SetHelpOpener(THelpOpener opener)
{
    Opener() = std::move(opener);
}

void OpenHelpContext(QWidget* parent, int context)
{
    if (Opener()) {
        Opener()(parent, context);
        return;
    }
    const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/help/%1.html").arg(context);
    if (QFileInfo::exists(page))
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

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
    b.HelpButton = new QPushButton(QStringLiteral("Help"), dialog);
    b.HelpButton->setObjectName(QStringLiteral("HelpButton"));
    b.HelpButton->setAutoDefault(false);
    b.HelpButton->setWhatsThis(QStringLiteral("Click here for general Windows help with this screen"));
    QObject::connect(b.HelpButton, &QPushButton::clicked, dialog, [dialog, context] {
        OpenHelpContext(dialog, context);
    });
    b.MouseHelpButton = new QToolButton(dialog);
    b.MouseHelpButton->setObjectName(QStringLiteral("MouseHelpButton"));
    b.MouseHelpButton->setText(QStringLiteral("?"));
    b.MouseHelpButton->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b.MouseHelpButton, &QToolButton::clicked, dialog, [] { QWhatsThis::enterWhatsThisMode(); });
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

void InstallWhatsThisMenus(QDialog* dialog)
{
    const auto children = dialog->findChildren<QWidget*>();
    for (QWidget* w : children) {
        if (w->whatsThis().isEmpty())
            continue;
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(w, &QWidget::customContextMenuRequested, w, [w](const QPoint& pos) {
            QMenu menu(w);
            QAction* act = menu.addAction(QStringLiteral("What's this?"));
            if (menu.exec(w->mapToGlobal(pos)) == act)
                QWhatsThis::showText(w->mapToGlobal(QPoint(0, w->height())), w->whatsThis(), w);
        });
    }
}

void MakeFixedDialog(QDialog* dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (dialog->layout())
        dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace sw
