#pragma once
// The selection handle: a transparent child widget laid over the selected controls of a design
// surface. It paints eight small squares around them, moves or resizes them with the mouse
// (edges follow the mouse and land on the grid), shows a dotted rubber band while dragging,
// moves them one pixel per arrow key and passes every press it does not use on to what lies
// beneath. It knows nothing about labels: the controls are reached through TStretchTarget.
//
// The controls' bounds may be in units of their own that the parent shows at a scale (a zoomed
// surface): the handle then works in those units (drags, grid, arrow keys) and only its widget
// and its squares are in the parent's pixels. The handle's frame is its rectangle in the
// controls' units. Invariant while one control C is attached:
//   frame = (C.left - 2, C.top - 2, C.width + 5, C.height + 5),
//   geometry = the same margins (in pixels) around C's bounds at the scale.
#include "designer/ViewScale.h"

#include <QColor>
#include <QCursor>
#include <QEvent>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <stdexcept>
#include <vector>

// A control the handle can carry: its bounds in its parent widget's coordinates (before the
// handle's scale).
class TStretchTarget {
public:
    virtual ~TStretchTarget() = default;
    virtual QRect Bounds() const = 0;
    virtual void SetBounds(const QRect& bounds) = 0;
    virtual QWidget* ParentWidget() const = 0;
    // Top-level windows cannot carry a handle.
    virtual bool IsWindow() const { return false; }
};

// A plain child widget as a target.
class TWidgetTarget : public TStretchTarget {
public:
    explicit TWidgetTarget(QWidget* widget)
        : widget_(widget)
    {
    }
    QRect Bounds() const override { return widget_->geometry(); }
    void SetBounds(const QRect& bounds) override { widget_->setGeometry(bounds); }
    QWidget* ParentWidget() const override { return widget_->parentWidget(); }
    bool IsWindow() const override { return widget_->isWindow(); }
    QWidget* Widget() const { return widget_; }

private:
    QWidget* widget_;
};

class EBadChild : public std::runtime_error {
public:
    EBadChild()
        : std::runtime_error("Handles can not be attached to a Form!")
    {
    }
};

enum class TDragStyle { Move = 0, TopLeft, TopRight, BottomLeft, BottomRight, Top, Left, Bottom, Right };

namespace sw {
// The handle rectangle after a drag of the given style by (dx, dy) from the handle rectangle
// 'handle', with grid steps gx, gy (1: no grid). The moved edges of the control follow the mouse
// and are truncated toward zero to a multiple of the grid; the control never gets narrower or
// lower than 0 (the handle 5), its unmoved edges stay.
QRect DragRect(const QRect& handle, TDragStyle style, int dx, int dy, int gx, int gy);
// The drag style a hover at (x, y) over a handle of size w x h chooses (one control attached).
TDragStyle HoverStyle(int x, int y, int w, int h);
} // namespace sw

class TRubberBand;

class TStretchHandle : public QWidget {
    Q_OBJECT
public:
    explicit TStretchHandle(QWidget* parent = nullptr);
    ~TStretchHandle() override;

    // Raises EBadChild for a top-level window.
    void AttachItem(TStretchTarget* control);
    void DetachAll();
    int AttachedCount() const { return int(items_.size()); }
    TStretchTarget* AttachedItem(int index) const;

    // Every move or resize goes through here: the attached controls follow by the same amounts.
    // The rectangle is a frame (the controls' units).
    void SetBounds(const QRect& frame);
    QRect Frame() const { return frame_; }
    // Moves the attached controls by (dx, dy) of their own units.
    void MoveBy(int dx, int dy) { SetBounds(frame_.translated(dx, dy)); }
    // The scale at which the parent shows the controls' units (1: they are its pixels).
    double Scale() const { return scale_.Zoom(); }
    void SetScale(double scale);

    QColor Color() const { return color_; }
    void SetColor(const QColor& c) { color_ = c; update(); }
    QColor SecondaryColor() const { return secondaryColor_; }
    void SetSecondaryColor(const QColor& c) { secondaryColor_ = c; update(); }
    bool Locked() const { return locked_; }
    void SetLocked(bool locked) { locked_ = locked; }
    int GridX() const { return gridX_; }
    int GridY() const { return gridY_; }
    void SetGridX(int step) { gridX_ = ClampStep(step); }
    void SetGridY(int step) { gridY_ = ClampStep(step); }
    // No storage of its own: true sets both steps to 8, false to 1; reads true when either
    // step is above 1.
    bool SnapToGrid() const { return gridX_ > 1 || gridY_ > 1; }
    void SetSnapToGrid(bool snap);
    QCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(const QCursor& c) { dragCursor_ = c; }

    bool Dragging() const { return dragging_; }
    TDragStyle DragStyle() const { return dragStyle_; }
    // The frame the band now outlines (the controls' units); empty when none.
    QRect Band() const { return band_; }
    // True from attach until the first mouse move with the left button up, and while dragging.
    bool HasCapture() const { return capture_; }

signals:
    void MouseDown(Qt::MouseButton button, QPoint pos);
    // Fired at the end of every left-button drag, also when nothing moved.
    void MouseUp(Qt::MouseButton button, QPoint pos);
    // Fired after the handle's own arrow-key handling, for every key.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int ClampStep(int step) { return step < 1 ? 1 : (step > 255 ? 255 : step); }
    void Move(const QPoint& pos, Qt::MouseButtons buttons);
    void Release(const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons);
    QPoint ClampToParent(const QPoint& pos) const;
    void DrawBand(const QPoint& pos);
    void EraseBand();
    void SetCapture(bool on);
    void PassOn(QEvent::Type type, const QPoint& pos, Qt::MouseButton button);
    void EndDragCursor();
    // The widget's geometry for a frame: its margins in pixels around the scaled controls.
    QRect Placement(const QRect& frame) const;
    QRect DragFrame(const QPoint& pos) const;

    std::vector<TStretchTarget*> items_;
    QColor color_ = Qt::black;
    QColor secondaryColor_ = QColor(128, 128, 128);
    int gridX_ = 1;
    int gridY_ = 1;
    bool locked_ = false;
    QCursor dragCursor_ = QCursor(Qt::DragMoveCursor);
    QPoint dragStart_;
    bool dragging_ = false;
    bool capture_ = false;
    bool overrideCursor_ = false;
    TDragStyle dragStyle_ = TDragStyle::Move;
    QRect band_;
    QRect frame_;
    TViewScale scale_;
    TRubberBand* bandWidget_ = nullptr;
    QWidget* filtered_ = nullptr;
};
