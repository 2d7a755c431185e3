// A job recorded by the filer and replayed through stream-pdf prints like the same job sent
// straight to the PDF printer; stream-render shows a page as the preview does.
#include "ReportSupport.h"
#include "model/Colors.h"
#include "report/RPFPrint.h"
#include "report/StreamCommands.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

const QString kData = QStringLiteral(STICKWELL_TEST_DATA "/report/");

void LabelJob(TBaseReport& r)
{
    int counter = 1;
    DrawLabels(r, 2, 4, 3, counter);
    r.SetOriginX(0);
    r.SetOriginY(0);
    r.SelectFont(QStringLiteral("Liberation Serif"), 16);
    r.SetItalic(true);
    r.SetFontRotation(-90);
    r.SetTextAnchor(1);
    r.RefreshFontMetrics();
    r.PrintTextAt(QStringLiteral("Rotated down the page"), 7.5, 5);
    r.SetFontRotation(0);
    r.ChoosePen(0x336699, 0, -3, 4);
    r.ChooseBrush(0xCCCCCC, 1);
    r.DrawRoundRect(0.5, 5, 3.5, 6.5, 0.5, 0.5);
    const Picture bmp = Picture::Load(kData + QStringLiteral("logo24.bmp"));
    r.DrawBitmap(0.5, 7, 2.5, 8, bmp);
    const Picture wmf = Picture::Load(kData + QStringLiteral("logo.wmf"));
    if (!wmf.isNull())
        r.DrawGraphic(r.InchRectToDevice(3, 7, 5, 8), wmf);
}

// Renders every page of a PDF at 100 pixels per inch.
std::vector<QImage> Rasterise(const QString& pdf, const QString& prefix)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"), pdf, prefix});
    p.waitForFinished(60000);
    std::vector<QImage> pages;
    for (int n = 1;; ++n) {
        QImage page(QStringLiteral("%1-%2.png").arg(prefix).arg(n));
        if (page.isNull())
            break;
        pages.push_back(page.convertToFormat(QImage::Format_RGB32));
    }
    return pages;
}

TEST(ReplayTest, RecordedJobReplaysLikeTheDirectPrint)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString direct = dir.filePath(QStringLiteral("direct.pdf"));
    const QString stream = dir.filePath(QStringLiteral("job.rps"));
    const QString replayed = dir.filePath(QStringLiteral("replayed.pdf"));

    auto printerDevice = PdfDevice(direct);
    TReportPrinter printer(printerDevice.get());
    printer.OnPrint = LabelJob;
    printer.RunReport();

    auto filerDevice = PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    TReportFiler filer(filerDevice.get());
    filer.AccuracyMethod = amPositioning;
    filer.StreamMode = smFile;
    filer.FileName = stream;
    filer.OnPrint = LabelJob;
    filer.RunReport();
    ASSERT_EQ(filer.PagesWritten(), 2);

    if (qEnvironmentVariableIsSet("STICKWELL_KEEP_REPLAY"))
        QFile::copy(stream, QStringLiteral("/tmp/replay-job.rps"));
    ASSERT_EQ(RunStreamCommand(QStringLiteral("stream-pdf"), {stream, replayed}), 0);
    const std::vector<QImage> a = Rasterise(direct, dir.filePath(QStringLiteral("a")));
    const std::vector<QImage> b = Rasterise(replayed, dir.filePath(QStringLiteral("b")));
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 2u);
    for (size_t page = 0; page < a.size(); ++page) {
        ASSERT_EQ(a[page].size(), b[page].size());
        ASSERT_EQ(a[page].size(), QSize(850, 1100));
        qint64 ink = 0, differ = 0;
        for (int y = 0; y < a[page].height(); ++y) {
            const auto* pa = reinterpret_cast<const QRgb*>(a[page].constScanLine(y));
            const auto* pb = reinterpret_cast<const QRgb*>(b[page].constScanLine(y));
            for (int x = 0; x < a[page].width(); ++x) {
                ink += qGray(pa[x]) < 200;
                const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])),
                                        std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                        std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
                differ += d > 96; // anti-aliased edges may shift a little, shapes may not
            }
        }
        EXPECT_GT(ink, 20000) << "page " << page + 1 << " is nearly blank";
        EXPECT_LT(differ, ink / 1000) << "page " << page + 1 << ": " << differ << " of " << ink;
        if (qEnvironmentVariableIsSet("STICKWELL_KEEP_REPLAY")) {
            std::printf("page %d: %lld ink pixels, %lld differ\n", int(page + 1), ink, differ);
            a[page].save(QStringLiteral("/tmp/replay-direct-%1.png").arg(page + 1));
            b[page].save(QStringLiteral("/tmp/replay-stream-%1.png").arg(page + 1));
        }
    }
}

