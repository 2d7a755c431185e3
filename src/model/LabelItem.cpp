#include "model/LabelItem.h"
#include "model/LabelPanel.h"

#include <QPainter>
#include <cmath>

namespace sw {

int FontPixelHeight(int pointSize, double pixelsPerInch)
{
    // MulDiv rounds halves away from zero. Sizes from files can be anything; beyond a few
    // thousand pixels no font engine draws sensibly, so the height stops there.
    const double px = std::round(std::abs(double(pointSize)) * pixelsPerInch / 72.0);
    return int(std::min(px, double(kMaxFontPixels)));
}

Qt::BrushStyle QtBrushStyle(int style)
{
    switch (style) {
    case bsSolid: return Qt::SolidPattern;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
    }
}

void AlignToDevicePixels(QPainter& painter)
{
    if (painter.testRenderHint(QPainter::Antialiasing))
        return;
    const QTransform t = painter.deviceTransform();
    if (t.m11() != 0 && t.m22() != 0 && t.m12() == 0 && t.m21() == 0)
        painter.translate(-0.5 / t.m11(), -0.5 / t.m22());
}

} // namespace sw

TLabelItem::TLabelItem(int width, int height)
    : width_(width)
    , height_(height)
{
}

TLabelItem::~TLabelItem() = default;

bool TLabelItem::IsSpecial() const
{
    return name_.toUpper().contains(QLatin1String("SPECIAL"));
}

void TLabelItem::SetBounds(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void TLabelItem::Paint(QPainter& painter, double deviceScale)
{
    painter.save();
    if (deviceScale != 1.0)
        painter.scale(deviceScale, deviceScale);
    DoPaint(painter);
    painter.restore();
}

double TLabelItem::PixelsPerInch() const
{
    return parent_ ? parent_->PixelsPerInch() : 96.0;
}

void TLabelItem::Invalidate()
{
    if (parent_)
        parent_->NotifyChanged();
}
