#include "report/RPBase.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

namespace sw {

namespace {

std::function<void(const QString&)>& ErrorBoxHandler()
{
    static std::function<void(const QString&)> handler = [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    return handler;
}

// Device coordinates stay far inside int range whatever a damaged stream or a wild caller asks.
constexpr double kDeviceLimit = 1.0e7;

double RoundToDevice(double v)
{
    if (!std::isfinite(v))
        return 0;
    return double(std::lround(std::clamp(v, -kDeviceLimit, kDeviceLimit)));
}

constexpr double kTabWidth = 0.5; // inches between default tab stops

} // namespace

// --- font cache

const TFontCache::Entry& TFontCache::Get(const TFontKey& key)
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front();
        }
    }
    QFont font(key.name);
    font.setPixelSize(std::max(1, key.pixelHeight));
    font.setWeight(key.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(key.italic);
    font.setUnderline(key.underline);
    font.setStrikeOut(key.strikeout);
    if (key.pitch == 1)
        font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(key.pitch == 1);
    // Unhinted outlines measure the same on every device, so a recorded layout replays alike.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    entries_.push_front(Entry{key, font, QFontMetricsF(font)});
    return entries_.front();
}

// --- construction and properties

TBaseReport::TBaseReport(TRPDevice* device) : device_(device ? device : &TRPDevice::Shared()) {}

TBaseReport::~TBaseReport() = default;

void TBaseReport::SetErrorBoxHandler(std::function<void(const QString&)> handler)
{
    ErrorBoxHandler() = std::move(handler);
}

void TBaseReport::ShowErrorBox(const QString& text)
{
    lastErrorBox_ = text;
    if (ErrorBoxHandler())
        ErrorBoxHandler()(text);
}

void TBaseReport::SetUnits(TPrintUnits units)
{
    units_ = units;
    switch (units) {
    case unInch: unitsFactor_ = 1.0; break;
    case unMM: unitsFactor_ = 25.4; break;
    case unCM: unitsFactor_ = 2.54; break;
    case unPoint: unitsFactor_ = 72.0; break;
    case unUser: break;
    }
}

void TBaseReport::SetUnitsFactor(double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    unitsFactor_ = factor;
    if (factor == 1.0)
        units_ = unInch;
    else if (factor == 25.4)
        units_ = unMM;
    else if (factor == 2.54)
        units_ = unCM;
    else if (factor == 72.0)
        units_ = unPoint;
    else
        units_ = unUser;
}

void TBaseReport::SetCopies(int copies)
{
    if (printing_)
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    copies_ = copies;
    if (device_->HasPrinters() && copies > 0)
        device_->SetCopies(copies);
}

void TBaseReport::SetOrientation(TOrientation orientation)
{
    if (printing_)
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    orientation_ = orientation;
    device_->SetOrientation(orientation);
}

bool TBaseReport::SetPaper(int code, double widthInches, double heightInches)
{
    if (printing_)
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    return device_->SetPaper(code, widthInches, heightInches);
}

bool TBaseReport::PaperSizeSelectable(int code) const
{
    return device_->PaperSizeSelectable(code);
}

void TBaseReport::ExportDeviceSettings(QPrinter& dialogPrinter) const
{
    if (printing_)
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    device_->ExportDeviceSettings(dialogPrinter);
}

void TBaseReport::ImportDeviceSettings(const QPrinter& dialogPrinter)
{
    if (printing_)
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    device_->ImportDeviceSettings(dialogPrinter);
}

// --- job lifecycle

