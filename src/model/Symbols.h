#pragma once
// How a Wingdings character code (33..255) is shown on this machine. A symbol item stores the
// code; what draws it is decided here once, so the design panel, the symbol chooser, print runs
// and previews all show the same glyph:
//   - a font whose family name contains "WINGDING", when one is installed: the code itself;
//   - otherwise the code's Unicode counterpart (wingdings-unicode.tsv) in Symbola, else
//     DejaVu Sans; code 255, which has no counterpart, is drawn as a four-pane window.
#include <QColor>
#include <QRectF>
#include <array>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QFont;
class QPainter;

namespace sw {

constexpr int kFirstSymbolCode = 33;
constexpr int kLastSymbolCode = 255;
// The family every symbol item names, whatever actually draws it.
inline constexpr const char* kSymbolFontName = "WingDings";

enum class SymbolSource { WingdingsFont, UnicodeFont, None };

// The way symbols are drawn here (decided at the first call, from the installed fonts).
SymbolSource SymbolSourceInUse();

// The check the symbol tool makes before a drag: true when symbols can be shown either way.
bool SymbolFontAvailable();

// The installed family whose upper-cased name contains "WINGDING"; empty when there is none.
QString InstalledWingdingsFamily();

// Unicode code point showing the same glyph as a Wingdings code; 0 for 255 and codes out of
// 33..255.
char32_t WingdingsToUnicode(int code);

// Extent of one symbol drawn at the given font pixel height (the em height, as a font created
// with a negative height). Never empty for a code in 33..255.
QSize SymbolExtent(int code, int pixelHeight);

// Draws one symbol with the top-left of its character cell at topLeft, in the painter's
// current coordinates.
void DrawSymbol(QPainter& painter, const QPoint& topLeft, int code, int pixelHeight,
                const QColor& color);

// Draws one symbol centred in cell (for lists of symbols).
void DrawSymbolCentred(QPainter& painter, const QRect& cell, int code, int pixelHeight,
                       const QColor& color);

// What is drawn in SymbolFontFor(code) for a code; empty when nothing is (code 255 without a
// Wingdings font is drawn by hand as a window of four panes).
QString SymbolText(int code);

// Code 255 has no Unicode glyph: a window of four panes centred in a character cell.
std::array<QRectF, 4> WindowLogoPanes(const QRectF& cell);

// Font used for a code (the Wingdings family, or the Unicode font covering the code point),
// at pixelHeight. Exposed for tests and for code that wants its own text layout.
QFont SymbolFontFor(int code, int pixelHeight);

} // namespace sw
