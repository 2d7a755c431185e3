// Print runs measured in what they draw: every job runs into a report stream, which is read back
// with the stream reader.
#include "PrintSupport.h"

#include "report/RPFiler.h"
#include "report/RPrinter.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

constexpr double kEps = 1e-4; // the stream keeps single precision

QStringList Concat(std::initializer_list<QStringList> parts)
{
    QStringList all;
    for (const QStringList& p : parts)
        all += p;
    return all;
}

} // namespace

TEST(PrintRun, ThreeByTenTwoSheetsDrawsSixtyLabelsRowByRowWithOneBreak)
{
    auto device = PdfOnlyDevice();
    TPrintJob job = Job(Rectangle(0.1, 0.05), 2);
    QString problem;
    const Replayed out = ReadStream(StreamOf(*device, job, &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(out.pages, 2);
    const std::vector<Drawn> rects = out.OfCode(rps::Rectangle);
    ASSERT_EQ(rects.size(), 60u);
    for (std::size_t i = 0; i < rects.size(); ++i)
        EXPECT_EQ(rects[i].page, i < 30 ? 1 : 2) << i;
    // First label at (LeftMarg + Left, TopMarg + Top); the second one pitch to the right; the
    // fourth one row down.
    EXPECT_NEAR(rects[0].at.x(), 0.2875, kEps);
    EXPECT_NEAR(rects[0].at.y(), 0.55, kEps);
    EXPECT_NEAR(rects[1].at.x(), 0.2875 + 2.75, kEps);
    EXPECT_NEAR(rects[1].at.y(), 0.55, kEps);
    EXPECT_NEAR(rects[3].at.x(), 0.2875, kEps);
    EXPECT_NEAR(rects[3].at.y(), 1.55, kEps);
    // Third row, second column.
    EXPECT_NEAR(rects[7].at.x(), 3.0375, kEps);
    EXPECT_NEAR(rects[7].at.y(), 2.55, kEps);
    EXPECT_NEAR(rects[7].to.x(), 4.0375, kEps);
    EXPECT_NEAR(rects[7].to.y(), 3.05, kEps);
    // The second sheet starts at the top again.
    EXPECT_NEAR(rects[30].at.y(), 0.55, kEps);
}

TEST(PrintRun, CounterRepeatsAndRunsOnAcrossSheetsAndStartsAgainEachRun)
{
    auto device = PdfOnlyDevice();
    TPrintJob job = Job(CounterItem(1, 2), 2, LetterSheet(2, 2));
    for (int run = 0; run < 2; ++run) {
        const Replayed out = ReadStream(StreamOf(*device, job));
        EXPECT_EQ(out.Texts(1), QStringList({"1", "1", "2", "2"})) << run;
        EXPECT_EQ(out.Texts(2), QStringList({"3", "3", "4", "4"})) << run;
    }
    // Counters print in their stored style.
    const Replayed out = ReadStream(StreamOf(*device, job));
    ASSERT_FALSE(out.items.empty());
    EXPECT_TRUE(out.items[0].bold);
    EXPECT_TRUE(out.items[0].italic);
    EXPECT_FALSE(out.items[0].underline);
}

TEST(PrintRun, TwoCountersShareOneCounterAndTheLastStartWins)
{
    auto device = PdfOnlyDevice();
    const QStringList text = Concat({CounterItem(1, 1), CounterItem(-3, 1, 1.0)});
    const Replayed out = ReadStream(StreamOf(*device, Job(text, 1, LetterSheet(1, 2))));
    EXPECT_EQ(out.Texts(), QStringList({"-3", "-2", "-1", "0"}));

    // A counter started at the top of 32 bits runs on.
    const Replayed top = ReadStream(StreamOf(*device, Job(CounterItem(2147483647, 1), 1, LetterSheet(1, 2))));
    EXPECT_EQ(top.Texts(), QStringList({"2147483647", "2147483648"}));
}

TEST(PrintRun, ChosenPositionsOnlyAreDrawnAndTheCounterSkipsTheOthers)
{
    auto device = PdfOnlyDevice();
    TPrintJob job = Job(CounterItem(1, 1), 2, LetterSheet(2, 2));
    job.Positions.SpecificPositionsOnly = true;
    job.Positions.Set(0 * 2 + 1, true); // row 0, column 1
    job.Positions.Set(1 * 2 + 0, true); // row 1, column 0
    const Replayed out = ReadStream(StreamOf(*device, job));
    EXPECT_EQ(out.Texts(1), QStringList({"1", "2"}));
    EXPECT_EQ(out.Texts(2), QStringList({"3", "4"}));
    const std::vector<Drawn> texts = out.OfCode(rps::TextSpan);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_NEAR(texts[0].at.x(), 0.1875 + 2.75 + 0.1, kEps);
    EXPECT_NEAR(texts[1].at.x(), 0.1875 + 0.1, kEps);
    EXPECT_GT(texts[1].at.y(), texts[0].at.y() + 0.9);

    // Every flag clear with the mode off: every position prints.
    job.Positions.ClearPositionSelection();
    EXPECT_EQ(ReadStream(StreamOf(*device, job)).Texts().size(), 8);
}

TEST(PrintRun, EmptyItemTextGivesBlankPagesAndABlankLineEndsTheText)
{
    auto device = PdfOnlyDevice();
    const Replayed empty = ReadStream(StreamOf(*device, Job({}, 3)));
    EXPECT_EQ(empty.pages, 3);
    EXPECT_TRUE(empty.items.empty());

    const QStringList text = Concat({Rectangle(0.1, 0.1), {QString()}, Rectangle(0.5, 0.5),
                                     {QStringLiteral("TOP=abc")}});
    QString problem;
    const Replayed cut = ReadStream(StreamOf(*device, Job(text), &problem));
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(cut.OfCode(rps::Rectangle).size(), 30u);
}

TEST(PrintRun, TextIsCutAt99CharactersAndAMisspeltKindPrintsAsText)
{
    auto device = PdfOnlyDevice();
    const QString longText = QString(120, QLatin1Char('x'));
    const QStringList text = Concat({TextItem(longText), TextItem(QStringLiteral("Hello"), 0,
                                                                  QStringLiteral("TEXTT"))});
    const Replayed out = ReadStream(StreamOf(*device, Job(text, 1, LetterSheet(1, 1))));
    ASSERT_EQ(out.Texts().size(), 2);
    EXPECT_EQ(out.Texts()[0], longText.left(99));
    EXPECT_EQ(out.Texts()[1], QStringLiteral("Hello"));
}

TEST(PrintRun, TextTurnedMinus90PrintsAt270)
{
    auto device = PdfOnlyDevice();
    const Replayed out = ReadStream(StreamOf(*device, Job(TextItem("Up", -90), 1, LetterSheet(1, 1))));
    const std::vector<Drawn> texts = out.OfCode(rps::TextLeft);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rotation, 270);
}

TEST(PrintRun, TextHangsFromItsTopWithAscentAndHalfTheDescent)
{
    auto device = PdfOnlyDevice();
    const Replayed out = ReadStream(StreamOf(*device, Job(TextItem("Hello"), 1, LetterSheet(1, 1))));
    const std::vector<Drawn> texts = out.OfCode(rps::TextSpan);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NEAR(texts[0].at.x(), 0.1875 + 0.2, kEps);
    // Below the item's top by more than the ascent of a 10-point font (a bit under 10/72 in)
    // and less than its full height.
    const double below = texts[0].at.y() - (0.5 + 0.1);
    EXPECT_GT(below, 0.11);
    EXPECT_LT(below, 10.0 / 72 * 1.2);
}

TEST(PrintRun, LinesShapesAndPenWidthsLandInInches)
{
    auto device = PdfOnlyDevice();
    const QStringList text = {
        "LABELITEM=HORIZONTALLINE", "TOP=0.500", "LEFT=0.100", "WIDTH=1.300", "HEIGHT=0.010",
        "ORIENTATION=H", "LINETHICKNESS=96", "LINECOLOR=0",
        "LABELITEM=VERTICALLINE", "TOP=0.100", "LEFT=2.000", "WIDTH=0.010", "HEIGHT=0.700",
        "ORIENTATION=V",
        "LABELITEM=ROUNDRECTANGLE", "TOP=0.000", "LEFT=0.000", "WIDTH=2.000", "HEIGHT=0.500",
        "BRUSHSTYLE=SOLID", "COLOR=255", "LINETHICKNESS=1", "LINECOLOR=0", "ROUNDING=10",
        "LABELITEM=ELLIPSE", "TOP=0.300", "LEFT=1.500", "WIDTH=0.500", "HEIGHT=0.400"};
    const Replayed out = ReadStream(StreamOf(*device, Job(text, 1, LetterSheet(1, 1))));
    const std::vector<Drawn> moves = out.OfCode(rps::MoveTo), lines = out.OfCode(rps::LineTo);
    ASSERT_EQ(moves.size(), 2u);
    ASSERT_EQ(lines.size(), 2u);
    // Horizontal: along the box's top; 96 screen pixels are one inch.
    EXPECT_NEAR(moves[0].at.x(), 0.2875, kEps);
    EXPECT_NEAR(moves[0].at.y(), 1.0, kEps);
    EXPECT_NEAR(lines[0].at.x(), 1.5875, kEps);
    EXPECT_NEAR(lines[0].at.y(), 1.0, kEps);
    EXPECT_NEAR(lines[0].penWidth, 1.0, 1e-3);
    // Vertical: down the left edge, with the thickness the record before it gave.
    EXPECT_NEAR(moves[1].at.x(), 2.1875, kEps);
    EXPECT_NEAR(lines[1].at.y(), 0.5 + 0.8, kEps);
    EXPECT_NEAR(lines[1].penWidth, 1.0, 1e-3);
    const std::vector<Drawn> round = out.OfCode(rps::RoundRect);
    ASSERT_EQ(round.size(), 1u);
    EXPECT_NEAR(round[0].to.x() - round[0].at.x(), 2.0, kEps);
    const std::vector<Drawn> ellipses = out.OfCode(rps::Ellipse);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_NEAR(ellipses[0].at.x(), 0.1875 + 1.5, kEps);
    EXPECT_NEAR(ellipses[0].to.y(), 0.5 + 0.7, kEps);
}

TEST(PrintRun, PicturesAreStretchedIntoTheBoxAndAMissingOneIsLeftOut)
{
    auto device = PdfOnlyDevice();
    const QString bmp = QStringLiteral(STICKWELL_TEST_DATA "/model/logo24.bmp");
    const QString wmf = QStringLiteral(STICKWELL_TEST_DATA "/model/logo.wmf");
    const QStringList text = Concat({
        {"LABELITEM=IMAGE", "TOP=0.100", "LEFT=0.100", "WIDTH=1.000", "HEIGHT=0.500", "STRETCH=N",
         "FILENAMEANDPATH=" + bmp},
        {"LABELITEM=IMAGE", "FILENAMEANDPATH=/no/such/picture.bmp"},
        {"LABELITEM=IMAGE", "TOP=0.200", "FILENAMEANDPATH=" + wmf},
        {"LABELITEM=IMAGE", "FILENAMEANDPATH=" + QStringLiteral(STICKWELL_TEST_DATA "/model/logo.gif")},
        Rectangle(0.1, 0.1)});
    QString problem;
    const Replayed out = ReadStream(StreamOf(*device, Job(text, 1, LetterSheet(2, 1)), &problem));
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    const std::vector<Drawn> bitmaps = out.OfCode(rps::StretchBitmap);
    ASSERT_EQ(bitmaps.size(), 2u);
    EXPECT_NEAR(bitmaps[0].at.x(), 0.2875, kEps);
    EXPECT_NEAR(bitmaps[0].to.x(), 1.2875, kEps);
    EXPECT_NEAR(bitmaps[0].to.y(), 1.1, kEps);
    // The metafile through its device rectangle: whole pixels of the 300-dpi printer.
    const std::vector<Drawn> metafiles = out.OfCode(rps::StretchDraw);
    ASSERT_EQ(metafiles.size(), 2u);
    EXPECT_NEAR(metafiles[0].at.y(), 0.7, 1.0 / 300);
    EXPECT_NEAR(metafiles[0].to.x(), 1.2875, 1.0 / 300);
    EXPECT_EQ(out.OfCode(rps::Rectangle).size(), 2u);
}

TEST(PrintRun, PngJpegAndSvgPrintToPdfAtTheirBoxes)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pictures.pdf");
    const auto data = [](const char* name) { return QStringLiteral(STICKWELL_TEST_DATA "/model/") + name; };
    const QStringList text = Concat({
        {"LABELITEM=IMAGE", "TOP=0.100", "LEFT=0.100", "WIDTH=1.000", "HEIGHT=0.500", "STRETCH=N",
         "FILENAMEANDPATH=" + data("logo.png")},
        {"LABELITEM=IMAGE", "TOP=0.700", "LEFT=0.100", "WIDTH=0.800", "HEIGHT=0.400",
         "FILENAMEANDPATH=" + data("logo.jpg")},
        {"LABELITEM=IMAGE", "TOP=0.100", "LEFT=1.300", "WIDTH=1.200", "HEIGHT=0.600",
         "FILENAMEANDPATH=" + data("logo.svg")}});
    // Where each lands, from the stream: PNG and JPEG as bitmaps, the SVG drawing as a graphic.
    auto device = PdfOnlyDevice();
    QString problem;
    const Replayed out = ReadStream(StreamOf(*device, Job(text, 1, LetterSheet(1, 1)), &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    const std::vector<Drawn> bitmaps = out.OfCode(rps::StretchBitmap);
    const std::vector<Drawn> drawings = out.OfCode(rps::StretchDraw);
    ASSERT_EQ(bitmaps.size(), 2u);
    ASSERT_EQ(drawings.size(), 1u);
    const QPointF origin = bitmaps[0].at - QPointF(0.1, 0.1);
    EXPECT_NEAR(bitmaps[0].to.x() - origin.x(), 1.1, kEps);
    EXPECT_NEAR(bitmaps[1].at.y() - origin.y(), 0.7, kEps);
    EXPECT_NEAR(bitmaps[1].to.y() - origin.y(), 1.1, kEps);
    EXPECT_NEAR(drawings[0].at.x() - origin.x(), 1.3, 1.0 / 300);
    EXPECT_NEAR(drawings[0].to.x() - origin.x(), 2.5, 1.0 / 300);

    // On paper: the red disc of each picture a quarter across and half down its box.
    auto printer = PdfOnlyDevice(pdf);
    ASSERT_TRUE(RunPrintJob(*printer, Job(text, 1, LetterSheet(1, 1)), nullptr).isEmpty());
    const QString png = dir.filePath("page");
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf, png}), 0);
    const QImage page(png + ".png");
    ASSERT_FALSE(page.isNull());
    const std::vector<Drawn> boxes{bitmaps[0], bitmaps[1], drawings[0]};
    for (const Drawn& box : boxes) {
        const QPointF disc(box.at.x() + 0.25 * (box.to.x() - box.at.x()), (box.at.y() + box.to.y()) / 2);
        const QColor c = page.pixelColor(int(disc.x() * 100), int(disc.y() * 100));
        EXPECT_TRUE(c.red() > 150 && c.green() < 80 && c.blue() < 80)
            << disc.x() << "," << disc.y() << " " << c.name().toStdString();
        // Beyond the box's right edge the paper is white.
        EXPECT_EQ(page.pixelColor(int(box.to.x() * 100) + 3, int(disc.y() * 100)), QColor(Qt::white));
    }
}

