#include "report/RPStream.h"

#include <QIODevice>
#include <QStringDecoder>
#include <array>
#include <bit>
#include <cstring>

namespace sw {

namespace {

// Operands of every record, in order: b byte, h int16, i int32, s single, t text, p point,
// r rect, g graphic, f flag byte followed by a graphic when it is 1, P int16 n and n + 1 points,
// D int32 n and n bytes. Each token is followed by the operand's name in dumps.
struct RecordLayout {
    rps::Code code;
    const char* name;
    const char* operands;
};

constexpr RecordLayout kRecords[] = {
    {rps::Arc, "arc", "p:box1 p:box2 p:start p:end"},
    {rps::BrushCopy, "brush-copy", "g:bitmap r:dest r:source i:transparent"},
    {rps::Chord, "chord", "p:box1 p:box2 p:start p:end"},
    {rps::CopyRect, "copy-rect", "r:dest i:canvas r:source"},
    {rps::Draw, "draw", "g:picture p:at"},
    {rps::FocusRect, "focus-rect", "r:rect"},
    {rps::Ellipse, "ellipse", "r:rect"},
    {rps::FillRect, "fill-rect", "r:rect"},
    {rps::FloodFill, "flood-fill", "p:at i:color i:style"},
    {rps::FrameRect, "frame-rect", "r:rect"},
    {rps::LineTo, "line-to", "p:to"},
    {rps::MoveTo, "move-to", "p:to"},
    {rps::Pie, "pie", "p:box1 p:box2 p:start p:end"},
    {rps::Polygon, "polygon", "P:points"},
    {rps::Polyline, "polyline", "P:points"},
    {rps::BitmapAt, "bitmap", "g:bitmap p:at s:scalex s:scaley"},
    {rps::StretchBitmap, "stretch-bitmap", "g:bitmap r:rect"},
    {rps::Rectangle, "rectangle", "r:rect"},
    {rps::RectangleOuter, "rectangle-outer", "r:rect"},
    {rps::RoundRect, "round-rect", "r:rect s:cornerw s:cornerh"},
    {rps::StretchDraw, "stretch-draw", "g:picture r:rect"},
    {rps::TextRect, "text-rect", "r:clip p:at t:text"},
    {rps::TextCenter, "text-center", "s:y t:text s:x"},
    {rps::TextLeft, "text-left", "s:y t:text s:x"},
    {rps::TextRight, "text-right", "s:y t:text s:x"},
    {rps::BkMode, "bk-mode", "b:mode"},
    {rps::BkColor, "bk-color", "i:color"},
    {rps::ScaleX, "scale-x", "s:percent"},
    {rps::ScaleY, "scale-y", "s:percent"},
    {rps::PassText, "pass-text", "t:text"},
    {rps::PassData, "pass-data", "D:data"},
    {rps::TextSpanOld, "text-span-old", "s:y t:text s:x s:width"},
    {rps::TextSpan, "text-span", "s:y t:text s:x s:width"},
    {rps::Transparent, "transparent-bitmaps", "b:on"},
    {rps::Brush, "brush", "i:color b:style f:pattern"},
    {rps::BrushColor, "brush-color", "i:color"},
    {rps::BrushStyle, "brush-style", "b:style"},
    {rps::BrushBitmap, "brush-bitmap", "f:pattern"},
    {rps::Font, "font", "t:name i:color b:pitch s:height b:bold b:italic b:underline b:strikeout h:rotation"},
    {rps::FontName, "font-name", "t:name"},
    {rps::FontColor, "font-color", "i:color"},
    {rps::FontPitch, "font-pitch", "b:pitch"},
    {rps::FontHeight, "font-height", "s:height s:samplewidth"},
    {rps::FontBold, "font-bold", "b:on"},
    {rps::FontUnderline, "font-underline", "b:on"},
    {rps::FontItalic, "font-italic", "b:on"},
    {rps::FontStrikeout, "font-strikeout", "b:on"},
    {rps::FontSuperscript, "font-superscript", "b:on"},
    {rps::FontSubscript, "font-subscript", "b:on"},
    {rps::FontRotation, "font-rotation", "h:degrees"},
    {rps::FontAnchor, "font-anchor", "b:anchor"},
    {rps::Pen, "pen", "i:color b:mode b:style s:width"},
    {rps::PenColor, "pen-color", "i:color"},
    {rps::PenMode, "pen-mode", "b:mode"},
    {rps::PenStyle, "pen-style", "b:style"},
    {rps::PenWidth, "pen-width", "s:width"},
    {rps::Page, "page", "i:prev i:next h:number s:width s:height"},
    {rps::EndPage, "end-page", ""},
    {rps::LineMetrics, "line-metrics", "s:ascent s:descent s:lineheight"},
    {rps::ModeA, "mode-84", ""},
    {rps::ModeB, "mode-85", ""},
    {rps::ModeC, "mode-86", ""},
    {rps::Orientation, "orientation", "b:orientation"},
    {rps::PaperBin, "paper-bin", "t:printer"},
    {rps::Header, "header", "h:pages h:first h:last s:width s:height s:offx1 s:offy1 s:offx2 s:offy2 "
                   "b:orientation h:bin b:collate b:duplex h:copies h:paper h:paperwidth "
                   "h:paperlength t:printer"},
};

struct Operand {
    char kind;
    const char* name; // points into a static table of names
};

struct ParsedLayout {
    const char* name = nullptr;
    std::vector<Operand> operands;
};

const std::array<ParsedLayout, 256>& Layouts()
{
    static const std::array<ParsedLayout, 256> table = [] {
        static std::vector<std::string> names; // storage for operand names
        names.reserve(256);
        std::array<ParsedLayout, 256> t{};
        for (const RecordLayout& r : kRecords) {
            ParsedLayout& p = t[r.code];
            p.name = r.name;
            const char* s = r.operands;
            while (*s) {
                while (*s == ' ')
                    ++s;
                if (!*s)
                    break;
                const char kind = *s;
                s += 2; // kind and ':'
                const char* e = s;
                while (*e && *e != ' ')
                    ++e;
                names.emplace_back(s, e);
                p.operands.push_back({kind, nullptr});
                s = e;
            }
        }
        // Names are stable only once every one is stored.
        size_t n = 0;
        for (const RecordLayout& r : kRecords)
            for (Operand& o : t[r.code].operands)
                o.name = names[n++].c_str();
        return t;
    }();
    return table;
}

} // namespace

const char* rps::CodeName(int code)
{
    return code >= 0 && code < 256 ? Layouts()[code].name : nullptr;
}

// --- texts

QByteArray EncodeStreamText(const QString& text)
{
    bool latin1 = true;
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            latin1 = false;
    if (latin1)
        return text.toLatin1().left(255);
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() > 255) {
        qsizetype cut = 255;
        while (cut > 0 && (std::uint8_t(utf8[cut]) & 0xC0) == 0x80)
            --cut; // never split a character
        utf8.truncate(cut);
    }
    return utf8;
}

