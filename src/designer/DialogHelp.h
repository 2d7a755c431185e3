#pragma once
// The help row shared by the item dialogs: a "Help" button that opens the help file at the
// dialog's context number, a pointer button that enters "What's this?" mode, and a
// "What's this?" pop-up on every control that carries a help text.
#include <QString>
#include <functional>
#include <initializer_list>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QToolButton;
class QWidget;

namespace sw {

// Opens the help file at a context number. The application installs its viewer; without one
// the page help/<context>.html beside the executable is opened when it exists.
using THelpOpener = std::function<void(QWidget* parent, int context)>;
void SetHelpOpener(THelpOpener opener);
void OpenHelpContext(QWidget* parent, int context);

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

// Gives every child of the dialog with a What's-this text a pop-up menu "What's this?".
void InstallWhatsThisMenus(QDialog* dialog);

// Fixed-size dialog window without system menu buttons.
void MakeFixedDialog(QDialog* dialog);

} // namespace sw
