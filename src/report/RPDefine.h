#pragma once
// Shared vocabulary of the report engine: its enumerations, its exceptions and messages, the
// record codes of its stream, and the platform numbering of pen styles, pen modes and brush
// styles that reports and report streams carry. Colours are decoded by the item model's
// ToQColor, the same for items and reports.
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

// Record codes of the report stream; the engine names its operations by them too.
namespace rps {
enum Code : std::uint8_t {
    Arc = 1, BrushCopy = 2, Chord = 3, CopyRect = 4, Draw = 5, FocusRect = 6, Ellipse = 7,
    FillRect = 8, FloodFill = 9, FrameRect = 10, LineTo = 11, MoveTo = 12, Pie = 13,
    Polygon = 14, Polyline = 15, BitmapAt = 16, StretchBitmap = 17, Rectangle = 18,
    RectangleOuter = 19, RoundRect = 20, StretchDraw = 21, TextRect = 22, TextCenter = 23,
    TextLeft = 24, TextRight = 25, BkMode = 26, BkColor = 27, ScaleX = 28, ScaleY = 29,
    PassText = 30, PassData = 31, TextSpanOld = 32, TextSpan = 33, Transparent = 34,
    Brush = 40, BrushColor = 41, BrushStyle = 42, BrushBitmap = 43,
    Font = 50, FontName = 51, FontColor = 52, FontPitch = 53, FontHeight = 54, FontBold = 55,
    FontUnderline = 56, FontItalic = 57, FontStrikeout = 58, FontSuperscript = 59,
    FontSubscript = 60, FontRotation = 61, FontAnchor = 62,
    Pen = 70, PenColor = 71, PenMode = 72, PenStyle = 73, PenWidth = 74,
    Page = 80, EndPage = 82, LineMetrics = 83, ModeA = 84, ModeB = 85, ModeC = 86,
    Orientation = 87, PaperBin = 88, Header = 89,
};
} // namespace rps

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
