#include "library/DialogParts.h"
#include "library/TableGridModel.h"

#include <QHeaderView>
#include <QTableView>

namespace sw::library {

void SetUpGrid(QTableView* grid, TTableGridModel* model)
{
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->verticalHeader()->setFixedWidth(12);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int charWidth = grid->fontMetrics().averageCharWidth();
    for (int c = 0; c < model->columnCount(); ++c) {
        const auto& col = model->Columns().at(c);
        const int title = grid->fontMetrics().horizontalAdvance(col.Title) + 8;
        grid->setColumnWidth(c, std::max(col.DisplayWidth * charWidth + 6, title));
    }
}

} // namespace sw::library