TEST(ReplayTest, AnInchFromThePapersCornerOnAPrinterWithABorder)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("border.pdf"));
    auto device = PdfDevice(pdf);
    device->SetPdfMargins(QMarginsF(0.25, 0.25, 0.25, 0.25));
    TReportPrinter printer(device.get());
    printer.OnPrint = [](TBaseReport& r) {
        r.ChooseBrush(0, 0);
        r.ChoosePen(0, 5, 0, 4); // no outline: the fill alone shows where the corners are
        r.DrawRectangle(0.5, 0.5, 1, 1);
    };
    printer.RunReport();
    const std::vector<QImage> pages = Rasterise(pdf, dir.filePath(QStringLiteral("p")));
    ASSERT_EQ(pages.size(), 1u);
    const QImage& page = pages[0];
    // 100 pixels per inch: the square covers 50..100 on both axes of the paper.
    EXPECT_LT(qGray(page.pixel(52, 52)), 64);
    EXPECT_LT(qGray(page.pixel(97, 97)), 64);
    EXPECT_GT(qGray(page.pixel(47, 75)), 192);
    EXPECT_GT(qGray(page.pixel(103, 75)), 192);
    EXPECT_GT(qGray(page.pixel(75, 103)), 192);
}

TEST(ReplayTest, StreamRenderShowsOnePageAtZoomAndRefusesBadInput)
{
    QTemporaryDir dir;
    const QString stream = dir.filePath(QStringLiteral("job.rps"));
    auto device = PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    TReportFiler filer(device.get());
    filer.StreamMode = smFile;
    filer.FileName = stream;
    filer.OnPrint = [](TBaseReport& r) {
        r.ChooseBrush(0, 0);
        r.DrawRectangle(1, 1, 2, 2);
        r.NextPage();
        r.ChooseBrush(0, 0);
        r.DrawRectangle(4, 4, 5, 5);
    };
    filer.RunReport();

    const QString png = dir.filePath(QStringLiteral("page.png"));
    ASSERT_EQ(RunStreamCommand(QStringLiteral("stream-render"),
                               {stream, png, QStringLiteral("--page"), QStringLiteral("2"),
                                QStringLiteral("--zoom"), QStringLiteral("50")}),
              0);
    const QImage page(png);
    ASSERT_EQ(page.size(), QSize(408, 528)); // letter at 96 per inch, half size
    EXPECT_LT(qGray(page.pixel(216, 216)), 64);  // inside (4.5, 4.5) inches
    EXPECT_GT(qGray(page.pixel(72, 72)), 192);   // the first page's rectangle is not here

    // A page past the last shows the last.
    ASSERT_EQ(RunStreamCommand(QStringLiteral("stream-render"),
                               {stream, png, QStringLiteral("--page"), QStringLiteral("9"),
                                QStringLiteral("--dpi"), QStringLiteral("50")}),
              0);
    EXPECT_LT(qGray(QImage(png).pixel(225, 225)), 64);

    testing::internal::CaptureStderr();
    EXPECT_EQ(RunStreamCommand(QStringLiteral("stream-render"), {stream, png, QStringLiteral("--zoom"), QStringLiteral("5")}), 2);
    EXPECT_EQ(RunStreamCommand(QStringLiteral("stream-render"), {dir.filePath(QStringLiteral("missing.rps")), png}), 1);
    EXPECT_EQ(RunStreamCommand(QStringLiteral("stream-pdf"), {dir.filePath(QStringLiteral("missing.rps")), png}), 1);
    EXPECT_EQ(RunStreamCommand(QStringLiteral("stream-bogus"), {}), 2);
    testing::internal::GetCapturedStderr();
}

} // namespace

// Found by fuzzing: a stream whose stretched metafile with text would ask the font engine for
// glyphs tens of thousands of pixels wide shows its page without them.
TEST(ReplayTest, StretchedMetafileTextInAStreamRendersWithoutGlyphsNoDeviceCanDraw)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("page.png"));
    ASSERT_EQ(RunStreamCommand(QStringLiteral("stream-render"),
                               {kData + QStringLiteral("min-stretch-draw-text.rps"), png}),
              0);
    EXPECT_FALSE(QImage(png).isNull());
}

