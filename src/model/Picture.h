#pragma once
// A picture for an image item or a report: a Windows bitmap (BMP), a placeable Windows
// metafile (WMF), a PNG or JPEG bitmap or an SVG drawing, kept as the file's bytes and drawn
// into any rectangle of any QPainter. The kind is told by the bytes, not the file name.
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <memory>

class QPainter;

namespace sw {

// True for names whose extension, upper-cased, is ".BMP", ".WMF", ".PNG", ".JPG", ".JPEG"
// or ".SVG".
bool IsPictureFileName(const QString& name);

class Picture {
public:
    // Bitmap: BMP, PNG or JPEG pixels. Metafile: WMF records. Drawing: SVG vectors.
    enum class Kind { None, Bitmap, Metafile, Drawing };

    Picture() = default;

    // Decodes the bytes; a damaged or unknown picture gives a null Picture and, if asked, why.
    static Picture FromBytes(const QByteArray& bytes, QString* error = nullptr);
    // Reads and decodes a file; the error names the file.
    static Picture Load(const QString& path, QString* error = nullptr);

    bool isNull() const { return kind_ == Kind::None; }
    Kind kind() const { return kind_; }
    const QByteArray& bytes() const { return bytes_; }

    // Natural size in screen pixels at the given pixels per inch (a bitmap's own pixel size;
    // a metafile's bounding box converted from its units per inch; a drawing's size taken as
    // 96 units per inch, as SVG's pixels are).
    QSize naturalSize(double pixelsPerInch) const;

    // The picture as an image of its natural size at 96 pixels per inch (null when empty).
    QImage ToImage() const;

    // Draws the whole picture scaled into target (device coordinates of the painter).
    void Draw(QPainter& painter, const QRectF& target) const;

private:
    struct Data;
    Kind kind_ = Kind::None;
    QByteArray bytes_;
    std::shared_ptr<const Data> data_;
};

} // namespace sw
