#pragma once
// A symbol item: one character of the Wingdings symbol font (code 33..255), sized to the
// character's extent. Which font actually draws the code is decided in model/Symbols.h.
#include "model/LabelItem.h"

class TSymbol : public TLabelItem {
public:
    TSymbol();

    // The one-character caption: the code as a Latin-1 character.
    QString Caption() const { return QString(QChar(code_)); }
    int Code() const { return code_; }
    // Codes outside 33..255 are kept to their low byte, as the character they stand for.
    void SetCode(int code);
    // Face is always "WingDings"; only size and colour are the item's own.
    const TItemFont& Font() const { return font_; }
    void SetFontSize(int points);
    void SetFontColor(TColor color);
    bool AutoSize() const { return true; }
    bool Transparent() const { return true; }

    // Sets the box to the character's extent.
    void LayOut();

protected:
    void DoPaint(QPainter& painter) override;
    void ParentChanged() override { LayOut(); }

private:
    int code_ = 74;
    TItemFont font_;
};
