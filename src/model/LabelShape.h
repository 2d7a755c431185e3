#pragma once
// The outline of a label: rectangle, rounded rectangle or ellipse, and its two-letter code
// in the label table ("SR", "RR", "RE").
#include <QRect>
#include <QString>

class QPainter;

enum TLabelShapeType { lsRectangle = 0, lsRoundRect = 1, lsEllipse = 2 };

namespace sw {

// Code in the table -> shape. Unknown codes give lsRoundRect, the panel's default.
TLabelShapeType ShapeFromCode(const QString& code);
QString CodeFromShape(TLabelShapeType shape);

// Corner ellipse size of a rounded label outline: the larger side integer-divided by 6.
int LabelCornerSize(int width, int height);

// Paints the label as the designer shows it: white inside, black one-pixel outline, over
// (0, 0, width, height) in the painter's current coordinates.
void PaintLabelOutline(QPainter& painter, int width, int height, TLabelShapeType shape);

} // namespace sw
