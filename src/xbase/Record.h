#pragma once

#include "xbase/Table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sw::xbase::record {

// Field values as they sit in a record, independent of any file.

// value right-aligned in width with decimals digits after a point; false when it does not fit
// or is not a finite number.
bool formatNumber(double value, int width, int decimals, std::string& out);
// Parses the whole of text (blanks around allowed) as a number written with a point.
bool parseNumber(std::string_view text, double& value);
// Blank reads as 0; text that is no number reads as 0 as well.
double readNumber(std::string_view stored);
std::string_view trimRight(std::string_view s);
std::string_view trim(std::string_view s);
// A memo field's block number: 10 digits padded with blanks, or 4 bytes little-endian in
// Visual FoxPro tables. False when the field holds something else.
bool memoBlock(std::string_view stored, std::uint32_t& block);
std::string memoPointer(std::uint32_t block, std::size_t width);
// Whether values of the type are stored as binary numbers (I, Y, B, T, null flags).
bool binaryType(FieldType type);
// The text of a binary field's bytes as Table::getString gives it ("" for null flags); stored
// holds the field's width.
std::string binaryText(const FieldDef& field, std::string_view stored);

}  // namespace sw::xbase::record