namespace {

QString RunText(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// Text in any language prints searchable, with its fonts embedded, straight to PDF and through
// the preview's stream.
TEST(ReplayTest, TextInAnyLanguageIsSearchableInThePdf)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QStringList words = {QString::fromUtf8("Łódź"), QString::fromUtf8("Ελλάδα"), QString::fromUtf8("Київ"),
                               QString::fromUtf8("東京"), QString::fromUtf8("שלום")};
    const auto job = [&](TBaseReport& r) {
        r.SelectFont(QStringLiteral("Liberation Sans"), 14);
        double y = 1;
        for (const QString& w : words)
            r.PrintTextAt(w, 1, y += 0.5);
    };
    QTemporaryDir dir;
    const QString direct = dir.filePath(QStringLiteral("direct.pdf"));
    const QString stream = dir.filePath(QStringLiteral("job.rps"));
    const QString replayed = dir.filePath(QStringLiteral("replayed.pdf"));
    auto printerDevice = PdfDevice(direct);
    TReportPrinter printer(printerDevice.get());
    printer.OnPrint = job;
    printer.RunReport();
    auto filerDevice = PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    TReportFiler filer(filerDevice.get());
    filer.StreamMode = smFile;
    filer.FileName = stream;
    filer.OnPrint = job;
    filer.RunReport();
    ASSERT_EQ(RunStreamCommand(QStringLiteral("stream-pdf"), {stream, replayed}), 0);
    for (const QString& pdf : {direct, replayed}) {
        const QString text = RunText(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const QString& w : words)
            EXPECT_TRUE(text.contains(w)) << w.toStdString() << " not in " << text.toStdString();
        const QStringList fonts = RunText(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n')).mid(2);
        for (const QString& f : fonts)
            if (!f.trimmed().isEmpty())
                EXPECT_TRUE(f.contains(QLatin1String(" yes "))) << "not embedded: " << f.toStdString();
    }
}

// System colours in a stream replay as the items draw them (button face, not black), and plain
// colours keep their byte order.
TEST(ReplayTest, StreamColoursDecodeLikeTheItems)
{
    QTemporaryDir dir;
    const QString stream = dir.filePath(QStringLiteral("colours.rps"));
    auto device = PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    TReportFiler filer(device.get());
    filer.StreamMode = smFile;
    filer.FileName = stream;
    const TColor buttonFace = 0x8000000F, blueish = 0x00C08040;
    filer.OnPrint = [&](TBaseReport& r) {
        r.ChooseBrush(std::int32_t(buttonFace), bsSolid);
        r.FillRect(1, 1, 2, 2);
        r.ChooseBrush(std::int32_t(blueish), bsSolid);
        r.FillRect(3, 1, 4, 2);
    };
    filer.RunReport();
    const QString png = dir.filePath(QStringLiteral("page.png"));
    ASSERT_EQ(RunStreamCommand(QStringLiteral("stream-render"), {stream, png}), 0);
    const QImage page(png);
    EXPECT_EQ(QColor(page.pixel(144, 144)), ToQColor(buttonFace));
    EXPECT_EQ(QColor(page.pixel(144, 144)), QColor(212, 208, 200));
    EXPECT_EQ(QColor(page.pixel(336, 144)), QColor(0x40, 0x80, 0xC0));
}

// Printing a whole stream tells its caller when it is busy, so that the caller's window can show
// its busy cursor: once on and once off, also when the stream turns out damaged.
TEST(ReplayTest, PrintingAStreamReportsBusyOnAndOffAroundTheWork)
{
    QTemporaryDir dir;
    auto device = PdfDevice(dir.filePath(QStringLiteral("printed.pdf")));
    const QByteArray good = Record(*device, [](TBaseReport& r) { r.DrawRectangle(1, 1, 2, 2); });
    for (const QByteArray& bytes : {good, good.left(good.size() - 5)}) {
        QBuffer stream;
        stream.setData(bytes);
        stream.open(QIODevice::ReadOnly);
        TFilePrinter printer(device.get());
        printer.StreamMode = smUser;
        printer.Stream = &stream;
        std::vector<bool> busy;
        printer.OnBusy = [&busy](bool on) { busy.push_back(on); };
        try {
            printer.Execute();
        } catch (const EReportPrinter&) {
            EXPECT_NE(bytes, good);
        }
        EXPECT_EQ(busy, (std::vector<bool>{true, false})) << bytes.size() << " bytes";
    }
}
