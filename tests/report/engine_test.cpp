// The report engine's job lifecycle, units and device conversion, fonts, pens and status line,
// on the PDF printer.
#include "ReportSupport.h"

#include <QFile>
#include <QPrinter>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

class EngineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Pdf(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(EngineTest, UnitsAddressTheSamePointAndFactorNamesTheUnit)
{
    auto device = PdfDevice(Pdf("u.pdf"));
    TReportPrinter r(device.get());
    int mmX = 0, mmY = 0, inX = 0, inY = 0;
    r.OnPrint = [&](TBaseReport& rep) {
        rep.SetUnits(unMM);
        rep.MoveCursor(25.4, 25.4);
        mmX = rep.UnitsToDeviceX(rep.XPos());
        mmY = rep.UnitsToDeviceY(rep.YPos());
        rep.SetUnits(unInch);
        rep.MoveCursor(1, 1);
        inX = rep.UnitsToDeviceX(rep.XPos());
        inY = rep.UnitsToDeviceY(rep.YPos());
    };
    r.RunReport();
    EXPECT_EQ(mmX, 300);
    EXPECT_EQ(mmX, inX);
    EXPECT_EQ(mmY, inY);

    r.SetUnitsFactor(72.0);
    EXPECT_EQ(r.Units(), unPoint);
    r.SetUnitsFactor(10);
    EXPECT_EQ(r.Units(), unUser);
    EXPECT_EQ(r.UnitsFactor(), 10);
    r.SetUnitsFactor(0);
    r.SetUnitsFactor(-3);
    EXPECT_EQ(r.UnitsFactor(), 10);
    EXPECT_EQ(r.Units(), unUser);
    r.SetUnits(unCM);
    EXPECT_EQ(r.UnitsFactor(), 2.54);
    r.SetUnits(unUser);
    EXPECT_EQ(r.UnitsFactor(), 2.54);
}

TEST_F(EngineTest, CoordinatesNamePaperPointsWhateverTheUnprintableBorder)
{
    auto device = PdfDevice(Pdf("border.pdf"));
    device->SetPdfMargins(QMarginsF(0.25, 0.25, 0.25, 0.25));
    TReportPrinter r(device.get());
    QRect rect;
    r.OnPrint = [&](TBaseReport& rep) {
        rep.SetOriginX(0.5);
        rep.SetOriginY(0.25);
        rect = rep.InchRectToDevice(0, 0, 1, 1);
    };
    r.RunReport();
    // Device pixels count from the printable area, a quarter inch in from the paper's corner.
    EXPECT_EQ(rect, QRect(75, 0, 300, 300));
}

TEST_F(EngineTest, NegativePenWidthsAreHundredthsOfAnInchAndNeverZero)
{
    for (const auto& [dpi, pixels] : {std::pair{300, 3}, std::pair{72, 1}, std::pair{600, 6}}) {
        auto device = PdfDevice(Pdf("pen.pdf"), dpi);
        TReportPrinter r(device.get());
        int width = -1;
        r.OnPrint = [&](TBaseReport& rep) {
            rep.ChoosePen(0, 0, -1, 4);
            width = rep.Pen().width;
        };
        r.RunReport();
        EXPECT_EQ(width, pixels) << dpi;
    }
}

TEST_F(EngineTest, FontStateSelectResetsAttributesAndRotationKeepsItsSign)
{
    auto device = PdfDevice(Pdf("font.pdf"));
    TReportPrinter r(device.get());
    r.OnPrint = [&](TBaseReport& rep) {
        rep.SelectFont(QStringLiteral("Liberation Sans"), 12);
        EXPECT_EQ(rep.Font().pixelHeight, 50); // 300 * 12 / 72
        EXPECT_NEAR(rep.FontHeightInches(), 50.0 / 300, 1e-12);
        rep.SetBold(true);
        rep.SetUnderline(true);
        rep.SetFontColor(0xFF);
        rep.SetTextAnchor(2);
        rep.SetFontRotation(-90);
        EXPECT_EQ(rep.Font().rotation, -90);
        rep.SetFontRotation(450);
        EXPECT_EQ(rep.Font().rotation, 90);
        rep.SelectFont(QStringLiteral("Liberation Serif"), 0); // ignored entirely
        EXPECT_TRUE(rep.Font().bold);
        rep.SelectFont(QStringLiteral("Liberation Serif"), 10);
        EXPECT_FALSE(rep.Font().bold);
        EXPECT_FALSE(rep.Font().underline);
        EXPECT_EQ(rep.Font().color, 0);
        EXPECT_EQ(rep.Font().rotation, 0);
        EXPECT_EQ(rep.Font().anchor, 0);

        // Text advances the cursor along its direction: up the page at 90 degrees.
        rep.MoveCursor(1, 5);
        const double w = rep.TextWidth(QStringLiteral("Label"));
        rep.PrintText(QStringLiteral("Label"));
        EXPECT_NEAR(rep.XPos(), 1 + w, 1e-9);
        rep.SetFontRotation(90);
        rep.MoveCursor(1, 5);
        rep.PrintText(QStringLiteral("Label"));
        EXPECT_NEAR(rep.XPos(), 1, 1e-9);
        EXPECT_NEAR(rep.YPos(), 5 - w, 1e-9);
        rep.SetFontRotation(-90);
        rep.PrintTextAt(QStringLiteral("Label"), 2, 2);
        EXPECT_NEAR(rep.YPos(), 2 + w, 1e-9);
        EXPECT_GT(rep.FontAscent(), rep.FontDescent());
    };
    r.RunReport();
    EXPECT_EQ(r.FontCacheSize(), 0); // emptied with the job
}

TEST_F(EngineTest, StatusFormatCodes)
{
    auto device = PdfDevice(Pdf("status.pdf"));
    TReportPrinter r(device.get());
    QStringList shown;
    r.StatusLabel = [&](const QString& s) { shown << s; };
    r.StatusText = QStringList{QStringLiteral("zero"), QStringLiteral("one")};
    r.StatusFormat = QStringLiteral("Printing Page %p");
    int pages = 0;
    r.OnPrintPage = [&](TBaseReport&, int&) { return ++pages < 2; };
    r.RunReport();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Printing Page 1"), QStringLiteral("Printing Page 2")}));

    EXPECT_EQ(r.ExpandStatus(QStringLiteral("%q")), QStringLiteral("<ERROR-%q>"));
    EXPECT_EQ(r.ExpandStatus(QStringLiteral("%Q!")), QStringLiteral("<ERROR-%Q>!"));
    EXPECT_EQ(r.ExpandStatus(QStringLiteral("%L")), QStringLiteral("9999"));
    EXPECT_EQ(r.ExpandStatus(QStringLiteral("%f-%l")), QStringLiteral("1-9999"));
    EXPECT_EQ(r.ExpandStatus(QStringLiteral("100%% %0/%1/%5 end%")), QStringLiteral("100% zero/one/ end%"));
    EXPECT_EQ(r.ExpandStatus(QStringLiteral("%d|%t")), QStringLiteral("PDF file|FILE:"));
    EXPECT_EQ(r.ExpandStatus(QStringLiteral("\rLabel Print Completed!")), QStringLiteral("\rLabel Print Completed!"));
}

TEST_F(EngineTest, PrintPageEventGivesOnePagePerTrueAndOneMore)
{
    auto device = PdfDevice(Pdf("three.pdf"));
    TReportPrinter r(device.get());
    int calls = 0, newPages = 0, after = 0;
    std::vector<int> numbers;
    r.OnNewPage = [&](TBaseReport&) { ++newPages; };
    r.OnAfterPrint = [&](TBaseReport&) { ++after; };
    r.OnPrintPage = [&](TBaseReport& rep, int& n) {
        numbers.push_back(n);
        rep.DrawRectangle(1, 1, 2, 2);
        return ++calls < 3;
    };
    r.RunReport();
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(newPages, 3);
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(r.Printing());
    EXPECT_FALSE(r.Aborted());
    EXPECT_TRUE(QFile::exists(Pdf("three.pdf")));
}

TEST_F(EngineTest, AbortOnPageTwoDiscardsTheDocumentSilently)
{
    auto device = PdfDevice(Pdf("abort.pdf"));
    TReportPrinter r(device.get());
    bool drewAfterAbort = false, footer = false, after = false;
    r.OnPrintFooter = [&](TBaseReport&) { footer = true; };
    r.OnAfterPrint = [&](TBaseReport&) { after = true; };
    r.OnPrint = [&](TBaseReport& rep) {
        rep.DrawRectangle(1, 1, 2, 2);
        footer = false;
        rep.NextPage();
        footer = false;
        rep.AbortReport();
        EXPECT_TRUE(rep.SkipPage());
        rep.DrawRectangle(1, 1, 2, 2); // the silent abort ends the body here
        drewAfterAbort = true;
    };
    EXPECT_NO_THROW(r.RunReport());
    EXPECT_FALSE(drewAfterAbort);
    EXPECT_FALSE(footer);
    EXPECT_TRUE(after);
    EXPECT_TRUE(r.Aborted());
    EXPECT_TRUE(device->DocAborted());
    EXPECT_FALSE(QFile::exists(Pdf("abort.pdf")));

    // A page handler that keeps asking for pages after an abort still ends the job.
    int calls = 0;
    r.OnPrint = nullptr;
    r.OnPrintPage = [&](TBaseReport& rep, int&) {
        if (++calls == 2)
            rep.AbortReport();
        return true;
    };
    r.RunReport();
    EXPECT_EQ(calls, 2);
}

TEST_F(EngineTest, FailuresInTheEnginesOwnWords)
{
    auto device = PdfDevice(Pdf("err.pdf"));
    TReportPrinter r(device.get());
    try {
        r.DrawRectangle(0, 0, 1, 1);
        FAIL() << "drew outside a job";
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid method call.  ReportPrinter is not printing."));
    }
    EXPECT_THROW(r.NextPage(), EReportPrinter);
    EXPECT_THROW(r.FontAscent(), EReportPrinter);

    QString during;
    r.OnPrint = [&](TBaseReport& rep) {
        try {
            rep.RunReport();
        } catch (const EReportPrinter& e) {
            during = e.message();
        }
        EXPECT_THROW(rep.SetPaper(9, 0, 0), EReportPrinter);
        EXPECT_THROW(rep.SetCopies(2), EReportPrinter);
    };
    r.RunReport();
    EXPECT_EQ(during, QStringLiteral("Invalid method call.  ReportPrinter already printing."));

    // An error in the body still closes the document, then reaches the caller.
    r.OnPrint = [](TBaseReport&) { throw EReportPrinter(QStringLiteral("boom")); };
    EXPECT_THROW(r.RunReport(), EReportPrinter);
    EXPECT_FALSE(r.Printing());
    EXPECT_FALSE(device->Printing());

    TRPDevice none(false, false);
    TReportPrinter lonely(&none);
    bool ran = false;
    lonely.OnPrint = [&](TBaseReport&) { ran = true; };
    lonely.RunReport();
    EXPECT_FALSE(ran);
    EXPECT_EQ(lonely.LastErrorBox(), QStringLiteral("No printers are defined, aborting print job."));

    const auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const EReportPrinter& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { device->NewPage(); }), QStringLiteral("Invalid method call.  Device is not printing."));
    EXPECT_EQ(message([&] { device->EndDoc(); }), QStringLiteral("Invalid method call.  Device is not printing."));
    device->BeginDoc(QStringLiteral("doc"));
    EXPECT_EQ(message([&] { device->BeginDoc(QStringLiteral("again")); }),
              QStringLiteral("Invalid method call.  Device already printing."));
    EXPECT_EQ(message([&] { device->SetPaper(9, 0, 0); }),
              QStringLiteral("Invalid method call.  Device already printing."));
    device->EndDoc();

    TRPDevice pdfWithoutPath(false, true);
    TReportPrinter nowhere(&pdfWithoutPath);
    EXPECT_EQ(message([&] { nowhere.RunReport(); }), QStringLiteral("Invalid Printer"));
    EXPECT_EQ(message([&] { pdfWithoutPath.Canvas(); }), QStringLiteral("Error!  Canvas not yet active."));
}

