#pragma once
// Length conversions between the three length worlds:
//   screen pixels (design surface, int), inches (every file, float), device pixels (report engine).
// Every conversion takes the pixels-per-inch it works at; nothing here reads the screen.
// Number text for files always uses a point, whatever the process locale.
#include <QString>

namespace sw {

// round(ppi * inches), half to even.
int InchesToPixels(float inches, double pixelsPerInch);

// pixels / ppi, rounded to single precision.
float PixelsToInches(int pixels, double pixelsPerInch);

// PixelsToInches as fixed-point text with exactly three decimals and a point: 96 px at 96 -> "1.000".
QString PixelsToInchesToString(int pixels, double pixelsPerInch);

// The value rounded to three decimals, as the label table stores it: 1.0004 -> 1.000.
double FloatToDBF(float value);

// Locale-free number text: fixed point with 'decimals' decimals and a point.
QString FormatFixed(double value, int decimals);

// Locale-free parse of a decimal number with a point; ok is false for anything else.
double ParseDecimal(const QString& text, bool* ok);

} // namespace sw
