// The preview window: the page at 100 %, zoom limits and fits, the page label and buttons, the
// scroll position across zooms, the engine's messages, and the picture against the PDF printer.
#include "../report/ReportSupport.h"
#include "print/FilePreview.h"
#include "print/PreviewForm.h"
#include "report/RPrinter.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

void SheetOfThirty(TBaseReport& r)
{
    int counter = 1;
    DrawLabels(r, 1, 10, 3, counter);
}

// A letter job recorded as a preview run records it.
QByteArray RecordLetter(int pages = 1)
{
    QTemporaryDir dir;
    auto device = PdfDevice(dir.filePath(QStringLiteral("unused.pdf")));
    return Record(*device, [pages](TBaseReport& r) {
        int counter = 1;
        DrawLabels(r, pages, 10, 3, counter);
    });
}

struct BoxRecorder {
    QStringList texts;
    BoxRecorder()
    {
        SetBoxHook([this](const BoxRequest& r) {
            texts << r.text;
            return true;
        });
    }
    ~BoxRecorder() { SetBoxHook({}); }
};

// A preview window on a recorded stream, shown and started.
struct Preview {
    QBuffer buffer;
    TPreviewForm form;
    explicit Preview(const QByteArray& bytes)
    {
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        form.SetStream(&buffer);
        form.show();
        QApplication::processEvents();
        form.FormActivate();
    }
    TFilePreview& P() { return *form.FilePreview1; }
};

} // namespace

TEST(Preview, LetterPageAtOneHundredPercentIsPlacedTwentyPixelsIn)
{
    Preview v(RecordLetter());
    ASSERT_TRUE(v.P().Previewing());
    ASSERT_EQ(v.P().PixelsPerInchX(), 96);
    EXPECT_EQ(v.form.windowTitle(), QStringLiteral("Label Preview"));
    EXPECT_EQ(v.form.size(), QSize(608, 424));
    EXPECT_EQ(v.P().ZoomFactor(), 100);
    EXPECT_EQ(v.P().PageBitmap().size(), QSize(816, 1056));
    EXPECT_EQ(v.P().MarginPixels(), 20);
    EXPECT_EQ(v.P().Image()->geometry(), QRect(20, 20, 816, 1056));
    EXPECT_EQ(v.form.ScrollBox1->widget()->size(), QSize(856, 1096));
    // The page is white with the labels drawn on it.
    const QImage& page = v.P().PageBitmap();
    EXPECT_EQ(page.pixelColor(2, 2), QColor(Qt::white));
    int ink = 0;
    for (int y = 0; y < page.height(); y += 3)
        for (int x = 0; x < page.width(); x += 3)
            ink += qGray(page.pixel(x, y)) < 128;
    EXPECT_GT(ink, 1000);
}

TEST(Preview, OnePageStreamHidesThePageButtons)
{
    Preview v(RecordLetter());
    EXPECT_EQ(v.form.PageLabel->text(), QStringLiteral("Page 1 of 1"));
    EXPECT_TRUE(v.form.sbPrevPage->isHidden());
    EXPECT_TRUE(v.form.sbNextPage->isHidden());
    EXPECT_FALSE(v.form.sbZoomIn->isHidden());
}

TEST(Preview, PagesOfALongerStreamStepOneByOne)
{
    Preview v(RecordLetter(3));
    EXPECT_EQ(v.form.PageLabel->text(), QStringLiteral("Page 1 of 3"));
    EXPECT_FALSE(v.form.sbNextPage->isHidden());
    v.form.sbNextPage->click();
    EXPECT_EQ(v.form.PageLabel->text(), QStringLiteral("Page 2 of 3"));
    v.form.sbNextPage->click();
    v.form.sbNextPage->click(); // no page after the last
    EXPECT_EQ(v.form.PageLabel->text(), QStringLiteral("Page 3 of 3"));
    v.form.sbPrevPage->click();
    EXPECT_EQ(v.form.PageLabel->text(), QStringLiteral("Page 2 of 3"));
}

