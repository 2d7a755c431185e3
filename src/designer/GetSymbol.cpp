#include "designer/GetSymbol.h"

#include "designer/DialogHelp.h"
#include "ui/ContextHelp.h"
#include "model/Symbols.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int CellWidth = 34;

// Font pixel height of the list's characters, so that every glyph fits its 27-pixel cell.
constexpr int SymbolPixelHeight = 22;

class SymbolDelegate : public QStyledItemDelegate {
public:
    explicit SymbolDelegate(TSymbolList* list)
        : QStyledItemDelegate(list), list_(list)
    {
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QColor back = selected ? option.palette.color(QPalette::Highlight) : list_->BackgroundColor();
        p->fillRect(option.rect, back);
        const int code = index.row() + TSymbolList::FirstCode;
        QRect glyph = option.rect;
        glyph.setHeight(TSymbolList::GlyphHeight);
        glyph.moveTop(option.rect.top() + (option.rect.height() - TSymbolList::GlyphHeight) / 2);
        const QColor ink = selected ? option.palette.color(QPalette::HighlightedText) : list_->TextColor();
        sw::DrawSymbolCentred(*p, glyph, code, SymbolPixelHeight, ink);
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {CellWidth, TSymbolList::RowHeight};
    }

private:
    TSymbolList* list_;
};

} // namespace

TSymbolList::TSymbolList(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("SymbolList"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSpacing(0);
    setGridSize(QSize(CellWidth, RowHeight));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new SymbolDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int frame = 2 * frameWidth();
    setFixedSize(Columns * CellWidth + frame + 20, 8 * RowHeight + frame);
    SetBackgroundColor(Qt::white);
    Fill();
}

void TSymbolList::Fill()
{
    clear();
    for (int code = FirstCode; code <= LastCode; ++code) {
        auto* item = new QListWidgetItem(QString(QChar(code)), this);
        item->setData(Qt::UserRole, code);
    }
    SetSelectedIndex(0);
}

void TSymbolList::SetSelectedIndex(int index)
{
    if (index < 0 || index >= count())
        index = 0;
    setCurrentRow(index);
}

void TSymbolList::SetTextColor(const QColor& color)
{
    textColor_ = color;
    viewport()->update();
}

void TSymbolList::SetBackgroundColor(const QColor& color)
{
    background_ = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
    viewport()->update();
}

TGetSymbol::TGetSymbol(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GetSymbol"));
    setWindowTitle(QStringLiteral("Select Symbol"));
    SymbolList = new TSymbolList(this);

    ColorButton = new QPushButton(QStringLiteral("Color"), this);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    ColorButton->setAutoDefault(false);
    const sw::TDialogButtons buttonSet = sw::MakeDialogButtons(this, QStringLiteral("OK"), HelpContext);
    connect(ColorButton, &QPushButton::clicked, this, &TGetSymbol::ColorButtonClick);
    connect(SymbolList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    chooser_ = [](QWidget* parent, const QColor& initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, parent, QStringLiteral("Color"));
        if (!c.isValid())
            return std::nullopt;
        return c;
    };

    new TODSHelp(this, {
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to close this window without changing the symbol")}},
        {QStringLiteral("ColorButton"), {QStringLiteral("Click here to choose the colour of the symbol")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to use the highlighted symbol")}},
        {QStringLiteral("SymbolList"), {QStringLiteral("The symbols you can put on a label, in the colour they will have. Click one to highlight it; double-click it to use it at once")}},
    });

    QHBoxLayout* buttons = sw::DialogButtonRow(buttonSet, {ColorButton});
    auto* box = new QVBoxLayout(this);
    box->addWidget(SymbolList);
    box->addLayout(buttons);
    sw::MakeFixedDialog(this);
}

void TGetSymbol::ColorButtonClick()
{
    if (chooser_) {
        if (const std::optional<QColor> c = chooser_(this, SymbolList->TextColor()))
            SymbolList->SetTextColor(*c);
    }
    // White symbols stay visible on black.
    const bool white = (SymbolList->TextColor().rgb() & 0xFFFFFF) == 0xFFFFFF;
    SymbolList->SetBackgroundColor(white ? Qt::black : Qt::white);
}
