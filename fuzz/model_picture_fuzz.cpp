// Picture decoding (bitmaps and placeable metafiles) and drawing on any bytes.
#include "model/Picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const sw::Picture p = sw::Picture::FromBytes(bytes);
    if (p.isNull())
        return 0;
    (void)p.naturalSize(96);
    QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    p.Draw(painter, QRectF(0, 0, 64, 48));
    return 0;
}
