#include "model/Metafile.h"
#include "model/Picture.h"

#include <QFontMetricsF>

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <cstring>

namespace sw {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kHeaderSize = 18;

// What the player asks of a device, in device pixels. Font engines fail (and some crash) when a
// glyph's em is tens of thousands of pixels along either axis, which a picture stretched into a
// long flat box easily asks for; rasterisers lose precision far outside the page. Nothing a
// label or a sheet needs comes near these sizes, so what passes them is skipped.
constexpr double kMaxPictureExtent = 65536;  // the whole picture, either axis
constexpr double kMaxCoordinate = 4194304;   // any corner or point drawn
constexpr double kMaxGlyphEm = 4096;         // a glyph's em, either axis
constexpr double kMinGlyphEm = 0.25;         // thinner text is invisible and may not rasterise
constexpr double kMaxPenWidth = 4096;        // a pen's width

// Record functions used below.
enum : std::uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETPOLYFILLMODE = 0x0106,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_DELETEOBJECT = 0x01F0,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_SETBKMODE = 0x0102,
    META_SETTEXTALIGN = 0x012E,
    META_SETTEXTCOLOR = 0x0209,
    META_TEXTOUT = 0x0521,
    META_EXTTEXTOUT = 0x0A32,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_DIBBITBLT = 0x0940,
    META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
    // Creations that are not drawn but take an object slot.
    META_CREATEPALETTE = 0x00F7,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEREGION = 0x06FF,
};

std::uint16_t U16(const char* p)
{
    return std::uint16_t(std::uint8_t(p[0]) | (std::uint8_t(p[1]) << 8));
}

std::uint32_t U32(const char* p)
{
    return std::uint32_t(U16(p)) | (std::uint32_t(U16(p + 2)) << 16);
}

bool FiniteTransform(const QTransform& t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21())
           && std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy())
           && t.determinant() != 0;
}

// Device length of one unit along (x, y).
double AxisLength(const QTransform& t, double x, double y)
{
    return std::hypot(t.m11() * x + t.m21() * y, t.m12() * x + t.m22() * y);
}

QColor ColorRef(std::int16_t lo, std::int16_t hi)
{
    const std::uint32_t c = std::uint16_t(lo) | (std::uint32_t(std::uint16_t(hi)) << 16);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

struct Object {
    enum Kind { Free, Pen, Brush, Font, Other } kind = Free;
    QPen pen;
    QBrush brush;
    QFont font;
    double escapement = 0;  // degrees, counter-clockwise
};

struct DcState {
    QPen pen{QColor(Qt::black), 0};
    QBrush brush{Qt::white};
    Qt::FillRule fill = Qt::OddEvenFill;
    QPointF org, ext{1, 1};
    QPointF pos;
    QFont font;
    double escapement = 0;
    QColor textColor{Qt::black};
    int textAlign = 0;
};

// Bytes of parameter words from a word index on (strings and bitmaps are stored as bytes).
QByteArray WordBytes(const std::vector<std::int16_t>& p, size_t from)
{
    QByteArray b;
    if (from >= p.size())
        return b;
    b.reserve(qsizetype(p.size() - from) * 2);
    for (size_t i = from; i < p.size(); ++i) {
        b.append(char(std::uint16_t(p[i]) & 0xFF));
        b.append(char(std::uint16_t(p[i]) >> 8));
    }
    return b;
}

// LOGFONT: height, width, escapement, orientation, weight (words), italic, underline,
// strike-out, charset, 4 precision/quality/pitch bytes, then the face name (32 bytes).
Object MakeFont(const std::vector<std::int16_t>& p)
{
    Object o;
    o.kind = Object::Font;
    const QByteArray bytes = WordBytes(p, 0);
    QByteArray face = bytes.mid(18, 32);
    const qsizetype nul = face.indexOf('\0');
    if (nul >= 0)
        face.truncate(nul);
    o.font = QFont(QString::fromLatin1(face));
    // Negative heights are character heights, positive ones cell heights; both are taken as
    // the em size, which differs by the internal leading only.
    o.font.setPixelSize(std::clamp(std::abs(int(p[0])), 1, 32767));
    o.font.setWeight(p[4] >= 600 ? QFont::Bold : QFont::Normal);
    o.font.setItalic(bytes.size() > 10 && bytes[10] != 0);
    o.font.setUnderline(bytes.size() > 11 && bytes[11] != 0);
    o.font.setStrikeOut(bytes.size() > 12 && bytes[12] != 0);
    o.escapement = p[2] / 10.0;
    return o;
}

// A device-independent bitmap (info header, colours, bits) as a bitmap file, decoded.
QImage DecodeDib(const QByteArray& dib)
{
    if (dib.size() < 16)
        return QImage();
    auto u16 = [&](int at) { return quint32(quint8(dib[at]) | (quint8(dib[at + 1]) << 8)); };
    auto u32 = [&](int at) { return u16(at) | (u16(at + 2) << 16); };
    const quint32 info = u32(0);
    if (info < 12 || info > quint32(dib.size()))
        return QImage();
    quint32 bits = 0, used = 0, compression = 0;
    if (info == 12) {
        bits = u16(10);
    } else {
        if (dib.size() < 40)
            return QImage();
        bits = u16(14);
        compression = u32(16);
        used = u32(32);
    }
    qint64 colours = bits <= 8 ? (used ? used : (1u << std::min<quint32>(bits, 8))) : used;
    colours = std::min<qint64>(colours, 256);
    qint64 offset = 14 + qint64(info) + colours * (info == 12 ? 3 : 4);
    if (info == 40 && compression == 3)
        offset += 12;
    QByteArray file("BM");
    auto put32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            file.append(char((v >> (8 * i)) & 0xFF));
    };
    put32(quint32(14 + dib.size()));
    put32(0);
    put32(quint32(offset));
    file.append(dib);
    const Picture p = Picture::FromBytes(file);
    return p.isNull() ? QImage() : p.ToImage();
}

