// The report stream: the bytes the filer writes, the page links, and the reader's replay and
// refusal of damaged streams.
#include "ReportSupport.h"
#include "report/RPFPrint.h"
#include "report/StreamCommands.h"
#include "../common/TestSeed.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

constexpr int kHeaderSize = 1 + 2 * 3 + 4 * 6 + 1 + 2 + 1 + 1 + 2 * 4; // without the name text

class StreamTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<TRPDevice> device = PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));

    // Page record positions found by walking the records.
    static std::vector<int> PagePositions(const QByteArray& bytes)
    {
        TStreamReader reader(bytes);
        TStreamRecord r;
        std::vector<int> pages;
        while (!reader.AtEnd()) {
            reader.Read(r);
            if (r.code == rps::Page)
                pages.push_back(int(r.offset));
        }
        return pages;
    }
};

TEST_F(StreamTest, OnePageJobLayout)
{
    const QByteArray b = Record(*device, [](TBaseReport& r) { r.DrawRectangle(1, 1, 2, 2); });
    ASSERT_GT(b.size(), 40);
    EXPECT_EQ(std::uint8_t(b[0]), 89);
    EXPECT_EQ(I16At(b, 1), 1);
    EXPECT_EQ(I16At(b, 3), 1);
    EXPECT_EQ(I16At(b, 5), 9999);
    EXPECT_FLOAT_EQ(F32At(b, 7), 8.5f);
    EXPECT_FLOAT_EQ(F32At(b, 11), 11.0f);
    EXPECT_EQ(I16At(b, 38), 1); // paper code: letter
    EXPECT_EQ(std::uint8_t(b.back()), 82);

    const std::vector<int> pages = PagePositions(b);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], kHeaderSize + 1); // the empty printer name is one length byte
    EXPECT_EQ(I32At(b, pages[0] + 1), 0);
    EXPECT_EQ(I32At(b, pages[0] + 5), 0);
    EXPECT_EQ(I16At(b, pages[0] + 9), 1);

    // Every page can be replayed alone: the whole drawing state follows its page record.
    const std::vector<int> codes = Codes(b);
    const std::vector<int> expected{89, 80, 41, 42, 43, 51, 52, 53, 54, 55, 57, 56, 58, 59, 60,
                                    61, 62, 71, 72, 73, 74, 28, 29, 26, 27, 18, 82};
    EXPECT_EQ(codes, expected);
}

TEST_F(StreamTest, ThreePageLinksAndSkippedPages)
{
    const auto body = [](TBaseReport& r) {
        for (int page = 0; page < 3; ++page) {
            if (page)
                r.NextPage();
            r.DrawEllipse(1, 1, 2, 2);
        }
    };
    const QByteArray b = Record(*device, body);
    const std::vector<int> p = PagePositions(b);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(I16At(b, 1), 3);
    EXPECT_EQ(I32At(b, p[0] + 1), 0);
    EXPECT_EQ(I32At(b, p[0] + 5), p[1]);
    EXPECT_EQ(I32At(b, p[1] + 1), p[0]);
    EXPECT_EQ(I32At(b, p[1] + 5), p[2]);
    EXPECT_EQ(I32At(b, p[2] + 1), p[1]);
    EXPECT_EQ(I32At(b, p[2] + 5), 0);
    EXPECT_EQ(std::uint8_t(b[p[1] - 1]), 82);

    // Pages outside the range leave nothing, and the last written page links to no page.
    QBuffer buffer;
    TReportFiler filer(device.get());
    filer.StreamMode = smUser;
    filer.Stream = &buffer;
    filer.FirstPage = 2;
    filer.LastPage = 2;
    filer.OnPrint = body;
    filer.RunReport();
    const QByteArray one = buffer.data();
    const std::vector<int> q = PagePositions(one);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(I16At(one, 1), 1);
    EXPECT_EQ(I32At(one, q[0] + 5), 0);
    EXPECT_EQ(std::uint8_t(one.back()), 82);
}

