#pragma once
// The counter values dialog: the starting number (any whole number) and how many labels in a
// row print each value (1 to 999).
#include <QDialog>

class TSpinEdit;

class TGetCounter : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 2001;

    explicit TGetCounter(QWidget* parent = nullptr);

    TSpinEdit* StartingNumber;
    TSpinEdit* RepeatFor;
};
