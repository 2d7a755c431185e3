#include "print/LabelPrint.h"

#include "print/LabelRun.h"
#include "print/PrintJob.h"
#include "ui/WindowServices.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

using namespace sw;

TLabelPrint::TLabelPrint(TWindowServices& services, TRPDevice& device, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      LabelReportPrinter(&device),
      LabelReportFiler(&device),
      services_(services)
{
    setObjectName(QStringLiteral("LabelPrint"));
    setWindowTitle(QStringLiteral("Print Status Screen"));
    setFixedSize(364, 130);
    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 348, 74);
    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(bold);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->addWidget(Label1);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setFont(bold);
    CancelButton->setGeometry(137, 92, 90, 28);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &TLabelPrint::CancelButtonClick);

    // Both reports show their status in the one label; a carriage return starts its second line.
    const auto status = [this](const QString& text) {
        Label1->setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    };
    for (TBaseReport* report : {static_cast<TBaseReport*>(&LabelReportPrinter),
                                static_cast<TBaseReport*>(&LabelReportFiler)}) {
        SetUpLabelReport(*report, report == &LabelReportPrinter);
        report->StatusLabel = status;
        report->SetOrientation(poPortrait);
    }
    LabelReportFiler.StreamMode = smUser;
}

TLabelPrint::~TLabelPrint() = default;

TBaseReport& TLabelPrint::ActiveReport()
{
    if (PrintToPrinter)
        return LabelReportPrinter;
    return LabelReportFiler;
}

void TLabelPrint::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        QTimer::singleShot(0, this, &TLabelPrint::FormActivate);
    }
}

void TLabelPrint::FormActivate()
{
    TBaseReport& report = ActiveReport();
    TLabelRun run(Sheet, Positions, PageCount, ObjectsMemo);
    run.SetMerge(Merge);
    run.AfterLabel = [](int) { QCoreApplication::processEvents(); };
    report.OnPrint = [&run](TBaseReport& r) { run.PrintLabels(r); };
    run_ = &run;
    running_ = true;
    QString error;
    try {
        // A damaged item text is found before anything reaches the printer.
        run.ReadItems();
        report.RunReport();
    } catch (const EItemText& e) {
        error = e.Message();
    } catch (const EMergeRun& e) {
        error = e.Message();
    } catch (const EBarcodeData& e) {
        error = e.Message();
    } catch (const EReportPrinter& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    // An error box of the engine (no printer, a stream that cannot be opened) ends the run too.
    if (error.isEmpty())
        error = report.LastErrorBox();
    running_ = false;
    run_ = nullptr;
    report.OnPrint = nullptr;
    labelsDrawn_ = run.LabelsDrawn();
    if (report.Aborted())
        report.StatusFormat = PrintToPrinter ? QStringLiteral("\rLabel Print Canceled!")
                                             : QStringLiteral("\rLabel Preview Canceled!");
    else
        report.StatusFormat = PrintToPrinter ? QStringLiteral("\rLabel Print Completed!")
                                             : QStringLiteral("\rLabel Preview Ready!");
    report.UpdateStatus();
    if (!error.isEmpty()) {
        // The window stays until its button is pressed.
        services_.ShowMessage(error);
        return;
    }
    QMetaObject::invokeMethod(this, [this] { done(QDialog::Accepted); }, Qt::QueuedConnection);
}

void TLabelPrint::CancelButtonClick()
{
    const bool yes = services_.AskYesNo(PrintToPrinter ? QStringLiteral("Cancel Label Printing?")
                                                       : QStringLiteral("Cancel Preview?"),
                                        QStringLiteral("Cancel"));
    if (!running_) {
        // Outside a run the button's modal result closes the window, whatever the answer.
        done(QDialog::Rejected);
        return;
    }
    if (!yes)
        return;
    cancelled_ = true;
    if (run_)
        run_->Cancel();
    ActiveReport().AbortReport();
}
