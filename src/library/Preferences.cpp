#include "library/Preferences.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace sw::library {

namespace {

const QString kSection = QStringLiteral("Remember");
const QString kKey = QStringLiteral("LastUse");

bool IsSectionLine(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'[') || !t.contains(u']'))
        return false;
    *name = t.mid(1, t.indexOf(u']') - 1).trimmed();
    return true;
}

// The key of a "KEY=VALUE" line, empty when the line has none.
QString KeyOf(const QString& line, QString* value)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0)
        return {};
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return line.left(eq).trimmed();
}

QStringList ReadLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLatin1(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

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
    QString section;
    bool inSection = false;
    for (const QString& line : ReadLines(iniPath)) {
        QString name;
        if (IsSectionLine(line, &name)) {
            inSection = name.compare(kSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && KeyOf(line, &value).compare(kKey, Qt::CaseInsensitive) == 0)
            return ParseIniInteger(value);
    }
    return 0;
}

bool WriteLastUse(const QString& iniPath, std::int32_t value)
{
    QStringList lines = ReadLines(iniPath);
    const QString entry = kKey + u'=' + QString::number(value);
    qsizetype sectionAt = -1;
    qsizetype sectionEnd = -1;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        QString name;
        if (IsSectionLine(lines[i], &name)) {
            if (sectionAt >= 0) {
                sectionEnd = i;
                break;
            }
            if (name.compare(kSection, Qt::CaseInsensitive) == 0)
                sectionAt = i;
            continue;
        }
        if (sectionAt >= 0 && KeyOf(lines[i], nullptr).compare(kKey, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            written = true;
        }
    }
    if (!written) {
        if (sectionAt < 0) {
            lines << (u'[' + kSection + u']') << entry;
        } else {
            qsizetype at = sectionEnd >= 0 ? sectionEnd : lines.size();
            // Keep a blank line before the next section where there was one.
            while (at > sectionAt + 1 && lines[at - 1].trimmed().isEmpty())
                --at;
            lines.insert(at, entry);
        }
    }
    QSaveFile f(iniPath);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}

} // namespace sw::library
