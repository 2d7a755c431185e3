#include "report/RPCanvas.h"

#include "model/Colors.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>

namespace sw {

bool TCanvasReport::StartDeviceJob()
{
    if (!device_->HasPrinters()) {
        ShowErrorBox(rpmsg::kNoPrinters);
        return false;
    }
    if (OnBeforePrint)
        OnBeforePrint(*this);
    device_->BeginDoc(Title.left(31));
    canvas_ = &device_->Canvas();
    const QPointF off = device_->UnprintableOffset();
    metrics_ = DeviceMetrics{device_->PixelsPerInchX(), device_->PixelsPerInchY(), off.x(), off.y(),
                             100, 0, 0};
    const QSizeF paper = device_->PaperSizeInches();
    pageWidth_ = paper.width();
    pageHeight_ = paper.height();
    return true;
}

void TCanvasReport::FinishDeviceJob()
{
    canvas_ = nullptr;
    if (!device_->Printing())
        return;
    if (aborted_)
        device_->AbortDoc();
    else
        device_->EndDoc();
}

void TCanvasReport::BreakDevicePage(bool oldSkipped, bool newSkipped)
{
    if (!oldSkipped && !newSkipped)
        device_->NewPage();
}

QPainter& TCanvasReport::Painter() const
{
    if (!canvas_)
        throw EReportPrinter(rpmsg::kCanvasNotActive);
    return *canvas_;
}

QPointF TCanvasReport::DevicePoint(const QPointF& inches) const
{
    return {DeviceXOf(inches.x()), DeviceYOf(inches.y())};
}

QRectF TCanvasReport::DeviceRect(const InchRect& r) const
{
    return QRectF(QPointF(DeviceXOf(r.x1), DeviceYOf(r.y1)), QPointF(DeviceXOf(r.x2), DeviceYOf(r.y2)))
        .normalized();
}

void TCanvasReport::ApplyPen(bool withBrush)
{
    QPainter& p = Painter();
    p.setPen(MakePen(pen_, pen_.width));
    p.setBrush(withBrush ? MakeBrush(brush_) : QBrush(Qt::NoBrush));
}

void TCanvasReport::OutShape(rps::Code code, const InchRect& r)
{
    QPainter& p = Painter();
    QRectF rect = DeviceRect(r);
    switch (code) {
    case rps::Ellipse:
        ApplyPen(true);
        p.drawEllipse(rect);
        break;
    case rps::FillRect:
        p.fillRect(rect, MakeBrush(brush_));
        break;
    case rps::FrameRect:
        p.setPen(QPen(ToQColor(TColor(brush_.color)), 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect);
        break;
    case rps::FocusRect:
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect);
        break;
    case rps::RectangleOuter:
        rect.adjust(0, 0, 1, 1);
        [[fallthrough]];
    default:
        ApplyPen(true);
        p.drawRect(rect);
        break;
    }
}

void TCanvasReport::OutRoundRect(const InchRect& r, double cw, double ch)
{
    ApplyPen(true);
    Painter().drawRoundedRect(DeviceRect(r), DeviceLengthX(cw) / 2, DeviceLengthY(ch) / 2,
                              Qt::AbsoluteSize);
}

void TCanvasReport::OutMoveTo(const QPointF& p)
{
    penDevice_ = DevicePoint(p);
}

void TCanvasReport::OutLineTo(const QPointF& p)
{
    const QPointF to = DevicePoint(p);
    ApplyPen(false);
    Painter().drawLine(penDevice_, to);
    penDevice_ = to;
}

void TCanvasReport::OutPoly(bool closed, const std::vector<QPointF>& points)
{
    QPolygonF poly;
    for (const QPointF& pt : points)
        poly << DevicePoint(pt);
    ApplyPen(closed);
    if (closed)
        Painter().drawPolygon(poly);
    else
        Painter().drawPolyline(poly);
}

void TCanvasReport::OutBitmap(const InchRect& r, const Picture& bitmap)
{
    bitmap.Draw(Painter(), DeviceRect(r));
}

void TCanvasReport::OutGraphic(const InchRect& r, const Picture& picture)
{
    picture.Draw(Painter(), DeviceRect(r));
}

void TCanvasReport::OutText(rps::Code code, double x, double y, const QString& text, double)
{
    DrawText(code, x, y, text, -1);
}

void TCanvasReport::DrawText(rps::Code code, double x, double y, const QString& text, double spanWidth)
{
    const TFontCache::Entry& entry = RealiseFont();
    QPainter& p = Painter();
    QFont font = entry.font;
    QString s = text;
    double width = entry.metrics.horizontalAdvance(s);
    if ((code == rps::TextSpan || code == rps::TextSpanOld) && spanWidth > 0 && !s.isEmpty()) {
        const double wanted = spanWidth * ScaleX * metrics_.zoom / 10000 * metrics_.ppiX;
        double extra = wanted - width;
        qsizetype blanks = s.count(QLatin1Char(' '));
        if (blanks == 0 && s.size() > 1) {
            // Without blanks the difference goes into blanks put between the characters.
            QString spaced;
            for (qsizetype i = 0; i < s.size(); ++i) {
                spaced += s[i];
                if (i + 1 < s.size() && !s[i].isHighSurrogate())
                    spaced += QLatin1Char(' ');
            }
            blanks = spaced.size() - s.size();
            extra -= entry.metrics.horizontalAdvance(QLatin1Char(' ')) * double(blanks);
            s = spaced;
        }
        if (blanks > 0) {
            font.setWordSpacing(std::clamp(extra / double(blanks), -1.0e5, 1.0e5));
            width = wanted;
        }
    }
    int anchor = font_.anchor;
    if (font_.superscript)
        anchor = taTop;
    else if (font_.subscript)
        anchor = taBottom;
    double refY = 0, dy = 0;
    switch (anchor) {
    case taTop:
        refY = DeviceYOf(y - ascent_ - internalLeading_);
        dy = entry.metrics.ascent();
        break;
    case taBottom:
        refY = DeviceYOf(y + descent_) + 1;
        dy = -entry.metrics.descent();
        break;
    default:
        refY = DeviceYOf(y) + 1;
        break;
    }
    const double dx = code == rps::TextCenter ? -width / 2 : code == rps::TextRight ? -width : 0;
    p.save();
    p.translate(DeviceXOf(x), refY);
    if (font_.rotation != 0)
        p.rotate(-font_.rotation);
    p.setFont(font);
    p.setPen(ToQColor(TColor(font_.color)));
    if (TextBKMode == bkOpaque) {
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(ToQColor(TColor(TextBKColor)));
    }
    p.drawText(QPointF(dx, dy), s);
    p.restore();
}

} // namespace sw
