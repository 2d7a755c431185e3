// Item description text: the writer and reader through the real factories.
#include "ItemTestHost.h"

#include "model/ItemText.h"
#include "model/MergeSource.h"
#include "xbase/Codepage.h"

#include <QFile>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw;

namespace {

const QStringList kWorkedExample = {
    "LABELITEM=TEXT", "TEXT=Hello",     "TOP=0.250",     "LEFT=0.500",          "WIDTH=0.333",
    "HEIGHT=0.167",   "FONTNAME=Arial", "FONTCOLOR=0",   "FONTSIZE=10",         "FONTBOLD=Y",
    "FONTITALIC=N",   "FONTUNDER=N",    "ANGLE=0",       "RELATIVEX=0.000",     "RELATIVEY=0.000",
    "LABELITEM=RECTANGLE", "TOP=0.104", "LEFT=0.104",    "WIDTH=2.000",         "HEIGHT=1.000",
    "BRUSHSTYLE=CLEAR", "COLOR=0",      "LINETHICKNESS=1", "LINECOLOR=0",
};

QStringList Save(Label& l)
{
    QStringList out;
    SaveItems(l.items, out);
    return out;
}

bool Read(Label& l, const QStringList& lines, QString* error = nullptr)
{
    return REstoreItems(l.items, lines, error);
}

} // namespace

TEST(ItemText, WorkedExampleRoundTrips)
{
    Label l;
    ASSERT_TRUE(Read(l, kWorkedExample));
    ASSERT_EQ(l.items.OrderList().size(), 2u);
    auto* text = dynamic_cast<Tmo3DLabel*>(l.items.OrderList()[0]);
    auto* rect = dynamic_cast<TMoShape*>(l.items.OrderList()[1]);
    ASSERT_TRUE(text && rect);
    // The rectangle was made second: it is in front on the panel too.
    EXPECT_EQ(l.panel.Children().back().get(), rect);
    EXPECT_EQ(rect->BoundsRect(), QRect(10, 10, 192, 96));
    EXPECT_EQ(text->Left(), 48);
    EXPECT_EQ(text->Top(), 24);

    const QStringList out = Save(l);
    ASSERT_EQ(out.size(), 24);
    for (int i = 0; i < 24; ++i) {
        // The text item's box comes from this platform's font metrics.
        if (i == 4 || i == 5)
            continue;
        EXPECT_EQ(out[i], kWorkedExample[i]) << "line " << i;
    }
    // A pixel or so either way of the 32 by 16 the example was made with.
    EXPECT_NEAR(text->Width(), 32, 3);
    EXPECT_NEAR(text->Height(), 16, 2);
}

TEST(ItemText, ReadingStopsAtBlankOrLineWithoutEquals)
{
    {
        Label l;
        EXPECT_TRUE(Read(l, {}));
        EXPECT_TRUE(l.items.OrderList().empty());
    }
    {
        Label l;
        EXPECT_TRUE(Read(l, {"LABELITEM RECTANGLE", "LABELITEM=ELLIPSE"}));
        EXPECT_TRUE(l.items.OrderList().empty());
    }
    {
        // The record before the blank line is made; nothing after it is read.
        Label l;
        EXPECT_TRUE(Read(l, {"LABELITEM=ELLIPSE", "WIDTH=0.5", "", "LABELITEM=RECTANGLE",
                             "TOP=zz"}));
        ASSERT_EQ(l.items.OrderList().size(), 1u);
        EXPECT_EQ(dynamic_cast<TMoShape*>(l.items.OrderList()[0])->Shape(), stEllipse);
    }
}