QPen MakePen(const std::vector<std::int16_t>& p)
{
    const int style = std::uint16_t(p[0]) & 0x0F;
    QPen pen(ColorRef(p[3], p[4]));
    pen.setWidthF(std::max<int>(0, p[1]));
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    switch (style) {
    case 1: pen.setStyle(Qt::DashLine); break;
    case 2: pen.setStyle(Qt::DotLine); break;
    case 3: pen.setStyle(Qt::DashDotLine); break;
    case 4: pen.setStyle(Qt::DashDotDotLine); break;
    case 5: pen.setStyle(Qt::NoPen); break;
    default: break;
    }
    return pen;
}

QBrush MakeBrush(const std::vector<std::int16_t>& p)
{
    const int style = std::uint16_t(p[0]);
    const QColor c = ColorRef(p[1], p[2]);
    if (style == 1)
        return Qt::NoBrush;
    if (style == 2) {
        static const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,
                                               Qt::FDiagPattern, Qt::BDiagPattern,
                                               Qt::CrossPattern, Qt::DiagCrossPattern};
        const int h = std::uint16_t(p[3]);
        return QBrush(c, h < 6 ? hatch[h] : Qt::SolidPattern);
    }
    return QBrush(c);
}

// Minimum parameter words of the records that are drawn.
size_t MinParams(std::uint16_t f)
{
    switch (f) {
    case META_SETPOLYFILLMODE:
    case META_RESTOREDC:
    case META_SELECTOBJECT:
    case META_DELETEOBJECT:
    case META_POLYGON:
    case META_POLYLINE:
    case META_POLYPOLYGON: return 1;
    case META_SETWINDOWORG:
    case META_SETWINDOWEXT:
    case META_LINETO:
    case META_MOVETO: return 2;
    case META_CREATEBRUSHINDIRECT:
    case META_ELLIPSE:
    case META_RECTANGLE: return 4;
    case META_CREATEPENINDIRECT: return 5;
    case META_ROUNDRECT: return 6;
    case META_SETBKMODE:
    case META_SETTEXTALIGN: return 1;
    case META_SETTEXTCOLOR: return 2;
    case META_TEXTOUT: return 3;
    case META_EXTTEXTOUT: return 4;
    case META_CREATEFONTINDIRECT: return 9;
    case META_ARC:
    case META_PIE:
    case META_CHORD: return 8;
    case META_DIBBITBLT: return 8;
    case META_DIBSTRETCHBLT: return 10;
    case META_STRETCHDIB: return 11;
    default: return 0;
    }
}

} // namespace

bool Metafile::DrawableExtent(const QTransform& device, const QRectF& target)
{
    if (!FiniteTransform(device) || !std::isfinite(target.width()) || !std::isfinite(target.height()))
        return false;
    const QRectF r = device.mapRect(target);
    return r.width() <= kMaxPictureExtent && r.height() <= kMaxPictureExtent
           && std::abs(r.left()) <= kMaxCoordinate && std::abs(r.top()) <= kMaxCoordinate
           && std::abs(r.right()) <= kMaxCoordinate && std::abs(r.bottom()) <= kMaxCoordinate;
}

