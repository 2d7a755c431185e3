#pragma once
// A whole-number spin field whose value is its text read as an integer. Text that is not an
// integer reads as the field's minimum; a field with a range clamps to it when the value is set
// by program, by the arrow buttons, or when the user leaves the field. MinValue == MaxValue
// means no range.
#include <QAbstractSpinBox>

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int Value() const;
    void SetValue(int value);

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    void SetRange(int minValue, int maxValue);
    bool HasRange() const { return max_ > min_; }

    int Increment() const { return increment_; }
    void SetIncrement(int step) { increment_ = step; }

    QString Text() const;
    void SetText(const QString& text);

    void stepBy(int steps) override;

signals:
    // Every change of the text, by the user or by program.
    void Changed();

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int Clamp(long long value) const;

    int min_ = 0;
    int max_ = 0;
    int increment_ = 1;
};
