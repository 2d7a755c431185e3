#include "model/Symbol.h"
#include "model/Symbols.h"

#include <QPainter>

TSymbol::TSymbol()
    : TLabelItem(0, 0)
{
    font_.Name = QLatin1String(sw::kSymbolFontName);
    font_.Size = 18;
    PopupMenu = TItemMenu::PopupMenuSymbol;
    LayOut();
}

void TSymbol::SetCode(int code)
{
    const int c = code & 0xFF;
    if (c == code_)
        return;
    code_ = c;
    LayOut();
    Invalidate();
}

void TSymbol::SetFontSize(int points)
{
    if (points == font_.Size)
        return;
    font_.Size = points;
    LayOut();
    Invalidate();
}

void TSymbol::SetFontColor(TColor color)
{
    if (color == font_.Color)
        return;
    font_.Color = color;
    Invalidate();
}

void TSymbol::LayOut()
{
    const QSize ext = sw::SymbolExtent(code_, sw::FontPixelHeight(font_.Size, PixelsPerInch()));
    SetBounds(Left(), Top(), ext.width(), ext.height());
}

void TSymbol::DoPaint(QPainter& painter)
{
    sw::DrawSymbol(painter, QPoint(0, 0), code_, sw::FontPixelHeight(font_.Size, PixelsPerInch()),
                   sw::ToQColor(font_.Color));
}
