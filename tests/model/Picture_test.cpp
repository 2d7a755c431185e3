// Pictures from other programs: bitmaps of every common depth and placeable metafiles.
#include "ItemTestHost.h"

#include "model/Picture.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
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

namespace {

// Assembles a placeable metafile 1000 by 500 units at 1000 per inch from records.
class WmfBuilder {
public:
    void Record(std::uint16_t function, std::vector<std::int16_t> params)
    {
        Put32(quint32(3 + params.size()));
        Put16(function);
        for (auto w : params)
            Put16(std::uint16_t(w));
    }
    QByteArray Bytes() const
    {
        QByteArray out;
        auto put16 = [&](std::uint16_t v) {
            out.append(char(v & 0xFF));
            out.append(char(v >> 8));
        };
        const std::uint16_t placeable[] = {0xCDD7, 0x9AC6, 0, 0, 0, 1000, 500, 1000, 0, 0};
        std::uint16_t sum = 0;
        for (auto w : placeable) {
            put16(w);
            sum ^= w;
        }
        put16(sum);
        const QByteArray recs = records_ + QByteArray("\x03\x00\x00\x00\x00\x00", 6);
        const quint32 words = quint32(9 + recs.size() / 2);
        for (std::uint16_t w : {std::uint16_t(1), std::uint16_t(9), std::uint16_t(0x300),
                                std::uint16_t(words & 0xFFFF), std::uint16_t(words >> 16),
                                std::uint16_t(8), std::uint16_t(100), std::uint16_t(0),
                                std::uint16_t(0)})
            put16(w);
        return out + recs;
    }

private:
    void Put16(std::uint16_t v)
    {
        records_.append(char(v & 0xFF));
        records_.append(char(v >> 8));
    }
    void Put32(quint32 v)
    {
        Put16(std::uint16_t(v & 0xFFFF));
        Put16(std::uint16_t(v >> 16));
    }
    QByteArray records_;
};

// A 2 by 2 24-bit bitmap of one colour, as the words of a device-independent bitmap.
std::vector<std::int16_t> SolidDib(QRgb c)
{
    QByteArray b(40, '\0');
    b[0] = 40;
    b[4] = 2;
    b[8] = 2;
    b[12] = 1;
    b[14] = 24;
    for (int row = 0; row < 2; ++row) {
        for (int px = 0; px < 2; ++px)
            b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        b.append(2, '\0');
    }
    std::vector<std::int16_t> words;
    for (qsizetype i = 0; i + 1 < b.size(); i += 2)
        words.push_back(std::int16_t(quint8(b[i]) | (quint8(b[i + 1]) << 8)));
    return words;
}

} // namespace

TEST(Picture, MetafileArcsTextAndBitmaps)
{
    WmfBuilder w;
    w.Record(0x02FC, {0, 0x00FF, 0, 0});         // solid red brush
    w.Record(0x012D, {0});
    w.Record(0x02FA, {5, 0, 0, 0, 0});           // no pen
    w.Record(0x012D, {1});
    // A pie in the left half's circle, counter-clockwise from the right radial to the top one.
    w.Record(0x081A, {0, 250, 250, 500, 500, 500, 0, 0});
    std::vector<std::int16_t> stretch = {0x0020, 0x00CC, 0, 2, 2, 0, 0, 250, 250, 0, 750};
    const auto dib = SolidDib(qRgb(0, 0, 255));
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    w.Record(0x0F43, stretch);                   // blue bitmap at the top right
    // "Hi" in a 200-unit font at (600, 300), top-aligned.
    std::vector<std::int16_t> font = {-200, 0, 0, 0, 700, 0, 0, 0};
    for (const char* c = "Arial\0\0\0"; c < "Arial\0\0\0" + 8; c += 2)
        font.push_back(std::int16_t(quint8(c[0]) | (quint8(c[1]) << 8)));
    font.resize(9 + 16, 0);
    w.Record(0x02FB, font);
    w.Record(0x012D, {2});
    w.Record(0x0521, {2, std::int16_t('H' | ('i' << 8)), 300, 600});

    const Picture p = Picture::FromBytes(w.Bytes());
    ASSERT_FALSE(p.isNull());
    EXPECT_EQ(p.naturalSize(100), QSize(100, 50));
    const QImage img = Render(p, {100, 50});
    EXPECT_EQ(img.pixel(40, 12), qRgb(255, 0, 0));   // inside the pie
    EXPECT_EQ(img.pixel(10, 20), qRgb(255, 255, 255)); // the quarters it leaves out
    EXPECT_EQ(img.pixel(40, 40), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(87, 12), qRgb(0, 0, 255));   // the bitmap
    int dark = 0;
    for (int y = 30; y < 50; ++y)
        for (int x = 60; x < 80; ++x)
            dark += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);                             // the text
}

