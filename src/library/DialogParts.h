#pragma once
// Pieces the library's dialogs share: the grid set-up.
#include <QString>

class QTableView;
class QWidget;
class TTableGridModel;

namespace sw::library {

// A read-only, row-selecting grid with column widths from the columns' display widths.
void SetUpGrid(QTableView* grid, TTableGridModel* model);

} // namespace sw::library
