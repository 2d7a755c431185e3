#pragma once
// Item description text: the stored form of a label's items (the OBJECTS memo) and the hand-over
// to printing. Lines KEY=VALUE; one record per item, opened by "LABELITEM=" and a kind word,
// in stacking order (back first). Numbers always use a point, whatever the locale.
//
//   TEXT            TEXT TOP LEFT WIDTH HEIGHT FONTNAME FONTCOLOR FONTSIZE FONTBOLD FONTITALIC
//                   FONTUNDER ANGLE(0..359) RELATIVEX RELATIVEY
//   COUNTER         TOP LEFT WIDTH HEIGHT RELATIVEX RELATIVEY STARTINGNUMBER REPEATEACH FONTNAME
//                   FONTSIZE FONTCOLOR FONTBOLD FONTITALIC FONTUNDER ANGLE(-180..180)
//   RECTANGLE, ELLIPSE   TOP LEFT WIDTH HEIGHT BRUSHSTYLE COLOR LINETHICKNESS LINECOLOR
//   ROUNDRECTANGLE  as RECTANGLE, then ROUNDING
//   HORIZONTALLINE, VERTICALLINE  TOP LEFT WIDTH HEIGHT ORIENTATION(H|V) LINETHICKNESS LINECOLOR
//   IMAGE           TOP LEFT WIDTH HEIGHT STRETCH(Y|N) FILENAMEANDPATH
//   SYMBOL          TOP LEFT WIDTH HEIGHT FONTSIZE FONTCOLOR ASCIICHAR
//   BARCODE         TOP LEFT WIDTH HEIGHT SYMBOLOGY DATA(up to 255 characters) SHOWTEXT(Y|N)
//                   LINECOLOR ANGLE(0|90|180|270)
// Lengths are inches with three decimals; colours 0x00BBGGRR in decimal.
//
// Stored in the memo, the text is Windows-1252 when every character fits, byte for byte as the
// table's other text. Otherwise the memo is UTF-8 and its first line is "CHARSET=UTF-8": a key
// no record knows, before the first record, so a reader that does not know it skips it and
// shows other characters as their UTF-8 bytes.
#include <QByteArray>
#include <QString>
#include <QStringList>

class TLabelItem;
class TLabelItems;

namespace sw {

// Clears lines and writes one record per item of OrderList.
void SaveItems(TLabelItems& items, QStringList& lines);
// Appends the record of one item (lengths at the given resolution).
void SaveItem(TLabelItem& item, double pixelsPerInch, QStringList& lines);

// How a text is read back. Stored: as the label table has always read it, each value cut
// to 99 characters. Whole: values as written (a text this program wrote moments ago, for
// undo and the clipboard, comes back exactly).
enum class TReadMode { Stored, Whole };

// Creates one item per record through the factories. Stops at the first blank line or line
// without "=". On a bad number returns false with the message ("'x' is not a valid integer
// value"); the items made before the bad line stay.
bool REstoreItems(TLabelItems& items, const QStringList& lines, QString* error = nullptr,
                  TReadMode mode = TReadMode::Stored);

// An integer value of the item text: optional leading blanks and sign, then decimal digits,
// within 32 bits. False for anything else (out is then unchanged).
bool ParseItemInteger(const QString& value, int& out);

// The stored text as lines (CR LF, or a lone LF, ends a line) and back (every line ends CR LF).
QStringList SplitItemText(const QString& text);
QString JoinItemText(const QStringList& lines);

// The first line of a memo stored as UTF-8.
inline constexpr char kItemTextUtf8Mark[] = "CHARSET=UTF-8";

// The memo's bytes for a text, and the text of a memo's bytes (decoded by its mark; without one,
// Windows-1252).
QByteArray ItemTextToMemo(const QString& text);
QString ItemTextFromMemo(const QByteArray& bytes);

} // namespace sw
