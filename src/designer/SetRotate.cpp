#include "designer/SetRotate.h"

#include "designer/DialogHelp.h"
#include "designer/SpinEdit.h"
#include "ui/ContextHelp.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

namespace sw {

// Whole degrees and pixels are rounded half to even (nearbyint in the default rounding mode).
int DialAngleAt(int w, int h, int x, int y)
{
    const int cx = w / 2;
    const int cy = h / 2;
    if (x == cx)
        return y > cy ? 270 : 90;
    const int f = int(std::nearbyint(std::atan(double(cy - y) / double(x - cx)) * 180.0 / std::numbers::pi));
    return x < cx ? (f + 540) % 360 : (f + 360) % 360;
}

QPoint DialPointerEnd(int w, int h, int angle)
{
    const double r = angle * std::numbers::pi / 180.0;
    return {w / 2 + int(std::nearbyint(std::cos(r) * w * 0.5)), h / 2 - int(std::nearbyint(std::sin(r) * h * 0.5))};
}

} // namespace sw

TRotateDial::TRotateDial(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setFixedSize(113, 113);
}

void TRotateDial::SetAngle(int angle)
{
    if (angle == angle_)
        return;
    angle_ = angle;
    repaint();
}

void TRotateDial::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(Qt::NoBrush);
    // The ellipse spans (0, 0)-(W, H) with the right and bottom edges exclusive.
    p.drawEllipse(QRect(0, 0, width() - 1, height() - 1));
    p.drawLine(QPoint(width() / 2, height() / 2), sw::DialPointerEnd(width(), height(), angle_));
}

void TRotateDial::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    setCursor(Qt::CrossCursor);
}

void TRotateDial::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !rect().contains(event->position().toPoint()))
        return;
    const QPoint p = event->position().toPoint();
    const int a = sw::DialAngleAt(width(), height(), p.x(), p.y());
    angle_ = a;
    repaint();
    emit Dragged(a);
}

void TRotateDial::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        unsetCursor();
    }
}

TSetRotate::TSetRotate(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SetRotate"));
    setWindowTitle(QStringLiteral("Set Rotation"));

    AngleSpin = new TSpinEdit(this);
    AngleSpin->setObjectName(QStringLiteral("AngleSpin"));
    AngleSpin->SetRange(0, 359);
    AngleSpin->SetIncrement(45);
    AngleSpin->SetValue(0);
    AngleSpinLabel = new QLabel(QStringLiteral("Set Degree of Rotation (0-359)"), this);
    AngleSpinLabel->setObjectName(QStringLiteral("AngleSpinLabel"));
    AngleSpinLabel->setBuddy(AngleSpin);
    PaintBox1 = new TRotateDial(this);

    const sw::TDialogButtons buttonSet = sw::MakeDialogButtons(this, QStringLiteral("Ok"), HelpContext);

    connect(AngleSpin, &TSpinEdit::Changed, this, &TSetRotate::AngleSpinChange);
    connect(PaintBox1, &TRotateDial::Dragged, this, &TSetRotate::PaintBox1DragOver);

    auto* left = new QVBoxLayout;
    left->addWidget(AngleSpinLabel);
    left->addWidget(AngleSpin);
    left->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(PaintBox1);
    new TODSHelp(this, {
        {QStringLiteral("AngleSpin"), {QStringLiteral("The angle the text is turned by, in degrees counter-clockwise (0 to 359). Type it, use the arrows to step by 45, or drag the pointer of the dial. The item on the label turns as you go")}},
        {QStringLiteral("AngleSpinLabel"), {QStringLiteral("->AngleSpin")}},
        {QStringLiteral("CancelButton"), {QStringLiteral("Click here to leave the text at the angle it had")}},
        {QStringLiteral("HelpButton"), {QStringLiteral("Click here to read the help page for this window")}},
        {QStringLiteral("OkButton"), {QStringLiteral("Click here to keep the angle shown")}},
    });

    QHBoxLayout* buttons = sw::DialogButtonRow(buttonSet);
    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addLayout(buttons);
    sw::MakeFixedDialog(this);
}

int TSetRotate::DialAngle() const
{
    return PaintBox1->Angle();
}

void TSetRotate::AngleSpinChange()
{
    const int v = AngleSpin->Value();
    if (v == 359) {
        // 359 is never chosen: stepping up from 315 wraps to 0. Setting it re-enters for 0.
        AngleSpin->SetValue(0);
        return;
    }
    PaintBox1->SetAngle(((v % 360) + 360) % 360);
    if (target_)
        target_(v);
}

void TSetRotate::PaintBox1DragOver(int angle)
{
    AngleSpin->SetValue(angle);
}
