// Barcodes: what zint is asked, what the user is told, and how a code lies in its box.
#include "ItemTestHost.h"

#include "model/BarcodeItem.h"
#include "model/ItemText.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace sw;

namespace {

QString Refusal(TSymbology s, const QString& data)
{
    QString error;
    const TBarcode code = EncodeBarcode(s, data, true, &error);
    EXPECT_TRUE(code.IsNull()) << data.toStdString();
    EXPECT_FALSE(CheckBarcode(s, data)) << data.toStdString();
    return error;
}

QRectF Extent(const std::vector<QRectF>& bars)
{
    QRectF all;
    for (const QRectF& r : bars)
        all = all.united(r);
    return all;
}

} // namespace

TEST(Barcode, EverySymbologyEncodesAndItsWordRoundTrips)
{
    const std::pair<TSymbology, const char*> samples[] = {
        {TSymbology::Code128, "Stickwell-128"}, {TSymbology::Code39, "ASSET 42"},
        {TSymbology::Ean13, "590123412345"},    {TSymbology::Ean8, "1234567"},
        {TSymbology::UpcA, "03600029145"},      {TSymbology::Itf14, "1234567890123"},
        {TSymbology::QrCode, "https://example.com/\u00e9"}, {TSymbology::DataMatrix, "SN-000123"},
        {TSymbology::Pdf417, "Stickwell PDF417"},
    };
    for (const auto& [s, data] : samples) {
        QString error;
        const TBarcode code = EncodeBarcode(s, QString::fromUtf8(data), true, &error);
        EXPECT_FALSE(code.IsNull()) << data << ": " << error.toStdString();
        EXPECT_TRUE(error.isEmpty());
        EXPECT_TRUE(CheckBarcode(s, QString::fromUtf8(data)));
        EXPECT_EQ(SymbologyOfWord(SymbologyWord(s)), s);
        // Linear codes carry their human-readable line; 2D codes none.
        EXPECT_EQ(code.Texts.empty(), IsTwoDimensional(s)) << data;
    }
    EXPECT_EQ(SymbologyOfWord(QStringLiteral("code128")), std::nullopt);
    // The check digit is zint's: 12 digits print as 13, and the 13th given must be right.
    const TBarcode ean = EncodeBarcode(TSymbology::Ean13, QStringLiteral("5901234123457"), true);
    ASSERT_FALSE(ean.IsNull());
    QString shown;
    for (const TBarcodeText& t : ean.Texts)
        shown += t.Text;
    EXPECT_EQ(shown, QStringLiteral("5901234123457"));
    EXPECT_TRUE(EncodeBarcode(TSymbology::Code128, QStringLiteral("x"), false).Texts.empty());
}

TEST(Barcode, DataACodeCannotHoldIsRefusedInTheUsersWords)
{
    EXPECT_EQ(Refusal(TSymbology::Ean13, QStringLiteral("12345")), QStringLiteral("EAN-13 takes 12 or 13 digits"));
    EXPECT_EQ(Refusal(TSymbology::Ean13, QStringLiteral("59012341234a")), QStringLiteral("EAN-13 takes 12 or 13 digits"));
    // Seven digits are an EAN-8 to zint; an EAN-13 item refuses them.
    EXPECT_EQ(Refusal(TSymbology::Ean13, QStringLiteral("1234567")), QStringLiteral("EAN-13 takes 12 or 13 digits"));
    EXPECT_EQ(Refusal(TSymbology::Ean13, QStringLiteral("5901234123458")),
              QStringLiteral("The last digit of this EAN-13 should be its check digit, 7"));
    EXPECT_EQ(Refusal(TSymbology::Ean8, QStringLiteral("123456789")), QStringLiteral("EAN-8 takes 7 or 8 digits"));
    EXPECT_EQ(Refusal(TSymbology::UpcA, QStringLiteral("0360002914")), QStringLiteral("UPC-A takes 11 or 12 digits"));
    EXPECT_EQ(Refusal(TSymbology::Itf14, QStringLiteral("12345678901234")),
              QStringLiteral("The last digit of this ITF-14 should be its check digit, 1"));
    EXPECT_TRUE(CheckBarcode(TSymbology::Itf14, QStringLiteral("12345678901231")));
    // Lower case would print as capitals and scan as something else.
    EXPECT_EQ(Refusal(TSymbology::Code39, QStringLiteral("abc")),
              QStringLiteral("Code 39 takes capital letters, digits, blanks and - . $ / + %"));
    EXPECT_EQ(Refusal(TSymbology::Code128, QString()), QStringLiteral("Code 128 needs data to encode"));
    EXPECT_TRUE(Refusal(TSymbology::Code128, QStringLiteral("\u20ac")).startsWith(QStringLiteral("Code 128: Invalid character")));
    EXPECT_EQ(Refusal(TSymbology::QrCode, QString(256, u'a')), QStringLiteral("A code holds at most 255 characters"));
}

