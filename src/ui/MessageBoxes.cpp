#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace sw {

namespace {
BoxHook& Hook()
{
    static BoxHook hook;
    return hook;
}

bool Run(QWidget* parent, const BoxRequest& request)
{
    if (Hook())
        return Hook()(request);
    QMessageBox box(parent);
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.kind) {
    case BoxKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxKind::YesNo:
    case BoxKind::YesNoDefaultNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.kind == BoxKind::YesNo ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    return box.exec() == QMessageBox::Yes;
}
} // namespace

void SetBoxHook(BoxHook hook)
{
    Hook() = std::move(hook);
}

void ShowInformation(QWidget* parent, const QString& text)
{
    Run(parent, {BoxKind::Information, text, QStringLiteral("Information")});
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& caption)
{
    return Run(parent, {BoxKind::YesNo, text, caption});
}

bool AskYesNoDefaultNo(QWidget* parent, const QString& text, const QString& caption)
{
    return Run(parent, {BoxKind::YesNoDefaultNo, text, caption});
}

void ShowMessage(QWidget* parent, const QString& text)
{
    Run(parent, {BoxKind::Plain, text, QStringLiteral("Stickwell")});
}

} // namespace sw
