#pragma once
// A whole print job without a window: the paper check, the report set up as the run needs it,
// and the run itself, onto the chosen printer or into a report stream. The command-line print
// uses it; the status window shares its pieces.
#include "model/PositionSelection.h"
#include "print/MergeRun.h"
#include "print/SheetLayout.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QIODevice;

namespace sw {

class TBaseReport;
class TRPDevice;

// The settings of the run's two report components (printer and stream): inches, half-inch
// margins, line height from the font, 100 % scale, one copy - the run draws every sheet itself,
// so the printer must not repeat them.
void SetUpLabelReport(TBaseReport& report, bool toPrinter);

// The paper check before a run: empty when the chosen printer can be given the stock's paper
// (or the stock names no paper), else the message for the user.
QString PaperCheck(const TBaseReport& report, const TSheetLayout& sheet);

struct TPrintJob {
    TSheetLayout Sheet;
    QStringList ItemText;
    TPositionSelection Positions;
    int Sheets = 1;
    // A merge run: its records decide the sheets (Sheets is then not used).
    std::optional<TMergeRun> Merge;
};

// Runs the job on the device's chosen printer, or into stream when one is given (the report
// stream a preview shows; measured with the chosen printer). progress is told each sheet as it
// starts (1-based, of all). Returns an empty text on success, else one line naming the problem.
QString RunPrintJob(TRPDevice& device, const TPrintJob& job, QIODevice* stream,
                    const std::function<void(int sheet, int sheets)>& progress = {});

} // namespace sw
