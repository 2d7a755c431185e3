#pragma once
// TLabelPrint: the small modal status window of a print or preview run. Its activation performs
// the run through one of its two reports (the printer, or the stream a preview shows), shows the
// page being printed and the outcome, and closes itself once the activation has returned.
#include "model/PositionSelection.h"
#include "print/SheetLayout.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class TWindowServices;

namespace sw {
class TLabelRun;
struct TMergeRun;
}

class TLabelPrint : public QDialog {
    Q_OBJECT
public:
    TLabelPrint(TWindowServices& services, sw::TRPDevice& device, QWidget* parent = nullptr);
    ~TLabelPrint() override;

    // The run request, set before the window is shown.
    bool PrintToPrinter = true;
    int PageCount = 1;
    QStringList ObjectsMemo;
    sw::TSheetLayout Sheet;
    sw::TPositionSelection Positions;
    // A merge run's records (not owned); null for a plain run.
    const sw::TMergeRun* Merge = nullptr;

    QPushButton* CancelButton;
    QWidget* Panel1;
    QLabel* Label1;
    sw::TReportPrinter LabelReportPrinter;
    sw::TReportFiler LabelReportFiler;

    sw::TBaseReport& ActiveReport();
    bool Cancelled() const { return cancelled_; }
    // The run is in progress (the status window is active).
    bool Running() const { return running_; }
    // Labels the last run drew.
    int LabelsDrawn() const { return labelsDrawn_; }

    void FormActivate();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape is the cancel button.
    void reject() override { CancelButtonClick(); }

private:
    TWindowServices& services_;
    bool activated_ = false;
    bool running_ = false;
    bool cancelled_ = false;
    int labelsDrawn_ = 0;
    sw::TLabelRun* run_ = nullptr;
};
