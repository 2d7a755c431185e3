#include "report/RPFiler.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

namespace sw {

TReportFiler::~TReportFiler() = default;

void TReportFiler::CopyRect()
{
    throw EReportPrinter(rpmsg::kCopyRect);
}

bool TReportFiler::StartJob()
{
    pagesWritten_ = 0;
    prevPagePos_ = 0;
    pendingLinkPos_ = openLinkPos_ = -1;
    pageOpen_ = false;
    if (OnBeforePrint)
        OnBeforePrint(*this);

    const auto cannotOpen = [this] {
        ownStream_.reset();
        out_ = nullptr;
        ShowErrorBox(QString::fromLatin1(rpmsg::kStreamInit) + QLatin1Char('"') + FileName
                     + QLatin1Char('"'));
        return false;
    };
    switch (StreamMode) {
    case smMemory: {
        auto buffer = std::make_unique<QBuffer>();
        buffer->open(QIODevice::ReadWrite);
        ownStream_ = std::move(buffer);
        break;
    }
    case smFile: {
        auto file = std::make_unique<QFile>(FileName);
        if (FileName.isEmpty() || !file->open(QIODevice::ReadWrite | QIODevice::Truncate))
            return cannotOpen();
        ownStream_ = std::move(file);
        break;
    }
    case smTempFile: {
        auto file = std::make_unique<QTemporaryFile>();
        file->setAutoRemove(false);
        if (!file->open())
            return cannotOpen();
        FileName = file->fileName();
        ownStream_ = std::move(file);
        break;
    }
    case smUser:
        if (!Stream)
            throw EReportPrinter(rpmsg::kNoUserStream);
        break;
    }
    if (StreamMode == smUser) {
        if (!Stream->isOpen() && !Stream->open(QIODevice::ReadWrite))
            return cannotOpen();
        // A reused stream must not keep the tail of an earlier, longer job.
        if (auto* buffer = qobject_cast<QBuffer*>(Stream))
            buffer->buffer().clear();
        else if (auto* file = qobject_cast<QFileDevice*>(Stream))
            file->resize(0);
        Stream->seek(0);
        out_ = Stream;
    } else {
        out_ = ownStream_.get();
    }

    // Measuring comes from the chosen printer (the screen when there is none).
    const QPointF off = device_->HasPrinters() ? device_->UnprintableOffset() : QPointF();
    metrics_ = DeviceMetrics{device_->PixelsPerInchX(), device_->PixelsPerInchY(), off.x(), off.y(),
                             100, 0, 0};
    const QSizeF paper = device_->PaperSizeInches();
    pageWidth_ = paper.width();
    pageHeight_ = paper.height();
    writer_ = std::make_unique<TStreamWriter>(*out_);

    TStreamWriter& w = *writer_;
    w.Byte(rps::Header);
    w.Int16(0); // page count, patched at the end
    w.Int16(FirstPage);
    w.Int16(LastPage);
    w.Single(pageWidth_);
    w.Single(pageHeight_);
    for (int i = 0; i < 2; ++i) {
        w.Single(off.x());
        w.Single(off.y());
    }
    w.Byte(Orientation());
    if (device_->HasPrinters()) {
        const TDevMode& m = device_->DevMode();
        w.Int16(m.DefaultSource);
        w.Byte(m.Collate ? 1 : 0);
        w.Byte(m.Duplex - 1);
        w.Int16(m.Copies);
        w.Int16(m.PaperCode);
        w.Int16(m.PaperWidth);
        w.Int16(m.PaperLength);
    } else {
        w.Int16(265);
        w.Byte(0);
        w.Byte(0);
        w.Int16(1);
        w.Int16(1);
        w.Int16(0);
        w.Int16(0);
    }
    w.Text(device_->ChosenByName());
    return true;
}

void TReportFiler::StartFirstPage()
{
    if (!skipPage_)
        WritePageStart();
}

// Page record: 80, previous page i, next page i (patched when the next page starts), page
// number h, page width s, page height s; then the whole drawing state.
void TReportFiler::WritePageStart()
{
    TStreamWriter& w = *writer_;
    const qint64 pos = w.Position();
    if (pendingLinkPos_ >= 0)
        w.PatchInt32(pendingLinkPos_, std::int32_t(pos));
    pendingLinkPos_ = -1;
    w.Byte(rps::Page);
    w.Int32(std::int32_t(pagesWritten_ ? prevPagePos_ : 0));
    w.Int32(0);
    w.Int16(++pagesWritten_);
    w.Single(pageWidth_);
    w.Single(pageHeight_);
    prevPagePos_ = pos;
    openLinkPos_ = pos + rps::kPageNextLinkOffset;
    pageOpen_ = true;
    WriteFullState();
}

void TReportFiler::WriteFullState()
{
    WriteBrush(true);
    WriteFont(true);
    WritePen(true);
    TStreamWriter& w = *writer_;
    w.Byte(rps::ScaleX);
    w.Single(ScaleX);
    w.Byte(rps::ScaleY);
    w.Single(ScaleY);
    w.Byte(rps::BkMode);
    w.Byte(TextBKMode);
    w.Byte(rps::BkColor);
    w.Int32(TextBKColor);
}

namespace {

// Writes a state record when the attribute differs from what the stream carries (or always),
// and remembers the value.
template <typename T, typename Write>
void PutState(TStreamWriter& w, bool all, rps::Code code, const T& now, T& was, Write write)
{
    if (all || now != was) {
        w.Byte(code);
        write(now);
    }
    was = now;
}

} // namespace

void TReportFiler::WritePen(bool all)
{
    TStreamWriter& w = *writer_;
    Written& o = written_;
    const auto i32 = [&w](std::int32_t v) { w.Int32(v); };
    const auto byte = [&w](int v) { w.Byte(v); };
    PutState(w, all, rps::PenColor, pen_.color, o.penColor, i32);
    PutState(w, all, rps::PenMode, pen_.mode, o.penMode, byte);
    PutState(w, all, rps::PenStyle, pen_.style, o.penStyle, byte);
    PutState(w, all, rps::PenWidth, float(pen_.width / metrics_.ppiX), o.penWidth,
             [&w](float v) { w.Single(v); });
}

void TReportFiler::WriteBrush(bool all)
{
    TStreamWriter& w = *writer_;
    PutState(w, all, rps::BrushColor, brush_.color, written_.brush.color, [&w](std::int32_t v) { w.Int32(v); });
    PutState(w, all, rps::BrushStyle, brush_.style, written_.brush.style, [&w](int v) { w.Byte(v); });
    if (all) {
        w.Byte(rps::BrushBitmap);
        w.Byte(0); // no pattern bitmap
    }
}

void TReportFiler::WriteFont(bool all)
{
    TStreamWriter& w = *writer_;
    Written& o = written_;
    const TFontState& f = font_;
    const TFontCache::Entry& entry = FontEntryFor(f.pixelHeight);
    const std::pair<float, float> height{
        float(FontHeightInches()),
        float(entry.metrics.horizontalAdvance(QLatin1String(kFontSampleText)) * 100
              / (metrics_.ppiX * metrics_.zoom))};
    const auto i32 = [&w](std::int32_t v) { w.Int32(v); };
    const auto byte = [&w](int v) { w.Byte(v); };
    const auto flag = [&w](bool v) { w.Byte(v ? 1 : 0); };
    PutState(w, all, rps::FontName, f.name, o.fontName, [&w](const QString& v) { w.Text(v); });
    PutState(w, all, rps::FontColor, f.color, o.fontColor, i32);
    PutState(w, all, rps::FontPitch, f.pitch, o.pitch, byte);
    PutState(w, all, rps::FontHeight, height, o.fontHeight, [&w](const std::pair<float, float>& v) {
        w.Single(v.first);
        w.Single(v.second);
    });
    PutState(w, all, rps::FontBold, f.bold, o.bold, flag);
    PutState(w, all, rps::FontItalic, f.italic, o.italic, flag);
    PutState(w, all, rps::FontUnderline, f.underline, o.underline, flag);
    PutState(w, all, rps::FontStrikeout, f.strikeout, o.strikeout, flag);
    PutState(w, all, rps::FontSuperscript, f.superscript, o.superscript, flag);
    PutState(w, all, rps::FontSubscript, f.subscript, o.subscript, flag);
    PutState(w, all, rps::FontRotation, f.rotation, o.rotation, [&w](int v) { w.Int16(v); });
    PutState(w, all, rps::FontAnchor, f.anchor, o.anchor, byte);
}

void TReportFiler::PenChanged()
{
    if (Recording())
        WritePen(false);
}

void TReportFiler::BrushChanged()
{
    if (Recording())
        WriteBrush(false);
}

void TReportFiler::FontRealised()
{
    if (Recording())
        WriteFont(false);
}

void TReportFiler::MetricsRefreshed()
{
    if (!Recording())
        return;
    TStreamWriter& w = *writer_;
    w.Byte(rps::LineMetrics);
    w.Single(ascent_);
    w.Single(descent_);
    w.Single(lineHeight_);
}

void TReportFiler::BreakPage(bool, bool newSkipped)
{
    if (pageOpen_) {
        writer_->Byte(rps::EndPage);
        pageOpen_ = false;
        // The link is set only once a next page block really follows.
        pendingLinkPos_ = openLinkPos_;
    }
    if (!newSkipped)
        WritePageStart();
}

void TReportFiler::FinishJob()
{
    if (!writer_)
        return;
    std::exception_ptr error;
    try {
        if (pageOpen_)
            writer_->Byte(rps::EndPage);
        pageOpen_ = false;
        writer_->Flush();
        writer_->PatchInt16(rps::kHeaderPageCountPos, pagesWritten_);
    } catch (...) {
        error = std::current_exception();
    }
    writer_.reset();
    try {
        CloseStream();
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    if (error)
        std::rethrow_exception(error);
}

void TReportFiler::CloseStream()
{
    out_ = nullptr;
    if (!ownStream_)
        return;
    std::unique_ptr<QIODevice> stream = std::move(ownStream_);
    if (StreamMode == smMemory && !FileName.isEmpty()) {
        QSaveFile file(FileName);
        const QByteArray& bytes = static_cast<QBuffer*>(stream.get())->data();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw EReportPrinter(QStringLiteral("Error writing report file \"%1\": %2")
                                     .arg(FileName, file.errorString()));
    }
    stream->close();
}

// Text record: TextSpan (y, text, left x, width) for plain left-to-right text under
// amPositioning, else TextCenter / TextLeft / TextRight (y, text, x).
void TReportFiler::OutText(rps::Code code, double x, double y, const QString& text, double width)
{
    static const QRegularExpression macro(QStringLiteral("\\x{FD}\\$RPCM[0-9]{2}"));
    TStreamWriter& w = *writer_;
    const QByteArray bytes = EncodeStreamText(text);
    QString kept = text;
    if (DecodeStreamText(bytes) != text) {
        // Cut to what the length byte holds; the span is that of what is kept.
        kept = DecodeStreamText(bytes);
        const double keptWidth = MeasureWidthInches(kept);
        x = code == rps::TextCenter ? x - width / 2 + keptWidth / 2
            : code == rps::TextRight ? x - width + keptWidth : x;
        width = keptWidth;
    }
    if (AccuracyMethod == amPositioning && font_.rotation == 0 && !text.contains(macro)) {
        const double left = code == rps::TextCenter ? x - width / 2 : code == rps::TextRight ? x - width : x;
        w.Byte(rps::TextSpan);
        w.Single(y);
        w.Text(kept);
        w.Single(left);
        w.Single(width);
        return;
    }
    w.Byte(code);
    w.Single(y);
    w.Text(kept);
    w.Single(x);
}

void TReportFiler::OutShape(rps::Code code, const InchRect& r)
{
    writer_->Byte(code);
    writer_->Rect(r);
}

void TReportFiler::OutRoundRect(const InchRect& r, double cw, double ch)
{
    writer_->Byte(rps::RoundRect);
    writer_->Rect(r);
    writer_->Single(cw);
    writer_->Single(ch);
}

void TReportFiler::OutMoveTo(const QPointF& p)
{
    writer_->Byte(rps::MoveTo);
    writer_->Point(p);
}

void TReportFiler::OutLineTo(const QPointF& p)
{
    writer_->Byte(rps::LineTo);
    writer_->Point(p);
}

void TReportFiler::OutPoly(bool closed, const std::vector<QPointF>& points)
{
    // The count is an int16 holding the number of points minus one.
    const size_t n = std::min<size_t>(points.size(), 32768);
    writer_->Byte(closed ? rps::Polygon : rps::Polyline);
    writer_->Int16(int(n) - 1);
    for (size_t i = 0; i < n; ++i)
        writer_->Point(points[i]);
}

void TReportFiler::OutBitmap(const InchRect& r, const Picture& bitmap)
{
    writer_->Byte(rps::Transparent);
    writer_->Byte(0);
    writer_->Byte(rps::StretchBitmap);
    writer_->Graphic(bitmap);
    writer_->Rect(r);
}

void TReportFiler::OutGraphic(const InchRect& r, const Picture& picture)
{
    writer_->Byte(rps::StretchDraw);
    writer_->Graphic(picture);
    writer_->Rect(r);
}

} // namespace sw
