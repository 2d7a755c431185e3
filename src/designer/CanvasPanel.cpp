#include "designer/CanvasPanel.h"

#include <QPainter>

TCanvasPanel::TCanvasPanel(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
}

void TCanvasPanel::SetShape(TLabelShapeType shape)
{
    if (shape == shape_)
        return;
    shape_ = shape;
    update();
}

void TCanvasPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    sw::PaintLabelOutline(p, width(), height(), shape_);
}
