// The print windows on the offscreen platform: the position chooser, the status window with its
// cancel question, and the menu commands from the print dialog to the preview.
#include "PrintSupport.h"

#include "model/PositionSelection.h"
#include "print/LabelPrint.h"
#include "../common/HelpCheck.h"
#include "print/CalibratePrinter.h"
#include "print/FilePreview.h"
#include "print/PreviewForm.h"
#include "print/PrintCommands.h"
#include "print/SelectLabelsToPrint.h"
#include "print/SelectRecordsToPrint.h"
#include "ui/WindowServices.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

class Services : public TWindowServices {
public:
    TWindowState state;
    QStringList messages;
    QStringList questions;
    std::deque<bool> answers; // next answers to the questions (default: Yes)

    TWindowState& State() override { return state; }
    QWidget* MainWidget() override { return nullptr; }
    void TriggerChange() override {}
    void ShutOffSaveButtons() override {}
    void UpdateScreenStatus() override {}
    bool ChangesPending() const override { return false; }
    void ShowInformation(const QString& text) override { messages << text; }
    bool AskYesNo(const QString& text, const QString&) override
    {
        questions << text;
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    bool AskYesNoDefaultNo(const QString& text, const QString& caption) override { return AskYesNo(text, caption); }
    void ShowMessage(const QString& text) override { messages << text; }
    void CenterOverMainWindow(QWidget*) override {}
    double PixelsPerInch() const override { return 96.0; }
};

QStringList Listed(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

QStringList Checked(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->checkState() == Qt::Checked)
            out << list.item(i)->text();
    return out;
}

// Calls act with every modal window that comes up until stop() is called.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> act)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [act] {
            if (QWidget* w = QApplication::activeModalWidget())
                act(w);
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

} // namespace

