#include "report/RPDefine.h"

#include "model/Colors.h"
#include "model/LabelItem.h"

#include <algorithm>

namespace sw {

Qt::PenStyle PenStyleFromCode(int style)
{
    switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle BrushStyleFromCode(int style)
{
    // Reports and label items number the eight fill styles alike.
    return sw::QtBrushStyle(style);
}

QPen MakePen(const TPenState& pen, double deviceWidth)
{
    if (pen.mode == pmNop)
        return QPen(Qt::NoPen);
    QColor color = ToQColor(TColor(pen.color));
    if (pen.mode == pmBlack)
        color = Qt::black;
    else if (pen.mode == pmWhite)
        color = Qt::white;
    QPen p(color);
    p.setStyle(PenStyleFromCode(pen.style));
    p.setWidthF(std::clamp(deviceWidth, 0.0, 1.0e4));
    // Windows pens end and join square-cut at one-pixel widths and round at wider ones.
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    if (deviceWidth <= 1.0) {
        p.setCapStyle(Qt::SquareCap);
        p.setJoinStyle(Qt::MiterJoin);
    }
    return p;
}

QBrush MakeBrush(const TBrushState& brush)
{
    return QBrush(ToQColor(TColor(brush.color)), BrushStyleFromCode(brush.style));
}

} // namespace sw
