#pragma once
// The one-line text query: a prompt, a text field, "Ok" and "Cancel".
#include <QDialog>

class QLabel;
class QLineEdit;
class TWindowServices;

class TInputQueryForm : public QDialog {
    Q_OBJECT
public:
    explicit TInputQueryForm(QWidget* parent = nullptr);

    QLabel* MessageLabel;
    QLineEdit* InputText;
};

// Asks for a text. On OK the field's text goes into value and the result is true; on Cancel
// value is left as it was. The dialog is centred over the main window when services are given.
bool QueryText(const QString& caption, const QString& prompt, QString& value,
               TWindowServices* services = nullptr);