TEST(SelectLabelsToPrint, ListsEveryPositionRowByRowAndStoresACheckedChoice)
{
    Services services;
    TPositionSelection selection;
    {
        TSelectLabelsToPrint dialog(services, selection, 3, 2);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Specific Labels"));
        EXPECT_EQ(Listed(*dialog.LabelsList),
                  QStringList({"Row 1, Column 1", "Row 1, Column 2", "Row 1, Column 3",
                               "Row 2, Column 1", "Row 2, Column 2", "Row 2, Column 3"}));
        EXPECT_TRUE(Checked(*dialog.LabelsList).isEmpty());
        dialog.LabelsList->item(1)->setCheckState(Qt::Checked);
        dialog.Okbutton->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(selection.IsSet(1));
    EXPECT_FALSE(selection.IsSet(0));
    TSelectLabelsToPrint again(services, selection, 3, 2);
    EXPECT_EQ(Checked(*again.LabelsList), QStringList({"Row 1, Column 2"}));
}

TEST(SelectLabelsToPrint, AllClosesWithCancelAndNoneIsRefused)
{
    Services services;
    TPositionSelection selection;
    selection.Set(4, true);
    {
        TSelectLabelsToPrint dialog(services, selection, 3, 2);
        dialog.show();
        dialog.NonebuttonClick();
        dialog.Okbutton->click();
        EXPECT_EQ(services.messages, QStringList({"No labels selected"}));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(selection.IsSet(4));
        dialog.CancelButton->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(selection.IsSet(4));
    EXPECT_FALSE(selection.IsSet(0));

    TSelectLabelsToPrint dialog(services, selection, 3, 2);
    dialog.show();
    dialog.Allbutton->click();
    dialog.Okbutton->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(selection.IsSet(i)) << i;
}

TEST(SelectLabelsToPrint, ThreeHundredPositionsEachHaveAFlag)
{
    Services services;
    TPositionSelection selection;
    TSelectLabelsToPrint dialog(services, selection, 10, 30);
    ASSERT_EQ(dialog.LabelsList->count(), 300);
    EXPECT_EQ(dialog.LabelsList->item(299)->text(), QStringLiteral("Row 30, Column 10"));
    dialog.LabelsList->item(299)->setCheckState(Qt::Checked);
    dialog.Okbutton->click();
    EXPECT_TRUE(selection.IsSet(299));
    EXPECT_TRUE(selection.Prints(29, 9, 10) || !selection.SpecificPositionsOnly);
}

TEST(PrintCommands, SelectSpecificLabelsTurnsTheModeOnOnlyForAPartialChoice)
{
    Services services;
    TPositionSelection selection;
    auto device = PdfOnlyDevice();
    TPrintCommands commands(services, selection, [] { return LetterSheet(2, 2); },
                            [] { return QStringList(); }, *device);
    bool all = false;
    ModalWatcher watcher([&all](QWidget* w) {
        if (auto* d = qobject_cast<TSelectLabelsToPrint*>(w)) {
            if (all)
                d->AllbuttonClick();
            else
                d->LabelsList->item(2)->setCheckState(Qt::Checked);
            d->Okbutton->click();
        }
    });
    commands.mnuSelectSpecificLabelsClick();
    EXPECT_TRUE(selection.SpecificPositionsOnly);
    EXPECT_TRUE(selection.Prints(1, 0, 2));
    EXPECT_FALSE(selection.Prints(0, 0, 2));

    // A label change clears the choice; then every position prints and nothing is checked.
    selection.ClearPositionSelection();
    EXPECT_TRUE(selection.Prints(0, 0, 2));
    all = true;
    commands.mnuSelectSpecificLabelsClick();
    EXPECT_FALSE(selection.SpecificPositionsOnly);
}

namespace {

struct StatusRun {
    QString caption, button, status;
    int labels = 0;
    bool aborted = false;
};

// Shows the status window for a run of the job and clicks its button once while the run is going.
StatusRun RunStatusWindow(Services& services, TRPDevice& device, bool toPrinter, bool clickCancel,
                          const TPrintJob& job, QBuffer* stream)
{
    TLabelPrint form(services, device);
    form.PrintToPrinter = toPrinter;
    form.PageCount = job.Sheets;
    form.Sheet = job.Sheet;
    form.ObjectsMemo = job.ItemText;
    form.LabelReportFiler.Stream = stream;
    QTimer clicker;
    bool clicked = false;
    clicker.setInterval(0);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (clickCancel && !clicked && form.Running()) {
            clicked = true;
            form.CancelButton->click();
        }
    });
    clicker.start();
    form.exec();
    return {form.windowTitle(), form.CancelButton->text(), form.Label1->text(), form.LabelsDrawn(),
            form.ActiveReport().Aborted()};
}

} // namespace

TEST(LabelPrint, AnsweringNoLetsTheRunFinishAndYesStopsItAfterTheCurrentLabel)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("run.pdf");
    auto device = PdfOnlyDevice(pdf);
    const TPrintJob job = Job(Rectangle(0.1, 0.1), 2);
    Services services;
    services.answers = {false};
    StatusRun run = RunStatusWindow(services, *device, true, true, job, nullptr);
    EXPECT_EQ(services.questions, QStringList({"Cancel Label Printing?"}));
    EXPECT_EQ(run.labels, 60);
    EXPECT_FALSE(run.aborted);
    EXPECT_EQ(run.status, QStringLiteral("\nLabel Print Completed!"));
    EXPECT_TRUE(QFile::exists(pdf));

    QFile::remove(pdf);
    services.answers = {true};
    run = RunStatusWindow(services, *device, true, true, job, nullptr);
    EXPECT_TRUE(run.aborted);
    // The question may come while the engine shows the first page's status, before any label.
    EXPECT_LT(run.labels, 60);
    EXPECT_EQ(run.status, QStringLiteral("\nLabel Print Canceled!"));
    // An aborted document does not reach the printer.
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(LabelPrint, APreviewRunFillsTheStreamAndStopAsksAboutThePreview)
{
    auto device = PdfOnlyDevice();
    const TPrintJob job = Job(CounterItem(1, 1));
    Services services;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    StatusRun run = RunStatusWindow(services, *device, false, false, job, &stream);
    EXPECT_EQ(run.status, QStringLiteral("\nLabel Preview Ready!"));
    EXPECT_EQ(ReadStream(stream.data()).Texts().size(), 30);

    services.answers = {true};
    run = RunStatusWindow(services, *device, false, true, job, &stream);
    EXPECT_EQ(services.questions, QStringList({"Cancel Preview?"}));
    EXPECT_EQ(run.status, QStringLiteral("\nLabel Preview Canceled!"));
}

