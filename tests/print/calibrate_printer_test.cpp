// The Calibrate Printer dialog: readings in millimetres or inches give the calibration it shows
// and stores for the chosen printer; Reset returns to none; misreadings are refused; the sheet
// prints on the chosen printer without its calibration.
#include "print/CalibratePrinter.h"
#include "print/CalibrationSheet.h"
#include "report/RPDevice.h"
#include "ui/MessageBoxes.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw;

namespace {

class CalibratePrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.SetSettingsFile(dir.filePath(QStringLiteral("QX.INI")));
        device.SetPaper(1, 0, 0);
        SetBoxHook([this](const BoxRequest& r) {
            boxes << r.text;
            return true;
        });
    }
    void TearDown() override { SetBoxHook({}); }

    void Enter(TCalibratePrinter& d, double left1, double top1, double left2, double top2)
    {
        d.Reading(1, false)->setValue(left1);
        d.Reading(1, true)->setValue(top1);
        d.Reading(2, false)->setValue(left2);
        d.Reading(2, true)->setValue(top2);
    }

    QTemporaryDir dir;
    TRPDevice device{false, true};
    QStringList boxes;
};

TEST_F(CalibratePrinterTest, ReadingsInMillimetresGiveTheCalibrationStoredOnOk)
{
    TCalibratePrinter d(device);
    ASSERT_EQ(d.PrinterBox()->currentText(), QStringLiteral("PDF file"));
    // Letter paper: the crosshairs are meant at 25.4 mm and at 190.5 mm / 254 mm.
    EXPECT_DOUBLE_EQ(d.Reading(2, false)->value(), 190.5);
    EXPECT_DOUBLE_EQ(d.Reading(2, true)->value(), 254.0);
    EXPECT_TRUE(d.Result().IsNone());

    // The printer put both crosshairs 1 mm right and 0.5 mm up, and stretched the page across.
    Enter(d, 26.4, 24.9, 192.1, 253.5);
    const TPrinterCalibration c = d.Result();
    EXPECT_NEAR(c.ScaleX, 100 * 165.1 / 165.7, 1e-6);
    EXPECT_NEAR(c.ScaleY, 100, 1e-9);
    EXPECT_NEAR(c.OffsetY, 0.5 / 25.4, 1e-9);
    EXPECT_TRUE(d.ResultLabel()->text().contains(QLatin1String("scale 99.6379 %")));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_NEAR(device.Calibration().ScaleX, c.ScaleX, 1e-4);

    // Reopened: inches show the same readings; Reset and OK remove the calibration.
    TCalibratePrinter again(device);
    again.UnitBox()->setCurrentIndex(1);
    EXPECT_NEAR(again.Reading(1, false)->value(), 1.0, 1e-9);
    again.Reading(1, false)->setValue(1.04);
    EXPECT_FALSE(again.Result().IsNone());
    again.Reset();
    EXPECT_TRUE(again.Result().IsNone());
    again.accept();
    EXPECT_TRUE(device.Calibration().IsNone());
    QFile ini(dir.filePath(QStringLiteral("QX.INI")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("Calibration"));
}

TEST_F(CalibratePrinterTest, MisreadingsAreRefusedAndNothingIsStored)
{
    TCalibratePrinter d(device);
    Enter(d, 25.4 + 30, 25.4, 190.5 + 30, 254); // a ruler laid from the wrong edge
    d.accept();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QLatin1String("more than an inch")));
    EXPECT_NE(d.result(), QDialog::Accepted);

    Enter(d, 25.4, 25.4, 25.4, 254); // both crosshairs read in one column
    d.accept();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[1].contains(QLatin1String("no calibration")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("QX.INI"))));
}

TEST_F(CalibratePrinterTest, TheSheetPrintsOnTheChosenPrinterWithoutItsCalibration)
{
    ASSERT_TRUE(WriteCalibration(device.SettingsFile(), QStringLiteral("PDF file"), {0.5, 0.5, 100, 100}));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    device.SetPdfFileName(pdf);
    QString error;
    ASSERT_TRUE(PrintCalibrationSheet(device, &error)) << error.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // The calibration is kept for the labels; only the sheet went without it.
    EXPECT_EQ(device.Calibration().OffsetX, 0.5);

    const auto [first, second] = CalibrationCrosshairs(QSizeF(8.27, 11.69));
    EXPECT_EQ(first, QPointF(1, 1));
    EXPECT_NEAR(second.x(), 7.27, 1e-9);
    EXPECT_NEAR(second.y(), 10.69, 1e-9);

    TRPDevice none(false, false);
    EXPECT_FALSE(PrintCalibrationSheet(none, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
