#include "model/Units.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace sw {

int InchesToPixels(float inches, double pixelsPerInch)
{
    // std::nearbyint follows the current rounding mode, which is round-half-to-even by default.
    const double px = std::nearbyint(pixelsPerInch * static_cast<double>(inches));
    // Lengths read from files can be anything; out of range is clamped, never undefined.
    if (std::isnan(px))
        return 0;
    if (px >= 2147483647.0)
        return 2147483647;
    if (px <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(px);
}

float PixelsToInches(int pixels, double pixelsPerInch)
{
    return static_cast<float>(pixels / pixelsPerInch);
}

QString FormatFixed(double value, int decimals)
{
    // Rounds half away from zero on the value's decimal expansion, as the program's number
    // formatting always has: 1.5625 with three decimals is "1.563".
    if (!std::isfinite(value) || decimals < 0 || decimals > 15)
        return QString();
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed,
                             decimals + 20);
    if (res.ec != std::errc())
        return QString();
    std::string digits(buf, res.ptr);
    const std::size_t point = digits.find('.');
    const bool roundUp = digits[point + 1 + static_cast<std::size_t>(decimals)] >= '5';
    digits.resize(point + 1 + static_cast<std::size_t>(decimals));
    if (decimals == 0)
        digits.pop_back();
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<std::size_t>(i)] == '.')
                continue;
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
    }
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero)
        digits.insert(digits.begin(), '-');
    return QString::fromLatin1(digits.data(), static_cast<int>(digits.size()));
}

QString PixelsToInchesToString(int pixels, double pixelsPerInch)
{
    return FormatFixed(PixelsToInches(pixels, pixelsPerInch), 3);
}

double FloatToDBF(float value)
{
    // Three decimals, read back: the value the table can hold.
    QString text = FormatFixed(static_cast<double>(value), 3);
    bool ok = false;
    double d = ParseDecimal(text, &ok);
    return ok ? d : 0.0;
}

double ParseDecimal(const QString& text, bool* ok)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    bool good = first != last && res.ec == std::errc() && res.ptr == last;
    if (ok)
        *ok = good;
    return good ? value : 0.0;
}

} // namespace sw
