#pragma once
// Text and counter items: a caption drawn with a font rotated by Angle degrees
// counter-clockwise. Drawing decides the item's box (the rotated extent of the caption) and
// the text origin, the point inside the box where the rotated text's first character cell
// starts; printing places the text by that origin.
#include "model/LabelItem.h"

#include <QFont>
#include <QPoint>

enum TmoStyle3D { lsRaised3d, lsLowered3D };
enum TmoDepth3D { dpNone, dpNormal, dpDeep, dpExtraDeep };
enum TmoButtonType { btNone, btPush };

namespace sw {

// The box and origin of a caption TW by TH pixels rotated by angle degrees (held -180..180;
// -180 is laid out as 180), with 3D depth offset D.
struct RotatedTextLayout {
    int Width = 0;   // W' = round(|TH sin r| + |TW cos r|) + D, half to even
    int Height = 0;  // H' = round(|TW sin r| + |TH cos r|) + D
    QPoint Origin;   // where the first character cell's top-left corner goes
};
RotatedTextLayout LayOutRotatedText(int textWidth, int textHeight, int angle, int depthOffset = 0);

// Angle normalisation of every item: a mod 360 (sign kept), then into -180..180.
int NormaliseAngle(int angle);

// A caption draws at most its first 255 characters.
constexpr int kMaxDrawnCaption = 255;

} // namespace sw

class Tmo3DLabel : public TLabelItem {
public:
    Tmo3DLabel();

    const QString& Caption() const { return caption_; }
    // What the design panel shows: the caption, or its panel's ShownText of it.
    QString ShownCaption() const;
    void SetCaption(const QString& caption);
    const TItemFont& Font() const { return font_; }
    void SetFont(const TItemFont& font);
    int Angle() const { return angle_; }
    void SetAngle(int angle);

    TmoStyle3D Style3D() const { return style3D_; }
    void SetStyle3D(TmoStyle3D style);
    TmoDepth3D Depth3D() const { return depth3D_; }
    void SetDepth3D(TmoDepth3D depth);
    int DepthOffset() const { return depthOffset_; }
    TmoButtonType ButtonType() const { return btNone; }
    bool AutoSize() const { return true; }
    bool Transparent() const { return true; }

    // The text origin found by the last layout.
    int OffsetX() const { return offset_.x(); }
    int OffsetY() const { return offset_.y(); }

    // Measures the caption in the rotated font and sets the box and origin, as a drawing does.
    void LayOut();

    // The font as Qt draws it at the item's resolution (pixel height, style, face).
    QFont DrawingFont() const;

protected:
    void DoPaint(QPainter& painter) override;
    void ParentChanged() override { LayOut(); }

private:
    QString caption_;
    TItemFont font_;
    int angle_ = 0;
    TmoStyle3D style3D_ = lsLowered3D;
    TmoDepth3D depth3D_ = dpNone;
    int depthOffset_ = 0;
    QPoint offset_;
};

// A counter: a text item whose caption holds the starting number; Tag the repeat count.
class TCounterLabel : public Tmo3DLabel {
public:
    TCounterLabel();
    int Tag = 1;
};

// Lays the item out afresh with its current caption, font and angle and returns its origin.
QPoint TextOrigin(Tmo3DLabel& item);