QString DecodeStreamText(const QByteArray& bytes)
{
    bool multibyte = false;
    for (char c : bytes)
        if (std::uint8_t(c) >= 0x80)
            multibyte = true;
    if (multibyte) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString s = utf8.decode(bytes);
        if (!utf8.hasError())
            return s;
    }
    return QString::fromLatin1(bytes);
}

// --- writer

TStreamWriter::TStreamWriter(QIODevice& device) : device_(device)
{
    buffer_.reserve(kBufferSize);
    base_ = device.pos();
}

void TStreamWriter::Bytes(const char* data, qint64 size)
{
    if (buffer_.size() + size > kBufferSize)
        Flush();
    if (size > kBufferSize) {
        WriteOut(data, size);
        return;
    }
    buffer_.append(data, size);
}

void TStreamWriter::WriteOut(const char* data, qint64 size)
{
    if (device_.write(data, size) != size)
        throw EReportPrinter(QStringLiteral("Error writing report stream: %1").arg(device_.errorString()));
    base_ += size;
}

void TStreamWriter::Flush()
{
    if (buffer_.isEmpty())
        return;
    WriteOut(buffer_.constData(), buffer_.size());
    buffer_.clear();
}

void TStreamWriter::Byte(int v)
{
    const char c = char(std::uint8_t(v));
    Bytes(&c, 1);
}

void TStreamWriter::Int16(int v)
{
    const auto u = std::uint16_t(std::int16_t(v));
    const char b[2] = {char(u & 0xFF), char(u >> 8)};
    Bytes(b, 2);
}

void TStreamWriter::Int32(std::int32_t v)
{
    const auto u = std::uint32_t(v);
    const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
    Bytes(b, 4);
}

void TStreamWriter::Single(double v)
{
    Int32(std::bit_cast<std::int32_t>(float(v)));
}

void TStreamWriter::Text(const QString& text)
{
    const QByteArray bytes = EncodeStreamText(text);
    Byte(int(bytes.size()));
    Bytes(bytes.constData(), bytes.size());
}

void TStreamWriter::Point(const QPointF& p)
{
    Single(p.x());
    Single(p.y());
}

void TStreamWriter::Rect(const InchRect& r)
{
    Single(r.x1);
    Single(r.y1);
    Single(r.x2);
    Single(r.y2);
}

void TStreamWriter::Graphic(const Picture& picture)
{
    // 1 bitmap (BMP, PNG, JPEG), 2 metafile, 4 any other picture (an SVG drawing); a reader
    // tells the picture by its bytes.
    const Picture::Kind kind = picture.kind();
    Byte(kind == Picture::Kind::Metafile ? 2 : kind == Picture::Kind::Drawing ? 4 : 1);
    Int32(std::int32_t(picture.bytes().size()));
    Bytes(picture.bytes().constData(), picture.bytes().size());
}

