#include "library/Preferences.h"

#include "model/IniFile.h"

namespace sw::library {

namespace {

const QString kSection = QStringLiteral("Remember");
const QString kKey = QStringLiteral("LastUse");

} // namespace

std::int32_t ParseIniInteger(const QString& raw)
{
    const QString text = raw.trimmed();
    bool ok = false;
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        const QString digits = text.mid(2);
        if (digits.size() > 8)
            return 0;
        const quint32 v = digits.toUInt(&ok, 16);
        // Eight hex digits may set the sign bit: 0xFFFFFFFF is -1, as a 32-bit integer.
        return ok ? static_cast<std::int32_t>(v) : 0;
    }
    const int v = text.toInt(&ok, 10);
    return ok ? v : 0;
}

std::int32_t ReadLastUse(const QString& iniPath)
{
    return ParseIniInteger(TIniFile(iniPath).Value(kSection, kKey));
}

bool WriteLastUse(const QString& iniPath, std::int32_t value)
{
    TIniFile ini(iniPath);
    ini.SetValue(kSection, kKey, QString::number(value));
    return ini.Save();
}

} // namespace sw::library
