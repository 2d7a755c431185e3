#pragma once
// Colour values as files and the report stream store them.
#include <QColor>
#include <cstdint>

// 32-bit colour value: red in the low byte, then green, then blue (0x00BBGGRR). With the top
// bit set it names a system colour instead: the low byte is the system colour's index.
using TColor = std::uint32_t;

namespace sw {
// The one decoder of colour values, for the items and the report engine alike. A system colour
// takes the platform's standard value for its index (black for an unknown index), so a label
// looks the same on every desktop theme and on paper; other high-byte flags are ignored.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
} // namespace sw