void TBaseReport::RunReport()
{
    if (printing_)
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    startTime_ = QDateTime::currentDateTime();
    aborted_ = false;
    page_ = 0;
    if (!StartJob())
        return;
    ApplyMargins();
    printing_ = true;
    fontChanged_ = true;
    currentFont_ = nullptr;
    SetPixelHeightFromSize();
    ResetDrawingDefaults();
    page_ = 1;
    skipPage_ = page_ < FirstPage || page_ > LastPage;

    std::exception_ptr error;
    try {
        StartFirstPage();
        UpdateStatus();
        if (!aborted_) {
            if (OnNewPage)
                OnNewPage(*this);
            if (OnPrintHeader)
                OnPrintHeader(*this);
        }
        if (OnPrint) {
            OnPrint(*this);
        } else if (OnPrintPage) {
            int pageNum = page_;
            // An aborted job ends here even when the handler keeps asking for more pages.
            while (OnPrintPage(*this, pageNum) && !aborted_) {
                NextPage();
                pageNum = page_;
            }
        }
    } catch (const ESilentAbort&) {
    } catch (...) {
        error = std::current_exception();
    }

    try {
        if (!aborted_ && OnPrintFooter)
            OnPrintFooter(*this);
    } catch (const ESilentAbort&) {
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    try {
        FinishJob();
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    currentFont_ = nullptr;
    fontCache_.Clear();
    printing_ = false;
    try {
        if (OnAfterPrint)
            OnAfterPrint(*this);
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    if (error)
        std::rethrow_exception(error);
}

void TBaseReport::RequirePrinting() const
{
    if (!printing_)
        throw EReportPrinter(rpmsg::kNotPrinting);
    if (aborted_)
        throw ESilentAbort();
}

void TBaseReport::NextPage()
{
    RequirePrinting();
    if (OnPrintFooter)
        OnPrintFooter(*this);
    const bool oldSkipped = skipPage_;
    ++page_;
    UpdateStatus();
    skipPage_ = page_ < FirstPage || page_ > LastPage || aborted_;
    originX_ = originY_ = 0;
    ResetSection();
    HomeCursor();
    BreakPage(oldSkipped, skipPage_);
    if (OnNewPage)
        OnNewPage(*this);
    if (OnPrintHeader)
        OnPrintHeader(*this);
}

void TBaseReport::AbortReport()
{
    aborted_ = true;
    skipPage_ = true;
}

QString TBaseReport::StatusDevice(char which) const
{
    switch (which) {
    case 'D': return device_->DeviceName();
    case 'R': return device_->DriverName();
    default: return device_->PortName();
    }
}

QString TBaseReport::ExpandStatus(const QString& format) const
{
    QString out;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar code = format[++i];
        const char up = char(code.toUpper().toLatin1());
        if (code == QLatin1Char('%')) {
            out += QLatin1Char('%');
        } else if (code >= QLatin1Char('0') && code <= QLatin1Char('9')) {
            const int line = code.digitValue();
            if (line < StatusText.size())
                out += StatusText[line];
        } else if (up == 'D' || up == 'R' || up == 'T') {
            out += StatusDevice(up);
        } else if (up == 'P') {
            out += QString::number(page_);
        } else if (up == 'F') {
            out += QString::number(FirstPage);
        } else if (up == 'L') {
            out += QString::number(LastPage);
        } else {
            out += QStringLiteral("<ERROR-%") + code + QLatin1Char('>');
        }
    }
    return out;
}

void TBaseReport::UpdateStatus()
{
    if (!StatusLabel)
        return;
    StatusLabel(ExpandStatus(StatusFormat));
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void TBaseReport::ResetDrawingDefaults()
{
    const TBrushState brush{0, bsClear};
    if (!(brush_ == brush)) {
        brush_ = brush;
        BrushChanged();
    }
    const TPenState pen{0, psSolid, 1, pmCopy};
    if (!(pen_ == pen)) {
        pen_ = pen;
        PenChanged();
    }
    originX_ = originY_ = 0;
    ResetSection();
    HomeCursor();
}

void TBaseReport::ApplyMargins()
{
    ResetSection();
}

// --- positioning

void TBaseReport::SetOriginX(double x)
{
    originX_ = x / unitsFactor_;
}

void TBaseReport::SetOriginY(double y)
{
    originY_ = y / unitsFactor_;
}

void TBaseReport::ResetSection()
{
    sectionLeft_ = MarginLeft / unitsFactor_;
    sectionRight_ = pageWidth_ - MarginRight / unitsFactor_;
    sectionTop_ = MarginTop / unitsFactor_;
    sectionBottom_ = pageHeight_ - MarginBottom / unitsFactor_;
}

void TBaseReport::HomeCursor()
{
    lineNum_ = 1;
    columnNum_ = 1;
    cursorX_ = sectionLeft_;
    cursorY_ = sectionTop_ + lineHeight_ - descent_;
}

void TBaseReport::MoveCursor(double x, double y)
{
    cursorX_ = x / unitsFactor_;
    cursorY_ = y / unitsFactor_;
}

InchRect TBaseReport::ToInchRect(double x1, double y1, double x2, double y2) const
{
    return {ToInchesX(x1), ToInchesY(y1), ToInchesX(x2), ToInchesY(y2)};
}

double TBaseReport::DeviceXOf(double inches) const
{
    return RoundToDevice((inches * ScaleX * metrics_.zoom / 10000 - metrics_.offX) * metrics_.ppiX)
        + metrics_.devX0;
}

double TBaseReport::DeviceYOf(double inches) const
{
    return RoundToDevice((inches * ScaleY * metrics_.zoom / 10000 - metrics_.offY) * metrics_.ppiY)
        + metrics_.devY0;
}

double TBaseReport::DeviceLengthX(double inches) const
{
    return RoundToDevice(inches * ScaleX * metrics_.zoom / 10000 * metrics_.ppiX);
}

double TBaseReport::DeviceLengthY(double inches) const
{
    return RoundToDevice(inches * ScaleY * metrics_.zoom / 10000 * metrics_.ppiY);
}

int TBaseReport::UnitsToDeviceX(double x) const
{
    return int(DeviceXOf(ToInchesX(x)));
}

int TBaseReport::UnitsToDeviceY(double y) const
{
    return int(DeviceYOf(ToInchesY(y)));
}

QRect TBaseReport::InchRectToDevice(double x1, double y1, double x2, double y2) const
{
    const int l = UnitsToDeviceX(x1), t = UnitsToDeviceY(y1);
    return QRect(l, t, UnitsToDeviceX(x2) - l, UnitsToDeviceY(y2) - t);
}

// --- fonts

void TBaseReport::SetPixelHeightFromSize()
{
    font_.pixelHeight
        = RoundToDevice(metrics_.ppiY * font_.size / 72 * ScaleY * metrics_.zoom / 10000);
}

void TBaseReport::SelectFont(const QString& name, double size)
{
    if (!(size > 0) || !std::isfinite(size))
        return;
    font_.name = name;
    font_.size = size;
    font_.color = 0;
    font_.pitch = 0;
    font_.bold = font_.italic = font_.underline = font_.strikeout = false;
    font_.superscript = font_.subscript = false;
    font_.rotation = 0;
    font_.anchor = taBaseline;
    SetPixelHeightFromSize();
    fontChanged_ = true;
}

void TBaseReport::SetFontAttr(bool& field, bool value)
{
    if (field != value) {
        field = value;
        fontChanged_ = true;
    }
}

void TBaseReport::SetBold(bool on) { SetFontAttr(font_.bold, on); }
void TBaseReport::SetItalic(bool on) { SetFontAttr(font_.italic, on); }
void TBaseReport::SetUnderline(bool on) { SetFontAttr(font_.underline, on); }
void TBaseReport::SetStrikeout(bool on) { SetFontAttr(font_.strikeout, on); }
void TBaseReport::SetSuperscript(bool on) { SetFontAttr(font_.superscript, on); }
void TBaseReport::SetSubscript(bool on) { SetFontAttr(font_.subscript, on); }

void TBaseReport::SetFontColor(std::int32_t color)
{
    if (font_.color != color) {
        font_.color = color;
        fontChanged_ = true;
    }
}

void TBaseReport::SetFontPitch(int pitch)
{
    if (font_.pitch != pitch) {
        font_.pitch = pitch;
        fontChanged_ = true;
    }
}

void TBaseReport::SetFontRotation(int degrees)
{
    const int rotation = degrees % 360; // keeps the sign: -90 stays -90
    if (font_.rotation != rotation) {
        font_.rotation = rotation;
        fontChanged_ = true;
    }
}

void TBaseReport::SetTextAnchor(int anchor)
{
    if (font_.anchor != anchor) {
        font_.anchor = anchor;
        fontChanged_ = true;
    }
}

const TFontCache::Entry& TBaseReport::FontEntryFor(double pixelHeight)
{
    TFontKey key;
    key.name = font_.name;
    key.pitch = font_.pitch;
    double h = pixelHeight;
    if (font_.subscript || font_.superscript)
        h /= 2;
    key.pixelHeight = int(RoundToDevice(std::clamp(h, 1.0, 20000.0)));
    key.bold = font_.bold;
    key.italic = font_.italic;
    key.underline = font_.underline;
    key.strikeout = font_.strikeout;
    key.rotation = font_.rotation;
    return fontCache_.Get(key);
}

void TBaseReport::ComputeMetrics(const TFontCache::Entry& entry)
{
    const double perPixel = 10000.0 / (metrics_.ppiY * ScaleY * metrics_.zoom);
    const double a = entry.metrics.ascent(), d = entry.metrics.descent();
    const double il = std::max(0.0, a + d - entry.key.pixelHeight);
    const double half = (font_.subscript || font_.superscript) ? 0.5 : 1.0;
    ascent_ = a * perPixel * half;
    descent_ = d * perPixel * half;
    internalLeading_ = il * perPixel * half;
    switch (LineHeightMethod) {
    case lhmLinesPerInch: lineHeight_ = LinesPerInch > 0 ? 1.0 / LinesPerInch : lineHeight_; break;
    case lhmFont: lineHeight_ = font_.size / 60; break;
    case lhmUser: lineHeight_ = UserLineHeight; break;
    }
}

const TFontCache::Entry& TBaseReport::RealiseFont()
{
    if (!fontChanged_ && currentFont_)
        return *currentFont_;
    currentFont_ = &FontEntryFor(font_.pixelHeight);
    ComputeMetrics(*currentFont_);
    fontChanged_ = false;
    FontRealised();
    MetricsRefreshed();
    return *currentFont_;
}

void TBaseReport::RefreshFontMetrics()
{
    RequirePrinting();
    const double lineTop = cursorY_ - (lineHeight_ - descent_);
    if (fontChanged_ || !currentFont_) {
        RealiseFont();
    } else {
        ComputeMetrics(*currentFont_);
        MetricsRefreshed();
    }
    cursorY_ = lineTop + lineHeight_ - descent_;
}

double TBaseReport::FontAscent()
{
    RequirePrinting();
    RealiseFont();
    return ascent_ * unitsFactor_;
}

double TBaseReport::FontDescent()
{
    RequirePrinting();
    RealiseFont();
    return descent_ * unitsFactor_;
}

double TBaseReport::FontHeightInches() const
{
    return font_.pixelHeight * 100 / (metrics_.ppiY * metrics_.zoom);
}

double TBaseReport::MeasureWidthInches(const QString& text)
{
    const TFontCache::Entry& entry = RealiseFont();
    const double pixels = std::max(1.0, std::round(entry.metrics.horizontalAdvance(text)));
    return pixels * ScaleX / (metrics_.ppiX * metrics_.zoom);
}

double TBaseReport::TextWidth(const QString& text)
{
    RequirePrinting();
    return MeasureWidthInches(text) * unitsFactor_;
}

void TBaseReport::AdvanceCursor(double widthInches)
{
    const double radians = font_.rotation * M_PI / 180;
    cursorX_ += std::cos(radians) * widthInches;
    cursorY_ -= std::sin(radians) * widthInches;
}

void TBaseReport::PrintAligned(rps::Code code, const QString& text, double xInches)
{
    const double width = MeasureWidthInches(text);
    if (!skipPage_)
        OutText(code, xInches + originX_, cursorY_ + originY_, text, width);
    if (code == rps::TextLeft) {
        cursorX_ = xInches;
        AdvanceCursor(width);
    } else {
        cursorX_ = code == rps::TextCenter ? xInches + width / 2 : xInches;
    }
}

void TBaseReport::PrintText(const QString& text)
{
    RequirePrinting();
    qsizetype start = 0;
    while (true) {
        const qsizetype tab = text.indexOf(QLatin1Char('\t'), start);
        const QString piece = text.mid(start, tab < 0 ? -1 : tab - start);
        if (!piece.isEmpty())
            PrintAligned(rps::TextLeft, piece, cursorX_);
        if (tab < 0)
            break;
        const double stops = std::floor((cursorX_ - sectionLeft_) / kTabWidth + 1e-9) + 1;
        cursorX_ = sectionLeft_ + stops * kTabWidth;
        start = tab + 1;
    }
}

void TBaseReport::PrintTextAt(const QString& text, double x, double y)
{
    RequirePrinting();
    cursorY_ = y / unitsFactor_;
    cursorX_ = x / unitsFactor_;
    PrintText(text);
}

void TBaseReport::PrintCenter(const QString& text, double x)
{
    RequirePrinting();
    PrintAligned(rps::TextCenter, text, x / unitsFactor_);
}

void TBaseReport::PrintRight(const QString& text, double x)
{
    RequirePrinting();
    PrintAligned(rps::TextRight, text, x / unitsFactor_);
}

// --- pen, brush and shapes

void TBaseReport::ChoosePen(std::int32_t color, int style, int width, int mode)
{
    int pixels = width;
    if (width < 0) {
        const double px = double(-std::int64_t(width)) * metrics_.ppiX * ScaleX * metrics_.zoom / 1000000;
        pixels = int(std::max(1.0, RoundToDevice(px)));
    }
    const TPenState pen{color, style, pixels, mode};
    if (pen == pen_)
        return;
    pen_ = pen;
    if (printing_)
        PenChanged();
}

void TBaseReport::ChooseBrush(std::int32_t color, int style, const Picture*)
{
    const TBrushState brush{color, style};
    if (brush == brush_)
        return;
    brush_ = brush;
    if (printing_)
        BrushChanged();
}

void TBaseReport::Shape(rps::Code code, double x1, double y1, double x2, double y2)
{
    RequirePrinting();
    if (!skipPage_)
        OutShape(code, ToInchRect(x1, y1, x2, y2));
}

void TBaseReport::DrawRectangle(double x1, double y1, double x2, double y2)
{
    Shape(rps::Rectangle, x1, y1, x2, y2);
}

void TBaseReport::DrawEllipse(double x1, double y1, double x2, double y2)
{
    Shape(rps::Ellipse, x1, y1, x2, y2);
}

void TBaseReport::FillRect(double x1, double y1, double x2, double y2)
{
    Shape(rps::FillRect, x1, y1, x2, y2);
}

void TBaseReport::FrameRect(double x1, double y1, double x2, double y2)
{
    Shape(rps::FrameRect, x1, y1, x2, y2);
}

void TBaseReport::DrawRoundRect(double x1, double y1, double x2, double y2, double cw, double ch)
{
    RequirePrinting();
    if (!skipPage_)
        OutRoundRect(ToInchRect(x1, y1, x2, y2), cw / unitsFactor_, ch / unitsFactor_);
}

void TBaseReport::MovePen(double x, double y)
{
    RequirePrinting();
    penPos_ = QPointF(ToInchesX(x), ToInchesY(y));
    if (!skipPage_)
        OutMoveTo(penPos_);
}

void TBaseReport::DrawLineTo(double x, double y)
{
    RequirePrinting();
    penPos_ = QPointF(ToInchesX(x), ToInchesY(y));
    if (!skipPage_)
        OutLineTo(penPos_);
}

void TBaseReport::Poly(bool closed, const std::vector<QPointF>& points)
{
    RequirePrinting();
    if (skipPage_ || points.empty())
        return;
    std::vector<QPointF> inches;
    for (const QPointF& p : points)
        inches.emplace_back(ToInchesX(p.x()), ToInchesY(p.y()));
    OutPoly(closed, inches);
}

void TBaseReport::DrawPolygon(const std::vector<QPointF>& points)
{
    Poly(true, points);
}

void TBaseReport::DrawPolyline(const std::vector<QPointF>& points)
{
    Poly(false, points);
}

void TBaseReport::DrawBitmap(double x1, double y1, double x2, double y2, const Picture& bitmap)
{
    RequirePrinting();
    if (!skipPage_ && !bitmap.isNull())
        OutBitmap(ToInchRect(x1, y1, x2, y2), bitmap);
}

void TBaseReport::DrawGraphic(const QRect& deviceRect, const Picture& picture)
{
    RequirePrinting();
    if (skipPage_ || picture.isNull())
        return;
    const auto inchX = [this](double dev) {
        return ((dev - metrics_.devX0) / metrics_.ppiX + metrics_.offX) * 10000 / (ScaleX * metrics_.zoom);
    };
    const auto inchY = [this](double dev) {
        return ((dev - metrics_.devY0) / metrics_.ppiY + metrics_.offY) * 10000 / (ScaleY * metrics_.zoom);
    };
    const double l = deviceRect.left(), t = deviceRect.top();
    OutGraphic({inchX(l), inchY(t), inchX(l + deviceRect.width()), inchY(t + deviceRect.height())},
               picture);
}

} // namespace sw
