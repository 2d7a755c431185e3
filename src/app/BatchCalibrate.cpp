#include "app/BatchCalibrate.h"

#include "library/Preferences.h"
#include "model/Units.h"
#include "report/RPDevice.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>

namespace sw {

namespace {

int Fail(const QString& text, int code)
{
    std::fprintf(stderr, "stickwell-batch calibrate: %s\n", qPrintable(text));
    return code;
}

// "X,Y": two numbers with a point for decimals; offsets may say "mm" or "in" (the default).
std::optional<QPointF> ParsePair(const QString& text, bool lengths)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return std::nullopt;
    double v[2];
    for (int i = 0; i < 2; ++i) {
        QString t = parts[i].trimmed();
        double unit = 1;
        if (lengths && t.endsWith(QLatin1String("mm"))) {
            unit = 1 / 25.4;
            t.chop(2);
        } else if (lengths && t.endsWith(QLatin1String("in"))) {
            t.chop(2);
        }
        bool ok = false;
        v[i] = ParseDecimal(t, &ok) * unit;
        if (!ok)
            return std::nullopt;
    }
    return QPointF(v[0], v[1]);
}

} // namespace

int RunCalibrateCommand(const QStringList& args)
{
    QString table, printer;
    std::optional<QPointF> offset, scale;
    bool reset = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--table") && hasValue) {
            table = args[++i];
        } else if (a == QLatin1String("--printer") && hasValue) {
            printer = args[++i];
        } else if (a == QLatin1String("--offset") && hasValue) {
            if (!(offset = ParsePair(args[++i], true)))
                return Fail(QStringLiteral("--offset takes X,Y in inches (or with mm): ") + args[i], 2);
        } else if (a == QLatin1String("--scale") && hasValue) {
            if (!(scale = ParsePair(args[++i], false)))
                return Fail(QStringLiteral("--scale takes SX,SY in percent: ") + args[i], 2);
        } else if (a == QLatin1String("--reset")) {
            reset = true;
        } else {
            return Fail(QStringLiteral("unknown or incomplete option ") + a, 2);
        }
    }
    if (table.isEmpty() || printer.isEmpty())
        return Fail(QStringLiteral("--table and --printer are required"), 2);
    if (reset && (offset || scale))
        return Fail(QStringLiteral("--reset takes no values"), 2);
    if (!QFileInfo(table).isFile())
        return Fail(QStringLiteral("no label table ") + table, 1);

    TRPDevice& device = TRPDevice::Shared();
    if (!device.SelectPrinter(printer))
        return Fail(QStringLiteral("no printer named ") + printer, 1);
    const QString name = device.Printer()->Name;
    const QString ini = QFileInfo(table).absoluteDir().filePath(
        QString::fromLatin1(library::kPreferencesFileName));
    device.SetSettingsFile(ini);

    TPrinterCalibration c = device.Calibration();
    if (reset || offset || scale) {
        if (reset)
            c = {};
        if (offset) {
            c.OffsetX = offset->x();
            c.OffsetY = offset->y();
        }
        if (scale) {
            c.ScaleX = scale->x();
            c.ScaleY = scale->y();
        }
        const QString refusal = CalibrationRefusal(c);
        if (!refusal.isEmpty())
            return Fail(refusal, 1);
        if (!WriteCalibration(ini, name, c))
            return Fail(QStringLiteral("cannot write ") + ini, 1);
    }
    std::printf("%s: %s\n", qPrintable(name), qPrintable(DescribeCalibration(c)));
    return 0;
}

} // namespace sw
