#pragma once
// Horizontal and vertical line items: the line runs along the top or down the left side of a
// box larger than the line.
#include "model/LabelItem.h"

#include <QLine>

enum TLineStyle { stHorizontal = 0, stVertical = 1, stAngle = 2 };

class TLineShape : public TLabelItem {
public:
    TLineShape();

    TLineStyle LineStyle() const { return style_; }
    void SetLineStyle(TLineStyle style);
    const TItemPen& Pen() const { return pen_; }
    void SetPen(const TItemPen& pen);

    // The line's ends as GDI draws it: from (X, X) to the end point (not drawn), item pixels.
    QLine LineEnds() const;

protected:
    void DoPaint(QPainter& painter) override;

private:
    TLineStyle style_ = stHorizontal;
    TItemPen pen_;
};