TEST(Barcode, LayoutFillsTheBoxAndTurnsInQuarters)
{
    const TBarcode qr = EncodeBarcode(TSymbology::QrCode, QStringLiteral("HELLO"), true);
    ASSERT_FALSE(qr.IsNull());
    // A square code in a wide box stands square and centred.
    const QRectF q = Extent(LayOutBarcode(qr, QSizeF(3, 1), 0).Bars);
    EXPECT_NEAR(q.width(), 1, 1e-9);
    EXPECT_NEAR(q.height(), 1, 1e-9);
    EXPECT_NEAR(q.left(), 1, 1e-9);

    const TBarcode c128 = EncodeBarcode(TSymbology::Code128, QStringLiteral("ABC123"), true);
    const TBarcodeLayout flat = LayOutBarcode(c128, QSizeF(2, 1), 0);
    const QRectF bars = Extent(flat.Bars);
    EXPECT_NEAR(bars.left(), 0, 1e-9);
    EXPECT_NEAR(bars.right(), 2, 1e-9);
    ASSERT_EQ(flat.Texts.size(), 1u);
    // The text sits below the bars, inside the box, in proportion to the width.
    EXPECT_GT(flat.Texts[0].Pos.y(), bars.bottom());
    EXPECT_LE(flat.Texts[0].Pos.y(), 1 + 1e-9);
    EXPECT_NEAR(flat.Texts[0].Pos.x(), 1, 1e-9);

    // A quarter turn counter-clockwise: the code's left end goes to the bottom of the box,
    // its text to the right side, reading upwards.
    const TBarcodeLayout up = LayOutBarcode(c128, QSizeF(1, 2), 90);
    const QRectF turned = Extent(up.Bars);
    EXPECT_NEAR(turned.top(), 0, 1e-9);
    EXPECT_NEAR(turned.bottom(), 2, 1e-9);
    EXPECT_NEAR(turned.height(), bars.width(), 1e-9);
    EXPECT_NEAR(turned.width(), bars.height(), 1e-9);
    ASSERT_EQ(up.Texts.size(), 1u);
    EXPECT_EQ(up.Texts[0].Angle, 90);
    EXPECT_NEAR(up.Texts[0].Pos.x(), flat.Texts[0].Pos.y(), 1e-9);
    // The first bar (leftmost) becomes the bottom one.
    EXPECT_NEAR(up.Bars[0].bottom(), 2 - flat.Bars[0].left(), 1e-9);
    const TBarcodeLayout down = LayOutBarcode(c128, QSizeF(1, 2), 270);
    EXPECT_NEAR(down.Bars[0].top(), flat.Bars[0].left(), 1e-9);
    EXPECT_NEAR(LayOutBarcode(c128, QSizeF(2, 1), 180).Bars[0].right(), 2 - flat.Bars[0].left(), 1e-9);
    EXPECT_EQ(QuarterTurn(-90), 270);
    EXPECT_EQ(QuarterTurn(100), 90);
    EXPECT_EQ(QuarterTurn(359), 0);
}

TEST(Barcode, CounterInTheData)
{
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("SN{COUNTER:6}"), 42), QStringLiteral("SN000042"));
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{COUNTER}/{COUNTER:2}"), 1234), QStringLiteral("1234/1234"));
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{{COUNTER}"), 5), QStringLiteral("{COUNTER}"));
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{COUNTER:4}"), -7), QStringLiteral("-0007"));
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("no braces"), 5), QStringLiteral("no braces"));
    QString error;
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{CITY}"), 1, &error), std::nullopt);
    EXPECT_EQ(error, QStringLiteral("The code's data names {CITY}, which is not a field of the label's address list"));
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{COUNTER:x}"), 1), std::nullopt);
    // Merge fields in the same pass: a value's own braces are not read again.
    const TDataValues values{7, [](const QString& name) -> std::optional<QString> {
                                 if (name.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0)
                                     return QStringLiteral("A{COUNTER}");
                                 return std::nullopt;
                             }};
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{NAME}-{COUNTER:2}"), values), QStringLiteral("A{COUNTER}-07"));
    EXPECT_EQ(ExpandBarcodeData(QStringLiteral("{Name:3}"), values), std::nullopt);
    // A run checks one serial number per length, except where a check digit is given.
    EXPECT_EQ(CheckKey(TSymbology::QrCode, QStringLiteral("SN-1907")), CheckKey(TSymbology::QrCode, QStringLiteral("SN-2000")));
    EXPECT_NE(CheckKey(TSymbology::QrCode, QStringLiteral("SN-1907")), CheckKey(TSymbology::QrCode, QStringLiteral("SN-10000")));
    EXPECT_NE(CheckKey(TSymbology::Ean13, QStringLiteral("5901234123457")),
              CheckKey(TSymbology::Ean13, QStringLiteral("5901234123458")));
}