TEST(ItemText, ValuesCarryOverBetweenRecords)
{
    Label l;
    ASSERT_TRUE(Read(l, {"LINECOLOR=255", "LABELITEM=RECTANGLE", "TOP=0.5", "LEFT=0.25",
                         "WIDTH=1", "HEIGHT=0.5", "BRUSHSTYLE=SOLID", "LINETHICKNESS=3",
                         "LABELITEM=ELLIPSE", "LABELITEM=HORIZONTALLINE"}));
    ASSERT_EQ(l.items.OrderList().size(), 3u);
    auto* rect = dynamic_cast<TMoShape*>(l.items.OrderList()[0]);
    auto* ellipse = dynamic_cast<TMoShape*>(l.items.OrderList()[1]);
    auto* line = dynamic_cast<TLineShape*>(l.items.OrderList()[2]);
    // Keys before the first record end up in it.
    EXPECT_EQ(rect->Pen(), (TItemPen{3, 255}));
    EXPECT_EQ(ellipse->BoundsRect(), QRect(24, 48, 96, 48));
    EXPECT_EQ(ellipse->Brush().Style, bsSolid);
    EXPECT_EQ(line->Pen(), (TItemPen{3, 255}));
    EXPECT_EQ(line->BoundsRect(), QRect(24, 48, 96, 48));
}

TEST(ItemText, ValueForms)
{
    Label l;
    const QString long120(120, QLatin1Char('x'));
    ASSERT_TRUE(Read(l, {"LABELITEM=TEXT", "TEXT=" + long120, "FONTNAME=Arial", "FONTBOLD=y",
                         "LABELITEM=TEXT", "TEXT=a=b=c", "FONTBOLD=Y", "LABELITEM=RECTANGLE",
                         "BRUSHSTYLE=HORIZONTAL", "LABELITEM=RECTANGLE", "BRUSHSTYLE=solid",
                         "LABELITEM=NOTAKIND", "top=1", "LABELITEM=ELLIPSE"}));
    ASSERT_EQ(l.items.OrderList().size(), 5u);
    auto* first = dynamic_cast<Tmo3DLabel*>(l.items.OrderList()[0]);
    auto* second = dynamic_cast<Tmo3DLabel*>(l.items.OrderList()[1]);
    EXPECT_EQ(first->Caption(), long120.left(99));
    EXPECT_FALSE(first->Font().Bold);
    EXPECT_EQ(second->Caption(), "a=b=c");
    EXPECT_TRUE(second->Font().Bold);
    // An unknown word leaves the fill style as it was.
    EXPECT_EQ(dynamic_cast<TMoShape*>(l.items.OrderList()[3])->Brush().Style, bsHorizontal);
    // Lower-case keys are not keys.
    EXPECT_EQ(l.items.OrderList()[4]->Top(), 0);
}

TEST(ItemText, BadNumbersStopWithTheRuntimeMessage)
{
    Label l;
    QString error;
    EXPECT_FALSE(Read(l, {"LABELITEM=RECTANGLE", "LABELITEM=ELLIPSE", "TOP=0,5",
                          "LABELITEM=RECTANGLE"}, &error));
    EXPECT_EQ(error, "'0,5' is not a valid floating point value");
    // The record before the bad line was made; the one holding it was not.
    EXPECT_EQ(l.items.OrderList().size(), 1u);

    Label m;
    EXPECT_FALSE(Read(m, {"LABELITEM=RECTANGLE", "LINECOLOR=12a"}, &error));
    EXPECT_EQ(error, "'12a' is not a valid integer value");
    EXPECT_FALSE(Read(m, {"FONTSIZE=99999999999"}, &error));
    EXPECT_EQ(error, "'99999999999' is not a valid integer value");
    EXPECT_FALSE(Read(m, {"TOP=nan"}, &error));
    EXPECT_TRUE(Read(m, {"COLOR=-2147483648", "ANGLE= 45", "TOP=1e3"}, &error));
}