TEST(Preview, ZoomStaysBetweenTenAndTwoHundred)
{
    Preview v(RecordLetter());
    for (int i = 0; i < 9; ++i)
        v.form.sbZoomOut->click();
    EXPECT_EQ(v.P().ZoomFactor(), 10);
    EXPECT_EQ(v.P().PageBitmap().size(), QSize(82, 106));
    v.form.sbZoomOut->click();
    EXPECT_EQ(v.P().ZoomFactor(), 10);
    v.P().SetZoomFactor(190);
    v.form.sbZoomIn->click();
    EXPECT_EQ(v.P().ZoomFactor(), 200);
    v.form.sbZoomIn->click();
    EXPECT_EQ(v.P().ZoomFactor(), 200);
    EXPECT_EQ(v.P().PageBitmap().size(), QSize(1632, 2112));
    // The margin stays 2.5 % of the page at 100 %, whatever the zoom.
    EXPECT_EQ(v.P().MarginPixels(), 20);
}

TEST(Preview, ZoomKeepsTheScrollPosition)
{
    Preview v(RecordLetter());
    v.form.ScrollBox1->horizontalScrollBar()->setValue(100);
    v.form.ScrollBox1->verticalScrollBar()->setValue(200);
    v.form.sbZoomIn->click();
    EXPECT_EQ(v.P().ZoomFactor(), 110);
    EXPECT_EQ(v.form.ScrollBox1->horizontalScrollBar()->value(), 100);
    EXPECT_EQ(v.form.ScrollBox1->verticalScrollBar()->value(), 200);
    // Where the smaller page leaves less room, the position goes as far as it can.
    v.P().SetZoomFactor(20);
    EXPECT_EQ(v.form.ScrollBox1->verticalScrollBar()->value(), 0);
}

TEST(Preview, PageWidthAndWholePageFitsByHand)
{
    Preview v(RecordLetter());
    // A letter page is 816 x 1056 pixels at 100 %; the margin e is round(816 x 2.5 %) = 20.
    QScrollArea& box = *v.form.ScrollBox1;
    const int frame = v.P().BorderWidth();
    const int bar = v.P().VerticalBarWidth();
    ASSERT_EQ(frame, box.frameWidth() * 2);
    ASSERT_GT(bar, 0);
    // 608 x 383: (608 - (frame + 40)) / 816 makes the page taller than the room, so the vertical
    // scroll bar's width comes off too.
    EXPECT_NEAR(v.P().ZoomPageWidthFactor(), (608.0 - (frame + 40 + bar)) / 816 * 100, 1e-9);
    // Whole page: A = 604, H = 379; zx = (604 - 40) / 816, zy = (379 - 40) / 1056 = 32.10 %.
    EXPECT_NEAR(v.P().ZoomPageFactor(), (379.0 - 40) / 1056 * 100, 1e-9);
    EXPECT_NEAR(v.P().ZoomPageFactor(), 32.102, 0.001);

    // In a tall box the page fits in height: no scroll bar correction.
    box.resize(1000, 1500);
    EXPECT_NEAR(v.P().ZoomPageWidthFactor(), (1000.0 - (frame + 40)) / 816 * 100, 1e-9);
    // Whole page here is bound by the width: (996 - 40) / 816 = 117.16 %.
    EXPECT_NEAR(v.P().ZoomPageFactor(), (996.0 - 40) / 816 * 100, 1e-9);

    // Scaled margins: z = (W - Bd) / (Pw x (1 + 2.5 x 0.02)) when it fits.
    v.P().MarginMethod = mmScaled;
    EXPECT_NEAR(v.P().ZoomPageWidthFactor(), (1000.0 - frame) / (816 * 1.05) * 100, 1e-9);
    EXPECT_NEAR(v.P().ZoomPageFactor(), 996.0 / (816 * 1.05) * 100, 1e-9);
    v.P().MarginMethod = mmFixed;

    // The buttons apply them, and the page-width page then fills the room without a
    // horizontal scroll bar.
    box.resize(608, 383);
    v.form.sbZoomPageWidth->click();
    EXPECT_NEAR(v.P().ZoomFactor(), (608.0 - (frame + 40 + bar)) / 816 * 100, 1e-9);
    QApplication::processEvents();
    EXPECT_EQ(box.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(box.verticalScrollBar()->maximum(), 0);
    v.form.sbZoomPage->click();
    EXPECT_NEAR(v.P().ZoomFactor(), 32.102, 0.001);
}

TEST(Preview, EngineMessagesReachTheUser)
{
    BoxRecorder boxes;
    {
        // The last byte, the page's end, turned into a code no reader knows.
        QByteArray bytes = RecordLetter();
        ASSERT_EQ(bytes.back(), char(82));
        bytes.back() = char(99);
        Preview v(bytes);
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("Unexpected code found in report file."));
        EXPECT_TRUE(v.P().Aborted());
    }
    boxes.texts.clear();
    {
        TPreviewForm form;
        form.show();
        form.FormActivate();
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.texts[0], QStringLiteral("StreamMode is smUser but Stream is nil"));
    }
    TFilePreview alone;
    QBuffer empty;
    alone.Stream = &empty;
    try {
        alone.Start();
        ADD_FAILURE() << "started without a scroll box";
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(), QStringLiteral("ScrollBox must be assigned for FilePreview component"));
    }
    QStringList refused;
    alone.OnRefused = [&refused](const QString& text) { refused << text; };
    alone.SetShadowDepth(4);
    alone.SetMonochrome(true);
    EXPECT_FALSE(alone.Monochrome());
    alone.SetShadowDepth(0);
    alone.SetMonochrome(true);
    alone.SetShadowDepth(3);
    EXPECT_EQ(alone.ShadowDepth(), 0);
    EXPECT_EQ(refused, (QStringList{QString::fromLatin1(kMonochromeWithShadow), QString::fromLatin1(kShadowWithMonochrome)}));
}

