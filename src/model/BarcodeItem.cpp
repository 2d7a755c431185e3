#include "model/BarcodeItem.h"

#include "model/LabelPanel.h"
#include "model/TextLabel.h"

#include <QFont>
#include <algorithm>
#include <cstdlib>
#include <QFontMetricsF>
#include <QPainter>

namespace sw {

long long PanelCounterStart(const TLabelPanel& panel)
{
    for (const auto& child : panel.Children())
        if (const auto* counter = dynamic_cast<const TCounterLabel*>(child.get())) {
            bool ok = false;
            const long long start = counter->Caption().toLongLong(&ok);
            return ok ? start : 1;
        }
    return 1;
}

TDataValues PanelDataValues(const TLabelPanel& panel)
{
    return TDataValues{PanelCounterStart(panel), panel.FieldValue};
}

void PaintBarcode(QPainter& painter, const TBarcodeLayout& layout, const QColor& color)
{
    for (const QRectF& r : layout.Bars)
        painter.fillRect(r, color);
    if (layout.Texts.empty())
        return;
    painter.save();
    painter.setPen(color);
    for (const TBarcodeText& t : layout.Texts) {
        if (!(t.Size > 0))
            continue;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(int(std::clamp(t.Size, 1.0, double(sw::kMaxFontPixels)) + 0.5));
        painter.setFont(font);
        const double width = QFontMetricsF(font).horizontalAdvance(t.Text);
        painter.save();
        painter.translate(t.Pos);
        painter.rotate(-t.Angle);
        const double dx = t.Align == 1 ? 0 : t.Align == 2 ? -width : -width / 2;
        painter.drawText(QPointF(dx, 0), t.Text);
        painter.restore();
    }
    painter.restore();
}

} // namespace sw

TBarcodeItem::TBarcodeItem()
    : TLabelItem(144, 72)
{
    PopupMenu = TItemMenu::PopupMenuBarcode;
}

void TBarcodeItem::Changed()
{
    encoded_ = false;
    Invalidate();
}

void TBarcodeItem::SetSymbology(sw::TSymbology s)
{
    if (s == symbology_)
        return;
    symbology_ = s;
    Changed();
    if (sw::IsSquareSymbology(s))
        SetBounds(Left(), Top(), Width(), Height());
}

void TBarcodeItem::SetData(const QString& data)
{
    if (data == data_)
        return;
    data_ = data;
    Changed();
}

void TBarcodeItem::SetShowText(bool on)
{
    if (on == showText_)
        return;
    showText_ = on;
    Changed();
}

void TBarcodeItem::SetLineColor(TColor color)
{
    if (color == lineColor_)
        return;
    lineColor_ = color;
    Invalidate();
}

void TBarcodeItem::SetAngle(int angle)
{
    const int a = sw::QuarterTurn(angle);
    if (a == angle_)
        return;
    // A quarter turn either way swaps the box's sides.
    const bool swap = (a - angle_) % 180 != 0;
    angle_ = a;
    if (swap)
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

sw::TDataValues TBarcodeItem::PanelValues() const
{
    return Parent() ? sw::PanelDataValues(*Parent()) : sw::TDataValues{};
}

QString TBarcodeItem::ShownData() const
{
    return sw::ExpandBarcodeData(data_, PanelValues()).value_or(data_);
}

const sw::TBarcode& TBarcodeItem::Code() const
{
    // The counter's start and the merge source's first record can change under the item, so
    // data with placeholders is expanded on every use and encoded again only when it changed.
    QString why;
    std::optional<QString> shown = data_;
    if (data_.contains(u'{'))
        shown = sw::ExpandBarcodeData(data_, PanelValues(), &why);
    if (encoded_ && shown == shown_)
        return code_;
    encoded_ = true;
    shown_ = shown;
    problem_ = why;
    code_ = shown ? sw::EncodeBarcode(symbology_, *shown, showText_, &problem_) : sw::TBarcode{};
    return code_;
}

QString TBarcodeItem::Problem() const
{
    Code();
    return problem_;
}

void TBarcodeItem::SetBounds(int left, int top, int width, int height)
{
    if (sw::IsSquareSymbology(symbology_) && width != height) {
        // The side that moved most decides, so a square code follows any edge of the handle.
        const int side = std::abs(width - Width()) >= std::abs(height - Height()) ? width : height;
        width = height = side;
    }
    TLabelItem::SetBounds(left, top, width, height);
}

QSize TBarcodeItem::DefaultSize(sw::TSymbology s, double pixelsPerInch)
{
    const auto px = [pixelsPerInch](double inches) { return int(inches * pixelsPerInch + 0.5); };
    if (sw::IsSquareSymbology(s))
        return QSize(px(0.75), px(0.75));
    if (s == sw::TSymbology::Pdf417)
        return QSize(px(2.0), px(0.6));
    return QSize(px(1.6), px(0.75));
}

void TBarcodeItem::DoPaint(QPainter& painter)
{
    const sw::TBarcode& code = Code();
    if (code.IsNull()) {
        // Data the code cannot hold shows as a crossed box, never as a wrong code.
        painter.setPen(QPen(sw::ToQColor(lineColor_), 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0, 0, Width() - 1, Height() - 1));
        painter.drawLine(QPointF(0, 0), QPointF(Width() - 1, Height() - 1));
        painter.drawLine(QPointF(Width() - 1, 0), QPointF(0, Height() - 1));
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    sw::PaintBarcode(painter, sw::LayOutBarcode(code, QSizeF(Width(), Height()), angle_),
                     sw::ToQColor(lineColor_));
}
