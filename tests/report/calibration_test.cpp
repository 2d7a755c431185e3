// Printer calibration (the arithmetic from two crosshair readings, its storage beside the other
// settings, its limits, and the device drawing with it) and the PDF printer's exchange with Qt's
// print dialog.
#include "ReportSupport.h"
#include "model/IniFile.h"
#include "report/RPCalibration.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <cmath>

using namespace sw;
using namespace sw::test;

namespace {

constexpr double kMm = 1 / 25.4; // inches

// A printer that shifts by (+1.2 mm, −0.8 mm) and scales by 99.6 % × 100.3 %.
QPointF SimulatedPrinter(const QPointF& p)
{
    return {1.2 * kMm + p.x() * 0.996, -0.8 * kMm + p.y() * 1.003};
}

// Places of the 3 × 10 letter sheet: the corners of a 0.5 × 0.3 inch mark on every label.
std::vector<QRectF> SheetMarks()
{
    std::vector<QRectF> marks;
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 3; ++col)
            marks.emplace_back(0.1875 + col * 2.75 + 0.1, 0.5 + row * 1.0 + 0.05, 0.5, 0.3);
    return marks;
}

// The calibration the two crosshairs of the calibration sheet give on the simulated printer.
TPrinterCalibration CalibrationOfSimulatedPrinter()
{
    const QPointF meant1(1, 1), meant2(7.5, 10);
    bool ok = false;
    const TPrinterCalibration c = CalibrationFromReadings(meant1, SimulatedPrinter(meant1), meant2,
                                                          SimulatedPrinter(meant2), &ok);
    EXPECT_TRUE(ok);
    return c;
}

class CalibrationTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(CalibrationTest, TwoCrosshairReadingsUndoTheSimulatedPrinterEverywhereOnTheSheet)
{
    const TPrinterCalibration c = CalibrationOfSimulatedPrinter();
    EXPECT_TRUE(CalibrationRefusal(c).isEmpty());
    // Stored and read back as a print run finds it.
    const QString ini = Path("QX.INI");
    ASSERT_TRUE(WriteCalibration(ini, QStringLiteral("GENQ"), c));
    const TPrinterCalibration stored = ReadCalibration(ini, QStringLiteral("genq"));
    EXPECT_NEAR(stored.ScaleX, 100 / 0.996, 1e-4);
    EXPECT_NEAR(stored.ScaleY, 100 / 1.003, 1e-4);
    double worst = 0;
    for (const QRectF& mark : SheetMarks())
        for (const QPointF& p : {mark.topLeft(), mark.bottomRight()}) {
            const QPointF landed = SimulatedPrinter(stored.Apply(p));
            worst = std::max({worst, std::abs(landed.x() - p.x()), std::abs(landed.y() - p.y())});
        }
    EXPECT_LT(worst / kMm, 0.01);

    bool ok = true;
    CalibrationFromReadings(QPointF(1, 1), QPointF(1, 1), QPointF(1, 5), QPointF(1, 5), &ok);
    EXPECT_FALSE(ok) << "crosshairs in one column cannot give a horizontal scale";
    CalibrationFromReadings(QPointF(1, 1), QPointF(2, 2), QPointF(5, 5), QPointF(1, 1), &ok);
    EXPECT_FALSE(ok) << "crosshairs that landed mirrored are a misreading";
}

TEST_F(CalibrationTest, ReadingsThatWouldMoveMoreThanAnInchOrScaleBeyondFivePercentAreRefused)
{
    TPrinterCalibration c;
    EXPECT_TRUE(CalibrationRefusal(c).isEmpty());
    c.OffsetX = -1.01;
    EXPECT_TRUE(CalibrationRefusal(c).contains(QLatin1String("more than an inch")));
    c = {};
    c.ScaleY = 105.2;
    EXPECT_TRUE(CalibrationRefusal(c).contains(QLatin1String("5 %")));
    c.ScaleY = NAN;
    EXPECT_FALSE(CalibrationRefusal(c).isEmpty());
    c = {0.99, -0.99, 95.1, 104.9};
    EXPECT_TRUE(CalibrationRefusal(c).isEmpty());
}

TEST_F(CalibrationTest, StoredInSectionsOfTheirOwnBesideTheRememberedLabel)
{
    const QString ini = Path("QX.INI");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Remember]\r\nLastUse=12\r\n\r\n[Other]\r\nKey=1\r\n");
    }
    const TPrinterCalibration a{0.0472, -0.0315, 100.4016, 99.7009};
    ASSERT_TRUE(WriteCalibration(ini, QStringLiteral("PDF file"), a));
    ASSERT_TRUE(WriteCalibration(ini, QStringLiteral("Büro"), {0.01, 0, 100, 100}));
    EXPECT_EQ(ReadCalibration(ini, QStringLiteral("PDF file")), a);
    EXPECT_EQ(ReadCalibration(ini, QStringLiteral("Büro")).OffsetX, 0.01);
    EXPECT_TRUE(ReadCalibration(ini, QStringLiteral("GENQ")).IsNone());
    EXPECT_EQ(TIniFile(ini).Value(QStringLiteral("Remember"), QStringLiteral("LastUse")), QStringLiteral("12"));
    EXPECT_EQ(TIniFile(ini).Value(QStringLiteral("Other"), QStringLiteral("Key")), QStringLiteral("1"));

    // Reset removes the printer's section and nothing else.
    ASSERT_TRUE(WriteCalibration(ini, QStringLiteral("PDF file"), {}));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_FALSE(text.contains("PDF file"));
    EXPECT_TRUE(text.startsWith("[Remember]\r\nLastUse=12\r\n\r\n[Other]\r\nKey=1\r\n")) << text.constData();
    f.close();

    // A section edited by hand into a misreading, or into text, moves nothing.
    TIniFile edit(ini);
    edit.SetValue(QStringLiteral("Calibration GENQ"), QStringLiteral("OffsetX"), QStringLiteral("3"));
    edit.SetValue(QStringLiteral("Calibration LPT"), QStringLiteral("ScaleX"), QStringLiteral("ten"));
    ASSERT_TRUE(edit.Save());
    EXPECT_TRUE(ReadCalibration(ini, QStringLiteral("GENQ")).IsNone());
    EXPECT_TRUE(ReadCalibration(ini, QStringLiteral("LPT")).IsNone());
}

