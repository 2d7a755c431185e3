#include "designer/StretchHandle.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

// The dotted outline of the rectangle the controls will take when the drag ends. It lies over
// the parent like the handle and lets the mouse through; Qt repaints what it uncovers.
class TRubberBand : public QWidget {
public:
    explicit TRubberBand(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(r);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(r);
    }
};

namespace sw {

namespace {
int Snap(int v, int grid)
{
    return grid > 1 ? (v / grid) * grid : v;
}
bool Near(int a, int b)
{
    return std::abs(a - b) < 5;
}
bool Middle(int v, int extent)
{
    return std::fabs(v - extent / 2.0) < 3.0;
}
} // namespace

QRect DragRect(const QRect& handle, TDragStyle style, int dx, int dy, int gx, int gy)
{
    // Work on the control's edges (right and bottom exclusive), so that they, not the handle's
    // margins, follow the mouse and land on the grid.
    int left = handle.x() + 2;
    int top = handle.y() + 2;
    int right = handle.x() + handle.width() - 3;
    int bottom = handle.y() + handle.height() - 3;
    const int width = right - left;
    const int height = bottom - top;
    const bool moveLeft = style == TDragStyle::TopLeft || style == TDragStyle::BottomLeft || style == TDragStyle::Left;
    const bool moveTop = style == TDragStyle::TopLeft || style == TDragStyle::TopRight || style == TDragStyle::Top;
    const bool moveRight =
        style == TDragStyle::TopRight || style == TDragStyle::BottomRight || style == TDragStyle::Right;
    const bool moveBottom =
        style == TDragStyle::BottomLeft || style == TDragStyle::BottomRight || style == TDragStyle::Bottom;

    if (style == TDragStyle::Move) {
        left = Snap(left + dx, gx);
        top = Snap(top + dy, gy);
        right = left + width;
        bottom = top + height;
    }
    if (moveLeft)
        left = std::min(Snap(left + dx, gx), right);
    if (moveRight)
        right = std::max(Snap(right + dx, gx), left);
    if (moveTop)
        top = std::min(Snap(top + dy, gy), bottom);
    if (moveBottom)
        bottom = std::max(Snap(bottom + dy, gy), top);
    return {left - 2, top - 2, right - left + 5, bottom - top + 5};
}

TDragStyle HoverStyle(int x, int y, int w, int h)
{
    TDragStyle s = TDragStyle::Move;
    if (Near(x, 0) && Near(y, 0))
        s = TDragStyle::TopLeft;
    if (Near(x, w) && Near(y, h))
        s = TDragStyle::BottomRight;
    if (Near(x, w) && Near(y, 0))
        s = TDragStyle::TopRight;
    if (Near(x, 0) && Near(y, h))
        s = TDragStyle::BottomLeft;
    if (Middle(x, w) && Near(y, 0))
        s = TDragStyle::Top;
    if (Middle(x, w) && Near(y, h))
        s = TDragStyle::Bottom;
    if (Middle(y, h) && Near(x, 0))
        s = TDragStyle::Left;
    if (Middle(y, h) && Near(x, w))
        s = TDragStyle::Right;
    return s;
}

} // namespace sw

