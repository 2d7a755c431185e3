#pragma once
// The barcode dialog: symbology, data and the human-readable line, checked as the user types
// (the encoder's verdict in the user's words) with a live picture of the code. OK is offered
// only for data the code can hold.
#include "model/Barcode.h"

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

struct TBarcodeValues {
    sw::TSymbology Symbology = sw::TSymbology::Code128;
    QString Data;
    bool ShowText = true;
};

// The live picture: the code as it will print, fitted into the widget.
class TBarcodePicture : public QWidget {
    Q_OBJECT
public:
    explicit TBarcodePicture(QWidget* parent = nullptr);
    void SetCode(const sw::TBarcode& code);
    const sw::TBarcode& Code() const { return code_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    sw::TBarcode code_;
};

class TGetBarcode : public QDialog {
    Q_OBJECT
public:
    // values: what "{COUNTER}" (the label's starting number) and "{FIELD}" (the merge source's
    // first record) show while the data is checked.
    explicit TGetBarcode(sw::TDataValues values, QWidget* parent = nullptr);

    void SetValues(const TBarcodeValues& values);
    TBarcodeValues Values() const;
    // Why the data cannot be encoded; empty when it can.
    QString Problem() const { return problem_; }

    QComboBox* SymbologyBox;
    QLineEdit* DataEdit;
    QCheckBox* ShowTextBox;
    TBarcodePicture* Picture;
    QLabel* ProblemLabel;
    QPushButton* OkButton;

private:
    void Check();

    sw::TDataValues values_;
    QString problem_;
};
