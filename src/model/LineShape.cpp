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
    // Worked out wide enough for any stored pen width.
    const qint64 p = pen_.Width;
    const int x = sw::ClampToInt(p / 2);
    const int w = sw::ClampToInt(Width() - p + 1 + p / 2);
    const int h = sw::ClampToInt(Height() - p + 1 + p / 2);
    switch (style_) {
    case stHorizontal: return QLine(x, x, w, x);
    case stVertical: return QLine(x, x, x, h);
    case stAngle: break;
    }
    return QLine(x, x, w, h);
}

void TLineShape::DoPaint(QPainter& painter)
{
    if (pen_.Width <= 0)
        return;
    const QLine l = LineEnds();
    if (l.p1() == l.p2())
        return;
    painter.save();
    sw::AlignToDevicePixels(painter);
    QPen pen(sw::ToQColor(pen_.Color));
    pen.setWidth(pen_.Width);
    // The line runs through the pixel centres from its start up to, not including, its end.
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const QPointF half(0.5, 0.5);
    const QPointF dir(l.dx() == 0 ? 0 : (l.dx() > 0 ? 0.5 : -0.5),
                      l.dy() == 0 ? 0 : (l.dy() > 0 ? 0.5 : -0.5));
    painter.drawLine(QPointF(l.p1()) + half - dir, QPointF(l.p2()) + half - dir);
    painter.restore();
}