// Pixels naming colours past a short colour table draw black: every index a pixel can hold
// has a table entry, so painting never reads past the table.
TEST(Picture, PixelsPastTheColourTableDrawBlack)
{
    const Picture p = Picture::Load(ModelData("index-beyond-palette.bmp"));
    ASSERT_FALSE(p.isNull());
    const QImage decoded = p.ToImage();
    EXPECT_EQ(decoded.colorCount(), 256);
    EXPECT_EQ(decoded.color(0xFF), qRgb(0, 0, 0));
    const QImage drawn = Render(p, {40, 10});
    EXPECT_EQ(drawn.pixel(20, 5), qRgb(0, 0, 0));
    // The same bitmap inside a metafile's bitmap record goes through the same decoding.
    const Picture logo = Picture::Load(ModelData("logo4.bmp"));
    EXPECT_GE(logo.ToImage().colorCount(), 16);
}

// A metafile with text stretched into boxes no device can hold: the absurd box draws nothing,
// a long flat one draws its shapes and skips glyphs the font engine cannot render.
TEST(Picture, StretchedMetafileDrawsOnlyWhatTheDeviceCanHold)
{
    const Picture p = Picture::Load(ModelData("embedded.wmf"));
    ASSERT_FALSE(p.isNull());
    QImage img(200, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter painter(&img);
        p.Draw(painter, QRectF(0, 0, 999999.0 * 96, 0.01 * 96));
        p.Draw(painter, QRectF(0, 0, 1 << 24, 1));  // the widest item a label holds
        p.Draw(painter, QRectF(0, 0, 1.0e9, 1.0e9));
        p.Draw(painter, QRectF(-3.0e7, 0, 100, 100));
    }
    EXPECT_EQ(img, [] {
        QImage white(200, 100, QImage::Format_RGB32);
        white.fill(Qt::white);
        return white;
    }());
    for (const QRectF& box : {QRectF(0, 0, 60000, 1), QRectF(0, 0, 1, 60000), QRectF(0, 0, 60000, 0.2)}) {
        QPainter painter(&img);
        p.Draw(painter, box);
    }
    // Drawn at its own size it still shows.
    const QImage own = Render(p, p.naturalSize(96).boundedTo(QSize(2000, 2000)));
    EXPECT_NE(own.pixel(own.width() / 2, own.height() / 2) & 0xFFFFFF, 0u);
}

TEST(Picture, PngJpegAndSvgLookLikeTheDrawing)
{
    QImage ref(ModelData("logo.png"));
    for (const char* name : {"logo.png", "logo.jpg", "logo.svg"}) {
        const Picture p = Picture::Load(ModelData(name));
        ASSERT_FALSE(p.isNull()) << name;
        EXPECT_EQ(p.kind(), QByteArray(name).endsWith("svg") ? Picture::Kind::Drawing : Picture::Kind::Bitmap);
        EXPECT_EQ(p.naturalSize(96), QSize(200, 100)) << name;
        const QImage drawn = Render(p, {200, 100});
        EXPECT_GT(Agreement(drawn, ref, 48), 0.85) << name;
        const QRgb disc = drawn.pixel(50, 50);
        EXPECT_TRUE(qRed(disc) > 150 && qGreen(disc) < 60 && qBlue(disc) < 60) << name;
    }
    // An SVG drawing is vectors: twice the resolution, twice the size, still sharp.
    const Picture svg = Picture::Load(ModelData("logo.svg"));
    EXPECT_EQ(svg.naturalSize(192), QSize(400, 200));
    EXPECT_EQ(svg.ToImage().size(), QSize(200, 100));
}

TEST(Picture, DamagedPngJpegAndSvgAreRefusedLikeADamagedBitmap)
{
    const QByteArray png = Bytes("logo.png");
    const QByteArray jpeg = Bytes("logo.jpg");
    const QByteArray svg = Bytes("logo.svg");
    ASSERT_FALSE(png.isEmpty() || jpeg.isEmpty() || svg.isEmpty());
    for (const QByteArray& bad : {png.left(40), jpeg.left(3) + QByteArray(50, '\0'), svg.left(120),
                                  QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"0\" height=\"0\"/>")}) {
        QString why;
        EXPECT_TRUE(Picture::FromBytes(bad, &why).isNull()) << bad.left(20).toStdString();
        EXPECT_FALSE(why.isEmpty());
    }
    QString why;
    EXPECT_TRUE(Picture::FromBytes(QByteArray("GIF89a..."), &why).isNull());
    EXPECT_TRUE(why.contains(QStringLiteral("PNG")));
}

TEST(Picture, ImageItemsTakePngJpegAndSvgFiles)
{
    Label l;
    for (const char* name : {"logo.png", "logo.jpg", "logo.svg"}) {
        TImageItem* item = l.items.CreateImageItem(10, 20, 0, 0, ModelData(name), false);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->BoundsRect(), QRect(20, 10, 200, 100)) << name;
        EXPECT_FALSE(item->Picture().isNull()) << name;
    }
    // A damaged PNG is treated as a damaged bitmap is: the item keeps its place and file name.
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.png"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Bytes("logo.png").left(60));
    f.close();
    TImageItem* damaged = l.items.CreateImageItem(0, 0, 50, 40, bad, true);
    ASSERT_NE(damaged, nullptr);
    EXPECT_TRUE(damaged->Picture().isNull());
    EXPECT_EQ(damaged->Hint(), bad);
}
