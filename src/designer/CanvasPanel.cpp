#include "designer/CanvasPanel.h"

#include "model/LabelItem.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

static double ScreenPixelsPerInch(double wanted)
{
    if (wanted > 0)
        return wanted;
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}

TCanvasPanel::TCanvasPanel(QWidget* parent, double pixelsPerInch)
    : QWidget(parent)
    , model_(ScreenPixelsPerInch(pixelsPerInch))
{
    setAutoFillBackground(false);
    setAcceptDrops(true);
    model_.SetSize(width(), height());
    model_.Changed = [this] { update(); };
}

void TCanvasPanel::SetShape(TLabelShapeType shape)
{
    model_.SetShape(shape);
}

void TCanvasPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    model_.Paint(p);
}

void TCanvasPanel::resizeEvent(QResizeEvent*)
{
    model_.SetSize(width(), height());
}

void TCanvasPanel::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (TLabelItem* item = model_.ItemAt(pos)) {
        if (item->Events.MouseDown)
            item->Events.MouseDown(*item, e->button(), e->modifiers(), pos - item->BoundsRect().topLeft());
        return;
    }
    if (LabelPanelMouseDown)
        LabelPanelMouseDown(e->button(), e->modifiers(), pos);
}

bool TCanvasPanel::AcceptsDrag(const QMimeData* data, QPoint pos)
{
    if (TLabelItem* item = model_.ItemAt(pos))
        return item->Events.DragOver
               && item->Events.DragOver(*item, data, pos - item->BoundsRect().topLeft());
    return LabelPanelDragOver && LabelPanelDragOver(data, pos);
}

void TCanvasPanel::dragEnterEvent(QDragEnterEvent* e)
{
    // Entering is always allowed so that moves over items and bare label are both seen.
    e->accept();
    if (!AcceptsDrag(e->mimeData(), e->position().toPoint()))
        e->setDropAction(Qt::IgnoreAction);
}

void TCanvasPanel::dragMoveEvent(QDragMoveEvent* e)
{
    if (AcceptsDrag(e->mimeData(), e->position().toPoint()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TCanvasPanel::dropEvent(QDropEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (!AcceptsDrag(e->mimeData(), pos)) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (TLabelItem* item = model_.ItemAt(pos)) {
        if (item->Events.DragDrop)
            item->Events.DragDrop(*item, e->mimeData(), pos - item->BoundsRect().topLeft());
        return;
    }
    if (LabelPanelDragDrop)
        LabelPanelDragDrop(e->mimeData(), pos);
}