TEST(ItemText, AnglesByKind)
{
    Label l;
    auto* text = l.items.CreateTextItem("T", 0, 0, 0, 0, -90, "Arial", 10, 0, false, false, false);
    auto* counter = l.items.CreateCounterItem(0, 50, 0, 0, -90, "Arial", 10, 0, false, false,
                                              false, 5, 2);
    const QStringList out = Save(l);
    EXPECT_TRUE(out.contains("ANGLE=270"));
    EXPECT_TRUE(out.contains("ANGLE=-90"));
    EXPECT_EQ(text->Angle(), -90);
    EXPECT_EQ(counter->Angle(), -90);

    Label back;
    ASSERT_TRUE(Read(back, out));
    ASSERT_EQ(back.items.OrderList().size(), 2u);
    EXPECT_EQ(dynamic_cast<Tmo3DLabel*>(back.items.OrderList()[0])->Angle(), -90);
    auto* c = dynamic_cast<TCounterLabel*>(back.items.OrderList()[1]);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Angle(), -90);
    EXPECT_EQ(c->Caption(), "5");
    EXPECT_EQ(c->Tag, 2);
    EXPECT_EQ(Save(back), out);
}

TEST(ItemText, EveryKindRoundTripsInItsKeyOrder)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("pic.BMP");
    ASSERT_TRUE(QFile::copy(ModelData("logo4.bmp"), picture));
    Label l;
    l.items.CreateCounterItem(10, 20, 0, 0, 45, "Arial", 12, 255, true, true, true, 100, 4);
    l.items.CreateSymbolItem(74, 30, 40, 0, 0, 18, 65280);
    l.items.CreateShapeItem(2, 5, 6, 70, 40, 16711680, 0, 2, 33, bsCross);
    l.items.CreateShapeItem(4, 5, 6, 70, 40, 0, 0, 1, 50, bsSolid);
    l.items.CreateLineItem(1, 1, 2, 20, 60, 0, 4);
    l.items.CreateImageItem(-12, 3, 300, 20, picture, true);
    const QStringList out = Save(l);
    const QStringList expected = {
        "LABELITEM=COUNTER", "TOP=", "LEFT=", "WIDTH=", "HEIGHT=", "RELATIVEX=", "RELATIVEY=",
        "STARTINGNUMBER=100", "REPEATEACH=4", "FONTNAME=Arial", "FONTSIZE=12", "FONTCOLOR=255",
        "FONTBOLD=Y", "FONTITALIC=Y", "FONTUNDER=Y", "ANGLE=45",
        "LABELITEM=SYMBOL", "TOP=0.313", "LEFT=0.417", "WIDTH=", "HEIGHT=", "FONTSIZE=18",
        "FONTCOLOR=65280", "ASCIICHAR=74",
        "LABELITEM=ROUNDRECTANGLE", "TOP=0.052", "LEFT=0.063", "WIDTH=0.729", "HEIGHT=0.417",
        "BRUSHSTYLE=CROSS", "COLOR=16711680", "LINETHICKNESS=2", "LINECOLOR=0", "ROUNDING=33",
        "LABELITEM=ELLIPSE", "TOP=", "LEFT=", "WIDTH=", "HEIGHT=", "BRUSHSTYLE=SOLID", "COLOR=0",
        "LINETHICKNESS=1", "LINECOLOR=0",
        "LABELITEM=VERTICALLINE", "TOP=0.010", "LEFT=0.021", "WIDTH=0.208", "HEIGHT=0.625",
        "ORIENTATION=V", "LINETHICKNESS=4", "LINECOLOR=0",
        "LABELITEM=IMAGE", "TOP=-0.125", "LEFT=0.031", "WIDTH=3.125", "HEIGHT=0.208",
        "STRETCH=Y", "FILENAMEANDPATH=" + QFileInfo(picture).absoluteFilePath(),
    };
    ASSERT_EQ(out.size(), expected.size());
    for (qsizetype i = 0; i < out.size(); ++i)
        EXPECT_TRUE(out[i].startsWith(expected[i])) << out[i].toStdString();

    Label back;
    ASSERT_TRUE(Read(back, out));
    EXPECT_EQ(Save(back), out);
}