void TStreamWriter::Patch(qint64 pos, const char* data, int size)
{
    Flush();
    const qint64 end = device_.pos();
    if (!device_.seek(pos) || device_.write(data, size) != size || !device_.seek(end))
        throw EReportPrinter(QStringLiteral("Error writing report stream: %1").arg(device_.errorString()));
}

void TStreamWriter::PatchInt16(qint64 pos, int v)
{
    const auto u = std::uint16_t(std::int16_t(v));
    const char b[2] = {char(u & 0xFF), char(u >> 8)};
    Patch(pos, b, 2);
}

void TStreamWriter::PatchInt32(qint64 pos, std::int32_t v)
{
    const auto u = std::uint32_t(v);
    const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
    Patch(pos, b, 4);
}

// --- reader

void TStreamRecord::Clear()
{
    code = {};
    nums.clear();
    points.clear();
    text.clear();
    graphicKind = 0;
    graphic.clear();
    data.clear();
}

TStreamReader::TStreamReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

void TStreamReader::Damaged(const char* what) const
{
    throw EReportPrinter(QStringLiteral("Damaged report file: %1 at byte %2.")
                             .arg(QLatin1String(what))
                             .arg(recordStart_));
}

void TStreamReader::Need(qint64 n, const char* what) const
{
    if (n < 0 || n > bytes_.size() - pos_)
        Damaged(what);
}

void TStreamReader::Seek(qint64 pos)
{
    if (pos < 0 || pos > bytes_.size()) {
        recordStart_ = pos_;
        Damaged("a page link points outside the stream");
    }
    pos_ = pos;
}

int TStreamReader::U8()
{
    Need(1, "the record is cut short");
    return std::uint8_t(bytes_[pos_++]);
}

int TStreamReader::I16()
{
    Need(2, "the record is cut short");
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes_.constData() + pos_);
    pos_ += 2;
    return std::int16_t(std::uint16_t(p[0] | (p[1] << 8)));
}

std::int32_t TStreamReader::I32()
{
    Need(4, "the record is cut short");
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes_.constData() + pos_);
    pos_ += 4;
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
                        | (std::uint32_t(p[3]) << 24));
}

double TStreamReader::F32()
{
    return double(std::bit_cast<float>(I32()));
}

void TStreamReader::ReadExpecting(rps::Code code, TStreamRecord& record)
{
    Need(1, "the stream ends where a record should start");
    if (std::uint8_t(bytes_[pos_]) != code)
        throw EReportPrinter(rpmsg::kUnexpectedCode);
    Read(record);
}

void TStreamReader::Read(TStreamRecord& record)
{
    record.Clear();
    recordStart_ = pos_;
    record.offset = pos_;
    Need(1, "the stream ends where a record should start");
    record.code = rps::Code(U8());
    const ParsedLayout& layout = Layouts()[record.code];
    if (!layout.name)
        throw EReportPrinter(rpmsg::kUnexpectedCode);
    for (const Operand& op : layout.operands) {
        switch (op.kind) {
        case 'b': record.nums.push_back(U8()); break;
        case 'h': record.nums.push_back(I16()); break;
        case 'i': record.nums.push_back(I32()); break;
        case 's': record.nums.push_back(F32()); break;
        case 't': {
            const int n = U8();
            Need(n, "a text runs past the end of the stream");
            record.text = DecodeStreamText(bytes_.mid(pos_, n));
            pos_ += n;
            break;
        }
        case 'p': {
            const double x = F32();
            record.points.emplace_back(x, F32());
            break;
        }
        case 'r':
            for (int k = 0; k < 2; ++k) {
                const double x = F32();
                record.points.emplace_back(x, F32());
            }
            break;
        case 'f':
            record.nums.push_back(U8());
            if (record.nums.back() != 1)
                break;
            [[fallthrough]];
        case 'g': {
            const int kind = U8();
            if (kind < 1 || kind > 4)
                Damaged("a picture has an unknown kind");
            const std::int32_t n = I32();
            Need(n, "a picture runs past the end of the stream");
            record.graphicKind = kind;
            record.graphic = bytes_.mid(pos_, n);
            pos_ += n;
            break;
        }
        case 'P': {
            const int n = I16();
            if (n < 0)
                Damaged("a polygon has a negative point count");
            Need(qint64(n + 1) * 8, "a polygon runs past the end of the stream");
            for (int k = 0; k <= n; ++k) {
                const double x = F32();
                record.points.emplace_back(x, F32());
            }
            break;
        }
        case 'D': {
            const std::int32_t n = I32();
            Need(n, "pass-through data runs past the end of the stream");
            record.data = bytes_.mid(pos_, n);
            pos_ += n;
            break;
        }
        }
    }
}

std::vector<std::pair<char, const char*>> TStreamReader::Operands(int code)
{
    std::vector<std::pair<char, const char*>> operands;
    if (code >= 0 && code < 256)
        for (const Operand& op : Layouts()[code].operands)
            operands.emplace_back(op.kind, op.name);
    return operands;
}

} // namespace sw
