#pragma once
// Rectangle, round rectangle and ellipse items. The outline is centred on a rectangle inset by
// half the pen width, so it stays inside the box for any pen width.
#include "model/LabelItem.h"

#include <QRect>

enum TShapeType {
    stRectangle = 0, stSquare = 1, stRoundRect = 2, stRoundSquare = 3, stEllipse = 4, stCircle = 5
};

namespace sw {
// Corner ellipse width and height of a round rectangle: trunc(M * (perc * 0.01)) with 0.01 as an
// inexact constant, so 200 at 20 % gives 39.
int RoundCornerSize(int largerSide, int roundPerc);
} // namespace sw

class TMoShape : public TLabelItem {
public:
    TMoShape();

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType shape);
    const TItemPen& Pen() const { return pen_; }
    void SetPen(const TItemPen& pen);
    const TItemBrush& Brush() const { return brush_; }
    void SetBrush(const TItemBrush& brush);
    int RoundPerc() const { return roundPerc_; }
    void SetRoundPerc(int perc);

    // The rectangle the shape is drawn over, as GDI corners (X, Y)-(X + W, Y + H) in item pixels,
    // and the corner size (0 unless a round kind).
    QRect ShapeCorners() const;
    int CornerSize() const;

protected:
    void DoPaint(QPainter& painter) override;

private:
    TShapeType shape_ = stRectangle;
    TItemPen pen_;
    TItemBrush brush_;
    int roundPerc_ = 25;
};
