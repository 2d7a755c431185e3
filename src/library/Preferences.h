#pragma once
// QX.INI: the one preference kept between runs, the record number of the last used label,
// as "LastUse" in section "Remember".
#include <QString>
#include <cstdint>

namespace sw::library {

inline constexpr char kPreferencesFileName[] = "QX.INI";

// "0x1A" (longer than "0x") is hexadecimal; other text is decimal; text that is not a
// number, or a number that does not fit 32 bits, gives 0.
std::int32_t ParseIniInteger(const QString& text);

// LastUse from the file; 0 when the file, the section or the key is missing.
std::int32_t ReadLastUse(const QString& iniPath);

// Writes LastUse, keeping every other line of the file. The file is replaced in one step, so
// a failed write leaves the old file whole. False when it cannot be written.
bool WriteLastUse(const QString& iniPath, std::int32_t value);

} // namespace sw::library
