#include "model/Picture.h"

#include <QFile>
#include <QImage>
#include <QPainter>

namespace sw {

struct Picture::Data {
    QImage image;
};

Picture Picture::FromBytes(const QByteArray& bytes, QString* error)
{
    Picture p;
    QImage img;
    if (bytes.startsWith("BM") && img.loadFromData(bytes, "BMP")) {
        p.kind_ = Kind::Bitmap;
        p.bytes_ = bytes;
        p.data_ = std::make_shared<Data>(Data{img});
        return p;
    }
    if (error)
        *error = QStringLiteral("not a picture that can be read");
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

QSize Picture::naturalSize(double) const
{
    return data_ ? data_->image.size() : QSize();
}

void Picture::Draw(QPainter& painter, const QRectF& target) const
{
    if (data_ && !data_->image.isNull())
        painter.drawImage(target, data_->image);
}

} // namespace sw
