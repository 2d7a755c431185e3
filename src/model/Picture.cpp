#include "model/Picture.h"
#include "model/Metafile.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace sw {

namespace {
const char* const kPictureExtensions[] = {"bmp", "wmf", "png", "jpg", "jpeg", "svg"};
} // namespace

bool IsPictureFileName(const QString& name)
{
    for (const char* ext : kPictureExtensions)
        if (name.endsWith(QLatin1Char('.') + QLatin1String(ext), Qt::CaseInsensitive))
            return true;
    return false;
}

struct Picture::Data {
    QImage image;
    Metafile metafile;
    // Rendering changes the renderer's state; the picture stays const to its users.
    std::unique_ptr<QSvgRenderer> drawing;
};

namespace {

// BITMAPFILEHEADER (14 bytes): "BM", u32 file size, u32 reserved, u32 offset of the pixels.
// BITMAPINFOHEADER follows: u32 size (12, 40 or more), i32 width, i32 height (negative: top
// down), u16 planes, u16 bits per pixel (1, 4, 8, 16, 24, 32), u32 compression (0 none,
// 1 RLE8, 2 RLE4, 3 bitfields), ...
bool PlausibleBitmap(const QByteArray& b)
{
    if (b.size() < 26 || !b.startsWith("BM"))
        return false;
    auto u32 = [&](int at) {
        return quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8)
               | (quint32(quint8(b[at + 2])) << 16) | (quint32(quint8(b[at + 3])) << 24);
    };
    const quint32 infoSize = u32(14);
    if (infoSize < 12 || 14 + qint64(infoSize) > b.size())
        return false;
    qint64 w = 0, h = 0;
    int bits = 0;
    quint32 compression = 0;
    if (infoSize == 12) {
        w = quint16(quint8(b[18]) | (quint8(b[19]) << 8));
        h = quint16(quint8(b[20]) | (quint8(b[21]) << 8));
        bits = quint8(b[24]) | (quint8(b[25]) << 8);
    } else {
        if (b.size() < 34)
            return false;
        w = qint32(u32(18));
        h = qint32(u32(22));
        bits = quint8(b[28]) | (quint8(b[29]) << 8);
        compression = u32(30);
    }
    h = std::llabs(h);
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || bits <= 0 || bits > 32)
        return false;
    // Refuse headers promising more pixels than the file could hold, before anything is
    // allocated for them: rows of packed bits, or at most 255 pixels per two bytes of a run.
    const qint64 offset = u32(10);
    const qint64 available = b.size() - std::min<qint64>(offset, b.size());
    if (compression == 1 || compression == 2)
        return w * h <= 128 * qint64(b.size());
    const qint64 stride = ((w * bits + 31) / 32) * 4;
    return stride * h <= available;
}

// A bitmap's pixels may name colours past its colour table (the decoder keeps the table as
// stored); painting such an image reads past the table. Every index a pixel can hold gets an
// entry, black where the file names none.
void CompleteColorTable(QImage& img)
{
    if (img.depth() > 8 || img.format() == QImage::Format_Alpha8
        || img.format() == QImage::Format_Grayscale8)
        return;
    const int entries = 1 << img.depth();
    if (img.colorCount() >= entries)
        return;
    QList<QRgb> table = img.colorTable();
    while (table.size() < entries)
        table.append(qRgb(0, 0, 0));
    img.setColorTable(table);
}

bool LooksLikePng(const QByteArray& b)
{
    return b.startsWith("\x89PNG\r\n\x1A\n");
}

bool LooksLikeJpeg(const QByteArray& b)
{
    return b.startsWith("\xFF\xD8\xFF");
}

// An SVG file opens with an XML declaration, a comment, a doctype or the svg element itself,
// and names the svg element near its start.
bool LooksLikeSvg(const QByteArray& b)
{
    const QByteArray head = b.left(4096).trimmed();
    const QByteArray start = head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
    return (start.startsWith("<?xml") || start.startsWith("<!--") || start.startsWith("<!DOCTYPE")
            || start.startsWith("<svg"))
           && head.contains("<svg");
}

