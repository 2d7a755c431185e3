#include "xbase/Record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace sw::xbase::record {

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimRight(s);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

bool formatNumber(double value, int width, int decimals, std::string& out) {
    if (!std::isfinite(value)) return false;
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return false;
    std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
    // A value that rounds to zero is written without a minus sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos) text.remove_prefix(1);
    if (text.size() > static_cast<std::size_t>(width)) return false;
    out.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
    return true;
}

bool parseNumber(std::string_view text, double& value) {
    text = trim(text);
    if (text.empty()) return false;
    if (text.front() == '+') text.remove_prefix(1);
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(value);
}

double readNumber(std::string_view stored) {
    stored = trim(stored);
    double v = 0;
    if (stored.empty()) return 0;
    if (stored.front() == '+') stored.remove_prefix(1);
    const auto r = std::from_chars(stored.data(), stored.data() + stored.size(), v, std::chars_format::fixed);
    return r.ec == std::errc() && std::isfinite(v) ? v : 0;
}

bool memoBlock(std::string_view stored, std::uint32_t& block) {
    block = 0;
    if (stored.size() == 4) {
        for (int i = 3; i >= 0; --i) block = (block << 8) | static_cast<unsigned char>(stored[static_cast<std::size_t>(i)]);
        return true;
    }
    const std::string_view digits = trim(stored);
    if (digits.empty()) return true;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), block);
    return r.ec == std::errc() && r.ptr == digits.data() + digits.size();
}

std::string memoPointer(std::uint32_t block, std::size_t width) {
    if (width == 4) {
        std::string out(4, '\0');
        for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(block >> (8 * i));
        return out;
    }
    if (block == 0) return std::string(width, ' ');
    std::string digits = std::to_string(block);
    return std::string(width - digits.size(), ' ') + digits;
}

bool binaryType(FieldType type) {
    return type == FieldType::Integer || type == FieldType::Currency || type == FieldType::Double ||
           type == FieldType::DateTime || type == FieldType::NullFlags;
}

// Visual FoxPro's binary fields, little-endian:
//   I  4  signed integer
//   Y  8  signed integer: the amount times 10000
//   B  8  IEEE double
//   T  8  Julian day number (0: blank), then milliseconds since midnight
std::string binaryText(const FieldDef& field, std::string_view stored) {
    if (!binaryType(field.type) || stored.size() < static_cast<std::size_t>(field.width)) return {};
    std::uint64_t bits = 0;
    for (int i = field.width - 1; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(stored[static_cast<std::size_t>(i)]);
    switch (field.type) {
    case FieldType::Integer: return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
    case FieldType::Currency: {
        const bool negative = bits >> 63;
        const std::uint64_t magnitude = negative ? ~bits + 1 : bits;
        std::string fraction = std::to_string(magnitude % 10000);
        fraction.insert(0, 4 - fraction.size(), '0');
        return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
    }
    case FieldType::Double: {
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) return {};
        char buf[400];
        const auto r = field.decimals > 0 ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, field.decimals)
                                          : std::to_chars(buf, buf + sizeof buf, v);
        return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
    }
    case FieldType::DateTime: {
        const auto day = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
        const auto ms = static_cast<std::uint32_t>(bits >> 32);
        // Day 1721426 is 1 January of the year 1; 5373484 is 31 December 9999.
        if (day < 1721426 || day > 5373484 || ms >= 86400000u) return {};
        // Julian day number to the Gregorian calendar.
        const std::int64_t a = day + 32044, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
        const std::int64_t d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
        const std::int64_t dayOfMonth = e - (153 * m + 2) / 5 + 1, month = m + 3 - 12 * (m / 10);
        const std::int64_t year = 100 * b + d - 4800 + m / 10;
        const std::uint32_t seconds = std::min<std::uint32_t>((ms + 500) / 1000, 86399);
        char out[32];
        std::snprintf(out, sizeof out, "%04d%02d%02d%02u%02u%02u", static_cast<int>(year), static_cast<int>(month),
                      static_cast<int>(dayOfMonth), seconds / 3600, seconds / 60 % 60, seconds % 60);
        return out;
    }
    default: return {};
    }
}

}  // namespace sw::xbase::record
