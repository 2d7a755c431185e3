#include "library/DialogParts.h"
#include "library/TableGridModel.h"

#include "ui/HelpViewer.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QWhatsThis>

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

QAbstractButton* MakeHelpButton(QWidget* parent, int context)
{
    auto* b = new QPushButton(QStringLiteral("Help"), parent);
    b->setObjectName(QStringLiteral("HelpButton"));
    b->setAutoDefault(false);
    b->setProperty("helpContext", context);
    QObject::connect(b, &QPushButton::clicked, parent, [parent, context] { sw::ShowHelp(parent, context); });
    return b;
}

QAbstractButton* MakeWhatsThisButton(QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QStringLiteral("WhatsThisButton"));
    b->setText(QStringLiteral("?"));
    b->setToolTip(QStringLiteral("What's this?"));
    QObject::connect(b, &QToolButton::clicked, [] { QWhatsThis::enterWhatsThisMode(); });
    return b;
}

} // namespace sw::library