TEST_F(StreamTest, PositionsAreInchesFromThePaperCornerWithTheOriginAdded)
{
    const QByteArray b = Record(*device, [](TBaseReport& r) {
        r.SetOriginX(0.5);
        r.SetOriginY(0.25);
        r.DrawRectangle(1, 1, 2, 2);
        r.SetUnits(unMM);
        r.DrawRoundRect(25.4, 25.4, 50.8, 50.8, 2.54, 5.08);
    });
    TStreamReader reader(b);
    TStreamRecord r;
    std::vector<float> rect, round;
    while (!reader.AtEnd()) {
        reader.Read(r);
        if (r.code == rps::Rectangle)
            for (const QPointF& p : r.points)
                rect.insert(rect.end(), {float(p.x()), float(p.y())});
        if (r.code == rps::RoundRect)
            round = {float(r.points[0].x()), float(r.points[1].y()), float(r.nums[0]), float(r.nums[1])};
    }
    EXPECT_EQ(rect, (std::vector<float>{1.5f, 1.25f, 2.5f, 2.25f}));
    // Corner sizes are lengths: no origin in them.
    EXPECT_EQ(round, (std::vector<float>{1.5f, 2.25f, 0.1f, 0.2f}));
}

TEST_F(StreamTest, PenWidthIsRecordedInInchesAndReplayedAtTheReadersResolution)
{
    const QByteArray b = Record(*device, [](TBaseReport& r) {
        r.ChoosePen(0x123456, 0, 3, 4);
        r.MovePen(1, 1);
        r.DrawLineTo(2, 2);
    });
    TStreamReader reader(b);
    TStreamRecord r;
    float last = -1;
    std::vector<int> penRecords;
    while (!reader.AtEnd()) {
        reader.Read(r);
        if (r.code >= 71 && r.code <= 74)
            penRecords.push_back(r.code);
        if (r.code == rps::PenWidth)
            last = float(r.nums[0]);
    }
    EXPECT_FLOAT_EQ(last, 0.01f);
    // The page state holds all four; the change writes only the colour and the width.
    EXPECT_EQ(penRecords, (std::vector<int>{71, 72, 73, 74, 71, 74}));

    QBuffer stream;
    stream.setData(b);
    TRPDevice screen(false, false);
    TFilePrinter reader96(&screen);
    reader96.StreamMode = smUser;
    reader96.Stream = &stream;
    reader96.Start();
    QImage image(816, 1056, QImage::Format_RGB32);
    QPainter painter(&image);
    TBaseReport::DeviceMetrics m;
    reader96.ReplayPage(1, painter, m);
    EXPECT_EQ(reader96.Pen().width, 1);
    EXPECT_EQ(reader96.Pen().color, 0x123456);
    m.zoom = 200;
    m.ppiX = m.ppiY = 300;
    reader96.ReplayPage(1, painter, m);
    EXPECT_EQ(reader96.Pen().width, 6);
}

