#pragma once
// The font chooser of the item commands: the platform's font list with its effects (underline,
// strike-out) and a colour, since an item's font carries its colour.
#include "model/LabelItem.h"

#include <QDialog>

class QFontDialog;
class QPushButton;

class TFontColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFontColorDialog(QWidget* parent = nullptr);

    // The item font at the screen resolution the dialog shows sizes in points.
    void SetItemFont(const TItemFont& font);
    TItemFont ItemFont() const;

    QFontDialog* FontDialog1;
    QPushButton* ColorButton;

private:
    void ShowColor();
    TColor color_ = 0;
};
