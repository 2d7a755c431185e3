#pragma once
// The print run's own reader of the item description text: one TLabelItemObject per record, in
// stacking order (back first), with every value already in the units the report engine takes.
// It differs from the design panel's reader on purpose: values stay in inches, a misspelt kind
// word prints as text, LINETHICKNESS becomes hundredths of an inch, and the counter's start and
// repeat come from the last counter record read.
#include "model/Barcode.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace sw {

enum TItemKind : std::uint8_t {
    ikText = 0,
    ikCounter = 1,
    ikSymbol = 2,
    ikRectangle = 3,
    ikRoundRectangle = 4,
    ikEllipse = 5,
    ikImage = 6,
    ikVerticalLine = 7,
    ikHorizontalLine = 8,
    ikBarcode = 9,
};

// The kind a LABELITEM value names (exact, case-sensitive); any other word prints as text.
TItemKind ItemKindOf(const QString& word);

struct TLabelItemObject {
    TItemKind ItemKind = ikText;
    double Top = 0, Left = 0, Width = 0, Height = 0; // inches
    double FontSize = 0;                             // points
    std::int32_t FontColor = 0;                      // 0x00BBGGRR
    std::int32_t Angle = 0;                          // degrees, counter-clockwise
    QString Text;
    QString FontName;
    bool FontBold = false, FontItalic = false, FontUnder = false;
    double RelativeX = 0, RelativeY = 0; // text origin inside the box, inches
    std::int32_t LineColor = 0;
    // Negative: hundredths of an inch, as the report engine's pen takes it.
    std::int32_t LineThickness = 0;
    std::int32_t Rounding = 0; // percent of the longer side
    QChar Orientation;
    QString FileNameAndPath;
    bool Stretch = false;
    std::int32_t AsciiChar = 0;
    std::int32_t Color = 0;
    std::uint8_t BrushStyle = 1; // CLEAR until a record names one, as on the design panel
    TSymbology Symbology = TSymbology::Code128;
    QString Data; // up to kMaxBarcodeData characters; may hold "{COUNTER}"
    bool ShowText = true;
};

// What one reading gives the run: the records and the counter's start and repeat.
struct TItemsList {
    std::vector<TLabelItemObject> Items;
    std::int32_t StartingNumber = 0;
    std::int32_t RepeatEach = 0;
};

// A number of the item text that does not convert. The message names the line (1-based) and
// the value, in the program's words.
class EItemText : public std::runtime_error {
public:
    EItemText(int line, const QString& problem);
    int Line() const { return line_; }
    const QString& Message() const { return message_; }

private:
    int line_;
    QString message_;
};

// Widest values the records keep (a code's DATA keeps kMaxBarcodeData).
constexpr int kMaxItemValue = 99;
constexpr int kMaxFontName = 35;

// Reads the lines into list (replacing what it held) and returns the index of the last record
// (-1 when there is none). Reading ends at the first line without "=" (a blank line, or the end).
// Values a record does not mention keep what the record before it had; TEXT, FONTNAME and
// FILENAMEANDPATH start empty in every record. Throws EItemText for a number that does not
// convert; nothing is then kept.
int MakeItemsStringList(const QStringList& memo, TItemsList& list);

} // namespace sw