TEST(LabelPrint, ADamagedItemTextIsReportedAndTheWindowWaitsForItsButton)
{
    auto device = PdfOnlyDevice();
    const TPrintJob job = Job({"LABELITEM=TEXT", "TOP=x"});
    Services services;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    TLabelPrint form(services, *device);
    form.PrintToPrinter = false;
    form.ObjectsMemo = job.ItemText;
    form.Sheet = job.Sheet;
    form.LabelReportFiler.Stream = &stream;
    bool pressed = false;
    QTimer presser;
    presser.setInterval(5);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (!services.messages.isEmpty() && !pressed) {
            pressed = true;
            form.CancelButton->click();
        }
    });
    presser.start();
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_EQ(services.messages,
              QStringList({"Line 2 of the label's item text: 'x' is not a valid floating point value"}));
}

TEST(PrintCommands, PrintDialogCopiesBecomeSheetsAndThePrinterIsToldOneCopy)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("labels.pdf");
    auto device = PdfOnlyDevice(pdf);
    Services services;
    TPositionSelection selection;
    int saves = 0;
    TPrintCommands commands(services, selection, [] { return LetterSheet(); },
                            [&saves] { ++saves; return Rectangle(0.1, 0.1); }, *device);
    commands.RunPrintDialog = [](QPrinter& printer) {
        printer.setCopyCount(2);
        return true;
    };
    commands.mnuPrintLabelsClick();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(commands.PageCount, 2);
    EXPECT_FALSE(commands.LastRunAborted());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/Type /Page\n"), 2);
    EXPECT_EQ(device->DevMode().Copies, 1);

    // A cancelled dialog prints nothing.
    file.close();
    QFile::remove(pdf);
    commands.RunPrintDialog = [](QPrinter&) { return false; };
    commands.mnuPrintLabelsClick();
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(PrintCommands, PreviewShowsOneSheetInThePreviewWindow)
{
    auto device = PdfOnlyDevice();
    Services services;
    TPositionSelection selection;
    TPrintCommands commands(services, selection, [] { return LetterSheet(); },
                            [] { return Rectangle(0.1, 0.1); }, *device);
    commands.PageCount = 5; // what the print dialog left
    QString title;
    QSize page;
    ModalWatcher watcher([&](QWidget* w) {
        if (auto* preview = qobject_cast<TPreviewForm*>(w)) {
            title = preview->windowTitle();
            preview->FormActivate(); // the first activation starts the previewer
            page = preview->FilePreview1->PageBitmap().size();
            preview->close();
        }
    });
    commands.mnuPreviewClick();
    EXPECT_EQ(commands.PageCount, 1);
    EXPECT_EQ(title, QStringLiteral("Preview Labels"));
    EXPECT_GT(page.width(), 100);
    EXPECT_GT(page.height(), page.width());
}

