#pragma once
// Shared vocabulary of the report engine: its enumerations, its exceptions and messages, and the
// platform numbering of colours, pen styles, pen modes and brush styles that reports and report
// streams carry.
#include <QBrush>
#include <QColor>
#include <QPen>
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace sw {

enum TPrintUnits { unInch, unMM, unCM, unPoint, unUser };
enum TLineHeightMethod { lhmLinesPerInch, lhmFont, lhmUser };
enum TBKMode { bkTransparent, bkOpaque };
enum TOrientation { poPortrait, poLandScape, poDefault };
enum TAccuracyMethod { amPositioning, amAppearance };
enum TStreamMode { smMemory, smFile, smUser, smTempFile };

// Anchors of text output: where the cursor's Y meets the text.
enum TTextAnchor { taBaseline = 0, taTop = 1, taBottom = 2 };

// Pen styles, pen modes and brush styles by the platform's numbering (what item text and report
// streams store).
enum TPenStyleCode { psSolid = 0, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenModeCode { pmBlack = 0, pmWhite, pmNop, pmNot, pmCopy = 4 };
enum TBrushStyleCode { bsSolid = 0, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal,
                       bsCross, bsDiagCross };

// An engine error: the message is shown to the user as it is.
class EReportPrinter : public std::runtime_error {
public:
    explicit EReportPrinter(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The silent abort: unwinds a job body after AbortReport without any message.
class ESilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "aborted"; }
};

namespace rpmsg {
inline const char* const kNotPrinting = "Invalid method call.  ReportPrinter is not printing.";
inline const char* const kAlreadyPrinting = "Invalid method call.  ReportPrinter already printing.";
inline const char* const kNoPrinters = "No printers are defined, aborting print job.";
inline const char* const kDeviceNotPrinting = "Invalid method call.  Device is not printing.";
inline const char* const kDeviceAlreadyPrinting = "Invalid method call.  Device already printing.";
inline const char* const kInvalidPrinter = "Invalid Printer";
inline const char* const kNoDevMode = "Invalid operation.  Device has no DevMode structure";
inline const char* const kCanvasNotActive = "Error!  Canvas not yet active.";
inline const char* const kNoUserStream = "StreamMode is smUser but Stream is nil";
inline const char* const kStreamInit = "Error initializing stream ";
inline const char* const kCopyRect = "CopyRect() not supported in file mode.";
inline const char* const kUnexpectedCode = "Unexpected code found in report file.";
} // namespace rpmsg

// 0x00BBGGRR. System colours (high byte set) have no meaning off the original platform and
// draw black.
QColor ColorFromCode(std::int32_t code);
std::int32_t ColorToCode(const QColor& color);

Qt::PenStyle PenStyleFromCode(int style);
Qt::BrushStyle BrushStyleFromCode(int style);

// The state of the canvas pen and brush as the engine and the stream know them.
struct TPenState {
    std::int32_t color = 0;
    int style = psSolid;
    int width = 1; // device pixels
    int mode = pmCopy;
    bool operator==(const TPenState&) const = default;
};

struct TBrushState {
    std::int32_t color = 0;
    int style = bsClear;
    bool operator==(const TBrushState&) const = default;
};

// A QPen for a pen state of the given device width (modes other than black, white and no-op draw
// as copy: the raster operations have no counterpart on printers).
QPen MakePen(const TPenState& pen, double deviceWidth);
QBrush MakeBrush(const TBrushState& brush);

} // namespace sw
