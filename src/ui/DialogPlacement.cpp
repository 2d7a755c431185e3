#include "ui/DialogPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace sw {

QRect CenteredFrame(const QRect& windowFrame, const QSize& dialogFrame, const QRect& available)
{
    const QSize size = dialogFrame.boundedTo(available.size());
    int left = windowFrame.left() + (windowFrame.width() - size.width()) / 2;
    int top = windowFrame.top() + (windowFrame.height() - size.height()) / 2;
    left = std::clamp(left, available.left(), available.left() + available.width() - size.width());
    top = std::clamp(top, available.top(), available.top() + available.height() - size.height());
    return QRect(QPoint(left, top), size);
}

namespace {

void Place(QWidget* dialog, const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(),
                           frame.right() - inner.right(), frame.bottom() - inner.bottom());
    QSize size = dialog->size();
    if (!dialog->isVisible() && !dialog->testAttribute(Qt::WA_Resized)) {
        dialog->ensurePolished();
        size = dialog->sizeHint().expandedTo(dialog->minimumSizeHint()).expandedTo(dialog->minimumSize());
    }
    const QSize dialogFrame = size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), dialogFrame);
    const QRect placed = CenteredFrame(frame, dialogFrame, available);
    if (placed.size() != dialogFrame)
        dialog->resize(placed.size().shrunkBy(margins));
    dialog->move(placed.topLeft());
}

// Places the dialog again when it is shown, and once more after the show has run, for dialogs
// that settle their size while showing; then goes away.
class PlaceOnShow : public QObject {
public:
    PlaceOnShow(QWidget* dialog, const QWidget* window)
        : QObject(dialog)
        , window_(window)
    {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !window_)
            return false;
        auto* dialog = static_cast<QWidget*>(watched);
        Place(dialog, window_);
        dialog->removeEventFilter(this);
        const QSize shown = dialog->size();
        QTimer::singleShot(0, dialog, [dialog, window = window_, shown] {
            if (window && dialog->size() != shown)
                Place(dialog, window);
        });
        deleteLater();
        return false;
    }

private:
    QPointer<const QWidget> window_;
};

} // namespace

void CenterOverWindow(QWidget* dialog, const QWidget* window)
{
    if (!dialog || !window)
        return;
    Place(dialog, window);
    new PlaceOnShow(dialog, window);
}

} // namespace sw