namespace {

Qt::CursorShape CursorFor(TDragStyle s)
{
    switch (s) {
    case TDragStyle::TopLeft:
    case TDragStyle::BottomRight:
        return Qt::SizeFDiagCursor;
    case TDragStyle::TopRight:
    case TDragStyle::BottomLeft:
        return Qt::SizeBDiagCursor;
    case TDragStyle::Top:
    case TDragStyle::Bottom:
        return Qt::SizeVerCursor;
    case TDragStyle::Left:
    case TDragStyle::Right:
        return Qt::SizeHorCursor;
    case TDragStyle::Move:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

TStretchHandle::TStretchHandle(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StretchHandle1"));
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(24, 24);
    hide();
    setEnabled(false);
}

TStretchHandle::~TStretchHandle()
{
    // The band belongs to the parent surface while attached; the controls are not ours.
    delete bandWidget_;
    if (filtered_)
        filtered_->removeEventFilter(this);
}

TStretchTarget* TStretchHandle::AttachedItem(int index) const
{
    if (index < 0 || index >= int(items_.size()))
        return nullptr;
    return items_[std::size_t(index)];
}

void TStretchHandle::AttachItem(TStretchTarget* control)
{
    if (control && control->IsWindow())
        throw EBadChild();
    if (!control || std::find(items_.begin(), items_.end(), control) != items_.end())
        return;
    if (!items_.empty() && control->ParentWidget() != parentWidget())
        DetachAll();

    const QRect c = control->Bounds();
    if (items_.empty()) {
        QWidget* parent = control->ParentWidget();
        if (parentWidget() != parent) {
            setParent(parent);
            delete bandWidget_;
            bandWidget_ = parent ? new TRubberBand(parent) : nullptr;
        }
        band_ = QRect();
        setEnabled(true);
        show();
        frame_ = QRect(c.x() - 2, c.y() - 2, c.width() + 5, c.height() + 5);
    } else {
        const QRect h = frame_;
        const int left = std::min(h.x(), c.x() - 2);
        const int top = std::min(h.y(), c.y() - 2);
        const int right = std::max(h.x() + h.width() - 3, c.x() + c.width());
        const int bottom = std::max(h.y() + h.height() - 3, c.y() + c.height());
        frame_ = QRect(left, top, right - left + 3, bottom - top + 3);
    }
    setGeometry(Placement(frame_));
    items_.push_back(control);
    dragStyle_ = TDragStyle::Move;
    raise();
    SetCapture(true);
    if (isVisible() && isEnabled())
        setFocus(Qt::OtherFocusReason);
    update();
}

void TStretchHandle::DetachAll()
{
    EraseBand();
    EndDragCursor();
    SetCapture(false);
    dragging_ = false;
    items_.clear();
    hide();
    setEnabled(false);
    delete bandWidget_;
    bandWidget_ = nullptr;
    setParent(nullptr);
    resize(24, 24);
    locked_ = false;
    band_ = QRect();
    frame_ = QRect();
}

void TStretchHandle::SetBounds(const QRect& b)
{
    if (locked_)
        return;
    const QRect old = frame_;
    for (TStretchTarget* t : items_) {
        const QRect c = t->Bounds();
        t->SetBounds(QRect(c.x() + (b.x() - old.x()), c.y() + (b.y() - old.y()),
                           c.width() + (b.width() - old.width()), c.height() + (b.height() - old.height())));
    }
    frame_ = b;
    setGeometry(Placement(frame_));
}

void TStretchHandle::SetScale(double scale)
{
    if (scale <= 0 || scale == scale_.Zoom())
        return;
    // A drag measured at the old scale cannot end at the new one.
    if (dragging_) {
        dragging_ = false;
        EraseBand();
        EndDragCursor();
        SetCapture(false);
    }
    scale_ = TViewScale(scale);
    if (!items_.empty()) {
        setGeometry(Placement(frame_));
        update();
    }
}

QRect TStretchHandle::Placement(const QRect& frame) const
{
    const QRect v = scale_.ToView(frame.adjusted(2, 2, -3, -3));
    return {v.x() - 2, v.y() - 2, v.width() + 5, v.height() + 5};
}

QRect TStretchHandle::DragFrame(const QPoint& pos) const
{
    const QPoint d = pos - dragStart_;
    return sw::DragRect(frame_, dragStyle_, scale_.LengthToLabel(d.x()), scale_.LengthToLabel(d.y()), gridX_,
                        gridY_);
}

void TStretchHandle::SetSnapToGrid(bool snap)
{
    gridX_ = gridY_ = snap ? 8 : 1;
}

void TStretchHandle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor brush = items_.size() == 1 ? color_ : secondaryColor_;
    const QPoint origin = pos();
    for (TStretchTarget* t : items_) {
        const QRect c = scale_.ToView(t->Bounds());
        // R: the control grown by 2, right and bottom exclusive, in handle coordinates.
        const int l = c.x() - origin.x() - 2;
        const int tp = c.y() - origin.y() - 2;
        const int r = c.x() + c.width() - origin.x() + 2;
        const int b = c.y() + c.height() - origin.y() + 2;
        p.fillRect(QRect(l, tp, 5, 5), brush);
        p.fillRect(QRect(r - 5, tp, 5, 5), brush);
        p.fillRect(QRect(r - 5, b - 5, 5, 5), brush);
        p.fillRect(QRect(l, b - 5, 5, 5), brush);
        if (items_.size() == 1) {
            const int w = r - l;
            const int h = b - tp;
            p.fillRect(QRect(l + w / 2 - 2, tp, 5, 5), brush);
            p.fillRect(QRect(l + w / 2 - 2, b - 5, 5, 5), brush);
            p.fillRect(QRect(l, tp + h / 2 - 2, 5, 5), brush);
            p.fillRect(QRect(r - 5, tp + h / 2 - 2, 5, 5), brush);
        }
    }
}

void TStretchHandle::SetCapture(bool on)
{
    capture_ = on;
    QWidget* parent = on ? parentWidget() : nullptr;
    if (parent == filtered_)
        return;
    if (filtered_)
        filtered_->removeEventFilter(this);
    filtered_ = parent;
    if (filtered_)
        filtered_->installEventFilter(this);
}

bool TStretchHandle::eventFilter(QObject* watched, QEvent* event)
{
    // While the handle holds the capture, the mouse events that the parent receives (the press
    // that selected a control lands on the parent, which keeps the mouse until release) are
    // the handle's.
    if (watched != filtered_ || !capture_)
        return false;
    if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint local = me->position().toPoint() - pos();
    if (event->type() == QEvent::MouseMove) {
        Move(local, me->buttons());
        return true;
    }
    if (!dragging_ || me->button() != Qt::LeftButton) {
        // A release that ends no drag belongs to the parent.
        SetCapture(false);
        return false;
    }
    Release(local, me->button(), me->buttons());
    return true;
}

QPoint TStretchHandle::ClampToParent(const QPoint& p) const
{
    QWidget* parent = parentWidget();
    if (!parent)
        return p;
    const int x = std::clamp(p.x(), -this->x(), parent->width() - this->x());
    const int y = std::clamp(p.y(), -this->y(), parent->height() - this->y());
    return {x, y};
}

void TStretchHandle::mouseMoveEvent(QMouseEvent* event)
{
    Move(event->position().toPoint(), event->buttons());
}

void TStretchHandle::Move(const QPoint& pos, Qt::MouseButtons buttons)
{
    const bool left = buttons & Qt::LeftButton;
    if (left && !dragging_ && !locked_) {
        if (items_.empty())
            return;
        dragStart_ = pos;
        dragging_ = true;
        capture_ = true;
    }
    if (!left && !dragging_)
        SetCapture(false);

    TDragStyle candidate = TDragStyle::Move;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (items_.size() == 1) {
        candidate = sw::HoverStyle(pos.x(), pos.y(), width(), height());
        shape = CursorFor(candidate);
    }
    if (locked_)
        shape = Qt::ForbiddenCursor;
    if (!dragging_) {
        dragStyle_ = candidate;
        setCursor(shape);
        return;
    }
    const QPoint p = ClampToParent(pos);
    const QCursor cursor = dragStyle_ == TDragStyle::Move ? dragCursor_ : QCursor(CursorFor(dragStyle_));
    if (overrideCursor_)
        QApplication::changeOverrideCursor(cursor);
    else
        QApplication::setOverrideCursor(cursor);
    overrideCursor_ = true;
    DrawBand(p);
}

void TStretchHandle::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    bool inside = false;
    const QPoint inParent = pos + this->pos();
    for (TStretchTarget* t : items_)
        inside |= scale_.ToView(t->Bounds()).adjusted(-2, -2, 2, 2).contains(inParent);
    if (event->button() != Qt::LeftButton || locked_ || !inside) {
        unsetCursor();
        PassOn(QEvent::MouseButtonPress, pos, event->button());
        return;
    }
    if (items_.size() == 1)
        dragStyle_ = sw::HoverStyle(pos.x(), pos.y(), width(), height());
    dragStart_ = pos;
    dragging_ = true;
    capture_ = true;
    emit MouseDown(event->button(), pos);
}

void TStretchHandle::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        PassOn(QEvent::MouseButtonDblClick, event->position().toPoint(), event->button());
    else
        mousePressEvent(event);
}

