#include "xbase/Record.h"

#include <charconv>
#include <cmath>

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

}  // namespace sw::xbase::record
