#include "model/MoShape.h"

#include <QPainter>
#include <algorithm>

namespace sw {

int RoundCornerSize(int largerSide, int roundPerc)
{
    // The product is taken in extended precision with 0.01 rounded to that precision, as the
    // stored labels were drawn: 200 * (20 * 0.01L) is a hair below 40 and truncates to 39.
    const long double v = static_cast<long double>(largerSide) * (roundPerc * 0.01L);
    if (v >= 2147483647.0L)
        return 2147483647;
    if (v <= -2147483648.0L)
        return -2147483647 - 1;
    return static_cast<int>(v);
}

} // namespace sw


TMoShape::TMoShape()
    : TLabelItem(25, 25)
{
    PopupMenu = TItemMenu::PopupMenuShape;
}

void TMoShape::SetShape(TShapeType shape)
{
    if (shape == shape_)
        return;
    shape_ = shape;
    Invalidate();
}

void TMoShape::SetPen(const TItemPen& pen)
{
    pen_ = pen;
    Invalidate();
}

void TMoShape::SetBrush(const TItemBrush& brush)
{
    brush_ = brush;
    Invalidate();
}

void TMoShape::SetRoundPerc(int perc)
{
    if (perc == roundPerc_)
        return;
    roundPerc_ = perc;
    Invalidate();
}

QRect TMoShape::ShapeCorners() const
{
    int w = Width(), h = Height();
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle)
        w = h = std::min(w, h);
    // Corners (x, x)-(x + W, x + H) with W = width - p + 1, worked out wide enough for any
    // stored pen width.
    const qint64 p = pen_.Width;
    const qint64 x = p / 2;
    return QRect(QPoint(sw::ClampToInt(x), sw::ClampToInt(x)),
                 QPoint(sw::ClampToInt(x + (w - p + 1)), sw::ClampToInt(x + (h - p + 1))));
}

int TMoShape::CornerSize() const
{
    if (shape_ != stRoundRect && shape_ != stRoundSquare)
        return 0;
    return sw::RoundCornerSize(std::max(Width(), Height()), roundPerc_);
}

void TMoShape::DoPaint(QPainter& painter)
{
    const QRect c = ShapeCorners();
    // GDI corners are exclusive on the right and bottom and the pen is centred on pixel
    // centres: the outline runs through the centres of the pixels x1 and x2 - 1.
    const QRectF r(QPointF(c.left() + 0.5, c.top() + 0.5),
                   QPointF(c.right() - 0.5, c.bottom() - 0.5));
    if (r.width() < 0 || r.height() < 0)
        return;
    painter.save();
    sw::AlignToDevicePixels(painter);
    QPen pen(sw::ToQColor(pen_.Color));
    pen.setWidth(std::max(1, pen_.Width));
    pen.setJoinStyle(Qt::MiterJoin);
    if (pen_.Width <= 0)
        pen = Qt::NoPen;
    painter.setPen(pen);
    painter.setBrush(QBrush(sw::ToQColor(brush_.Color), sw::QtBrushStyle(brush_.Style)));
    switch (shape_) {
    case stRectangle:
    case stSquare:
        painter.drawRect(r);
        break;
    case stRoundRect:
    case stRoundSquare: {
        const double radius = CornerSize() / 2.0;
        painter.drawRoundedRect(r, radius, radius);
        break;
    }
    case stEllipse:
    case stCircle:
        painter.drawEllipse(r);
        break;
    }
    painter.restore();
}
