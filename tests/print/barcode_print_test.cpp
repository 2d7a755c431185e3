// Codes in a print run: the bars reach the stream as the records shapes already use, the
// counter numbers each label, and data a code cannot hold stops the run before it starts.
#include "PrintSupport.h"

#include "model/Barcode.h"
#include "print/LabelItemObject.h"

#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

// The filled rectangles of the label whose corner is at (x, y), relative to that corner.
std::vector<QRectF> BarsAt(const Replayed& out, int page, double x, double y, double w, double h)
{
    std::vector<QRectF> bars;
    for (const Drawn& d : out.OfCode(rps::FillRect)) {
        if (d.page != page)
            continue;
        const QRectF r = QRectF(d.at, d.to).normalized().translated(-x, -y);
        if (r.left() >= -1e-3 && r.top() >= -1e-3 && r.right() <= w + 1e-3 && r.bottom() <= h + 1e-3)
            bars.push_back(r);
    }
    return bars;
}

// True when the label's bars are the layout of data's code at the item's box.
bool Shows(const std::vector<QRectF>& bars, TSymbology s, const QString& data, QRectF box, int angle = 0)
{
    const TBarcodeLayout want = LayOutBarcode(EncodeBarcode(s, data, true), box.size(), angle);
    if (want.Bars.size() != bars.size())
        return false;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const QRectF w = want.Bars[i].translated(box.topLeft());
        if (std::abs(w.left() - bars[i].left()) > 1e-4 || std::abs(w.right() - bars[i].right()) > 1e-4
            || std::abs(w.top() - bars[i].top()) > 1e-4 || std::abs(w.bottom() - bars[i].bottom()) > 1e-4)
            return false;
    }
    return true;
}

} // namespace

TEST(BarcodePrint, EachLabelCarriesTheCountersValueWhateverTheStackingOrder)
{
    auto device = PdfOnlyDevice();
    const QRectF box(0.2, 0.1, 0.8, 0.8);
    // The code lies behind the counter: it still shows the value the counter prints on it.
    QStringList text = BarcodeItem("QRCODE", "SN{COUNTER:4}", box.left(), box.top(), box.width(), box.height());
    text += CounterItem(7, 2, 1.5);
    const TSheetLayout sheet = LetterSheet(2, 2);
    QString problem;
    const Replayed out = ReadStream(StreamOf(*device, Job(text, 2, sheet), &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(out.Texts(1), QStringList({"7", "7", "8", "8"}));
    const char* expected[2][4] = {{"SN0007", "SN0007", "SN0008", "SN0008"},
                                  {"SN0009", "SN0009", "SN0010", "SN0010"}};
    for (int page = 1; page <= 2; ++page)
        for (int pos = 0; pos < 4; ++pos) {
            const double x = sheet.LeftMarg + (pos % 2) * sheet.HorizPitch;
            const double y = sheet.TopMarg + (pos / 2) * sheet.VertPitch;
            const auto bars = BarsAt(out, page, x, y, sheet.HorizPitch, sheet.VertPitch);
            EXPECT_TRUE(Shows(bars, TSymbology::QrCode, QString::fromLatin1(expected[page - 1][pos]), box))
                << "page " << page << " position " << pos;
        }
    // Only records that already existed: filled rectangles, and the counter's text.
    for (const Drawn& d : out.items)
        EXPECT_TRUE(d.code == rps::FillRect || d.code == rps::TextSpan) << int(d.code);
}

TEST(BarcodePrint, WithoutACounterLabelsAreNumberedFromOneInRunOrder)
{
    auto device = PdfOnlyDevice();
    TPrintJob job = Job(BarcodeItem("CODE128", "{{{COUNTER}}", 0.2, 0.1, 2.0, 0.6, 90), 1, LetterSheet(2, 2));
    job.Positions.SpecificPositionsOnly = true;
    job.Positions.Set(1, true);
    job.Positions.Set(2, true);
    QString problem;
    const Replayed out = ReadStream(StreamOf(*device, job, &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    const TSheetLayout s = job.Sheet;
    const QRectF box(0.2, 0.1, 2.0, 0.6);
    EXPECT_TRUE(Shows(BarsAt(out, 1, s.LeftMarg + s.HorizPitch, s.TopMarg, s.HorizPitch, s.VertPitch),
                      TSymbology::Code128, "{1}", box, 90));
    EXPECT_TRUE(Shows(BarsAt(out, 1, s.LeftMarg, s.TopMarg + s.VertPitch, s.HorizPitch, s.VertPitch),
                      TSymbology::Code128, "{2}", box, 90));
    // The human-readable line turns with the code.
    const std::vector<Drawn> texts = out.OfCode(rps::TextCenter);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, QStringLiteral("{1}"));
    EXPECT_EQ(texts[0].rotation, 90);
}

TEST(BarcodePrint, ACounterThatOutgrowsTheCodeStopsTheRunBeforeAnythingPrints)
{
    auto device = PdfOnlyDevice();
    // Eleven digits and the counter: labels 1 to 9 make twelve digits, label 10 thirteen with a
    // check digit that is wrong, label 100 fourteen.
    QStringList text = BarcodeItem("EAN13", "59012341234{COUNTER}");
    text += CounterItem(1, 1, 2.0);
    QString problem;
    QByteArray bytes = StreamOf(*device, Job(text, 1, LetterSheet(3, 10)), &problem);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(problem.toStdString(), QStringLiteral("The code on sheet 1, row 4, column 1 cannot hold \"5901234123410\": "
                                      "The last digit of this EAN-13 should be its check digit, 9").toStdString());
    // Fixed data is checked once and named at the first label printed.
    TPrintJob job = Job(BarcodeItem("UPCA", "12345"));
    job.Positions.SpecificPositionsOnly = true;
    job.Positions.Set(4, true);
    bytes = StreamOf(*device, job, &problem);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(problem, QStringLiteral("The code on sheet 1, row 2, column 2 cannot hold \"12345\": UPC-A takes 11 or 12 digits"));
    // A field the run does not know is named too.
    StreamOf(*device, Job(BarcodeItem("QRCODE", "{CITY}")), &problem);
    EXPECT_EQ(problem, QStringLiteral("The code on sheet 1, row 1, column 1 cannot hold \"{CITY}\": "
                                      "The code's data names {CITY}, which is not a field of the label's address list"));
}

TEST(BarcodePrint, ThePrintReaderKeeps255CharactersOfData)
{
    TItemsList list;
    const QString data = QString(254, u'x') + QStringLiteral("yz");
    MakeItemsStringList(BarcodeItem("PDF417", data) + TextItem(data), list);
    ASSERT_EQ(list.Items.size(), 2u);
    EXPECT_EQ(list.Items[0].ItemKind, ikBarcode);
    EXPECT_EQ(list.Items[0].Data, data.left(255));
    EXPECT_EQ(list.Items[0].Symbology, TSymbology::Pdf417);
    // Other values keep their cut; the next record's data starts empty.
    EXPECT_EQ(list.Items[1].Text.size(), kMaxItemValue);
    EXPECT_TRUE(list.Items[1].Data.isEmpty());
}
