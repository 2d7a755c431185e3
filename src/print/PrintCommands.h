#pragma once
// The print menu's commands: Print Labels, Preview Labels, Printer Setup and Select Specific
// Labels, and DoPRint, which checks the paper, hands the label's current items to a run and
// shows a preview afterwards. The main window owns one and forwards its menu events to it.
#include "print/MergeRun.h"
#include "print/SheetLayout.h"
#include "report/RPrinter.h"

#include <QStringList>
#include <functional>
#include <optional>

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
    // The current label's merge source and the folder a relative one starts from; not set, or
    // a source that is not set: the label prints as it always has.
    struct TLabelMergeSource {
        sw::TMergeSource Source;
        QString TableDir;
    };
    std::function<TLabelMergeSource()> MergeSource;
    // The record list before a merge label prints, replaceable for tests: true when confirmed,
    // with the records to print in chosen.
    std::function<bool(const sw::TMergeData& data, std::vector<int>& chosen)> RunSelectRecordsDialog;

    // Whether the last run was cancelled.
    bool LastRunAborted() const { return lastAborted_; }

private:
    // Reads the label's merge source for a run (none: merge_ is left empty). False, after telling
    // the user why, when the run must not start.
    bool PrepareMerge(int copies);

    TWindowServices& services_;
    std::optional<sw::TMergeRun> merge_;
    sw::TPositionSelection& positions_;
    std::function<sw::TSheetLayout()> sheet_;
    std::function<QStringList()> saveItems_;
    sw::TRPDevice& device_;
    bool lastAborted_ = false;
};