bool Metafile::Parse(const QByteArray& bytes, QString* error)
{
    auto fail = [error](const char* why) {
        if (error)
            *error = QString::fromLatin1(why);
        return false;
    };
    records_.clear();
    if (bytes.size() < kPlaceableSize + kHeaderSize || U32(bytes.constData()) != kPlaceableKey)
        return fail("not a placeable metafile");
    const char* d = bytes.constData();
    const auto l = std::int16_t(U16(d + 6)), t = std::int16_t(U16(d + 8));
    const auto r = std::int16_t(U16(d + 10)), b = std::int16_t(U16(d + 12));
    bounds_ = QRect(QPoint(l, t), QPoint(r, b)).normalized();
    inch_ = U16(d + 14);
    if (inch_ == 0)
        inch_ = 1440;
    if (r == l || b == t)
        return fail("the metafile's bounding box is empty");
    const char* h = d + kPlaceableSize;
    const std::uint16_t headerWords = U16(h + 2);
    if ((U16(h) != 1 && U16(h) != 2) || headerWords < 9)
        return fail("the metafile header is damaged");
    objects_ = U16(h + 10);
    qsizetype pos = kPlaceableSize + qsizetype(headerWords) * 2;
    const qsizetype end = bytes.size();
    while (pos + 6 <= end) {
        const std::uint32_t words = U32(d + pos);
        const std::uint16_t function = U16(d + pos + 4);
        if (function == META_EOF)
            return true;
        if (words < 3 || qsizetype(words) > (end - pos) / 2)
            return fail("a metafile record runs past the end of the file");
        Record rec;
        rec.function = function;
        const size_t count = words - 3;
        if (MinParams(function) > count)
            return fail("a metafile record is too short");
        rec.params.resize(count);
        for (size_t i = 0; i < count; ++i)
            rec.params[i] = std::int16_t(U16(d + pos + 6 + qsizetype(i) * 2));
        if (function == META_DIBBITBLT || function == META_DIBSTRETCHBLT
            || function == META_STRETCHDIB) {
            const size_t head = function == META_DIBBITBLT ? 8 : function == META_STRETCHDIB ? 11 : 10;
            rec.image = DecodeDib(WordBytes(rec.params, head));
        }
        records_.push_back(std::move(rec));
        pos += qsizetype(words) * 2;
    }
    // A file cut short without its end record still plays what it has.
    return !records_.empty() || fail("the metafile has no records");
}

