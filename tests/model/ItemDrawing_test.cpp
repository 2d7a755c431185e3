// How each kind draws itself: the rotated text layout, shape insets and corners, lines, symbols
// and images, checked on QImages.
#include "ItemTestHost.h"

#include "model/Picture.h"
#include "model/Symbols.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace sw;

namespace {

QImage Draw(TLabelItem& item, int w, int h, double scale = 1.0)
{
    QImage img(int(w * scale), int(h * scale), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    item.Paint(p, scale);
    return img;
}

bool Dark(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

// Bounding box of the non-white pixels.
QRect Inked(const QImage& img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

TEST(RotatedText, BoxAndOriginByAngleRange)
{
    struct Case {
        int angle, w, h, x, y;
    } cases[] = {
        {0, 100, 20, 0, 0},      {90, 20, 100, 0, 100},  {180, 100, 20, 100, 20},
        {-90, 20, 100, 20, 0},   {45, 85, 85, 0, 71},    {135, 85, 85, 71, 85},
        {-180, 100, 20, 100, 20}, {-135, 85, 85, 85, 14}, {-45, 85, 85, 14, 0},
    };
    for (const Case& c : cases) {
        const RotatedTextLayout l = LayOutRotatedText(100, 20, c.angle);
        EXPECT_EQ(QRect(l.Origin, QSize(l.Width, l.Height)), QRect(c.x, c.y, c.w, c.h))
            << "angle " << c.angle;
    }
    // The depth offset widens both sides.
    EXPECT_EQ(LayOutRotatedText(100, 20, 0, 2).Width, 102);
}

TEST(RotatedText, AnglesAreHeldInHalfCircle)
{
    EXPECT_EQ(NormaliseAngle(270), -90);
    EXPECT_EQ(NormaliseAngle(-270), 90);
    EXPECT_EQ(NormaliseAngle(720 + 180), 180);
    EXPECT_EQ(NormaliseAngle(-180), -180);
    EXPECT_EQ(NormaliseAngle(-541), 179);
}

TEST(RotatedText, ItemTakesTheRotatedExtentAndDrawsInsideIt)
{
    Label l;
    auto* t = l.items.CreateTextItem("Stickwell", 10, 10, 500, 300, 0, "Arial", 20, 0, true,
                                     false, false);
    ASSERT_TRUE(t);
    const QFontMetrics fm(t->DrawingFont());
    const int tw = fm.horizontalAdvance("Stickwell"), th = fm.height();
    // Automatic size replaced the 500 by 300 given.
    EXPECT_EQ(t->Width(), tw);
    EXPECT_EQ(t->Height(), th);

    t->SetAngle(90);
    EXPECT_EQ(QSize(t->Width(), t->Height()), QSize(th, tw));
    EXPECT_EQ(TextOrigin(*t), QPoint(0, tw));
    const QImage up = Draw(*t, t->Width(), t->Height());
    const QRect ink = Inked(up);
    ASSERT_FALSE(ink.isEmpty());
    // Upward text: tall ink, within the box.
    EXPECT_GT(ink.height(), 3 * ink.width());
    EXPECT_TRUE(QRect(0, 0, t->Width(), t->Height()).contains(ink));

    t->SetAngle(180);
    const QImage down = Draw(*t, t->Width(), t->Height());
    EXPECT_TRUE(QRect(0, 0, t->Width(), t->Height()).contains(Inked(down)));
    EXPECT_EQ(TextOrigin(*t), QPoint(tw, th));
}

TEST(RotatedText, DrawsOnlyTheFirst255Characters)
{
    Label l;
    auto* a = l.items.CreateTextItem(QString(300, 'W'), 0, 0, 0, 0, 0, "Arial", 8, 0, false,
                                     false, false);
    auto* b = l.items.CreateTextItem(QString(255, 'W'), 0, 0, 0, 0, 0, "Arial", 8, 0, false,
                                     false, false);
    EXPECT_EQ(a->Width(), b->Width());
    EXPECT_EQ(a->Caption().size(), 300);
}

TEST(ShapeDrawing, OutlineIsInsetByHalfThePen)
{
    TMoShape s;
    s.SetBounds(0, 0, 25, 25);
    s.SetPen({3, 0});
    EXPECT_EQ(s.ShapeCorners(), QRect(QPoint(1, 1), QPoint(24, 24)));
    s.SetPen({1, 0});
    EXPECT_EQ(s.ShapeCorners(), QRect(QPoint(0, 0), QPoint(25, 25)));

    // Drawn on a larger image, the outline stays in the box for any pen width.
    for (int pen : {1, 2, 3, 4, 7}) {
        s.SetPen({pen, 0});
        const QImage img = Draw(s, 40, 40);
        EXPECT_EQ(Inked(img), QRect(0, 0, 25, 25)) << "pen " << pen;
        EXPECT_FALSE(Dark(img, 12, 12));
    }
}

TEST(ShapeDrawing, FillsAndClearBrush)
{
    TMoShape s;
    s.SetBounds(0, 0, 30, 20);
    s.SetBrush({bsSolid, 255});
    QImage img = Draw(s, 30, 20);
    EXPECT_EQ(img.pixel(15, 10), qRgb(255, 0, 0));
    s.SetBrush({bsClear, 255});
    img = Draw(s, 30, 20);
    EXPECT_EQ(img.pixel(15, 10), qRgb(255, 255, 255));
    s.SetBrush({bsHorizontal, 0});
    img = Draw(s, 30, 20);
    int dark = 0;
    for (int y = 2; y < 18; ++y)
        dark += Dark(img, 15, y);
    EXPECT_GT(dark, 0);
    EXPECT_LT(dark, 16);
}

// Colour values: red in the low byte; a set top bit names a system colour by its index, which
// draws as its standard value; the other high-byte flags do not change the colour.
TEST(ShapeDrawing, ColourValuesAndSystemColours)
{
    EXPECT_EQ(ToQColor(0x00C08040), QColor(0x40, 0x80, 0xC0));
    EXPECT_EQ(ToQColor(0x02C08040), QColor(0x40, 0x80, 0xC0));
    EXPECT_EQ(FromQColor(QColor(0x40, 0x80, 0xC0)), 0x00C08040u);
    EXPECT_EQ(ToQColor(0x80000005), QColor(Qt::white)); // window
    EXPECT_EQ(ToQColor(0x80000008), QColor(Qt::black)); // window text
    EXPECT_EQ(ToQColor(0x800000FF), QColor(Qt::black)); // no such index
    TMoShape s;
    s.SetBounds(0, 0, 30, 20);
    s.SetBrush({bsSolid, 0x8000000F});                   // button face
    EXPECT_EQ(Draw(s, 30, 20).pixel(15, 10), qRgb(212, 208, 200));
}

TEST(ShapeDrawing, RoundCornersTruncate)
{
    EXPECT_EQ(RoundCornerSize(200, 20), 39);
    EXPECT_EQ(RoundCornerSize(65, 25), 16);
    EXPECT_EQ(RoundCornerSize(100, 90), 90);
    TMoShape s;
    s.SetShape(stRoundRect);
    s.SetRoundPerc(90);
    s.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(s.CornerSize(), 90);
    s.SetShape(stRectangle);
    EXPECT_EQ(s.CornerSize(), 0);
    // A round rectangle leaves its corner pixels blank; an ellipse its box corners too.
    s.SetShape(stRoundRect);
    s.SetRoundPerc(25);
    EXPECT_FALSE(Dark(Draw(s, 100, 50), 1, 1));
    s.SetShape(stEllipse);
    const QImage e = Draw(s, 100, 50);
    EXPECT_FALSE(Dark(e, 3, 3));
    EXPECT_TRUE(Dark(e, 50, 0));
}

TEST(LineDrawing, AlongTheTopOrDownTheLeft)
{
    TLineShape v;
    v.SetLineStyle(stVertical);
    v.SetBounds(0, 0, 20, 60);
    v.SetPen({4, 0});
    EXPECT_EQ(v.LineEnds(), QLine(2, 2, 2, 59));
    const QImage vi = Draw(v, 20, 60);
    EXPECT_TRUE(Dark(vi, 2, 30));
    EXPECT_FALSE(Dark(vi, 10, 30));

    TLineShape h;
    h.SetBounds(0, 0, 60, 20);
    const QImage hi = Draw(h, 60, 20);
    EXPECT_EQ(Inked(hi), QRect(0, 0, 60, 1));
}

TEST(ItemDrawing, DeviceScaleDrawsTheSameAtPrinterResolution)
{
    TMoShape s;
    s.SetBounds(0, 0, 25, 25);
    s.SetBrush({bsSolid, 0});
    const QImage big = Draw(s, 25, 25, 4.0);
    EXPECT_EQ(Inked(big), QRect(0, 0, 100, 100));
}

TEST(SymbolDrawing, SymbolShowsItsGlyphInItsExtent)
{
    ASSERT_TRUE(SymbolFontAvailable()) << "needs Symbola or DejaVu Sans (fonts-symbola)";
    EXPECT_EQ(WingdingsToUnicode(74), U'\u263A');
    EXPECT_EQ(WingdingsToUnicode(255), 0u);
    EXPECT_EQ(WingdingsToUnicode(32), 0u);
    Label l;
    auto* s = l.items.CreateSymbolItem(74, 0, 0, 0, 0, 18, 0);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Caption(), QString(QChar(74)));
    EXPECT_EQ(QSize(s->Width(), s->Height()), SymbolExtent(74, 24));
    const QImage img = Draw(*s, s->Width(), s->Height());
    EXPECT_FALSE(Inked(img).isEmpty());
    // Every code in the chooser draws something, 255 included.
    for (int code = kFirstSymbolCode; code <= kLastSymbolCode; ++code) {
        QImage cell(30, 30, QImage::Format_RGB32);
        cell.fill(Qt::white);
        QPainter p(&cell);
        DrawSymbolCentred(p, cell.rect(), code, 24, Qt::black);
        p.end();
        EXPECT_FALSE(Inked(cell).isEmpty()) << "code " << code;
    }
}

TEST(ImageDrawing, StretchFillsTheBoxOtherwiseOwnSize)
{
    const Picture pic = Picture::Load(ModelData("logo24.bmp"));
    ASSERT_FALSE(pic.isNull());
    TImageItem item;
    item.SetPicture(pic);
    EXPECT_EQ(QSize(item.Width(), item.Height()), QSize(200, 100));
    item.SetStretch(true);
    item.SetBounds(0, 0, 50, 25);
    const QImage small = Draw(item, 60, 30);
    EXPECT_TRUE(QRect(0, 0, 50, 25).contains(Inked(small)));
    EXPECT_EQ(small.pixel(55, 27), qRgb(255, 255, 255));
}