TEST(ItemText, LengthsFollowTheScreenResolution)
{
    Label at96(96), at120(120);
    const QStringList lines = {"LABELITEM=RECTANGLE", "TOP=0.104", "LEFT=0.104"};
    ASSERT_TRUE(Read(at96, lines));
    ASSERT_TRUE(Read(at120, lines));
    EXPECT_EQ(at96.items.OrderList()[0]->Top(), 10);
    EXPECT_EQ(at120.items.OrderList()[0]->Top(), 12);
}

TEST(ItemText, MissingOrForeignPicturesVanishQuietly)
{
    Label l;
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("logo.gif"));
    ASSERT_TRUE(QFile::copy(ModelData("logo.png"), gif));
    ASSERT_TRUE(Read(l, {"LABELITEM=IMAGE", "FILENAMEANDPATH=/no/such/file.bmp",
                         "LABELITEM=IMAGE", "FILENAMEANDPATH=" + gif}));
    EXPECT_TRUE(l.items.OrderList().empty());
    EXPECT_TRUE(l.host.messages.isEmpty());
}

TEST(ItemText, InteractiveValuesAskTheHost)
{
    Label l;
    ASSERT_TRUE(Read(l, {"LABELITEM=COUNTER", "STARTINGNUMBER=-1", "LABELITEM=COUNTER",
                         "LABELITEM=SYMBOL", "ASCIICHAR=0"}));
    // The second counter record meets the one-counter rule of the interactive mode.
    EXPECT_EQ(l.host.counterAsks, 1);
    EXPECT_EQ(l.host.messages, QStringList{"There is a limit of one Counter per label"});
    EXPECT_EQ(l.host.symbolAsks, 1);
    ASSERT_EQ(l.items.OrderList().size(), 2u);
    EXPECT_EQ(dynamic_cast<TCounterLabel*>(l.items.OrderList()[0])->Caption(), "7");
    EXPECT_EQ(dynamic_cast<TSymbol*>(l.items.OrderList()[1])->Font().Color, 255u);
}

TEST(ItemText, ReadWholeGivesBackExactlyWhatWasWrittenAndAsksNothing)
{
    Label l;
    const QString longText(120, u'x');
    l.items.CreateTextItem(longText, 5, 5, 0, 0, 0, "Arial", 10, 0, false, false, false);
    l.items.CreateShapeItem(0, 30, 40, 0, 0, 0, 0, 1, 20, bsClear)->SetBounds(40, 30, 0, 7);
    TCounterLabel* c = l.items.CreateCounterItem(60, 5, 0, 0, 0, "Arial", 10, 0, true, false, false, 5, 2);
    c->SetCaption(QStringLiteral("-1"));
    const QStringList written = Save(l);

    // Told not to ask, the items take the values that would open a dialog as they are.
    Label quiet;
    quiet.items.SetInteractive(false);
    ASSERT_TRUE(REstoreItems(quiet.items, written, nullptr, TReadMode::Whole));
    EXPECT_EQ(quiet.host.counterAsks, 0);
    EXPECT_EQ(Save(quiet), written);
    EXPECT_EQ(dynamic_cast<Tmo3DLabel*>(quiet.items.OrderList()[0])->Caption(), longText);
    EXPECT_EQ(quiet.items.OrderList()[1]->BoundsRect(), QRect(40, 30, 0, 7));

    // As the label table reads it: the value cut to 99 characters, the empty box its own size.
    Label stored;
    stored.items.SetInteractive(false);
    ASSERT_TRUE(REstoreItems(stored.items, written));
    EXPECT_EQ(dynamic_cast<Tmo3DLabel*>(stored.items.OrderList()[0])->Caption().size(), 99);
    EXPECT_EQ(stored.items.OrderList()[1]->BoundsRect(), QRect(40, 30, 25, 7));
}

TEST(ItemText, SplitAndJoin)
{
    EXPECT_EQ(SplitItemText("A=1\r\nB=2\r\n"), (QStringList{"A=1", "B=2"}));
    EXPECT_EQ(SplitItemText("A=1\nB=2"), (QStringList{"A=1", "B=2"}));
    EXPECT_EQ(SplitItemText("A=1\r\n\r\nB=2\r\n"), (QStringList{"A=1", "", "B=2"}));
    EXPECT_EQ(JoinItemText({"A=1", "B=2"}), "A=1\r\nB=2\r\n");
}

