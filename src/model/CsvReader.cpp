#include "model/CsvReader.h"

#include "xbase/Codepage.h"

#include <QStringDecoder>

#include <string>
#include <string_view>

namespace sw {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The rows of the text as raw byte fields. Sets openedOn to the 1-based line of a quote that is
// never closed (0 when every quote closes).
std::vector<std::vector<std::string>> SplitRows(std::string_view text, char delimiter, int& openedOn)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;    // inside a quoted part
    bool rowStarted = false;
    int line = 1;
    int quoteLine = 0;
    openedOn = 0;
    const auto endField = [&] {
        row.push_back(std::move(field));
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        // A row that is one empty field is a blank line.
        if (row.size() > 1 || !row.front().empty())
            rows.push_back(std::move(row));
        row.clear();
        rowStarted = false;
    };
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && text[i + 1] == '"') {
                    field.push_back('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && !(i + 1 < n && text[i + 1] == '\n')))
                    ++line;
                field.push_back(c);
            }
            continue;
        }
        if (c == '"' && field.find_first_not_of(' ') == std::string::npos) {
            // A quote opens a quoted part only at the start of a field (blanks before it are
            // dropped, as people write "a", "b"); elsewhere it is text.
            field.clear();
            quoted = true;
            quoteLine = line;
            rowStarted = true;
        } else if (c == delimiter) {
            endField();
            rowStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            ++line;
            endRow();
        } else {
            field.push_back(c);
            rowStarted = true;
        }
    }
    if (quoted) {
        openedOn = quoteLine;
        return {};
    }
    if (rowStarted || !field.empty())
        endRow();
    return rows;
}

bool ValidUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoding happens when the result becomes a string.
    const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

QString Decode(const std::string& bytes, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    const std::string text = xbase::cp1252::toUtf8(bytes);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string_view WithoutBom(const QByteArray& bytes)
{
    std::string_view text(bytes.constData(), std::size_t(bytes.size()));
    if (text.substr(0, kBom.size()) == kBom)
        text.remove_prefix(kBom.size());
    return text;
}

} // namespace

char CsvDelimiterChar(TCsvDelimiter d)
{
    switch (d) {
    case TCsvDelimiter::Semicolon: return ';';
    case TCsvDelimiter::Tab: return '\t';
    case TCsvDelimiter::Comma: break;
    }
    return ',';
}

QString CsvDelimiterName(TCsvDelimiter d)
{
    switch (d) {
    case TCsvDelimiter::Semicolon: return QStringLiteral("Semicolon");
    case TCsvDelimiter::Tab: return QStringLiteral("Tab");
    case TCsvDelimiter::Comma: break;
    }
    return QStringLiteral("Comma");
}

TCsvDelimiter DetectCsvDelimiter(const QByteArray& bytes)
{
    const std::string_view text = WithoutBom(bytes);
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\r' || c == '\n')
            break;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
        else if (c == '\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return TCsvDelimiter::Semicolon;
    if (tabs > commas && tabs > semicolons)
        return TCsvDelimiter::Tab;
    return TCsvDelimiter::Comma;
}

bool ReadCsv(const QByteArray& bytes, const TCsvDelimiter* delimiter, TCsvTable& out, QString* error)
{
    out = TCsvTable{};
    const std::string_view text = WithoutBom(bytes);
    out.Delimiter = delimiter ? *delimiter : DetectCsvDelimiter(bytes);
    out.Utf8 = ValidUtf8(text);
    int openedOn = 0;
    std::vector<std::vector<std::string>> rows = SplitRows(text, CsvDelimiterChar(out.Delimiter), openedOn);
    if (openedOn > 0) {
        if (error)
            *error = QStringLiteral("a quote opened on line %1 is never closed").arg(openedOn);
        return false;
    }
    if (rows.empty()) {
        if (error)
            *error = QStringLiteral("there is no header row naming the fields");
        return false;
    }
    for (const std::string& name : rows.front())
        out.Fields.append(Decode(name, out.Utf8).trimmed());
    const std::size_t width = rows.front().size();
    out.Records.reserve(rows.size() - 1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        QStringList record;
        record.reserve(qsizetype(width));
        const std::vector<std::string>& row = rows[r];
        if (row.size() > width)
            ++out.WideRows;
        for (std::size_t f = 0; f < width; ++f)
            record.append(f < row.size() ? Decode(row[f], out.Utf8) : QString());
        out.Records.push_back(std::move(record));
    }
    return true;
}

} // namespace sw
