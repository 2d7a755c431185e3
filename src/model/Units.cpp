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
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc())
        return QString();
    QString s = QString::fromLatin1(buf, int(res.ptr - buf));
    // "-0.000" is written as "0.000".
    if (s.startsWith(u'-') && s.mid(1).count(u'0') + (decimals > 0 ? 1 : 0) == s.size() - 1)
        s.remove(0, 1);
    return s;
}

QString PixelsToInchesToString(int pixels, double pixelsPerInch)
{
    return FormatFixed(PixelsToInches(pixels, pixelsPerInch), 3);
}

double FloatToDBF(float value)
{
    // Seven significant digits, three decimals, read back: the value the table can hold.
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
