#include "designer/DesignZoom.h"

#include "designer/CanvasPanel.h"
#include "designer/Designer.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
// One notch of an ordinary mouse wheel.
constexpr int kWheelNotch = 120;
// Zooms closer than this are the same zoom (a fitted zoom is whole percent).
constexpr double kSame = 1e-6;
} // namespace

const QList<int>& TDesignZoom::Levels()
{
    static const QList<int> levels{50, 75, 100, 150, 200, 300, 400};
    return levels;
}

double TDesignZoom::NextLevel(double zoom, int direction)
{
    const QList<int>& levels = Levels();
    if (direction > 0) {
        for (int l : levels)
            if (l / 100.0 > zoom + kSame)
                return l / 100.0;
    } else {
        for (auto it = levels.rbegin(); it != levels.rend(); ++it)
            if (*it / 100.0 < zoom - kSame)
                return *it / 100.0;
    }
    return zoom;
}

TDesignZoom::TDesignZoom(TDesigner& designer)
    : designer_(designer)
{
}

void TDesignZoom::ConnectViewMenu(QMenu* view, QAbstractScrollArea* area)
{
    area_ = area;
    if (area_)
        area_->viewport()->installEventFilter(this);

    zoomIn_ = view->addAction(QStringLiteral("Zoom &In"));
    zoomIn_->setObjectName(QStringLiteral("mnuZoomIn"));
    // Ctrl+= as well: the plus sign needs Shift on most keyboards.
    zoomIn_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn_, &QAction::triggered, this, &TDesignZoom::ZoomIn);
    zoomOut_ = view->addAction(QStringLiteral("Zoom &Out"));
    zoomOut_->setObjectName(QStringLiteral("mnuZoomOut"));
    // One sequence per action: the same one twice would make the shortcut ambiguous.
    zoomOut_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(zoomOut_, &QAction::triggered, this, &TDesignZoom::ZoomOut);
    QAction* actual = view->addAction(QStringLiteral("&Actual Size"));
    actual->setObjectName(QStringLiteral("mnuActualSize"));
    actual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(actual, &QAction::triggered, this, &TDesignZoom::ActualSize);
    QAction* fit = view->addAction(QStringLiteral("&Fit Label"));
    fit->setObjectName(QStringLiteral("mnuFitLabel"));
    connect(fit, &QAction::triggered, this, &TDesignZoom::FitLabel);
    view->addSeparator();

    levels_ = new QActionGroup(this);
    // A fitted zoom between two steps checks none of them.
    levels_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int l : Levels()) {
        QAction* a = view->addAction(QStringLiteral("%1 %").arg(l));
        a->setObjectName(QStringLiteral("mnuZoom%1").arg(l));
        a->setCheckable(true);
        a->setData(l);
        levels_->addAction(a);
        connect(a, &QAction::triggered, this, [this, l] { SetZoom(l / 100.0); });
    }
    UpdateActions();
}

double TDesignZoom::Zoom() const
{
    return designer_.Panel().Zoom();
}

void TDesignZoom::SetZoom(double zoom)
{
    SetZoomAround(zoom, area_ ? area_->viewport()->rect().center() : QPoint());
}

void TDesignZoom::SetZoomAround(double zoom, QPoint anchor)
{
    TCanvasPanel& panel = designer_.Panel();
    if (!area_) {
        designer_.SetZoom(zoom);
        UpdateActions();
        return;
    }
    QWidget* viewport = area_->viewport();
    const QPointF label = QPointF(panel.mapFrom(viewport, anchor)) / panel.Zoom();
    designer_.SetZoom(zoom);
    // The surface has taken the new size by now; scroll so the label point is back in place.
    const QPoint now = panel.mapTo(viewport, (label * panel.Zoom()).toPoint());
    area_->horizontalScrollBar()->setValue(area_->horizontalScrollBar()->value() + now.x() - anchor.x());
    area_->verticalScrollBar()->setValue(area_->verticalScrollBar()->value() + now.y() - anchor.y());
    UpdateActions();
}

void TDesignZoom::ZoomIn()
{
    SetZoom(NextLevel(Zoom(), 1));
}

void TDesignZoom::ZoomOut()
{
    SetZoom(NextLevel(Zoom(), -1));
}

void TDesignZoom::ActualSize()
{
    SetZoom(1.0);
}

void TDesignZoom::FitLabel()
{
    const TCanvasPanel& panel = designer_.Panel();
    const int w = panel.Model().Width();
    const int h = panel.Model().Height();
    if (!area_ || w <= 0 || h <= 0)
        return;
    // The panel keeps its margins on both sides; scroll bars are not needed once it fits.
    const QSize room = area_->maximumViewportSize() - QSize(2 * panel.x(), 2 * panel.y());
    const double fit = std::min(double(room.width()) / w, double(room.height()) / h);
    designer_.SetZoom(std::floor(fit * 100.0 + kSame) / 100.0);
    area_->horizontalScrollBar()->setValue(0);
    area_->verticalScrollBar()->setValue(0);
    UpdateActions();
}

bool TDesignZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !area_ || watched != area_->viewport())
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    // Fine-grained wheels (touchpads) add up to whole notches.
    wheelRest_ += wheel->angleDelta().y();
    const int notches = wheelRest_ / kWheelNotch;
    wheelRest_ -= notches * kWheelNotch;
    double zoom = Zoom();
    for (int i = 0; i < std::abs(notches); ++i)
        zoom = NextLevel(zoom, notches);
    if (notches != 0)
        SetZoomAround(zoom, wheel->position().toPoint());
    return true;
}

void TDesignZoom::UpdateActions()
{
    const double zoom = Zoom();
    if (zoomIn_)
        zoomIn_->setEnabled(NextLevel(zoom, 1) != zoom);
    if (zoomOut_)
        zoomOut_->setEnabled(NextLevel(zoom, -1) != zoom);
    if (!levels_)
        return;
    for (QAction* a : levels_->actions())
        a->setChecked(std::fabs(a->data().toInt() / 100.0 - zoom) < kSame);
}
