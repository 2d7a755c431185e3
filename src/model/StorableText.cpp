#include "model/StorableText.h"

#include "xbase/Codepage.h"

#include <QPointer>
#include <QTimer>

namespace sw {

namespace {
bool Storable(const QString& character)
{
    std::string bytes, bad;
    return sw::xbase::cp1252::fromUtf8(character.toStdString(), bytes, bad);
}

// The length of the character at i: two for a surrogate pair.
int CharLength(const QString& text, int i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}
} // namespace

QString FirstUnstorable(const QString& text)
{
    for (int i = 0; i < text.size();) {
        const int n = CharLength(text, i);
        // Latin-1 letters and ASCII are in the code page: only the rest needs a look.
        if (n > 1 || text.at(i).unicode() > 0x7F) {
            const QString c = text.mid(i, n);
            if (!Storable(c))
                return c;
        }
        i += n;
    }
    return {};
}

QString UnstorableMessage(const QString& character)
{
    const uint code = character.toUcs4().value(0);
    return QStringLiteral("The character \"%1\" (U+%2) cannot be stored in a label")
        .arg(character, QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper());
}

QValidator::State TStorableTextValidator::validate(QString& input, int& pos) const
{
    const QString refused = FirstUnstorable(input);
    if (refused.isEmpty())
        return Acceptable;
    QString kept;
    int keptPos = pos;
    for (int i = 0; i < input.size();) {
        const int n = CharLength(input, i);
        const QString c = input.mid(i, n);
        if (FirstUnstorable(c).isEmpty())
            kept += c;
        else if (i < pos)
            keptPos -= std::min(n, pos - i);
        i += n;
    }
    input = kept;
    pos = keptPos;
    if (Refused) {
        QPointer<const TStorableTextValidator> self(this);
        QTimer::singleShot(0, const_cast<TStorableTextValidator*>(this), [self, refused] {
            if (self && self->Refused)
                self->Refused(refused);
        });
    }
    return Acceptable;
}

} // namespace sw
