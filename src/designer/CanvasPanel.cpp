#include "designer/CanvasPanel.h"

#include "model/LabelItem.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

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

void TCanvasPanel::SetLabelSize(int width, int height)
{
    model_.SetSize(width, height);
    FitWidget();
}

void TCanvasPanel::SetZoom(double zoom)
{
    zoom = std::clamp(zoom, TViewScale::MinZoom, TViewScale::MaxZoom);
    if (zoom == scale_.Zoom())
        return;
    scale_ = TViewScale(zoom);
    FitWidget();
    update();
}

void TCanvasPanel::FitWidget()
{
    fitting_ = true;
    resize(scale_.ToView(QSize(model_.Width(), model_.Height())));
    fitting_ = false;
    emit ViewResized();
}

void TCanvasPanel::UpdateLabelRect(const QRect& r)
{
    // One view pixel more on each side: an edge rounded either way is covered.
    update(scale_.ToView(r).adjusted(-1, -1, 1, 1));
}

void TCanvasPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // Below full size a one-pixel pen is narrower than a screen pixel: without smoothing whole
    // edges of it would fall between pixel centres and vanish.
    if (scale_.Zoom() < 1.0)
        p.setRenderHint(QPainter::Antialiasing);
    model_.Paint(p, scale_.Zoom());
}

void TCanvasPanel::resizeEvent(QResizeEvent*)
{
    if (fitting_)
        return;
    const QSize label = scale_.SizeToLabel(size());
    model_.SetSize(label.width(), label.height());
    emit ViewResized();
}

void TCanvasPanel::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = ToLabel(e->position().toPoint());
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
    if (!AcceptsDrag(e->mimeData(), ToLabel(e->position().toPoint())))
        e->setDropAction(Qt::IgnoreAction);
}

void TCanvasPanel::dragMoveEvent(QDragMoveEvent* e)
{
    if (AcceptsDrag(e->mimeData(), ToLabel(e->position().toPoint())))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TCanvasPanel::dropEvent(QDropEvent* e)
{
    const QPoint pos = ToLabel(e->position().toPoint());
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
