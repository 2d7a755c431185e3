#pragma once
// Pieces the library's dialogs share: the grid set-up, the help and "What's this?" buttons.
#include <QString>

class QAbstractButton;
class QDialog;
class QTableView;
class QWidget;
class TTableGridModel;

namespace sw::library {

// A read-only, row-selecting grid with column widths from the columns' display widths.
void SetUpGrid(QTableView* grid, TTableGridModel* model);
// "Help" opening the help at a context number.
QAbstractButton* MakeHelpButton(QWidget* parent, int context);
// The "What's this?" pointer.
QAbstractButton* MakeWhatsThisButton(QWidget* parent);

} // namespace sw::library