TEST_F(StreamTest, TextItemRecordsFontChangesMetricsAndSpanText)
{
    const auto label = [](int angle) {
        return [angle](TBaseReport& r) {
            r.SelectFont(QStringLiteral("Liberation Serif"), 14);
            r.SetBold(true);
            r.SetFontRotation(angle);
            r.SetFontColor(0xFF);
            r.SetTextAnchor(1);
            r.RefreshFontMetrics();
            r.MoveCursor(1, 1 + r.FontAscent() + r.FontDescent() / 2);
            r.PrintText(QStringLiteral("Hello label"));
            r.SetFontRotation(0);
        };
    };
    const std::vector<int> after = [&] {
        std::vector<int> c = Codes(Record(*device, label(0)));
        return std::vector<int>(c.begin() + 25, c.end());
    }();
    EXPECT_EQ(after, (std::vector<int>{51, 52, 54, 55, 62, 83, 33, 82}));
    std::vector<int> rotated = Codes(Record(*device, label(270)));
    rotated.erase(rotated.begin(), rotated.begin() + 25);
    EXPECT_EQ(rotated, (std::vector<int>{51, 52, 54, 55, 61, 62, 83, 24, 82}));
    std::vector<int> appearance = Codes(Record(*device, label(0), amAppearance));
    EXPECT_EQ(appearance[appearance.size() - 2], 24);

    // Record 33 carries the measured width; the reader's cursor baseline comes from Y.
    TStreamReader reader(Record(*device, [](TBaseReport& r) {
        r.SelectFont(QStringLiteral("Liberation Sans"), 10);
        r.PrintTextAt(QStringLiteral("Width"), 2, 3);
        r.PrintCenter(QStringLiteral("Width"), 4);
        EXPECT_NEAR(r.TextWidth(QStringLiteral("Width")), 0.3, 0.1);
    }));
    TStreamRecord rec;
    std::vector<TStreamRecord> texts;
    while (!reader.AtEnd()) {
        reader.Read(rec);
        if (rec.code == rps::TextSpan)
            texts.push_back(rec);
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_FLOAT_EQ(float(texts[0].nums[0]), 3.0f);
    EXPECT_FLOAT_EQ(float(texts[0].nums[1]), 2.0f);
    // A centred text is recorded by its left edge.
    EXPECT_NEAR(texts[1].nums[1], 4 - texts[1].nums[2] / 2, 1e-6);
}

TEST_F(StreamTest, LongTextsAreCutAndLargeJobsGoThroughTheBuffer)
{
    const QString longText = QString(300, QLatin1Char('x'));
    const QString wide = QString(200, QChar(0x263A)); // UTF-8: three bytes each
    QByteArray bmp;
    {
        QImage big(200, 200, QImage::Format_RGB888);
        big.fill(Qt::red);
        QBuffer out(&bmp);
        out.open(QIODevice::WriteOnly);
        big.save(&out, "BMP");
    }
    ASSERT_GT(bmp.size(), TStreamWriter::kBufferSize);
    const Picture picture = Picture::FromBytes(bmp);
    ASSERT_FALSE(picture.isNull());
    const QByteArray b = Record(*device, [&](TBaseReport& r) {
        r.PrintTextAt(longText, 0.5, 1);
        r.PrintTextAt(wide, 0.5, 2);
        for (int page = 0; page < 4; ++page) {
            r.NextPage();
            for (int i = 0; i < 400; ++i)
                r.DrawRectangle(i * 0.01, 1, 2, 2);
            r.DrawBitmap(1, 1, 3, 3, picture);
        }
    });
    TStreamReader reader(b);
    TStreamRecord r;
    std::vector<QString> texts;
    int bitmaps = 0, pages = 0;
    while (!reader.AtEnd()) {
        reader.Read(r);
        if (r.code == rps::TextSpan)
            texts.push_back(r.text);
        if (r.code == rps::StretchBitmap) {
            ++bitmaps;
            EXPECT_EQ(r.graphic, bmp);
            EXPECT_EQ(r.graphicKind, 1);
        }
        pages += r.code == rps::Page;
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], longText.left(255));
    EXPECT_EQ(texts[1], wide.left(85)); // 255 bytes, no character split
    EXPECT_EQ(bitmaps, 4);
    EXPECT_EQ(pages, 5);
    EXPECT_EQ(I16At(b, 1), 5);
    const std::vector<int> p = PagePositions(b);
    for (size_t i = 0; i + 1 < p.size(); ++i)
        EXPECT_EQ(I32At(b, p[i] + 5), p[i + 1]);
}