// Dark ink of a grey image inside a window: its bounding box in pixels (empty when none).
QRect InkBox(const QImage& img, const QRect& window)
{
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    const QRect w = window.intersected(img.rect());
    for (int y = w.top(); y <= w.bottom(); ++y) {
        const uchar* row = img.constScanLine(y);
        for (int x = w.left(); x <= w.right(); ++x)
            if (row[x] < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

TEST_F(CalibrationTest, ThePdfPrinterCalibratedWithTheReadingsPutsEveryMarkWhereThePrinterNeedsIt)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    const QString ini = Path("QX.INI");
    const TPrinterCalibration c = CalibrationOfSimulatedPrinter();
    ASSERT_TRUE(WriteCalibration(ini, QString::fromLatin1(TRPDevice::kPdfPrinterName), c));

    auto device = PdfDevice(Path("sheet.pdf"));
    device->SetSettingsFile(ini);
    // A printable border as a real queue may have: the calibration is about the paper's corner.
    device->SetPdfMargins(QMarginsF(0.25, 0.5, 0.25, 0.5));
    TReportPrinter r(device.get());
    r.OnPrint = [](TBaseReport& rep) {
        for (int page = 0; page < 2; ++page) {
            if (page > 0)
                rep.NextPage(); // every page is calibrated, not only the first
            for (const QRectF& m : SheetMarks()) {
                rep.ChoosePen(0, psClear, 0, pmCopy);
                rep.ChooseBrush(0, bsSolid);
                rep.DrawRectangle(m.left(), m.top(), m.right(), m.bottom());
            }
        }
    };
    r.RunReport();
    ASSERT_FALSE(r.Aborted());

    constexpr int dpi = 400;
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                                 QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"),
                                 QStringLiteral("2"), QStringLiteral("-singlefile"), Path("sheet.pdf"),
                                 Path("page")}),
              0);
    const QImage page(Path("page.pgm"));
    ASSERT_FALSE(page.isNull());
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    double worst = 0;
    for (const QRectF& mark : SheetMarks()) {
        // Where the mark is in the PDF, then where the simulated printer puts that.
        const QRectF meant(c.Apply(mark.topLeft()), c.Apply(mark.bottomRight()));
        const QRect window = QRectF(meant.topLeft() * dpi, meant.size() * dpi)
                                 .adjusted(-60, -60, 60, 60).toRect();
        const QRect ink = InkBox(grey, window);
        ASSERT_FALSE(ink.isNull()) << "no mark near " << mark.x() << "," << mark.y();
        const QPointF inkCentre((ink.left() + ink.right() + 1) / 2.0 / dpi,
                                (ink.top() + ink.bottom() + 1) / 2.0 / dpi);
        const QPointF landed = SimulatedPrinter(inkCentre);
        worst = std::max({worst, std::abs(landed.x() - mark.center().x()),
                          std::abs(landed.y() - mark.center().y())});
    }
    EXPECT_LT(worst / kMm, 0.1) << "worst distance from the mark's place, mm";

    // The calibration sheet itself is printed as the printer prints.
    device->SetCalibrationSuspended(true);
    bool plain = false;
    r.OnPrint = [&](TBaseReport&) { plain = device->Canvas().transform().isIdentity(); };
    r.RunReport();
    EXPECT_TRUE(plain);
}

TEST_F(CalibrationTest, QtsPrintToFileIsThePdfPrinterAndItsFolderIsRemembered)
{
    const QString ini = Path("QX.INI");
    TRPDevice device(false, true);
    device.SetSettingsFile(ini);
    TReportPrinter r(&device);

    // Nothing chosen yet: Qt's dialog gets its own print-to-file entry without a file.
    QPrinter dialog;
    r.ExportDeviceSettings(dialog);
    EXPECT_EQ(dialog.outputFormat(), QPrinter::PdfFormat);
    EXPECT_TRUE(dialog.outputFileName().isEmpty());

    // The user picks "Print to File (PDF)" with a file: one PDF printer, that file.
    QDir(dir.path()).mkpath(QStringLiteral("out put"));
    const QString chosen = dir.filePath(QStringLiteral("out put/Sheet.pdf"));
    dialog.setOutputFileName(chosen);
    r.ImportDeviceSettings(dialog);
    ASSERT_EQ(device.Printers().size(), 1u);
    EXPECT_TRUE(device.Printer()->IsPdf);
    EXPECT_EQ(device.PdfFileName(), chosen);
    EXPECT_EQ(device.LastPdfFolder(), dir.filePath(QStringLiteral("out put")));

    // The next start proposes a file in that folder.
    TRPDevice later(false, true);
    later.SetSettingsFile(ini);
    QPrinter again;
    TReportPrinter(&later).ExportDeviceSettings(again);
    EXPECT_EQ(again.outputFileName(), dir.filePath(QStringLiteral("out put/Labels.pdf")));
    // A folder that has gone since is not proposed.
    QDir(dir.filePath(QStringLiteral("out put"))).removeRecursively();
    QPrinter gone;
    TReportPrinter(&later).ExportDeviceSettings(gone);
    EXPECT_TRUE(gone.outputFileName().isEmpty());
}

} // namespace
