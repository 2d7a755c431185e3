// QX.INI on any bytes: the calibration and the remembered label read without a crash; writing
// a calibration keeps every other section readable as it was.
#include "model/IniFile.h"
#include "report/RPCalibration.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QX.INI"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QString printer = QStringLiteral("PDF file");
    const sw::TPrinterCalibration before = sw::ReadCalibration(path, printer);
    if (!sw::CalibrationRefusal(before).isEmpty())
        std::abort(); // a stored misreading must never come back
    const QString remember = QStringLiteral("Remember"), lastUseKey = QStringLiteral("LastUse");
    const QString lastUse = sw::TIniFile(path).Value(remember, lastUseKey);
    if (!sw::WriteCalibration(path, printer, {0.01, -0.02, 100.1, 99.9}))
        return 0;
    if (sw::TIniFile(path).Value(remember, lastUseKey) != lastUse)
        std::abort();
    if (sw::ReadCalibration(path, printer).IsNone())
        std::abort();
    return 0;
}
