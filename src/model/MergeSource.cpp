#include "model/MergeSource.h"

#include "model/Placeholders.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

namespace sw {
namespace {

const QLatin1String kFileKey("MERGEFILE=");
const QLatin1String kFormatKey("MERGEFORMAT=");
const QLatin1String kDelimiterKey("MERGEDELIMITER=");

bool IsMergeLine(const QString& line)
{
    return line.startsWith(kFileKey) || line.startsWith(kFormatKey) || line.startsWith(kDelimiterKey);
}

// The code page a table's header mark names when it is not Windows-1252 (DOS programs such as
// Clipper and dBase wrote their tables in the DOS code page of their country); null for
// Windows-1252 and for tables whose writer left no mark.
const char* MarkedCodepage(std::uint8_t mark)
{
    switch (mark) {
    case 0x01: return "cp437";
    case 0x02: return "cp850";
    case 0x64: return "cp852";
    case 0x65: return "cp866";
    case 0x66: return "cp865";
    case 0xC8: return "cp1250";
    case 0xC9: return "cp1251";
    case 0xCA: return "cp1254";
    case 0xCB: return "cp1253";
    default: return nullptr;
    }
}

// Text of a character or memo field. Tables written by this program and by FoxPro hold
// Windows-1252, DOS programs' tables the code page their mark names; tables written by newer
// xBase programs often hold UTF-8, which text in those code pages is practically never valid as
// once it holds a non-ASCII character. codepage is null for Windows-1252, or not valid when this
// Qt cannot decode it (Windows-1252 then serves).
QString FieldText(const std::string& raw, QStringDecoder* codepage)
{
    const QByteArrayView bytes(raw.data(), qsizetype(raw.size()));
    bool ascii = true;
    for (const char c : raw)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    if (codepage && codepage->isValid())
        return codepage->decode(bytes);
    const std::string converted = xbase::cp1252::toUtf8(raw);
    return QString::fromUtf8(converted.data(), qsizetype(converted.size()));
}

QString TrimmedEnd(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && (s[n - 1] == QLatin1Char(' ') || s[n - 1] == QLatin1Char('\r') || s[n - 1] == QLatin1Char('\n')
                     || s[n - 1] == QChar(0)))
        --n;
    s.truncate(n);
    return s;
}

bool LoadTable(const QString& path, TMergeData& out, QString* error)
{
    using namespace sw::xbase;
    try {
        // Record order needs no index, and the tags of another program's index may be beyond
        // this engine.
        Table t(QFile::encodeName(path).toStdString(), OpenMode::ReadOnly, IndexUse::Closed);
        t.setDeleted(true);
        t.setOrder(0);
        std::optional<QStringDecoder> decoder;
        if (const char* marked = MarkedCodepage(t.codepage()))
            decoder.emplace(marked, QStringDecoder::Flag::Stateless);
        QStringDecoder* codepage = decoder ? &*decoder : nullptr;
        // The null flags of Visual FoxPro tables are bookkeeping, no field of the user's.
        std::vector<FieldDef> shown;
        for (const FieldDef& f : t.fields())
            if (f.type != FieldType::NullFlags) {
                shown.push_back(f);
                out.Fields.append(QString::fromLatin1(f.name));
            }
        for (t.goTop(); !t.eof(); t.skip(1)) {
            QStringList record;
            record.reserve(qsizetype(shown.size()));
            for (const FieldDef& f : shown) {
                switch (f.type) {
                case FieldType::Character:
                case FieldType::Memo: record.append(TrimmedEnd(FieldText(t.getRaw(f.name), codepage))); break;
                case FieldType::Date: {
                    const QString d = QString::fromStdString(t.getString(f.name));
                    record.append(d.size() == 8 ? d.left(4) + QLatin1Char('-') + d.mid(4, 2) + QLatin1Char('-') + d.right(2)
                                                : d);
                    break;
                }
                case FieldType::DateTime: {
                    const QString d = QString::fromStdString(t.getString(f.name));
                    record.append(d.size() == 14 ? d.left(4) + QLatin1Char('-') + d.mid(4, 2) + QLatin1Char('-') + d.mid(6, 2)
                                                       + QLatin1Char(' ') + d.mid(8, 2) + QLatin1Char(':') + d.mid(10, 2)
                                                       + QLatin1Char(':') + d.right(2)
                                                 : d);
                    break;
                }
                case FieldType::Numeric:
                case FieldType::Logical:
                case FieldType::Integer:
                case FieldType::Currency:
                case FieldType::Double:
                case FieldType::NullFlags: record.append(QString::fromStdString(t.getString(f.name))); break;
                }
            }
            out.Records.push_back(std::move(record));
        }
        return true;
    } catch (const std::exception& e) {
        if (error)
            *error = QStringLiteral("The table %1 cannot be read: %2").arg(path, QString::fromLocal8Bit(e.what()));
        return false;
    }
}

} // namespace