TEST_F(EngineTest, DeviceSettingsPaperOrientationCopiesAndDialogExchange)
{
    auto device = PdfDevice(Pdf("settings.pdf"));
    ASSERT_EQ(device->Printers().size(), 1u);
    EXPECT_EQ(device->Printers()[0].Listed(), QStringLiteral("PDF file on FILE:"));
    TReportPrinter r(device.get());
    EXPECT_TRUE(r.PaperSizeSelectable(9));
    EXPECT_TRUE(r.SetPaper(9, 0, 0));
    EXPECT_EQ(device->DevMode().PaperCode, 9);
    EXPECT_FALSE(r.SetPaper(12345, 0, 0));
    r.SetOrientation(poLandScape);
    EXPECT_EQ(device->DevMode().Orientation, 2);
    EXPECT_NEAR(device->PaperSizeInches().width(), 11.69, 0.01);
    r.SetOrientation(poDefault);
    EXPECT_EQ(device->DevMode().Orientation, 2);
    EXPECT_EQ(r.Orientation(), poDefault);
    r.SetCopies(3);
    EXPECT_EQ(device->DevMode().Copies, 3);
    EXPECT_TRUE(r.SetPaper(0, 4, 6));
    EXPECT_EQ(device->DevMode().PaperWidth, 1016);
    EXPECT_EQ(device->DevMode().PaperLength, 1524);
    EXPECT_FALSE(r.SetPaper(0, 0.01, 6));

    QPrinter dialog;
    r.SetPaper(11, 0, 0);
    r.ExportDeviceSettings(dialog);
    EXPECT_EQ(dialog.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(dialog.pageLayout().pageSize().id(), QPageSize::A5);
    dialog.setPageSize(QPageSize(QPageSize::Letter));
    dialog.setPageOrientation(QPageLayout::Portrait);
    dialog.setCopyCount(7);
    r.ImportDeviceSettings(dialog);
    EXPECT_EQ(device->DevMode().PaperCode, 1);
    EXPECT_EQ(device->DevMode().Orientation, 1);
    EXPECT_EQ(device->DevMode().Copies, 7);
    EXPECT_EQ(r.Copies(), 3); // the property keeps its value

    TRPDevice none(false, false);
    TReportPrinter lonely(&none);
    EXPECT_FALSE(lonely.PaperSizeSelectable(1));
    EXPECT_FALSE(lonely.SetPaper(1, 0, 0));
    EXPECT_TRUE(lonely.SetPaper(0, 4, 6)); // remembered as the page size
    EXPECT_EQ(none.PaperSizeInches(), QSizeF(4, 6));
    lonely.SetOrientation(poLandScape);
    EXPECT_EQ(lonely.Orientation(), poLandScape);
    EXPECT_EQ(none.DevMode().Orientation, 1);
}

} // namespace
