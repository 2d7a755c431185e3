#include "model/Placeholders.h"

namespace sw {
namespace {

// Walks text, handing literal runs to literal and placeholders to field (with the text they
// were written as).
template <typename Literal, typename Field>
void Scan(const QString& text, Literal&& literal, Field&& field)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c != u'{') {
            const qsizetype next = text.indexOf(u'{', i);
            const qsizetype end = next < 0 ? n : next;
            literal(QStringView(text).mid(i, end - i));
            i = end;
            continue;
        }
        if (i + 1 < n && text.at(i + 1) == u'{') {
            literal(QStringView(u"{"));
            i += 2;
            continue;
        }
        qsizetype close = -1;
        for (qsizetype j = i + 1; j < n; ++j) {
            const QChar d = text.at(j);
            if (d == u'}') {
                close = j;
                break;
            }
            if (d == u'{' || d == u'\n' || d == u'\r')
                break;
        }
        const QStringView body = close < 0 ? QStringView() : QStringView(text).mid(i + 1, close - i - 1);
        const qsizetype colon = body.indexOf(u':');
        if (close < 0 || body.isEmpty() || colon == 0) {
            literal(QStringView(text).mid(i, 1));
            ++i;
            continue;
        }
        TPlaceholder p;
        if (colon < 0) {
            p.Name = body.toString();
        } else {
            p.Name = body.left(colon).toString();
            p.Arg = body.mid(colon + 1).toString();
            p.HasArg = true;
        }
        field(p, QStringView(text).mid(i, close - i + 1));
        i = close + 1;
    }
}

} // namespace

TExpansion ExpandPlaceholders(const QString& text, const TPlaceholderResolver& resolve)
{
    TExpansion out;
    out.Text.reserve(text.size());
    Scan(
        text, [&](QStringView s) { out.Text += s; },
        [&](const TPlaceholder& p, QStringView written) {
            if (std::optional<QString> value = resolve(p)) {
                out.Text += *value;
                return;
            }
            out.Text += written;
            if (!out.Unknown.contains(p.Name))
                out.Unknown << p.Name;
        });
    return out;
}

QList<TPlaceholder> PlaceholdersIn(const QString& text)
{
    QList<TPlaceholder> out;
    Scan(text, [](QStringView) {}, [&](const TPlaceholder& p, QStringView) { out << p; });
    return out;
}

QStringList PlaceholderNames(const QString& text)
{
    QStringList names;
    for (const TPlaceholder& p : PlaceholdersIn(text))
        if (!names.contains(p.Name))
            names << p.Name;
    return names;
}

bool HasPlaceholders(const QString& text)
{
    return text.contains(u'{') && !PlaceholdersIn(text).isEmpty();
}

} // namespace sw