TMergeFormat MergeFormatOf(const QString& path)
{
    return path.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive) ? TMergeFormat::XBase : TMergeFormat::Csv;
}

QStringList MergeSourceLines(const TMergeSource& source)
{
    QStringList lines;
    if (!source.IsSet())
        return lines;
    lines.append(kFileKey + source.File);
    lines.append(kFormatKey + (source.Format == TMergeFormat::XBase ? QStringLiteral("XBASE") : QStringLiteral("CSV")));
    if (source.Format == TMergeFormat::Csv && source.DelimiterFixed)
        lines.append(kDelimiterKey + CsvDelimiterName(source.Delimiter).toUpper());
    return lines;
}

TMergeSource ReadMergeSource(const QStringList& lines)
{
    TMergeSource s;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("LABELITEM=")) || !line.contains(QLatin1Char('=')))
            break;
        if (line.startsWith(kFileKey)) {
            s.File = line.mid(kFileKey.size());
        } else if (line.startsWith(kFormatKey)) {
            const QString v = line.mid(kFormatKey.size());
            if (v == QLatin1String("XBASE"))
                s.Format = TMergeFormat::XBase;
            else if (v == QLatin1String("CSV"))
                s.Format = TMergeFormat::Csv;
        } else if (line.startsWith(kDelimiterKey)) {
            const QString v = line.mid(kDelimiterKey.size());
            for (TCsvDelimiter d : {TCsvDelimiter::Comma, TCsvDelimiter::Semicolon, TCsvDelimiter::Tab})
                if (v == CsvDelimiterName(d).toUpper()) {
                    s.DelimiterFixed = true;
                    s.Delimiter = d;
                }
        }
    }
    return s;
}

QStringList WithoutMergeSource(const QStringList& lines)
{
    QStringList out;
    out.reserve(lines.size());
    bool head = true;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("LABELITEM=")))
            head = false;
        if (head && IsMergeLine(line))
            continue;
        out.append(line);
    }
    return out;
}

QString StoredMergePath(const QString& file, const QString& tableDir)
{
    const QString absolute = QFileInfo(file).absoluteFilePath();
    if (tableDir.isEmpty())
        return QDir::cleanPath(absolute);
    const QDir dir(QFileInfo(tableDir).absoluteFilePath());
    const QString relative = dir.relativeFilePath(absolute);
    if (relative.startsWith(QLatin1String("../")) || relative == QLatin1String("..") || QDir::isAbsolutePath(relative))
        return QDir::cleanPath(absolute);
    return relative;
}

QString ResolvedMergePath(const QString& stored, const QString& tableDir)
{
    if (stored.isEmpty() || QDir::isAbsolutePath(stored) || tableDir.isEmpty())
        return stored;
    return QDir::cleanPath(QDir(tableDir).absoluteFilePath(stored));
}

int TMergeData::FieldIndex(const QString& name) const
{
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < Fields.size(); ++i)
        if (Fields[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString MergeText(const QString& text, const TMergeData& data, const QStringList& record)
{
    if (!text.contains(QLatin1Char('{')))
        return text;
    return ExpandPlaceholders(text, [&](const TPlaceholder& p) -> std::optional<QString> {
               if (p.HasArg)
                   return std::nullopt;
               const int f = data.FieldIndex(p.Name);
               if (f < 0 || f >= record.size())
                   return std::nullopt;
               return record[f];
           })
        .Text;
}

bool LoadMergeData(const QString& path, const TMergeSource& source, TMergeData& out, QString* error)
{
    out = TMergeData{};
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("The merge source %1 does not exist").arg(path);
        return false;
    }
    if (source.Format == TMergeFormat::XBase)
        return LoadTable(path, out, error);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The merge source %1 cannot be read: %2").arg(path, f.errorString());
        return false;
    }
    const QByteArray bytes = f.readAll();
    TCsvTable table;
    QString problem;
    if (!ReadCsv(bytes, source.DelimiterFixed ? &source.Delimiter : nullptr, table, &problem)) {
        if (error)
            *error = QStringLiteral("The merge source %1 cannot be read: %2").arg(path, problem);
        return false;
    }
    out.Fields = std::move(table.Fields);
    out.Records = std::move(table.Records);
    out.Delimiter = table.Delimiter;
    out.Utf8 = table.Utf8;
    return true;
}

} // namespace sw