TEST(PrintCommands, AMergeLabelPrintsTheCheckedRecordsEachOnCopiesPositions)
{
    QTemporaryDir dir;
    QFile csv(dir.filePath("people.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Name,City\nAnn,Oslo\nBo,Rome\nCy,Lima\n");
    csv.close();
    const QString pdf = dir.filePath("labels.pdf");
    auto device = PdfOnlyDevice(pdf);
    Services services;
    TPositionSelection selection;
    TPrintCommands commands(services, selection, [] { return LetterSheet(2, 2); },
                            [] { return TextItem("{Name} in {city}"); }, *device);
    TMergeSource source;
    source.File = QStringLiteral("people.csv");
    commands.MergeSource = [&] { return TPrintCommands::TLabelMergeSource{source, dir.path()}; };
    commands.RunPrintDialog = [](QPrinter& printer) {
        printer.setCopyCount(3);
        return true;
    };
    // The record list: every record listed and checked; Bo is unchecked.
    QStringList listed, checked;
    ModalWatcher watcher([&](QWidget* w) {
        if (auto* records = qobject_cast<TSelectRecordsToPrint*>(w)) {
            listed = Listed(*records->RecordsList);
            checked = Checked(*records->RecordsList);
            records->RecordsList->item(1)->setCheckState(Qt::Unchecked);
            records->Okbutton->click();
        }
    });
    commands.mnuPrintLabelsClick();
    EXPECT_EQ(listed, QStringList({"1: Ann, Oslo", "2: Bo, Rome", "3: Cy, Lima"}));
    EXPECT_EQ(checked, listed);
    EXPECT_TRUE(services.messages.isEmpty()) << services.messages.join('\n').toStdString();
    // Ann and Cy three times each on a sheet of four: two sheets.
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/Type /Page\n"), 2);
    file.close();

    // Refusals, each before the run: a missing source, an empty one.
    QFile::remove(pdf);
    source.File = QStringLiteral("gone.csv");
    commands.mnuPrintLabelsClick();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages.last(), QStringLiteral("The merge source %1 does not exist").arg(dir.filePath("gone.csv")));
    QFile empty(dir.filePath("empty.csv"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write("Name,City\n");
    empty.close();
    source.File = QStringLiteral("empty.csv");
    commands.mnuPreviewClick();
    EXPECT_EQ(services.messages.last(), QStringLiteral("No records to print"));
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(PrintCommands, PaperThePrinterCannotTakeAndNoPrinterAreRefusedWithTheirMessages)
{
    auto device = PdfOnlyDevice();
    device->DevMode().HasPaperSize = false;
    Services services;
    TPositionSelection selection;
    TSheetLayout sheet = LetterSheet();
    sheet.PaperSize = QStringLiteral("A4");
    TPrintCommands commands(services, selection, [&sheet] { return sheet; },
                            [] { return QStringList(); }, *device);
    commands.PrintToPrinter = true;
    commands.DoPRint();
    EXPECT_EQ(services.messages, QStringList({"The current printer does not support:A4 paper size."}));

    TRPDevice none(false, false);
    TPrintCommands without(services, selection, [&sheet] { return sheet; },
                           [] { return QStringList(); }, none);
    services.messages.clear();
    without.mnuPrintLabelsClick();
    without.mnuPreviewClick();
    without.mnuPrinterSetupClick();
    EXPECT_EQ(services.messages, QStringList({"No printers installed", "No printers installed - cannot preview",
                                              "No printers installed"}));
}

TEST(PrintHelp, PreviewAndSpecificLabelsHelpWithEachControl)
{
    TPreviewForm preview;
    ExpectControlHelp(preview, {"CloseButton", "HelpButton", "sbNextPage", "sbPrevPage", "sbZoomIn", "sbZoomOut",
                                "sbZoomPage", "sbZoomPageWidth"});
    EXPECT_EQ(ExpectHelpPages(preview), QList<int>{TPreviewForm::HelpContext});

    Services services;
    TPositionSelection selection;
    TSelectLabelsToPrint specific(services, selection, 3, 2);
    ExpectControlHelp(specific, {"Allbutton", "CancelButton", "HelpButton", "LabelsList", "Nonebutton", "Okbutton"});
    EXPECT_EQ(ExpectHelpPages(specific), QList<int>{2001});

    TRPDevice device(false, true);
    TCalibratePrinter calibrate(device);
    ExpectControlHelp(calibrate, {"CancelButton", "HelpButton", "OkButton", "PrintSheetButton", "PrinterBox",
                                  "ReadingsBox", "ResetButton", "ResultLabel", "StoredLabel", "UnitBox"});
    EXPECT_EQ(ExpectHelpPages(calibrate), QList<int>{TCalibratePrinter::HelpContext});
}
