#include "model/TextLabel.h"
#include "model/LabelPanel.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace sw {

int NormaliseAngle(int angle)
{
    int a = angle % 360;
    if (a > 180)
        a -= 360;
    else if (a < -180)
        a += 360;
    return a;
}

static int RoundEven(double v)
{
    return int(std::nearbyint(v));
}

RotatedTextLayout LayOutRotatedText(int tw, int th, int angle, int d)
{
    int a = NormaliseAngle(angle);
    if (a == -180)
        a = 180;
    const double r = a * std::numbers::pi / 180.0;
    const double s = std::sin(r), c = std::cos(r);
    RotatedTextLayout out;
    out.Width = RoundEven(std::abs(th * s) + std::abs(tw * c)) + d;
    out.Height = RoundEven(std::abs(tw * s) + std::abs(th * c)) + d;
    if (a >= 0 && a <= 90)
        out.Origin = QPoint(0, std::abs(RoundEven(tw * s)));
    else if (a < 0 && a >= -90)
        out.Origin = QPoint(std::abs(RoundEven(th * s)), 0);
    else if (a > 90)
        out.Origin = QPoint(std::abs(RoundEven(tw * c)), out.Height);
    else
        out.Origin = QPoint(out.Width, std::abs(RoundEven(th * c)));
    return out;
}

} // namespace sw

Tmo3DLabel::Tmo3DLabel()
    : TLabelItem(0, 0)
{
    PopupMenu = TItemMenu::PopupMenuText;
}

void Tmo3DLabel::SetCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    LayOut();
    Invalidate();
}

void Tmo3DLabel::SetFont(const TItemFont& font)
{
    if (font == font_)
        return;
    font_ = font;
    LayOut();
    Invalidate();
}

void Tmo3DLabel::SetAngle(int angle)
{
    const int a = sw::NormaliseAngle(angle);
    if (a == angle_)
        return;
    angle_ = a;
    LayOut();
    Invalidate();
}

void Tmo3DLabel::SetStyle3D(TmoStyle3D style)
{
    if (style == style3D_)
        return;
    style3D_ = style;
    depthOffset_ = std::abs(depthOffset_) * (style3D_ == lsRaised3d ? 1 : -1);
    LayOut();
    Invalidate();
}

void Tmo3DLabel::SetDepth3D(TmoDepth3D depth)
{
    if (depth == depth3D_)
        return;
    depth3D_ = depth;
    depthOffset_ = int(depth) * (style3D_ == lsRaised3d ? 1 : -1);
    LayOut();
    Invalidate();
}

QFont Tmo3DLabel::DrawingFont() const
{
    QFont f(font_.Name);
    f.setPixelSize(std::max(1, sw::FontPixelHeight(font_.Size, PixelsPerInch())));
    f.setBold(font_.Bold);
    f.setItalic(font_.Italic);
    f.setUnderline(font_.Underline);
    f.setStrikeOut(font_.StrikeOut);
    // Item boxes are whole pixels measured on the screen; printing scales the same layout.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QString Tmo3DLabel::ShownCaption() const
{
    const TLabelPanel* panel = Parent();
    return panel && panel->ShownText ? panel->ShownText(caption_) : caption_;
}

void Tmo3DLabel::LayOut()
{
    const QFontMetrics fm(DrawingFont());
    const QString text = ShownCaption().left(sw::kMaxDrawnCaption);
    const sw::RotatedTextLayout l =
        sw::LayOutRotatedText(fm.horizontalAdvance(text), fm.height(), angle_, depthOffset_);
    offset_ = l.Origin;
    SetBounds(Left(), Top(), l.Width, l.Height);
}

void Tmo3DLabel::DoPaint(QPainter& painter)
{
    const QFont font = DrawingFont();
    const QString text = ShownCaption().left(sw::kMaxDrawnCaption);
    const int ascent = QFontMetrics(font).ascent();
    const int d = depthOffset_;
    int a = angle_ == -180 ? 180 : angle_;
    painter.setFont(font);
    auto drawAt = [&](QPoint at, const QColor& colour) {
        painter.save();
        painter.translate(at);
        // Counter-clockwise on a y-down surface.
        painter.rotate(-a);
        painter.setPen(colour);
        painter.drawText(QPointF(0, ascent), text);
        painter.restore();
    };
    if (d != 0) {
        drawAt(offset_ - QPoint(d, d), Qt::white);
        drawAt(offset_ + QPoint(d, d), Qt::black);
    }
    drawAt(offset_, sw::ToQColor(font_.Color));
}

TCounterLabel::TCounterLabel()
{
    PopupMenu = TItemMenu::PopupMenuCounter;
}

QPoint TextOrigin(Tmo3DLabel& item)
{
    item.LayOut();
    return QPoint(item.OffsetX(), item.OffsetY());
}
