#pragma once
// The design panel: the label drawn at screen resolution (white shape, black outline) on grey,
// with the label's items drawn on top in stacking order. The widget shows a TLabelPanel model
// and routes mouse presses and drags to the item under the mouse (frontmost first) or, over
// bare label, to the panel's own handlers.
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

    // The panel's items and size; resizing the widget resizes the model.
    TLabelPanel& Model() { return model_; }
    const TLabelPanel& Model() const { return model_; }

    // Handlers of the panel itself (panel pixels), used where no item lies under the mouse.
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

private:
    bool AcceptsDrag(const QMimeData* data, QPoint pos);

    TLabelPanel model_;
};
