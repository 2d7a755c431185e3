// Pictures from other programs: bitmaps of every common depth and placeable metafiles.
#include "ItemTestHost.h"

#include "model/Picture.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace sw;

namespace {

QImage Render(const Picture& p, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    p.Draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

// Share of pixels whose colour is within tolerance of the reference (transparent reference
// pixels count as white).
double Agreement(const QImage& a, const QImage& ref, int tolerance)
{
    int same = 0;
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb r = qAlpha(ref.pixel(x, y)) < 128 ? qRgb(255, 255, 255) : ref.pixel(x, y);
            const QRgb p = a.pixel(x, y);
            same += std::abs(qRed(r) - qRed(p)) <= tolerance
                    && std::abs(qGreen(r) - qGreen(p)) <= tolerance
                    && std::abs(qBlue(r) - qBlue(p)) <= tolerance;
        }
    return double(same) / (ref.width() * ref.height());
}

QByteArray Bytes(const char* name)
{
    QFile f(ModelData(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Picture, BitmapsOfEveryDepthLookLikeTheDrawing)
{
    QImage ref(ModelData("logo.png"));
    ASSERT_FALSE(ref.isNull());
    for (const char* name : {"logo24.bmp", "logo4.bmp", "logo8rle.bmp"}) {
        const Picture p = Picture::Load(ModelData(name));
        ASSERT_FALSE(p.isNull()) << name;
        EXPECT_EQ(p.kind(), Picture::Kind::Bitmap);
        EXPECT_EQ(p.naturalSize(96), QSize(200, 100));
        EXPECT_GT(Agreement(Render(p, {200, 100}), ref, 40), 0.9) << name;
    }
    // One bit per pixel keeps the shapes' outlines only: it still has the picture's size.
    const Picture mono = Picture::Load(ModelData("logo1.bmp"));
    ASSERT_FALSE(mono.isNull());
    EXPECT_EQ(mono.naturalSize(120), QSize(200, 100));
}

TEST(Picture, MetafilesPlayLikeTheDrawing)
{
    QImage ref(ModelData("logo.png"));
    const Picture logo = Picture::Load(ModelData("logo.wmf"));
    ASSERT_FALSE(logo.isNull());
    EXPECT_EQ(logo.kind(), Picture::Kind::Metafile);
    EXPECT_EQ(logo.naturalSize(96), QSize(200, 100));
    EXPECT_EQ(logo.naturalSize(192), QSize(400, 200));
    const QImage drawn = Render(logo, {200, 100});
    EXPECT_GT(Agreement(drawn, ref, 40), 0.93);
    // The red disc, the green triangle and the gold ground are where the drawing has them.
    EXPECT_EQ(drawn.pixel(50, 50), qRgb(0xc0, 0, 0));
    EXPECT_EQ(drawn.pixel(140, 60), qRgb(0, 0x80, 0));
    EXPECT_EQ(drawn.pixel(100, 20), qRgb(0xff, 0xd7, 0));

    const Picture stamp = Picture::Load(ModelData("stamp.wmf"));
    ASSERT_FALSE(stamp.isNull());
    const QImage s = Render(stamp, stamp.naturalSize(96));
    // A blue ring with a tick inside; the centre of the ring is left white.
    EXPECT_EQ(s.pixel(s.width() / 2, 5), qRgb(0, 0, 255));
    EXPECT_EQ(s.pixel(s.width() / 4, s.height() / 4), qRgb(255, 255, 255));
}

TEST(Picture, DamagedPicturesAreNullWithAReason)
{
    QString why;
    EXPECT_TRUE(Picture::FromBytes(QByteArray(), &why).isNull());
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(Picture::Load("/no/such.bmp", &why).isNull());
    EXPECT_TRUE(why.contains("/no/such.bmp"));

    const QByteArray bmp = Bytes("logo24.bmp");
    const QByteArray wmf = Bytes("logo.wmf");
    // Cut anywhere, a picture never crashes; a metafile cut inside a record is refused.
    for (qsizetype n : {2, 20, 53, 60, 1000}) {
        Picture::FromBytes(bmp.left(n));
    }
    for (qsizetype n : {4, 22, 39, 41, 100, 500}) {
        const Picture p = Picture::FromBytes(wmf.left(n));
        if (!p.isNull())
            Render(p, {50, 25});
    }
    QByteArray huge = bmp;
    huge[18] = char(0xff);
    huge[19] = char(0xff);
    huge[20] = char(0xff);
    huge[21] = char(0x7f);
    EXPECT_TRUE(Picture::FromBytes(huge).isNull());
    QByteArray badRecord = wmf;
    // A record claiming more words than the file holds.
    badRecord[40] = char(0xff);
    badRecord[41] = char(0xff);
    EXPECT_TRUE(Picture::FromBytes(badRecord, &why).isNull());
}