// Bitmaps and drawings larger than this many pixels a side are refused as damaged.
constexpr int kMaxSide = 32767;

} // namespace

Picture Picture::FromBytes(const QByteArray& bytes, QString* error)
{
    Picture p;
    const bool bmp = bytes.startsWith("BM");
    const char* format = bmp ? "BMP" : LooksLikePng(bytes) ? "PNG" : LooksLikeJpeg(bytes) ? "JPEG" : nullptr;
    if (format) {
        QImage img;
        if ((!bmp || PlausibleBitmap(bytes)) && img.loadFromData(bytes, format) && !img.isNull()
            && img.width() <= kMaxSide && img.height() <= kMaxSide) {
            CompleteColorTable(img);
            p.kind_ = Kind::Bitmap;
            p.bytes_ = bytes;
            auto data = std::make_shared<Data>();
            data->image = std::move(img);
            p.data_ = std::move(data);
            return p;
        }
        if (error)
            *error = bmp ? QStringLiteral("the bitmap is damaged")
                         : QStringLiteral("the %1 picture is damaged").arg(QLatin1String(format));
        return p;
    }
    if (LooksLikeSvg(bytes)) {
        auto data = std::make_shared<Data>();
        data->drawing = std::make_unique<QSvgRenderer>(bytes);
        const QSize size = data->drawing->defaultSize();
        if (data->drawing->isValid() && !size.isEmpty() && size.width() <= kMaxSide && size.height() <= kMaxSide) {
            p.kind_ = Kind::Drawing;
            p.bytes_ = bytes;
            p.data_ = std::move(data);
            return p;
        }
        if (error)
            *error = QStringLiteral("the SVG drawing is damaged");
        return p;
    }
    if (bytes.startsWith("\xD7\xCD\xC6\x9A")) {
        auto data = std::make_shared<Data>();
        QString why;
        if (data->metafile.Parse(bytes, &why)) {
            p.kind_ = Kind::Metafile;
            p.bytes_ = bytes;
            p.data_ = std::move(data);
            return p;
        }
        if (error)
            *error = why;
        return p;
    }
    if (error)
        *error = QStringLiteral("not a bitmap, a placeable metafile, a PNG, JPEG or SVG picture");
    return p;
}

Picture Picture::Load(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return {};
    }
    QString why;
    Picture p = FromBytes(f.readAll(), &why);
    if (p.isNull() && error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return p;
}

QSize Picture::naturalSize(double pixelsPerInch) const
{
    if (!data_)
        return QSize();
    if (kind_ == Kind::Bitmap)
        return data_->image.size();
    if (kind_ == Kind::Drawing) {
        const QSize s = data_->drawing->defaultSize();
        return QSize(int(std::lround(s.width() * pixelsPerInch / 96.0)),
                     int(std::lround(s.height() * pixelsPerInch / 96.0)));
    }
    const QRect b = data_->metafile.Bounds();
    const double perInch = data_->metafile.UnitsPerInch();
    return QSize(int(std::lround(b.width() * pixelsPerInch / perInch)),
                 int(std::lround(b.height() * pixelsPerInch / perInch)));
}

QImage Picture::ToImage() const
{
    if (!data_)
        return QImage();
    if (kind_ == Kind::Bitmap)
        return data_->image;
    const QSize size = naturalSize(96);
    if (size.isEmpty() || size.width() > 8192 || size.height() > 8192)
        return QImage();
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Draw(p, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

void Picture::Draw(QPainter& painter, const QRectF& target) const
{
    if (!data_)
        return;
    if (kind_ == Kind::Bitmap) {
        if (!target.isEmpty() && Metafile::DrawableExtent(painter.deviceTransform(), target))
            painter.drawImage(target, data_->image);
    }
    else if (kind_ == Kind::Metafile)
        data_->metafile.Play(painter, target);
    else if (kind_ == Kind::Drawing) {
        if (!target.isEmpty() && Metafile::DrawableExtent(painter.deviceTransform(), target))
            data_->drawing->render(&painter, target);
    }
}

} // namespace sw
