#include "model/LabelShape.h"

#include <QPainter>
#include <algorithm>

namespace sw {

TLabelShapeType ShapeFromCode(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    if (c == QLatin1String("SR"))
        return lsRectangle;
    if (c == QLatin1String("RE"))
        return lsEllipse;
    return lsRoundRect;
}

QString CodeFromShape(TLabelShapeType shape)
{
    switch (shape) {
    case lsRectangle: return QStringLiteral("SR");
    case lsEllipse: return QStringLiteral("RE");
    case lsRoundRect: break;
    }
    return QStringLiteral("RR");
}

int LabelCornerSize(int width, int height)
{
    return std::max(width, height) / 6;
}

void PaintLabelOutline(QPainter& painter, int width, int height, TLabelShapeType shape)
{
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    // GDI shapes cover (0,0)-(w,h) exclusive of the right/bottom edge; a one-pixel Qt pen
    // drawn on (0,0,w-1,h-1) touches the same pixels.
    const QRect r(0, 0, width - 1, height - 1);
    switch (shape) {
    case lsRectangle:
        painter.drawRect(r);
        break;
    case lsRoundRect: {
        const int c = LabelCornerSize(width, height);
        painter.drawRoundedRect(r, c / 2.0, c / 2.0);
        break;
    }
    case lsEllipse:
        painter.drawEllipse(r);
        break;
    }
    painter.restore();
}

} // namespace sw
