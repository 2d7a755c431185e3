#include "model/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace sw {

namespace {

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

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TIniFile::TIniFile(QString path) : path_(std::move(path))
{
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QString text = QString::fromLatin1(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_ = text.split(u'\n');
    if (!lines_.isEmpty() && lines_.last().isEmpty())
        lines_.removeLast();
}

void TIniFile::FindSection(const QString& section, qsizetype* header, qsizetype* end) const
{
    *header = -1;
    *end = lines_.size();
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        QString name;
        if (!IsSectionLine(lines_[i], &name))
            continue;
        if (*header >= 0) {
            *end = i;
            return;
        }
        if (SameName(name, section))
            *header = i;
    }
}

QString TIniFile::Value(const QString& section, const QString& key, bool* found) const
{
    qsizetype header, end;
    FindSection(section, &header, &end);
    for (qsizetype i = header + 1; header >= 0 && i < end; ++i) {
        QString value;
        if (SameName(KeyOf(lines_[i], &value), key)) {
            if (found)
                *found = true;
            return value;
        }
    }
    if (found)
        *found = false;
    return {};
}

bool TIniFile::HasSection(const QString& section) const
{
    qsizetype header, end;
    FindSection(section, &header, &end);
    return header >= 0;
}

void TIniFile::SetValue(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key + u'=' + value;
    qsizetype header, end;
    FindSection(section, &header, &end);
    if (header < 0) {
        lines_ << (u'[' + section + u']') << entry;
        return;
    }
    for (qsizetype i = header + 1; i < end; ++i) {
        if (SameName(KeyOf(lines_[i], nullptr), key)) {
            lines_[i] = entry;
            return;
        }
    }
    // Keep a blank line before the next section where there was one.
    qsizetype at = end;
    while (at > header + 1 && lines_[at - 1].trimmed().isEmpty())
        --at;
    lines_.insert(at, entry);
}

void TIniFile::RemoveSection(const QString& section)
{
    qsizetype header, end;
    FindSection(section, &header, &end);
    if (header >= 0)
        lines_.remove(header, end - header);
}

bool TIniFile::Save() const
{
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = lines_.isEmpty()
        ? QByteArray()
        : lines_.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}

} // namespace sw

namespace sw {

QString IniTextFromUnicode(const QString& text)
{
    return QString::fromLatin1(text.toUtf8());
}

QString IniTextToUnicode(const QString& iniText)
{
    return QString::fromUtf8(iniText.toLatin1());
}

} // namespace sw
