#pragma once
// The design panel: the label drawn at screen resolution (white shape, black outline) on grey,
// with the label's items drawn on top in stacking order. The widget shows a TLabelPanel model
// and routes mouse presses and drags to the item under the mouse (frontmost first) or, over
// bare label, to the panel's own handlers.
//
// Zoom: the model keeps label pixels (what is stored); the widget shows them at zoom x size and
// hands every point to its handlers in label pixels. Drawing stays in label units with the
// zoom as the painter's scale, so fonts and pens grow with it.
#include "designer/ViewScale.h"
#include "model/LabelPanel.h"
#include "model/LabelShape.h"

#include <QWidget>
#include <functional>

class QMimeData;

class TCanvasPanel : public QWidget {
    Q_OBJECT
public:
    // pixelsPerInch 0: the screen's logical resolution.
    explicit TCanvasPanel(QWidget* parent = nullptr, double pixelsPerInch = 0);

    TLabelShapeType Shape() const { return model_.Shape(); }
    // Setting the shape already held does nothing.
    void SetShape(TLabelShapeType shape);

    // The panel's items and size; resizing the widget from outside resizes the model (at the
    // current zoom).
    TLabelPanel& Model() { return model_; }
    const TLabelPanel& Model() const { return model_; }

    // The label's size in label pixels; the widget takes it at the current zoom.
    void SetLabelSize(int width, int height);
    double Zoom() const { return scale_.Zoom(); }
    // Clamped to the zoom range; the label's size in label pixels stays.
    void SetZoom(double zoom);
    const TViewScale& Scale() const { return scale_; }
    QPoint ToView(QPoint p) const { return scale_.ToView(p); }
    QRect ToView(const QRect& r) const { return scale_.ToView(r); }
    QPoint ToLabel(QPoint p) const { return scale_.ToLabel(p); }
    // Repaints the part of the widget that shows this rectangle of label pixels.
    void UpdateLabelRect(const QRect& r);

    // Handlers of the panel itself (label pixels), used where no item lies under the mouse.
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> LabelPanelMouseDown;
    std::function<bool(const QMimeData*, QPoint)> LabelPanelDragOver;
    std::function<void(const QMimeData*, QPoint)> LabelPanelDragDrop;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

signals:
    // The widget's size changed (a new label size or zoom).
    void ViewResized();

private:
    bool AcceptsDrag(const QMimeData* data, QPoint pos);
    void FitWidget();

    TLabelPanel model_;
    TViewScale scale_;
    bool fitting_ = false;
};