TEST(ItemText, AbsurdStoredValuesStayDrawable)
{
    Label l;
    ASSERT_TRUE(Read(l, {"LABELITEM=ROUNDRECTANGLE", "LEFT=1e30", "WIDTH=-1e30", "HEIGHT=1e9",
                         "LINETHICKNESS=-2147483648", "ROUNDING=2147483647",
                         "LABELITEM=VERTICALLINE", "LINETHICKNESS=2147483647",
                         "LABELITEM=TEXT", "TEXT=big", "FONTSIZE=2147483647",
                         "ANGLE=-2147483648", "LABELITEM=SYMBOL", "ASCIICHAR=-1"}));
    ASSERT_EQ(l.items.OrderList().size(), 4u);
    EXPECT_EQ(l.items.OrderList()[0]->Left(), kMaxItemPixels);
    QImage img(64, 32, QImage::Format_RGB32);
    QPainter p(&img);
    l.panel.Paint(p);
    p.end();
    const QStringList out = Save(l);
    EXPECT_TRUE(out.contains("LINETHICKNESS=-2147483648"));
    EXPECT_TRUE(out.contains("ASCIICHAR=255"));
}

namespace {

const QString kWorldWords[] = {QString::fromUtf8("Łódź"), QString::fromUtf8("Ελλάδα"),
                               QString::fromUtf8("Київ"), QString::fromUtf8("東京"),
                               QString::fromUtf8("שלום")};

QStringList WorldLabel()
{
    QStringList lines;
    for (int i = 0; i < 5; ++i)
        lines << "LABELITEM=TEXT" << "TEXT=" + kWorldWords[i]
              << QStringLiteral("TOP=%1.000").arg(i) << "LEFT=0.100";
    return lines;
}

QByteArray FileBytes(const char* name)
{
    QFile f(ModelData(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Text that Windows-1252 holds is stored byte for byte as labels always were: the stored
// fixture goes through reader, writer and memo unchanged.
TEST(ItemTextMemo, WindowsTextIsStoredByteForByteAsBefore)
{
    const QByteArray stored = FileBytes("cp1252-items.txt");
    ASSERT_FALSE(stored.isEmpty());
    const QString text = ItemTextFromMemo(stored);
    EXPECT_TRUE(text.contains(QString::fromUtf8("Café – 5 € ½ Œuvre ßÿ")));
    Label l;
    ASSERT_TRUE(Read(l, SplitItemText(text)));
    EXPECT_EQ(ItemTextToMemo(JoinItemText(Save(l))), stored);
    // Every byte survives: the five bytes Windows-1252 leaves undefined come back as well.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(ItemTextToMemo(ItemTextFromMemo(all)), all);
}

// Other text is stored as UTF-8 behind its mark and read back by it; a reader that does not
// know the mark skips it as an unknown key, reads every item, keeps ASCII text and shows the
// other characters as their UTF-8 bytes taken one by one as Windows-1252.
TEST(ItemTextMemo, AnyLanguageIsStoredAsMarkedUtf8)
{
    Label l;
    ASSERT_TRUE(Read(l, WorldLabel()));
    ASSERT_EQ(l.items.OrderList().size(), 5u);
    const QString text = JoinItemText(Save(l));
    const QByteArray memo = ItemTextToMemo(text);
    EXPECT_TRUE(memo.startsWith("CHARSET=UTF-8\r\nLABELITEM=TEXT\r\nTEXT=" + kWorldWords[0].toUtf8() + "\r\n"));
    EXPECT_EQ(ItemTextFromMemo(memo), text);
    // The stored form, pinned by a fixture.
    const QByteArray fixture = FileBytes("utf8-items.txt");
    EXPECT_EQ(ItemTextFromMemo(fixture), QString::fromUtf8("LABELITEM=TEXT\r\nTEXT=Łódź 東京\r\nTOP=0.100\r\n"));
    EXPECT_EQ(ItemTextToMemo(ItemTextFromMemo(fixture)), fixture);

    Label back;
    ASSERT_TRUE(Read(back, SplitItemText(ItemTextFromMemo(memo))));
    ASSERT_EQ(back.items.OrderList().size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(dynamic_cast<Tmo3DLabel*>(back.items.OrderList()[size_t(i)])->Caption(), kWorldWords[i]);

    // What an older program reads: the memo's bytes as Windows-1252.
    const std::string asOld = xbase::cp1252::toUtf8(std::string_view(memo.constData(), size_t(memo.size())));
    Label old;
    ASSERT_TRUE(Read(old, SplitItemText(QString::fromStdString(asOld))));
    ASSERT_EQ(old.items.OrderList().size(), 5u);
    EXPECT_EQ(dynamic_cast<Tmo3DLabel*>(old.items.OrderList()[0])->Caption(), QString::fromUtf8("Å\u0081Ã³dÅº"));
}

// Every script shows glyphs, not boxes: the item's font falls back to one that has them, and
// Hebrew draws right to left (its last letter leftmost).
TEST(ItemTextMemo, EveryScriptDrawsGlyphs)
{
    Label l;
    ASSERT_TRUE(Read(l, WorldLabel()));
    for (int i = 0; i < 5; ++i) {
        auto* t = dynamic_cast<Tmo3DLabel*>(l.items.OrderList()[size_t(i)]);
        QTextLayout layout(t->Caption(), t->DrawingFont());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun& run : layout.glyphRuns())
            for (quint32 g : run.glyphIndexes()) {
                EXPECT_NE(g, 0u) << "no glyph in " << qPrintable(run.rawFont().familyName()) << " for "
                                 << t->Caption().toStdString();
                ++glyphs;
            }
        EXPECT_GE(glyphs, t->Caption().size() / 2) << t->Caption().toStdString();
        EXPECT_GT(t->Width(), 10) << "the box takes the fallback glyphs' widths";
    }
}

// Hebrew draws in its reading order, right to left: the word's leftmost glyph is its last letter.
TEST(ItemTextMemo, RightToLeftTextDrawsInReadingOrder)
{
    Label l;
    ASSERT_TRUE(Read(l, {"LABELITEM=TEXT", QString::fromUtf8("TEXT=שלום"), "TOP=0.000", "LEFT=0.000",
                         "FONTSIZE=36", "LABELITEM=TEXT", QString::fromUtf8("TEXT=ם"),
                         "LABELITEM=TEXT", QString::fromUtf8("TEXT=ש")}));
    ASSERT_EQ(l.items.OrderList().size(), 3u);
    auto draw = [](TLabelItem& item, int w) {
        QImage img(w, item.Height(), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        item.Paint(p, 1.0);
        return img;
    };
    TLabelItem& word = *l.items.OrderList()[0];
    TLabelItem& last = *l.items.OrderList()[1];
    TLabelItem& first = *l.items.OrderList()[2];
    const int w = last.Width() / 2;  // left half of a glyph: far from the next one's ink
    const QImage wordInk = draw(word, w), lastInk = draw(last, w), firstInk = draw(first, w);
    EXPECT_EQ(wordInk, lastInk);
    EXPECT_NE(wordInk, firstInk);
}

// A label with a merge source, read by this reader as every earlier program reads it: the
// source's key lines before the first record are passed over and the items come back the same.
TEST(ItemText, AMergeSourceAheadOfTheItemsChangesNoItem)
{
    sw::TMergeSource source;
    source.File = QStringLiteral("addresses.csv");
    source.DelimiterFixed = true;
    Label with, without;
    ASSERT_TRUE(Read(with, sw::MergeSourceLines(source) + kWorkedExample));
    ASSERT_TRUE(Read(without, kWorkedExample));
    EXPECT_EQ(Save(with), Save(without));
    EXPECT_EQ(with.items.OrderList().size(), 2u);
}
