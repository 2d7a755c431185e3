#pragma once
// The buttons of the print path's check-list dialogs (positions, records): OK (the default),
// Cancel, All and None, named Okbutton, CancelButton, Allbutton and Nonebutton. Cancel rejects
// the dialog; the others are the dialog's to connect.
class QDialog;
class QPushButton;

struct TCheckListButtons {
    QPushButton* Ok;
    QPushButton* Cancel;
    QPushButton* All;
    QPushButton* None;
};

TCheckListButtons MakeCheckListButtons(QDialog* dialog);
