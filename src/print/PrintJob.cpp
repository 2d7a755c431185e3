#include "print/PrintJob.h"

#include "print/LabelRun.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"

#include <memory>

namespace sw {

void SetUpLabelReport(TBaseReport& report, bool toPrinter)
{
    report.StatusFormat = toPrinter ? QStringLiteral("Printing Page %p") : QStringLiteral("Printing page %p");
    report.LineHeightMethod = lhmFont;
    report.SetUnitsFactor(1.0);
    report.MarginLeft = report.MarginRight = report.MarginTop = report.MarginBottom = 0.5;
    report.Title = QStringLiteral("Test Report");
    report.ScaleX = report.ScaleY = 100.0;
    report.SetCopies(1);
    if (auto* filer = dynamic_cast<TReportFiler*>(&report))
        filer->AccuracyMethod = amPositioning;
}

QString PaperCheck(const TBaseReport& report, const TSheetLayout& sheet)
{
    const TPaperChoice paper = PaperChoiceFor(sheet.PaperSize);
    if (paper.Code == 0 || report.PaperSizeSelectable(paper.Code))
        return {};
    return QStringLiteral("The current printer does not support:") + sheet.PaperSize
           + QStringLiteral(" paper size.");
}

QString RunPrintJob(TRPDevice& device, const TPrintJob& job, QIODevice* stream,
                    const std::function<void(int sheet, int sheets)>& progress)
{
    std::unique_ptr<TBaseReport> report;
    if (stream) {
        auto filer = std::make_unique<TReportFiler>(&device);
        filer->StreamMode = smUser;
        filer->Stream = stream;
        report = std::move(filer);
    } else {
        report = std::make_unique<TReportPrinter>(&device);
    }
    if (!device.HasPrinters() && !stream)
        return QStringLiteral("No printers installed");
    try {
        const QString paper = PaperCheck(*report, job.Sheet);
        if (!paper.isEmpty())
            return paper;
        SetUpLabelReport(*report, !stream);
        TLabelRun::ApplyPaper(*report, job.Sheet);
        TLabelRun run(job.Sheet, job.Positions, job.Sheets, job.ItemText);
        if (job.Merge)
            run.SetMerge(&*job.Merge);
        // A damaged item text is found before anything reaches the printer.
        run.ReadItems();
        int shown = -1;
        const int sheets = job.Merge ? job.Merge->SheetsNeeded(TLabelRun::PositionsPerSheet(job.Sheet, job.Positions)) : job.Sheets;
        if (progress)
            run.AfterLabel = [&](int sheet) {
                if (sheet != shown)
                    progress((shown = sheet) + 1, sheets);
            };
        report->OnPrint = [&run](TBaseReport& r) { run.PrintLabels(r); };
        report->RunReport();
        if (!report->LastErrorBox().isEmpty())
            return report->LastErrorBox();
    } catch (const EItemText& e) {
        return e.Message();
    } catch (const EMergeRun& e) {
        return e.Message();
    } catch (const EBarcodeData& e) {
        return e.Message();
    } catch (const EReportPrinter& e) {
        return e.message();
    }
    return {};
}

} // namespace sw
