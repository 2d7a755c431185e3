#include "report/RPCalibration.h"

#include "model/IniFile.h"
#include "model/Units.h"

#include <cmath>

namespace sw {

namespace {

QString SectionOf(const QString& printerName)
{
    return QStringLiteral("Calibration ") + IniTextFromUnicode(printerName);
}

const QString kOffsetX = QStringLiteral("OffsetX");
const QString kOffsetY = QStringLiteral("OffsetY");
const QString kScaleX = QStringLiteral("ScaleX");
const QString kScaleY = QStringLiteral("ScaleY");

} // namespace

bool TPrinterCalibration::IsNone() const
{
    return OffsetX == 0 && OffsetY == 0 && ScaleX == 100 && ScaleY == 100;
}

QPointF TPrinterCalibration::Apply(const QPointF& p) const
{
    return {OffsetX + p.x() * ScaleX / 100, OffsetY + p.y() * ScaleY / 100};
}

QString CalibrationRefusal(const TPrinterCalibration& c)
{
    const bool finite = std::isfinite(c.OffsetX) && std::isfinite(c.OffsetY)
        && std::isfinite(c.ScaleX) && std::isfinite(c.ScaleY);
    if (!finite || std::abs(c.OffsetX) > kMaxCalibrationOffset
        || std::abs(c.OffsetY) > kMaxCalibrationOffset)
        return QStringLiteral("These values would move the labels by more than an inch. "
                              "Please measure the crosshairs again.");
    if (std::abs(c.ScaleX - 100) > kMaxCalibrationScaleChange
        || std::abs(c.ScaleY - 100) > kMaxCalibrationScaleChange)
        return QStringLiteral("These values would change the size of the labels by more than 5 %. "
                              "Please measure the crosshairs again.");
    return {};
}

TPrinterCalibration CalibrationFromReadings(const QPointF& meant1, const QPointF& landed1,
                                            const QPointF& meant2, const QPointF& landed2,
                                            bool* ok)
{
    // The printer put meant point p at a + k·p. Drawing p at off + s·p instead lands it at
    // a + k·off + k·s·p, which is p for s = 1/k and off = −a/k.
    const auto axis = [&](double p1, double m1, double p2, double m2, double* off, double* scale) {
        if (p1 == p2 || m1 == m2)
            return false;
        const double k = (m2 - m1) / (p2 - p1);
        const double a = m1 - k * p1;
        *scale = 100 / k;
        *off = -a / k;
        return std::isfinite(*scale) && std::isfinite(*off) && k > 0;
    };
    TPrinterCalibration c;
    const bool good = axis(meant1.x(), landed1.x(), meant2.x(), landed2.x(), &c.OffsetX, &c.ScaleX)
        && axis(meant1.y(), landed1.y(), meant2.y(), landed2.y(), &c.OffsetY, &c.ScaleY);
    if (ok)
        *ok = good;
    return good ? c : TPrinterCalibration{};
}

TPrinterCalibration ReadCalibration(const QString& iniPath, const QString& printerName)
{
    if (iniPath.isEmpty() || printerName.isEmpty())
        return {};
    const TIniFile ini(iniPath);
    const QString section = SectionOf(printerName);
    if (!ini.HasSection(section))
        return {};
    TPrinterCalibration c;
    const auto read = [&](const QString& key, double* into) {
        bool found = false, ok = false;
        const QString text = ini.Value(section, key, &found);
        if (!found)
            return true;
        const double v = ParseDecimal(text, &ok);
        if (ok)
            *into = v;
        return ok;
    };
    const bool ok = read(kOffsetX, &c.OffsetX) && read(kOffsetY, &c.OffsetY)
        && read(kScaleX, &c.ScaleX) && read(kScaleY, &c.ScaleY);
    // A hand-edited section that does not read, or reads as a misreading, moves nothing.
    if (!ok || !CalibrationRefusal(c).isEmpty())
        return {};
    return c;
}

bool WriteCalibration(const QString& iniPath, const QString& printerName,
                      const TPrinterCalibration& c)
{
    TIniFile ini(iniPath);
    const QString section = SectionOf(printerName);
    ini.RemoveSection(section);
    if (!c.IsNone()) {
        ini.SetValue(section, kOffsetX, FormatFixed(c.OffsetX, 4));
        ini.SetValue(section, kOffsetY, FormatFixed(c.OffsetY, 4));
        ini.SetValue(section, kScaleX, FormatFixed(c.ScaleX, 4));
        ini.SetValue(section, kScaleY, FormatFixed(c.ScaleY, 4));
    }
    return ini.Save();
}

QString DescribeCalibration(const TPrinterCalibration& c)
{
    if (c.IsNone())
        return QStringLiteral("none");
    return QStringLiteral("offset %1, %2 in; scale %3 %, %4 %")
        .arg(FormatFixed(c.OffsetX, 4), FormatFixed(c.OffsetY, 4), FormatFixed(c.ScaleX, 4),
             FormatFixed(c.ScaleY, 4));
}

} // namespace sw
