#pragma once
// The button row shared by the item dialogs: OK and Cancel, and with a help context the "Help"
// button that opens the dialog's help page and the pointer button of the dialog's control help.
#include <QString>
#include <initializer_list>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QWidget;

namespace sw {

struct TDialogButtons {
    QPushButton* OkButton = nullptr;     // default button: accepts
    QPushButton* CancelButton = nullptr; // Escape: rejects
    QPushButton* HelpButton = nullptr;   // only with a help context
    QToolButton* MouseHelpButton = nullptr;
};

// Creates the dialog's buttons; a help context of 0 gives no help buttons.
TDialogButtons MakeDialogButtons(QDialog* dialog, const QString& okCaption, int helpContext);

// The bottom row: the pointer button at the left; OK, the extra buttons, Help and Cancel at
// the right.
QHBoxLayout* DialogButtonRow(const TDialogButtons& buttons, std::initializer_list<QWidget*> extra = {});

// Fixed-size dialog window without system menu buttons.
void MakeFixedDialog(QDialog* dialog);

} // namespace sw
