#include "designer/SpinEdit.h"

#include <QLineEdit>
#include <limits>

TSpinEdit::TSpinEdit(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::Changed);
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int v = lineEdit()->text().trimmed().toInt(&ok);
    return ok ? v : min_;
}

int TSpinEdit::Clamp(long long value) const
{
    if (HasRange()) {
        if (value < min_)
            return min_;
        if (value > max_)
            return max_;
        return int(value);
    }
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return int(value);
}

void TSpinEdit::SetValue(int value)
{
    const QString text = QString::number(Clamp(value));
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void TSpinEdit::SetRange(int minValue, int maxValue)
{
    min_ = minValue;
    max_ = maxValue;
    if (HasRange())
        SetValue(Value());
}

QString TSpinEdit::Text() const
{
    return lineEdit()->text();
}

void TSpinEdit::SetText(const QString& text)
{
    lineEdit()->setText(text);
}

void TSpinEdit::stepBy(int steps)
{
    SetValue(Clamp(static_cast<long long>(Value()) + static_cast<long long>(steps) * increment_));
}

QValidator::State TSpinEdit::validate(QString&, int&) const
{
    // Any text may be typed; it is read as a number only when the value is asked for.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    if (HasRange() && Clamp(Value()) != Value())
        SetValue(Value());
    QAbstractSpinBox::focusOutEvent(event);
}