TEST(Barcode, ItemTextRoundTripsEveryKeyAndKeeps255Characters)
{
    Label l;
    const QString longData = QString(250, u'A') + QStringLiteral("{COUNTER:4}");
    auto* a = l.items.CreateBarcodeItem(TSymbology::QrCode, longData.left(255), false, 10, 20, 0, 0, 255, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Width(), a->Height());
    auto* b = l.items.CreateBarcodeItem(TSymbology::Ean13, QStringLiteral("590123412345"), true, 100, 30,
                                        0, 0, 0, -90);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Angle(), 270);
    // Turned a quarter, the box stands upright.
    EXPECT_GT(b->Height(), b->Width());
    QStringList lines;
    SaveItems(l.items, lines);
    const QStringList second = lines.mid(lines.indexOf(QStringLiteral("LABELITEM=BARCODE"), 1));
    ASSERT_EQ(second.size(), 10);
    EXPECT_EQ(second.mid(0, 3), (QStringList{"LABELITEM=BARCODE", "TOP=1.042", "LEFT=0.313"}));
    EXPECT_TRUE(second[3].startsWith(QStringLiteral("WIDTH=")));
    EXPECT_TRUE(second[4].startsWith(QStringLiteral("HEIGHT=")));
    EXPECT_EQ(second.mid(5), (QStringList{"SYMBOLOGY=EAN13", "DATA=590123412345", "SHOWTEXT=Y",
                                          "LINECOLOR=0", "ANGLE=270"}));
    EXPECT_TRUE(lines.contains(QStringLiteral("DATA=") + longData.left(255)));

    Label back;
    ASSERT_TRUE(REstoreItems(back.items, lines));
    ASSERT_EQ(back.items.OrderList().size(), 2u);
    auto* a2 = dynamic_cast<TBarcodeItem*>(back.items.OrderList()[0]);
    auto* b2 = dynamic_cast<TBarcodeItem*>(back.items.OrderList()[1]);
    ASSERT_TRUE(a2 && b2);
    EXPECT_EQ(a2->Data(), longData.left(255));
    EXPECT_EQ(a2->Symbology(), TSymbology::QrCode);
    EXPECT_FALSE(a2->ShowText());
    EXPECT_EQ(a2->LineColor(), 255u);
    EXPECT_EQ(b2->BoundsRect(), b->BoundsRect());
    EXPECT_EQ(b2->Angle(), 270);
    QStringList again;
    SaveItems(back.items, again);
    EXPECT_EQ(again, lines);

    // A hand-made record: data beyond 255 characters is cut there; other values keep the
    // 99-character cut; an unknown symbology keeps the one before it.
    Label hand;
    ASSERT_TRUE(REstoreItems(hand.items, {"LABELITEM=BARCODE", "SYMBOLOGY=DATAMATRIX", "DATA=" + QString(300, u'7'),
                                          "LABELITEM=BARCODE", "SYMBOLOGY=AZTEC", "DATA=x"}));
    ASSERT_EQ(hand.items.OrderList().size(), 2u);
    EXPECT_EQ(dynamic_cast<TBarcodeItem*>(hand.items.OrderList()[0])->Data().size(), 255);
    EXPECT_EQ(dynamic_cast<TBarcodeItem*>(hand.items.OrderList()[1])->Symbology(), TSymbology::DataMatrix);
}

TEST(Barcode, ItemShowsTheCountersStartAndACrossForDataItCannotHold)
{
    Label l;
    auto* code = l.items.CreateBarcodeItem(TSymbology::Code128, QStringLiteral("N{COUNTER:3}"), true, 0, 0,
                                           0, 0, 0, 0);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->ShownData(), QStringLiteral("N001"));
    l.items.CreateCounterItem(0, 200, 0, 0, 0, QStringLiteral("Arial"), 10, 0, false, false, false, 41, 1);
    EXPECT_EQ(code->ShownData(), QStringLiteral("N041"));
    EXPECT_TRUE(code->Problem().isEmpty());

    // A square code stays square whichever side is dragged.
    code->SetSymbology(TSymbology::DataMatrix);
    EXPECT_EQ(code->Width(), code->Height());
    code->SetBounds(0, 0, 90, code->Height());
    EXPECT_EQ(code->BoundsRect(), QRect(0, 0, 90, 90));
    code->SetBounds(0, 0, 92, 60);
    EXPECT_EQ(code->BoundsRect(), QRect(0, 0, 60, 60));

    code->SetSymbology(TSymbology::Ean8);
    EXPECT_EQ(code->Problem(), QStringLiteral("EAN-8 takes 7 or 8 digits"));
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    code->Paint(p);
    p.end();
    // Drawn as a crossed box: the centre is marked, no bars fill the box.
    int dark = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 90; ++x)
            dark += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(dark, 0);
    EXPECT_LT(dark, 90 * 90 / 10);
}
