#include "report/RPFPrint.h"

#include <QFile>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace sw {

namespace {

// Enough to take a font down by two thirds on a 300-pixels-per-inch printer; a stream asking for
// more is damaged.
constexpr int kMaxFitSteps = 200;

// Arc angles in sixteenths of a degree for QPainter: counter-clockwise from start to end.
std::pair<int, int> ArcAngles(const QRectF& box, const QPointF& start, const QPointF& end)
{
    const QPointF c = box.center();
    const auto angle = [&](const QPointF& p) {
        return std::atan2(-(p.y() - c.y()), p.x() - c.x()) * 180 / M_PI;
    };
    const double a = angle(start);
    double span = angle(end) - a;
    if (!(span > 0))
        span += 360;
    return {int(std::lround(a * 16)), int(std::lround(span * 16))};
}

bool Finite(double v)
{
    return std::isfinite(v);
}

} // namespace

TFilePrinter::~TFilePrinter() = default;

void TFilePrinter::Start()
{
    if (Active())
        throw EReportPrinter(rpmsg::kAlreadyPrinting);
    QByteArray bytes;
    if (StreamMode == smUser) {
        if (!Stream)
            throw EReportPrinter(rpmsg::kNoUserStream);
        if (!Stream->isOpen() && !Stream->open(QIODevice::ReadOnly))
            throw EReportPrinter(QString::fromLatin1(rpmsg::kStreamInit) + QStringLiteral("\"\""));
        Stream->seek(0);
        bytes = Stream->readAll();
    } else {
        QFile file(FileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EReportPrinter(QString::fromLatin1(rpmsg::kStreamInit) + QLatin1Char('"') + FileName
                                 + QLatin1Char('"'));
        bytes = file.readAll();
    }
    auto reader = std::make_unique<TStreamReader>(std::move(bytes));
    TStreamRecord header;
    try {
        reader->ReadExpecting(rps::Header, header);
    } catch (const EReportPrinter&) {
        aborted_ = true;
        throw;
    }
    aborted_ = false;
    pageCount_ = int(header.nums[0]);
    streamFirst_ = int(header.nums[1]);
    streamLast_ = int(header.nums[2]);
    streamPageSize_ = QSizeF(header.nums[3], header.nums[4]);
    firstPagePos_ = reader->Position();
    reader_ = std::move(reader);
    currentPos_ = -1;
    currentNumber_ = 0;
    if (device_->HasPrinters())
        ApplyHeader(header);
}

// Header operands: pages, first, last, width, height, 4 offsets, orientation, bin, collate,
// duplex, copies, paper code, paper width, paper length; then the printer name.
void TFilePrinter::ApplyHeader(const TStreamRecord& h)
{
    if (!h.text.isEmpty())
        device_->SelectPrinter(h.text);
    TDevMode& m = device_->DevMode();
    const int orientation = int(h.nums[9]);
    if (orientation == poPortrait || orientation == poLandScape)
        m.Orientation = orientation == poLandScape ? 2 : 1;
    m.DefaultSource = std::int16_t(h.nums[10]);
    m.Collate = h.nums[11] != 0;
    m.Duplex = std::int16_t(std::clamp(int(h.nums[12]) + 1, 1, 3));
    m.Copies = std::int16_t(std::max(1, int(h.nums[13])));
    const int paper = int(h.nums[14]);
    if (!PaperCodeSize(paper).isEmpty() || (paper == 256 && h.nums[15] > 0 && h.nums[16] > 0)) {
        m.PaperCode = std::int16_t(paper);
        m.PaperWidth = std::int16_t(h.nums[15]);
        m.PaperLength = std::int16_t(h.nums[16]);
    }
}

void TFilePrinter::Finish()
{
    reader_.reset();
    currentPos_ = -1;
    fontCache_.Clear();
    currentFont_ = nullptr;
}

void TFilePrinter::ReadPageRecordAt(qint64 pos)
{
    reader_->Seek(pos);
    reader_->ReadExpecting(rps::Page, record_);
    currentPos_ = pos;
    currentPrev_ = std::int32_t(record_.nums[0]);
    currentNext_ = std::int32_t(record_.nums[1]);
    currentNumber_ = int(record_.nums[2]);
    currentSize_ = QSizeF(record_.nums[3], record_.nums[4]);
}

bool TFilePrinter::SeekPage(int n)
{
    if (!Active())
        throw EReportPrinter(rpmsg::kNotPrinting);
    try {
        if (currentPos_ < 0) {
            if (pageCount_ <= 0)
                return false;
            ReadPageRecordAt(firstPagePos_);
        }
        // Every step reads a page record, so a stream cannot hold more steps than this; links
        // that go round in a circle stop here.
        qint64 steps = reader_->Size() / rps::kPageRecordSize + 1;
        while (currentNumber_ < n && currentNext_ > 0 && steps-- > 0)
            ReadPageRecordAt(currentNext_);
        while (currentNumber_ > n && currentPrev_ > 0 && steps-- > 0)
            ReadPageRecordAt(currentPrev_);
    } catch (const EReportPrinter&) {
        aborted_ = true;
        throw;
    }
    return true;
}

QImage TFilePrinter::RenderPage(int n, double dpi, double zoom)
{
    if (!SeekPage(n))
        return {};
    const QSizeF size = CurrentPageSize();
    const double scale = dpi * zoom / 100.0;
    const double w = size.width() * scale, h = size.height() * scale;
    if (!(w >= 1 && h >= 1 && w <= 20000 && h <= 20000))
        return {};
    QImage image(int(std::lround(w)), int(std::lround(h)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                           | QPainter::SmoothPixmapTransform);
    DeviceMetrics metrics;
    metrics.ppiX = metrics.ppiY = dpi;
    metrics.zoom = zoom;
    ReplayPage(CurrentStreamPage(), painter, metrics);
    return image;
}

void TFilePrinter::ReplayPage(int n, QPainter& painter, const DeviceMetrics& metrics)
{
    if (!SeekPage(n))
        return;
    QPainter* const previous = canvas_;
    const DeviceMetrics previousMetrics = metrics_;
    canvas_ = &painter;
    metrics_ = metrics;
    try {
        ReplayCurrentPage();
    } catch (...) {
        canvas_ = previous;
        metrics_ = previousMetrics;
        throw;
    }
    canvas_ = previous;
    metrics_ = previousMetrics;
}

void TFilePrinter::Execute(int fromPage, int toPage)
{
    if (!device_->HasPrinters()) {
        ShowErrorBox(rpmsg::kNoPrinters);
        return;
    }
    const bool started = !Active();
    if (started)
        Start();
    if (OnBusy)
        OnBusy(true);
    const Event savedPrint = OnPrint;
    OnPrint = [this, fromPage, toPage](TBaseReport&) {
        const int last = toPage > 0 ? std::min(toPage, pageCount_) : pageCount_;
        for (int n = std::max(1, fromPage); n <= last; ++n) {
            if (n > std::max(1, fromPage))
                NextPage();
            if (!SeekPage(n))
                break;
            ReplayCurrentPage();
        }
    };
    try {
        if (pageCount_ > 0)
            RunReport();
    } catch (...) {
        OnPrint = savedPrint;
        if (OnBusy)
            OnBusy(false);
        if (started)
            Finish();
        throw;
    }
    OnPrint = savedPrint;
    if (OnBusy)
        OnBusy(false);
    if (started)
        Finish();
}

void TFilePrinter::ReplayCurrentPage()
{
    try {
        ReadPageRecordAt(currentPos_);
        pageWidth_ = currentSize_.width();
        pageHeight_ = currentSize_.height();
        pen_ = TPenState{};
        brush_ = TBrushState{0, bsClear};
        font_ = TFontState{};
        SetPixelHeightFromSize();
        pendingFit_.reset();
        fontChanged_ = true;
        currentFont_ = nullptr;
        TextBKMode = bkTransparent;
        while (true) {
            reader_->Read(record_);
            if (record_.code == rps::EndPage)
                break;
            Apply(record_);
        }
    } catch (const EReportPrinter&) {
        aborted_ = true;
        throw;
    }
}

double TFilePrinter::SampleWidthInches(double pixelHeight)
{
    const TFontCache::Entry& e = FontEntryFor(pixelHeight);
    return e.metrics.horizontalAdvance(QLatin1String(kFontSampleText)) * 100
        / (metrics_.ppiX * metrics_.zoom);
}

// The recorded height at this zoom, made smaller in steps of 1.1 pixels while the sample text
// comes out wider than it did where the stream was written.
void TFilePrinter::FitFontHeight(double heightInches, double sampleWidth)
{
    if (!Finite(heightInches) || heightInches <= 0)
        heightInches = 1.0 / 72;
    const double recorded = std::clamp(heightInches * metrics_.ppiY * metrics_.zoom / 100, 1.0, 20000.0);
    double height = recorded;
    if (Finite(sampleWidth) && sampleWidth > 0) {
        const float wanted = float(sampleWidth);
        double width = SampleWidthInches(height);
        for (int step = 0; float(width) > wanted && step < kMaxFitSteps; ++step) {
            const double smaller = height - 1.1;
            const double narrower = smaller >= 1 ? SampleWidthInches(smaller) : width;
            if (!(narrower < width)) {
                height = recorded;
                break;
            }
            height = smaller;
            width = narrower;
        }
    }
    font_.pixelHeight = height;
    fontChanged_ = true;
}

void TFilePrinter::Apply(const TStreamRecord& r)
{
    const auto& n = r.nums;
    const auto& p = r.points;
    const auto rect = [&](size_t i) { return InchRect{p[i].x(), p[i].y(), p[i + 1].x(), p[i + 1].y()}; };
    const auto fontFlag = [&](bool& field) {
        field = n[0] != 0;
        fontChanged_ = true;
    };
    const auto picture = [&] { return Picture::FromBytes(r.graphic); };
    QPainter& painter = Painter();
    const bool usesFont = (r.code >= rps::TextRect && r.code <= rps::TextRight) || r.code == rps::TextSpan
        || r.code == rps::TextSpanOld || r.code == rps::LineMetrics;
    if (usesFont && pendingFit_) {
        FitFontHeight(pendingFit_->first, pendingFit_->second);
        pendingFit_.reset();
    }
    switch (r.code) {
    case rps::Arc:
    case rps::Chord:
    case rps::Pie: {
        const QRectF box = DeviceRect(rect(0));
        const auto [start, span] = ArcAngles(box, DevicePoint(p[2]), DevicePoint(p[3]));
        ApplyPen(r.code != rps::Arc);
        if (r.code == rps::Arc)
            painter.drawArc(box, start, span);
        else if (r.code == rps::Chord)
            painter.drawChord(box, start, span);
        else
            painter.drawPie(box, start, span);
        break;
    }
    case rps::BrushCopy:
        picture().Draw(painter, DeviceRect(rect(0)));
        break;
    case rps::Draw: {
        const Picture pic = picture();
        const QSize size = pic.naturalSize(metrics_.ppiX * metrics_.zoom / 100);
        pic.Draw(painter, QRectF(DevicePoint(p[0]), QSizeF(size)));
        break;
    }
    case rps::BitmapAt: {
        const Picture pic = picture();
        const QSize size = pic.naturalSize(metrics_.ppiX);
        const QPointF at = DevicePoint(p[0]);
        const double w = Finite(n[0]) ? std::clamp(size.width() * n[0], -1e7, 1e7) : 0;
        const double h = Finite(n[1]) ? std::clamp(size.height() * n[1], -1e7, 1e7) : 0;
        pic.Draw(painter, QRectF(at, QSizeF(w, h)));
        break;
    }
    case rps::FocusRect:
    case rps::Ellipse:
    case rps::FillRect:
    case rps::FrameRect:
    case rps::Rectangle:
    case rps::RectangleOuter:
        OutShape(r.code, rect(0));
        break;
    case rps::LineTo: OutLineTo(p[0]); break;
    case rps::MoveTo: OutMoveTo(p[0]); break;
    case rps::Polygon:
    case rps::Polyline: OutPoly(r.code == rps::Polygon, p); break;
    case rps::StretchBitmap:
    case rps::StretchDraw: picture().Draw(painter, DeviceRect(rect(0))); break;
    case rps::RoundRect: OutRoundRect(rect(0), Finite(n[0]) ? n[0] : 0, Finite(n[1]) ? n[1] : 0); break;
    case rps::TextRect: {
        painter.save();
        painter.setClipRect(DeviceRect(rect(0)));
        DrawText(rps::TextLeft, p[2].x(), p[2].y(), r.text, -1);
        painter.restore();
        break;
    }
    case rps::TextCenter:
    case rps::TextLeft:
    case rps::TextRight: DrawText(r.code, n[1], n[0], r.text, -1); break;
    case rps::TextSpanOld:
    case rps::TextSpan: DrawText(rps::TextSpan, n[1], n[0], r.text, Finite(n[2]) ? n[2] : -1); break;
    case rps::BkMode: TextBKMode = n[0] == 1 ? bkOpaque : bkTransparent; break;
    case rps::BkColor: TextBKColor = std::int32_t(n[0]); break;
    case rps::Brush:
        brush_ = TBrushState{std::int32_t(n[0]), int(n[1])};
        break;
    case rps::BrushColor: brush_.color = std::int32_t(n[0]); break;
    case rps::BrushStyle: brush_.style = int(n[0]); break;
    case rps::Font:
        font_.name = r.text;
        font_.color = std::int32_t(n[0]);
        font_.pitch = int(n[1]);
        font_.bold = n[3] != 0;
        font_.italic = n[4] != 0;
        font_.underline = n[5] != 0;
        font_.strikeout = n[6] != 0;
        font_.rotation = int(n[7]) % 360;
        pendingFit_ = {n[2], 0};
        fontChanged_ = true;
        break;
    case rps::FontName:
        font_.name = r.text;
        fontChanged_ = true;
        break;
    case rps::FontColor:
        font_.color = std::int32_t(n[0]);
        fontChanged_ = true;
        break;
    case rps::FontPitch:
        font_.pitch = int(n[0]);
        fontChanged_ = true;
        break;
    case rps::FontHeight:
        // Fitted once the attributes that follow in the stream (bold, italic, ...) are known.
        pendingFit_ = {n[0], n[1]};
        fontChanged_ = true;
        break;
    case rps::FontBold: fontFlag(font_.bold); break;
    case rps::FontUnderline: fontFlag(font_.underline); break;
    case rps::FontItalic: fontFlag(font_.italic); break;
    case rps::FontStrikeout: fontFlag(font_.strikeout); break;
    case rps::FontSuperscript: fontFlag(font_.superscript); break;
    case rps::FontSubscript: fontFlag(font_.subscript); break;
    case rps::FontRotation:
        font_.rotation = int(n[0]) % 360;
        fontChanged_ = true;
        break;
    case rps::FontAnchor:
        font_.anchor = int(n[0]);
        fontChanged_ = true;
        break;
    case rps::Pen:
        pen_.color = std::int32_t(n[0]);
        pen_.mode = int(n[1]);
        pen_.style = int(n[2]);
        pen_.width = int(DeviceLengthX(Finite(n[3]) ? n[3] : 0));
        break;
    case rps::PenColor: pen_.color = std::int32_t(n[0]); break;
    case rps::PenMode: pen_.mode = int(n[0]); break;
    case rps::PenStyle: pen_.style = int(n[0]); break;
    case rps::PenWidth: pen_.width = int(DeviceLengthX(Finite(n[0]) ? n[0] : 0)); break;
    case rps::LineMetrics:
        // The recorded metrics stand for the font as it was measured when the job was written.
        RealiseFont();
        if (Finite(n[0]) && Finite(n[1]) && Finite(n[2])) {
            ascent_ = n[0];
            descent_ = n[1];
            lineHeight_ = n[2];
        }
        break;
    case rps::ScaleX:
    case rps::ScaleY:
    case rps::CopyRect:
    case rps::FloodFill:
    case rps::PassText:
    case rps::PassData:
    case rps::Transparent:
    case rps::BrushBitmap:
    case rps::ModeA:
    case rps::ModeB:
    case rps::ModeC:
    case rps::Orientation:
    case rps::PaperBin:
        // Recorded for devices this engine does not drive: raster copies, flood fills, driver
        // pass-through, pattern brushes, paper bins and orientation changes within a document.
        break;
    default:
        // A page or header record inside a page: the page's end record is missing.
        throw EReportPrinter(rpmsg::kUnexpectedCode);
    }
}

} // namespace sw
