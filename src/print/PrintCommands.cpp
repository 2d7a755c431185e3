#include "print/PrintCommands.h"

#include "print/LabelPrint.h"
#include "print/LabelRun.h"
#include "print/PreviewForm.h"
#include "print/PrintJob.h"
#include "print/SelectLabelsToPrint.h"
#include "print/SelectRecordsToPrint.h"
#include "ui/WindowServices.h"

#include <QBuffer>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace sw;

TPrintCommands::TPrintCommands(TWindowServices& services, TPositionSelection& positions,
                               std::function<TSheetLayout()> sheet, std::function<QStringList()> saveItems,
                               TRPDevice& device)
    : MainReportPrinter(&device),
      services_(services),
      positions_(positions),
      sheet_(std::move(sheet)),
      saveItems_(std::move(saveItems)),
      device_(device)
{
    MainReportPrinter.StatusFormat = QStringLiteral("Printing page %p");
    MainReportPrinter.SetUnitsFactor(1.0);
    MainReportPrinter.Title = QStringLiteral("ReportPrinter Report");
    MainReportPrinter.SetOrientation(poPortrait);
    RunPrintDialog = [&services](QPrinter& printer) {
        QPrintDialog dialog(&printer, services.MainWidget());
        dialog.setMinMax(1, 1000);
        return dialog.exec() == QDialog::Accepted;
    };
    RunPrinterSetupDialog = [&services](QPrinter& printer) {
        QPageSetupDialog dialog(&printer, services.MainWidget());
        return dialog.exec() == QDialog::Accepted;
    };
    RunSelectRecordsDialog = [&services](const TMergeData& data, std::vector<int>& chosen) {
        TSelectRecordsToPrint dialog(services, data, services.MainWidget());
        services.CenterOverMainWindow(&dialog);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        chosen = dialog.Chosen();
        return true;
    };
}

void TPrintCommands::mnuPrintLabelsClick()
{
    if (!device_.HasPrinters()) {
        services_.ShowInformation(QStringLiteral("No printers installed"));
        return;
    }
    QPrinter printer;
    MainReportPrinter.ExportDeviceSettings(printer);
    if (!RunPrintDialog(printer))
        return;
    MainReportPrinter.ImportDeviceSettings(printer);
    // The copies field gives the number of sheets; the counter runs on across all of them. A
    // merge label prints every record on that many positions in a row instead.
    PageCount = printer.copyCount();
    if (PageCount > 0) {
        PrintToPrinter = true;
        if (PrepareMerge(PageCount))
            DoPRint();
    }
}

void TPrintCommands::mnuPreviewClick()
{
    if (!device_.HasPrinters()) {
        services_.ShowInformation(QStringLiteral("No printers installed - cannot preview"));
        return;
    }
    PrintToPrinter = false;
    PageCount = 1;
    if (PrepareMerge(1))
        DoPRint();
}

void TPrintCommands::mnuPrinterSetupClick()
{
    if (!device_.HasPrinters()) {
        services_.ShowInformation(QStringLiteral("No printers installed"));
        return;
    }
    QPrinter printer;
    MainReportPrinter.ExportDeviceSettings(printer);
    RunPrinterSetupDialog(printer);
    // The settings come back whether the dialog was confirmed or not.
    MainReportPrinter.ImportDeviceSettings(printer);
}

void TPrintCommands::mnuSelectSpecificLabelsClick()
{
    const TSheetLayout sheet = sheet_();
    TSelectLabelsToPrint dialog(services_, positions_, sheet.NbrAcross, sheet.NbrDown,
                                services_.MainWidget());
    services_.CenterOverMainWindow(&dialog);
    if (dialog.exec() == QDialog::Accepted)
        positions_.SpecificPositionsOnly = true;
}

bool TPrintCommands::PrepareMerge(int copies)
{
    merge_.reset();
    const TLabelMergeSource label = MergeSource ? MergeSource() : TLabelMergeSource{};
    if (!label.Source.IsSet())
        return true;
    TMergeRun merge;
    QString error;
    if (!LoadMergeData(ResolvedMergePath(label.Source.File, label.TableDir), label.Source, merge.Data, &error)) {
        services_.ShowInformation(error);
        return false;
    }
    if (merge.Data.Records.empty()) {
        services_.ShowInformation(QStringLiteral("No records to print"));
        return false;
    }
    merge.Copies = copies;
    if (PrintToPrinter) {
        if (!RunSelectRecordsDialog(merge.Data, merge.Records))
            return false;
    } else {
        // The preview shows the first sheet of every record.
        merge.ChooseAll();
        merge.FirstSheetOnly = true;
    }
    merge_ = std::move(merge);
    return true;
}

void TPrintCommands::DoPRint()
{
    const TSheetLayout sheet = sheet_();
    const TPaperChoice paper = PaperChoiceFor(sheet.PaperSize);
    lastAborted_ = false;
    try {
        const QString refused = PaperCheck(MainReportPrinter, sheet);
        if (!refused.isEmpty()) {
            services_.ShowInformation(refused);
            return;
        }
        MainReportPrinter.SetOrientation(paper.Landscape ? poLandScape : poPortrait);

        TLabelPrint form(services_, device_, services_.MainWidget());
        services_.CenterOverMainWindow(&form);
        // Unsaved changes on the design panel print too.
        form.ObjectsMemo = saveItems_();
        form.PageCount = PageCount;
        form.PrintToPrinter = PrintToPrinter;
        form.Sheet = sheet;
        form.Positions = positions_;
        form.Merge = merge_ ? &*merge_ : nullptr;
        QBuffer stream;
        if (PrintToPrinter) {
            form.setWindowTitle(QStringLiteral("Print Status"));
            form.CancelButton->setText(QStringLiteral("Cancel"));
        } else {
            stream.open(QIODevice::ReadWrite);
            form.LabelReportFiler.Stream = &stream;
            form.setWindowTitle(QStringLiteral("Preview Status"));
            form.CancelButton->setText(QStringLiteral("Stop"));
        }
        TLabelRun::ApplyPaper(form.ActiveReport(), sheet);
        // The window closes itself with Accepted only after a run that ended without an error.
        const bool finished = form.exec() == QDialog::Accepted;
        lastAborted_ = form.ActiveReport().Aborted();
        if (!PrintToPrinter && !lastAborted_ && finished) {
            TPreviewForm preview(services_.MainWidget());
            services_.CenterOverMainWindow(&preview);
            preview.setWindowTitle(QStringLiteral("Preview Labels"));
            stream.seek(0);
            preview.SetStream(&stream);
            preview.exec();
        }
    } catch (const EReportPrinter& e) {
        services_.ShowMessage(e.message());
    }
}
