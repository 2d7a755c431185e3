#pragma once
// Barcodes and 2D codes, encoded by zint and handed on as plain geometry: the bars and modules
// as filled rectangles and the human-readable line as texts, so the design panel, a print run,
// the preview stream and PDF all draw the same code from the same numbers, sharp at any
// resolution.
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include "model/Placeholders.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace sw {

enum class TSymbology : std::uint8_t {
    Code128, Code39, Ean13, Ean8, UpcA, Itf14, QrCode, DataMatrix, Pdf417
};
constexpr int kSymbologyCount = 9;

// The word of the item text ("CODE128") and the name the user sees ("Code 128").
QString SymbologyWord(TSymbology s);
QString SymbologyCaption(TSymbology s);
std::optional<TSymbology> SymbologyOfWord(const QString& word);
// QR Code and Data Matrix are square: their box stays square.
bool IsSquareSymbology(TSymbology s);
// Codes whose modules are laid out in two dimensions (no human-readable line).
bool IsTwoDimensional(TSymbology s);

// Data longer than this is not kept in the item text.
constexpr int kMaxBarcodeData = 255;

// One piece of human-readable text. Align: 0 the position is the centre of the baseline,
// 1 its left end, 2 its right end. Angle: degrees counter-clockwise, as the item's.
struct TBarcodeText {
    QPointF Pos;
    double Size = 0;
    QString Text;
    int Align = 0;
    int Angle = 0;
};

// An encoded symbol in zint's own units.
struct TBarcode {
    QSizeF Size;
    std::vector<QRectF> Bars;
    std::vector<TBarcodeText> Texts;
    TSymbology Symbology = TSymbology::Code128;

    bool IsNull() const { return Bars.empty(); }
};

// Encodes data (check digits added by zint). On refusal returns a null code and sets error to a
// sentence for the user ("EAN-13 takes 12 or 13 digits").
TBarcode EncodeBarcode(TSymbology symbology, const QString& data, bool showText,
                       QString* error = nullptr);

// Whether data encodes, without building the geometry (a run checks every value first).
bool CheckBarcode(TSymbology symbology, const QString& data, QString* error = nullptr);
// Data with the same key gets the same verdict from CheckBarcode (digits stand for any digit,
// except where a check digit is given).
QString CheckKey(TSymbology symbology, const QString& data);

// The code laid into a box of the given size (any unit) at 0, 90, 180 or 270 degrees
// counter-clockwise, positions from the box's top-left corner. Square codes keep their
// proportions and stand centred; linear codes and PDF417 fill the box, the text keeping the
// proportion of the bars' width.
struct TBarcodeLayout {
    std::vector<QRectF> Bars;
    std::vector<TBarcodeText> Texts;
};
TBarcodeLayout LayOutBarcode(const TBarcode& code, QSizeF box, int angle);

// The angle a stored value stands for: the nearest quarter turn, 0..270.
int QuarterTurn(int angle);

} // namespace sw

namespace sw {
// What the placeholders in a code's data stand for on one label.
struct TDataValues {
    long long Counter = 1;
    TFieldLookup Field; // not set: no merge fields
};

// The data with "{COUNTER}" and "{COUNTER:N}" (zero-padded to N digits, N 1..40) replaced by
// the counter's value and "{FIELD}" by the merge field's, in one pass, so that a brace in a
// field's value stays a brace. On an unknown placeholder returns nothing and names it in error.
std::optional<QString> ExpandBarcodeData(const QString& data, const TDataValues& values,
                                         QString* error = nullptr);
inline std::optional<QString> ExpandBarcodeData(const QString& data, long long counter,
                                                QString* error = nullptr)
{
    return ExpandBarcodeData(data, TDataValues{counter, {}}, error);
}
} // namespace sw
