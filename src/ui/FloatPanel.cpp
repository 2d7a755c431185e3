#include "ui/FloatPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace {
constexpr int kButtonWidth = 18;
constexpr int kButtonHeight = 16;
constexpr int kTitleHeight = 20;

QIcon RollerGlyph()
{
    // A small bar with a caret: the title band's roll button.
    QPixmap pm(10, 8);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPoint tri[3] = {QPoint(1, 2), QPoint(9, 2), QPoint(5, 7)};
    p.drawPolygon(tri, 3);
    return QIcon(pm);
}
} // namespace

TFloatPanel::TFloatPanel(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    rollerButton_ = new QToolButton(this);
    rollerButton_->setObjectName(QStringLiteral("RollerButton"));
    rollerButton_->setAutoRaise(true);
    rollerButton_->setFocusPolicy(Qt::NoFocus);
    rollerButton_->setIcon(RollerGlyph());
    rollerButton_->setIconSize(QSize(10, 8));
    rollerButton_->setFixedSize(kButtonWidth, kButtonHeight);
    rollerButton_->move(width() - kButtonWidth, 0);
    connect(rollerButton_, &QToolButton::clicked, this, &TFloatPanel::RollerButtonClick);
}

void TFloatPanel::SetTitleCaption(const QString& caption)
{
    if (caption == titleCaption_)
        return;
    titleCaption_ = caption;
    RequestRepaint();
}

void TFloatPanel::SetRolled(bool rolled)
{
    if (rolled == rolled_)
        return;
    rolled_ = rolled;
    RequestRepaint();
}

void TFloatPanel::SetFullHeight(int height)
{
    fullHeight_ = height;
    ApplyRolledHeight();
}

int TFloatPanel::BevelWidth() const
{
    return frameShape() == QFrame::NoFrame ? 0 : lineWidth();
}

QRect TFloatPanel::TitleBand() const
{
    const int bw = BevelWidth();
    return QRect(QPoint(bw, bw), QPoint(width() - bw - 1, bw + kTitleHeight - 1));
}

void TFloatPanel::RollerButtonClick()
{
    SetRolled(height() == fullHeight_);
    RequestRepaint();
}

void TFloatPanel::RequestRepaint()
{
    ++repaintRequests_;
    // The height follows Rolled at once, as a repaint would make it, so geometry is never stale.
    ApplyRolledHeight();
    update();
}

void TFloatPanel::ApplyRolledHeight()
{
    if (fullHeight_ <= 0)
        return; // still being built: the designed height is not known yet
    const int bw = BevelWidth();
    if (rolled_) {
        if (height() != 2 * bw + kTitleHeight)
            resize(width(), 2 * bw + kTitleHeight);
    } else if (height() != fullHeight_) {
        resize(width(), fullHeight_);
    }
    rollerButton_->move(width() - bw - kButtonWidth - 4, bw + 2);
}

void TFloatPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const int bw = BevelWidth();
    const QRect band = TitleBand();
    p.fillRect(band, palette().color(QPalette::Active, QPalette::Highlight));
    p.setPen(palette().color(QPalette::Active, QPalette::HighlightedText));
    p.drawText(QRect(bw + 5, bw + 2, band.width() - 5, kTitleHeight - 2),
               Qt::AlignLeft | Qt::AlignTop, titleCaption_);
    rollerButton_->move(width() - bw - kButtonWidth - 4, bw + 2);
}

void TFloatPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragStart_ = event->position().toPoint();
        dragging_ = true;
        raise();
    } else {
        dragging_ = false;
    }
    event->accept();
}

void TFloatPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const QPoint at = event->position().toPoint();
    // The panel is not kept inside its parent: it may be dragged out of view.
    move(x() + at.x() - dragStart_.x(), y() + at.y() - dragStart_.y());
    event->accept();
}

void TFloatPanel::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    event->accept();
}