TEST(Preview, ShowsWhatThePdfPrinterPrints)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    // Hatched fills are patterns of device pixels: a printer at 96 pixels per inch hatches as
    // the screen does.
    auto printerDevice = PdfDevice(pdf, 96);
    TReportPrinter printer(printerDevice.get());
    printer.OnPrint = SheetOfThirty;
    printer.RunReport();
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                          QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("sheet"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QImage printed = QImage(dir.filePath(QStringLiteral("sheet.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), QSize(816, 1056));

    QTemporaryDir other;
    auto filerDevice = PdfDevice(other.filePath(QStringLiteral("unused.pdf")));
    Preview v(Record(*filerDevice, SheetOfThirty));
    const QImage& shown = v.P().PageBitmap();
    ASSERT_EQ(shown.size(), printed.size());
    // A pixel differs when nothing within one pixel of it in the other picture is close: edges
    // shaded or stepped differently are anti-aliasing, shapes in other places are not.
    const auto close = [](QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) <= 96;
    };
    const auto nearby = [&close](const QImage& image, int x, int y, QRgb colour) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (image.valid(x + dx, y + dy) && close(image.pixel(x + dx, y + dy), colour))
                    return true;
        return false;
    };
    qint64 ink = 0, differ = 0;
    QImage map(shown.size(), QImage::Format_RGB32);
    map.fill(Qt::white);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = printed.pixel(x, y), b = shown.pixel(x, y);
            ink += qGray(a) < 200;
            if (!close(a, b) && !(nearby(printed, x, y, b) && nearby(shown, x, y, a))) {
                ++differ;
                map.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    if (qEnvironmentVariableIsSet("STICKWELL_KEEP_PREVIEW")) {
        printed.save(QStringLiteral("/tmp/preview-printed.png"));
        shown.save(QStringLiteral("/tmp/preview-shown.png"));
        map.save(QStringLiteral("/tmp/preview-differ.png"));
        std::printf("%lld ink pixels, %lld differ\n", ink, differ);
    }
    // Anti-aliasing differs along edges, one pixel wide; a patch of differing pixels would be a
    // shape drawn elsewhere or filled otherwise.
    int patches = 0;
    const QRgb red = qRgb(255, 0, 0);
    for (int y = 1; y + 1 < map.height(); ++y)
        for (int x = 1; x + 1 < map.width(); ++x)
            patches += map.pixel(x, y) == red && map.pixel(x - 1, y) == red && map.pixel(x + 1, y) == red
                       && map.pixel(x, y - 1) == red && map.pixel(x, y + 1) == red;
    EXPECT_GT(ink, 10000);
    EXPECT_EQ(patches, 0);
    EXPECT_LT(differ, ink / 20) << differ << " of " << ink;
}
