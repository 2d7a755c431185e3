#pragma once
// The print menu's commands: Print Labels, Preview Labels, Printer Setup and Select Specific
// Labels, and DoPRint, which checks the paper, hands the label's current items to a run and
// shows a preview afterwards. The main window owns one and forwards its menu events to it.
#include "print/SheetLayout.h"
#include "report/RPrinter.h"

#include <QStringList>
#include <functional>

class QPrinter;
class TWindowServices;

namespace sw {
class TPositionSelection;
}

class TPrintCommands {
public:
    // sheet: the current label's sheet; saveItems: the items now on the design panel as item
    // text (unsaved changes included).
    TPrintCommands(TWindowServices& services, sw::TPositionSelection& positions,
                   std::function<sw::TSheetLayout()> sheet, std::function<QStringList()> saveItems,
                   sw::TRPDevice& device = sw::TRPDevice::Shared());

    void mnuPrintLabelsClick();
    void mnuPreviewClick();
    void mnuPrinterSetupClick();
    void mnuSelectSpecificLabelsClick();
    // Prepares and performs one run by PrintToPrinter and PageCount.
    void DoPRint();

    bool PrintToPrinter = false;
    int PageCount = 1;
    // Checks and sets the printer's paper and exchanges settings with the system dialogs.
    sw::TReportPrinter MainReportPrinter;

    // The system dialogs, replaceable for tests: true when confirmed.
    std::function<bool(QPrinter&)> RunPrintDialog;
    std::function<bool(QPrinter&)> RunPrinterSetupDialog;
    // Whether the last run was cancelled.
    bool LastRunAborted() const { return lastAborted_; }

private:
    TWindowServices& services_;
    sw::TPositionSelection& positions_;
    std::function<sw::TSheetLayout()> sheet_;
    std::function<QStringList()> saveItems_;
    sw::TRPDevice& device_;
    bool lastAborted_ = false;
};