TEST_F(StreamTest, StreamModesAndTheirErrors)
{
    TReportFiler filer(device.get());
    filer.OnPrint = [](TBaseReport& r) { r.DrawRectangle(0, 0, 1, 1); };
    filer.StreamMode = smMemory;
    filer.FileName = dir.filePath(QStringLiteral("memory.rps"));
    filer.RunReport();
    QFile saved(filer.FileName);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(std::uint8_t(saved.readAll()[0]), 89);

    filer.StreamMode = smTempFile;
    filer.RunReport();
    EXPECT_TRUE(QFile::exists(filer.FileName));
    QFile::remove(filer.FileName);

    filer.StreamMode = smFile;
    filer.FileName = dir.filePath(QStringLiteral("no/such/dir/x.rps"));
    filer.RunReport();
    EXPECT_EQ(filer.LastErrorBox(), QStringLiteral("Error initializing stream \"%1\"").arg(filer.FileName));
    EXPECT_FALSE(filer.Printing());

    filer.StreamMode = smUser;
    filer.Stream = nullptr;
    try {
        filer.RunReport();
        FAIL();
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(), QStringLiteral("StreamMode is smUser but Stream is nil"));
    }
    EXPECT_THROW(filer.CopyRect(), EReportPrinter);

    // Without printers the header carries the fixed settings.
    TRPDevice none(false, false);
    const QByteArray b = Record(none, [](TBaseReport&) {});
    EXPECT_EQ(I16At(b, 32), 265);
    EXPECT_EQ(std::uint8_t(b[34]), 0);
    EXPECT_EQ(std::uint8_t(b[35]), 0);
    EXPECT_EQ(I16At(b, 36), 1);
    EXPECT_EQ(I16At(b, 38), 1);
    EXPECT_EQ(I16At(b, 40), 0);
    EXPECT_EQ(I16At(b, 42), 0);
}

TEST_F(StreamTest, ReaderRefusesAnythingButAReportStream)
{
    QByteArray good = Record(*device, [](TBaseReport& r) {
        r.DrawRectangle(1, 1, 2, 2);
        r.PrintTextAt(QStringLiteral("text"), 1, 1);
    });
    TRPDevice screen(false, false);
    const auto replay = [&](const QByteArray& bytes) -> QString {
        QBuffer stream;
        stream.setData(bytes);
        TFilePrinter reader(&screen);
        reader.StreamMode = smUser;
        reader.Stream = &stream;
        QImage image(100, 100, QImage::Format_RGB32);
        QPainter painter(&image);
        TBaseReport::DeviceMetrics m;
        m.ppiX = m.ppiY = 10;
        try {
            reader.Start();
            reader.ReplayPage(1, painter, m);
        } catch (const EReportPrinter& e) {
            EXPECT_TRUE(reader.Aborted());
            return e.message();
        }
        return {};
    };
    EXPECT_EQ(replay(good), QString());

    QByteArray wrong = good;
    wrong[0] = 'P';
    EXPECT_EQ(replay(wrong), QStringLiteral("Unexpected code found in report file."));
    QByteArray unknown = good;
    unknown.insert(unknown.size() - 1, char(99));
    EXPECT_EQ(replay(unknown), QStringLiteral("Unexpected code found in report file."));
    EXPECT_EQ(replay(QByteArray()), QStringLiteral("Damaged report file: the stream ends where a record should start at byte 0."));

    // Every cut and many damaged bytes give a message, never a crash.
    for (int n = 1; n < good.size() - 1; ++n)
        EXPECT_FALSE(replay(good.left(n)).isEmpty()) << n;
    QRandomGenerator random(sw::test::TestSeed(7));
    for (int i = 0; i < 300; ++i) {
        QByteArray damaged = good;
        for (int k = 0; k < 3; ++k)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        replay(damaged);
    }

    // A page link that points back at its own page does not loop.
    QByteArray circle = Record(*device, [](TBaseReport& r) { r.NextPage(); });
    const std::vector<int> p = PagePositions(circle);
    std::memcpy(circle.data() + p[0] + 5, &p[0], 4);
    QBuffer stream;
    stream.setData(circle);
    TFilePrinter reader(&screen);
    reader.StreamMode = smUser;
    reader.Stream = &stream;
    reader.Start();
    EXPECT_TRUE(reader.SeekPage(2));
    EXPECT_EQ(reader.CurrentStreamPage(), 1);
}

