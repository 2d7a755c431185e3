#include "model/LineShape.h"

#include <QPainter>

TLineShape::TLineShape()
    : TLabelItem(1, 1)
{
    PopupMenu = TItemMenu::PopupMenuLine;
}

void TLineShape::SetLineStyle(TLineStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    Invalidate();
}

void TLineShape::SetPen(const TItemPen& pen)
{
    pen_ = pen;
    Invalidate();
}

QLine TLineShape::LineEnds() const
{
    const int p = pen_.Width;
    const int x = p / 2;
    const int w = Width() - p + 1;
    const int h = Height() - p + 1;
    switch (style_) {
    case stHorizontal: return QLine(x, x, w + x, x);
    case stVertical: return QLine(x, x, x, h + x);
    case stAngle: break;
    }
    return QLine(x, x, w + x, h + x);
}

void TLineShape::DoPaint(QPainter& painter)
{
    if (pen_.Width <= 0)
        return;
    const QLine l = LineEnds();
    if (l.p1() == l.p2())
        return;
    painter.save();
    QPen pen(sw::ToQColor(pen_.Color));
    pen.setWidth(pen_.Width);
    if (pen_.Width == 1) {
        // A one-pixel line covers the pixels from its start up to, not including, its end.
        const QPoint step(l.dx() == 0 ? 0 : (l.dx() > 0 ? 1 : -1),
                          l.dy() == 0 ? 0 : (l.dy() > 0 ? 1 : -1));
        painter.setPen(pen);
        painter.drawLine(l.p1(), l.p2() - step);
    } else {
        // A wide pen is centred on the line through the pixel centres.
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(l.p1()) + QPointF(0.5, 0.5), QPointF(l.p2()) + QPointF(0.5, 0.5));
    }
    painter.restore();
}