TEST(PrintRun, PaperAndOrientationFollowTheStock)
{
    auto device = PdfOnlyDevice();
    TSheetLayout sheet = LetterSheet(1, 1);
    sheet.PaperSize = QStringLiteral("LTRL");
    Replayed out = ReadStream(StreamOf(*device, Job({}, 1, sheet)));
    EXPECT_NEAR(out.header.nums[3], 11.0, kEps);
    EXPECT_NEAR(out.header.nums[4], 8.5, kEps);

    sheet.PaperSize = QStringLiteral("A4");
    out = ReadStream(StreamOf(*device, Job({}, 1, sheet)));
    EXPECT_NEAR(out.header.nums[3], 8.27, 1e-2);
    EXPECT_NEAR(out.header.nums[4], 11.69, 1e-2);

    // Any other paper: the printer's paper (A5 here, from the run before), in portrait.
    device->SetPaper(11, 0, 0);
    sheet.PaperSize = QStringLiteral("USER");
    out = ReadStream(StreamOf(*device, Job({}, 1, sheet)));
    EXPECT_NEAR(out.header.nums[3], 5.83, 1e-2);
    EXPECT_NEAR(out.header.nums[4], 8.27, 1e-2);
}

TEST(PrintRun, ABadNumberEndsTheRunBeforeAnythingIsDrawnAndNamesTheLine)
{
    auto device = PdfOnlyDevice();
    const QStringList text = Concat({Rectangle(0.1, 0.1), {"LABELITEM=TEXT", "FONTSIZE=1O"}});
    QString problem;
    const QByteArray bytes = StreamOf(*device, Job(text), &problem);
    EXPECT_EQ(problem, QStringLiteral("Line 11 of the label's item text: '1O' is not a valid integer value"));
    EXPECT_TRUE(bytes.isEmpty());

    const QStringList length = {"LABELITEM=RECTANGLE", "TOP=0,5"};
    StreamOf(*device, Job(length), &problem);
    EXPECT_EQ(problem, QStringLiteral("Line 2 of the label's item text: '0,5' is not a valid floating point value"));
}

TEST(PrintRun, APrinterThatCannotStartGivesAClearMessage)
{
    QTemporaryDir dir;
    auto device = PdfOnlyDevice(dir.filePath("no/such/folder/out.pdf"));
    const QString problem = RunPrintJob(*device, Job(Rectangle(0.1, 0.1)), nullptr);
    EXPECT_EQ(problem, QStringLiteral("Invalid Printer"));

    TRPDevice none(false, false);
    EXPECT_EQ(RunPrintJob(none, Job(Rectangle(0.1, 0.1)), nullptr),
              QStringLiteral("No printers installed"));
}

TEST(PrintRun, PrinterRunWritesOnePdfPageASheetAndTellsThePrinterOneCopy)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("labels.pdf");
    auto device = PdfOnlyDevice(pdf);
    device->SetCopies(3); // as a print dialog's copies field leaves it
    const QString problem = RunPrintJob(*device, Job(Rectangle(0.1, 0.05), 2), nullptr);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
    EXPECT_EQ(device->DevMode().Copies, 1);
}