TEST_F(StreamTest, ReplayFitsFontsAndSpansTextOverTheRecordedWidth)
{
    // A sample narrower than this machine's font makes the reader take a smaller font.
    QBuffer stream;
    {
        stream.open(QIODevice::ReadWrite);
        TStreamWriter out(stream);
        out.Byte(89);
        for (int v : {1, 1, 9999})
            out.Int16(v);
        for (double v : {8.5, 11.0, 0.0, 0.0, 0.0, 0.0})
            out.Single(v);
        out.Byte(0);
        for (int v : {265})
            out.Int16(v);
        out.Byte(0);
        out.Byte(0);
        for (int v : {1, 1, 0, 0})
            out.Int16(v);
        out.Text(QString());
        const qint64 page = out.Position();
        out.Byte(80);
        out.Int32(0);
        out.Int32(0);
        out.Int16(1);
        out.Single(8.5);
        out.Single(11);
        out.Byte(51);
        out.Text(QStringLiteral("Liberation Sans"));
        out.Byte(54);
        out.Single(0.5);
        out.Single(8.0); // narrower than a half-inch font sets the sample
        out.Byte(33);
        out.Single(2); // baseline
        out.Text(QStringLiteral("AB"));
        out.Single(1);  // left
        out.Single(4);  // the span
        out.Byte(82);
        out.Flush();
        (void)page;
    }
    TRPDevice screen(false, false);
    TFilePrinter reader(&screen);
    reader.StreamMode = smUser;
    reader.Stream = &stream;
    reader.Start();
    QImage image(850, 1100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TBaseReport::DeviceMetrics m;
    m.ppiX = m.ppiY = 100;
    reader.ReplayPage(1, painter, m);
    painter.end();
    EXPECT_LT(reader.Font().pixelHeight, 50 - 1);
    EXPECT_GT(reader.Font().pixelHeight, 10);

    // "AB" without blanks spreads over four inches: ink from about x = 100 to x = 500.
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR(left, 100, 6);
    EXPECT_NEAR(right, 500, 12);
}

TEST_F(StreamTest, DumpListsEveryRecordWithPagesAndLinks)
{
    const QString file = dir.filePath(QStringLiteral("dump.rps"));
    TReportFiler filer(device.get());
    filer.StreamMode = smFile;
    filer.FileName = file;
    filer.AccuracyMethod = amPositioning;
    filer.OnPrint = [](TBaseReport& r) {
        r.PrintTextAt(QStringLiteral("say \"hi\""), 1, 1);
        r.NextPage();
        r.DrawPolygon({{0, 0}, {1, 0}, {1, 1}});
    };
    filer.RunReport();

    testing::internal::CaptureStdout();
    EXPECT_EQ(RunStreamCommand(QStringLiteral("stream-dump"), {file}), 0);
    const QString out = QString::fromUtf8(testing::internal::GetCapturedStdout());
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(Codes([&] { QFile f(file); f.open(QIODevice::ReadOnly); return f.readAll(); }()).size(),
              size_t(lines.size()));
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("@0 89 header pages=2 first=1 last=9999 width=8.5 height=11")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("@45 80 page prev=0 next=")));
    EXPECT_TRUE(out.contains(QStringLiteral("80 page prev=45 next=0 number=2")));
    EXPECT_TRUE(out.contains(QStringLiteral("33 text-span y=1 text=\"say \\\"hi\\\"\" x=1 width=")));
    EXPECT_TRUE(out.contains(QStringLiteral("14 polygon points=3:(0,0)(1,0)(1,1)")));

    QFile bad(dir.filePath(QStringLiteral("bad.rps")));
    bad.open(QIODevice::WriteOnly);
    bad.write("XYZ");
    bad.close();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunStreamCommand(QStringLiteral("stream-dump"), {bad.fileName()}), 1);
    EXPECT_TRUE(QString::fromUtf8(testing::internal::GetCapturedStderr())
                    .contains(QStringLiteral("Unexpected code found in report file.")));
}

} // namespace