void TStretchHandle::mouseReleaseEvent(QMouseEvent* event)
{
    Release(event->position().toPoint(), event->button(), event->buttons());
}

void TStretchHandle::Release(const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons)
{
    if (button != Qt::LeftButton || !dragging_) {
        PassOn(QEvent::MouseButtonRelease, pos, button);
        return;
    }
    const QPoint p = ClampToParent(pos);
    if (p != dragStart_)
        SetBounds(DragFrame(p));
    EraseBand();
    if (parentWidget())
        parentWidget()->update();
    update();
    if (isVisible() && isEnabled())
        setFocus(Qt::MouseFocusReason);
    dragging_ = false;
    EndDragCursor();
    unsetCursor();
    SetCapture(false);
    emit MouseUp(button, p);
}

void TStretchHandle::EndDragCursor()
{
    if (overrideCursor_) {
        QApplication::restoreOverrideCursor();
        overrideCursor_ = false;
    }
}

void TStretchHandle::DrawBand(const QPoint& p)
{
    band_ = DragFrame(p);
    if (!bandWidget_)
        return;
    // The control's future rectangle, (L + 2, T + 2) to (L + W - 3, T + H - 3), outlined.
    const QRect v = scale_.ToView(band_.adjusted(2, 2, -3, -3));
    bandWidget_->setGeometry(v.x(), v.y(), std::max(v.width(), 1), std::max(v.height(), 1));
    bandWidget_->show();
    bandWidget_->raise();
}

void TStretchHandle::EraseBand()
{
    band_ = QRect();
    if (bandWidget_)
        bandWidget_->hide();
}

void TStretchHandle::keyPressEvent(QKeyEvent* event)
{
    const QRect g = frame_;
    switch (event->key()) {
    case Qt::Key_Left:
        update();
        SetBounds(g.translated(-1, 0));
        break;
    case Qt::Key_Up:
        update();
        SetBounds(g.translated(0, -1));
        break;
    case Qt::Key_Right:
        update();
        SetBounds(g.translated(1, 0));
        break;
    case Qt::Key_Down:
        update();
        SetBounds(g.translated(0, 1));
        break;
    default:
        break;
    }
    emit KeyDown(event->key(), event->modifiers());
}

void TStretchHandle::PassOn(QEvent::Type type, const QPoint& pos, Qt::MouseButton button)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    const QPoint inParent = pos + this->pos();
    QWidget* target = parent;
    QPoint local = inParent;
    const QObjectList& kids = parent->children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        auto* w = qobject_cast<QWidget*>(*it);
        if (!w || w == this || w == bandWidget_ || qobject_cast<TStretchHandle*>(w) || w->isHidden() ||
            w->isWindow() || !w->geometry().contains(inParent))
            continue;
        target = w;
        local = inParent - w->pos();
        break;
    }
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent forwarded(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &forwarded);
}
