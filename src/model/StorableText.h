#pragma once
// Text the label files can hold: they keep Windows-1252, so a character outside it would be
// refused at Save, long after it was typed. Boxes whose text reaches the files refuse such a
// character where it is typed instead, name it, and keep the rest of what was typed.
#include <QValidator>
#include <functional>

namespace sw {

// The first character of text that Windows-1252 cannot hold (a whole surrogate pair for
// characters beyond the BMP); empty when there is none.
QString FirstUnstorable(const QString& text);

// "The character "x" (U+1234) cannot be stored in a label".
QString UnstorableMessage(const QString& character);

// Takes every character Windows-1252 cannot hold out of what is typed (the rest stays, the
// cursor keeps its place among it) and reports the first one taken through Refused, which
// is called after the edit, from the event loop, so that it may show a message box.
class TStorableTextValidator : public QValidator {
public:
    explicit TStorableTextValidator(QObject* parent = nullptr) : QValidator(parent) {}

    std::function<void(const QString& character)> Refused;

    State validate(QString& input, int& pos) const override;
};

} // namespace sw