void Metafile::Play(QPainter& painter, const QRectF& target) const
{
    if (target.isEmpty() || !DrawableExtent(painter.deviceTransform(), target))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform base = painter.transform();
    const QTransform baseDevice = painter.deviceTransform();
    std::vector<Object> table(static_cast<size_t>(objects_));
    std::vector<DcState> saved;
    DcState dc;
    dc.org = bounds_.topLeft();
    dc.ext = QPointF(bounds_.width(), bounds_.height());
    QTransform device;  // metafile units to device pixels, as last applied
    auto apply = [&] {
        if (dc.ext.x() == 0 || dc.ext.y() == 0)
            return false;
        QTransform t;
        t.translate(target.left(), target.top());
        t.scale(target.width() / dc.ext.x(), target.height() / dc.ext.y());
        t.translate(-dc.org.x(), -dc.org.y());
        device = t * baseDevice;
        if (!FiniteTransform(device))
            return false;
        painter.setTransform(t * base);
        QPen pen = dc.pen;
        const double scale = AxisLength(device, 1, 0) + AxisLength(device, 0, 1);
        if (pen.widthF() * scale > 2 * kMaxPenWidth)
            pen.setWidthF(2 * kMaxPenWidth / scale);
        painter.setPen(pen);
        painter.setBrush(dc.brush);
        return true;
    };
    // Whether a shape with these metafile-unit bounds stays within the device's reach.
    auto reachable = [&](const QRectF& bounds) {
        const QRectF r = device.mapRect(bounds);
        return std::abs(r.left()) <= kMaxCoordinate && std::abs(r.right()) <= kMaxCoordinate
               && std::abs(r.top()) <= kMaxCoordinate && std::abs(r.bottom()) <= kMaxCoordinate;
    };
    auto points = [](const std::vector<std::int16_t>& p, size_t from, size_t n) {
        QPolygonF poly;
        poly.reserve(qsizetype(n));
        for (size_t i = 0; i < n; ++i)
            poly.append(QPointF(p[from + 2 * i], p[from + 2 * i + 1]));
        return poly;
    };
    auto create = [&](const Object& o) {
        for (auto& slot : table)
            if (slot.kind == Object::Free) {
                slot = o;
                return;
            }
    };
    for (const Record& rec : records_) {
        const auto& p = rec.params;
        switch (rec.function) {
        case META_SETWINDOWORG: dc.org = QPointF(p[1], p[0]); break;
        case META_SETWINDOWEXT: dc.ext = QPointF(p[1], p[0]); break;
        case META_SETPOLYFILLMODE: dc.fill = p[0] == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case META_SAVEDC: saved.push_back(dc); break;
        case META_RESTOREDC: {
            // A negative count goes back that many saves; a positive one names a save.
            const qsizetype n = p[0] < 0 ? -p[0] : qsizetype(saved.size()) - p[0] + 1;
            if (n >= 1 && n <= qsizetype(saved.size())) {
                dc = saved[saved.size() - size_t(n)];
                saved.resize(saved.size() - size_t(n));
            }
            break;
        }
        case META_CREATEPENINDIRECT: {
            Object o;
            o.kind = Object::Pen;
            o.pen = MakePen(p);
            create(o);
            break;
        }
        case META_CREATEBRUSHINDIRECT: {
            Object o;
            o.kind = Object::Brush;
            o.brush = MakeBrush(p);
            create(o);
            break;
        }
        case META_CREATEFONTINDIRECT: create(MakeFont(p)); break;
        case META_CREATEPALETTE:
        case META_CREATEPATTERNBRUSH:
        case META_DIBCREATEPATTERNBRUSH:
        case META_CREATEREGION: {
            Object o;
            o.kind = Object::Other;
            create(o);
            break;
        }
        case META_SELECTOBJECT: {
            const auto i = size_t(std::uint16_t(p[0]));
            if (i < table.size()) {
                if (table[i].kind == Object::Pen)
                    dc.pen = table[i].pen;
                else if (table[i].kind == Object::Brush)
                    dc.brush = table[i].brush;
                else if (table[i].kind == Object::Font) {
                    dc.font = table[i].font;
                    dc.escapement = table[i].escapement;
                }
            }
            break;
        }
        case META_DELETEOBJECT: {
            const auto i = size_t(std::uint16_t(p[0]));
            if (i < table.size())
                table[i] = Object();
            break;
        }
        case META_MOVETO: dc.pos = QPointF(p[1], p[0]); break;
        case META_LINETO: {
            const QPointF to(p[1], p[0]);
            if (apply() && reachable(QRectF(dc.pos, to).normalized()))
                painter.drawLine(dc.pos, to);
            dc.pos = to;
            break;
        }
        case META_POLYGON:
        case META_POLYLINE: {
            const size_t n = std::uint16_t(p[0]);
            if (1 + 2 * n > p.size() || !apply())
                break;
            const QPolygonF poly = points(p, 1, n);
            if (!reachable(poly.boundingRect()))
                break;
            if (rec.function == META_POLYGON)
                painter.drawPolygon(poly, dc.fill);
            else
                painter.drawPolyline(poly);
            break;
        }
        case META_POLYPOLYGON: {
            const size_t polys = std::uint16_t(p[0]);
            if (1 + polys > p.size() || !apply())
                break;
            size_t at = 1 + polys, total = 0;
            for (size_t i = 0; i < polys; ++i)
                total += std::uint16_t(p[1 + i]);
            if (at + 2 * total > p.size())
                break;
            QPainterPath path;
            path.setFillRule(dc.fill);
            for (size_t i = 0; i < polys; ++i) {
                const size_t n = std::uint16_t(p[1 + i]);
                QPolygonF poly = points(p, at, n);
                if (!poly.isEmpty())
                    poly.append(poly.first());
                path.addPolygon(poly);
                at += 2 * n;
            }
            if (reachable(path.boundingRect()))
                painter.drawPath(path);
            break;
        }
        case META_RECTANGLE:
        case META_ELLIPSE:
        case META_ROUNDRECT: {
            const size_t k = rec.function == META_ROUNDRECT ? 2 : 0;
            const QRectF box(QPointF(p[k + 3], p[k + 2]), QPointF(p[k + 1], p[k + 0]));
            if (!apply() || !reachable(box.normalized()))
                break;
            if (rec.function == META_RECTANGLE)
                painter.drawRect(box.normalized());
            else if (rec.function == META_ELLIPSE)
                painter.drawEllipse(box.normalized());
            else
                painter.drawRoundedRect(box.normalized(), std::abs(p[1]) / 2.0,
                                        std::abs(p[0]) / 2.0);
            break;
        }
        case META_ARC:
        case META_PIE:
        case META_CHORD: {
            const QRectF box = QRectF(QPointF(p[7], p[6]), QPointF(p[5], p[4])).normalized();
            if (box.isEmpty() || !apply() || !reachable(box))
                break;
            // Angles of the start and end radials, counter-clockwise in the box's own frame.
            const QPointF c = box.center();
            auto angleOf = [&](double x, double y) {
                return std::atan2(-(y - c.y()) / box.height(), (x - c.x()) / box.width()) * 180.0
                       / 3.14159265358979323846;
            };
            const double start = angleOf(p[3], p[2]);
            double span = angleOf(p[1], p[0]) - start;
            if (span <= 0)
                span += 360;
            if (rec.function == META_ARC)
                painter.drawArc(box, int(start * 16), int(span * 16));
            else if (rec.function == META_PIE)
                painter.drawPie(box, int(start * 16), int(span * 16));
            else
                painter.drawChord(box, int(start * 16), int(span * 16));
            break;
        }
        case META_SETTEXTCOLOR: dc.textColor = ColorRef(p[0], p[1]); break;
        case META_SETTEXTALIGN: dc.textAlign = std::uint16_t(p[0]); break;
        case META_TEXTOUT:
        case META_EXTTEXTOUT: {
            QPointF at;
            QByteArray text;
            if (rec.function == META_TEXTOUT) {
                const size_t n = std::uint16_t(p[0]);
                const size_t words = (n + 1) / 2;
                if (1 + words + 2 > p.size())
                    break;
                text = WordBytes(p, 1).left(qsizetype(n));
                at = QPointF(p[1 + words + 1], p[1 + words]);
            } else {
                const size_t n = std::uint16_t(p[2]);
                const size_t opts = std::uint16_t(p[3]);
                const size_t from = 4 + ((opts & 0x0006) ? 4 : 0);
                if (from + (n + 1) / 2 > p.size())
                    break;
                text = WordBytes(p, from).left(qsizetype(n));
                at = QPointF(p[1], p[0]);
            }
            if (text.isEmpty() || !apply())
                break;
            // The glyphs' em along both axes of the device, rotation included: a stretched
            // picture scales text unevenly, and the font engine cannot render extreme glyphs.
            QTransform glyph;
            glyph.rotate(-dc.escapement);
            glyph = glyph * device;
            const double em = dc.font.pixelSize();
            const double emX = em * AxisLength(glyph, 1, 0), emY = em * AxisLength(glyph, 0, 1);
            if (!(emX <= kMaxGlyphEm && emY <= kMaxGlyphEm && emX >= kMinGlyphEm
                  && emY >= kMinGlyphEm)
                || !reachable(QRectF(at, QSizeF(1, 1))))
                break;
            const QString s = QString::fromLatin1(text);
            const QFontMetricsF fm(dc.font);
            double dx = 0, dy = 0;
            const int h = dc.textAlign & 0x0006, v = dc.textAlign & 0x0018;
            if (h == 6)
                dx = -fm.horizontalAdvance(s) / 2;
            else if (h == 2)
                dx = -fm.horizontalAdvance(s);
            if (v == 0)
                dy = fm.ascent();
            else if (v == 8)
                dy = -fm.descent();
            painter.setFont(dc.font);
            painter.setPen(dc.textColor);
            painter.translate(at);
            if (dc.escapement != 0)
                painter.rotate(-dc.escapement);
            painter.drawText(QPointF(dx, dy), s);
            break;
        }
        case META_DIBBITBLT:
        case META_DIBSTRETCHBLT:
        case META_STRETCHDIB: {
            if (rec.image.isNull() || !apply())
                break;
            // Destination: x, y, then width and height (stretched) or the source's size.
            QRectF dest, source;
            if (rec.function == META_DIBBITBLT) {
                dest = QRectF(p[7], p[6], p[5], p[4]);
                source = QRectF(p[3], p[2], p[5], p[4]);
            } else {
                const size_t k = rec.function == META_STRETCHDIB ? 3 : 2;
                dest = QRectF(p[k + 7], p[k + 6], p[k + 5], p[k + 4]);
                source = QRectF(p[k + 3], p[k + 2], p[k + 1], p[k + 0]);
            }
            source = source.normalized() & QRectF(rec.image.rect());
            if (!dest.isEmpty() && !source.isEmpty() && reachable(dest.normalized()))
                painter.drawImage(dest, rec.image, source);
            break;
        }
        default: break;
        }
    }
    painter.restore();
}

} // namespace sw
