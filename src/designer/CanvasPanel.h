#pragma once
// The design panel: the label drawn at screen resolution (white shape, black outline) on grey,
// with the label's items drawn on top in stacking order.
#include "model/LabelShape.h"

#include <QWidget>

class TCanvasPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCanvasPanel(QWidget* parent = nullptr);

    TLabelShapeType Shape() const { return shape_; }
    void SetShape(TLabelShapeType shape);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TLabelShapeType shape_ = lsRoundRect;
};
