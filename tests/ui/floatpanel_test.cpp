// The floating tool panel: rolling, dragging by a free spot, caption changes.
#include "ui/FloatPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct PanelOnParent {
    QWidget parent;
    TFloatPanel* panel;
    PanelOnParent()
    {
        parent.resize(600, 400);
        panel = new TFloatPanel(&parent);
        panel->setGeometry(380, 53, 161, 179);
        panel->SetFullHeight(179);
        parent.show();
        QApplication::processEvents();
    }
};
} // namespace

TEST(FloatPanel, RollsUpToItsTitleBandAndDownAgain)
{
    PanelOnParent f;
    ASSERT_EQ(f.panel->BevelWidth(), 1);
    f.panel->RollerButton()->click();
    EXPECT_TRUE(f.panel->Rolled());
    EXPECT_EQ(f.panel->height(), 22);
    f.panel->RollerButton()->click();
    EXPECT_FALSE(f.panel->Rolled());
    EXPECT_EQ(f.panel->height(), 179);
    // The roller button sits in the title band at the right.
    EXPECT_EQ(f.panel->RollerButton()->geometry(), QRect(161 - 1 - 18 - 4, 3, 18, 16));
}

TEST(FloatPanel, RightButtonStartsNoDrag)
{
    PanelOnParent f;
    Send(f.panel, QEvent::MouseButtonPress, {30, 60}, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(f.panel->Dragging());
    Send(f.panel, QEvent::MouseMove, {80, 90}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(f.panel->pos(), QPoint(380, 53));
}

TEST(FloatPanel, GrabbedSpotStaysUnderTheMouse)
{
    PanelOnParent f;
    const QPoint grab(30, 60); // 30 pixels from the left edge
    const QPoint grabInParent = f.panel->pos() + grab;
    Send(f.panel, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(f.panel->Dragging());
    QPoint mouse = grabInParent;
    for (QPoint step : {QPoint(15, 4), QPoint(-40, 22), QPoint(-400, -100), QPoint(7, 3)}) {
        mouse += step;
        // The event carries the point in the panel's coordinates at the time of the move.
        Send(f.panel, QEvent::MouseMove, mouse - f.panel->pos(), Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(f.panel->pos() + grab, mouse);
    }
    // It may leave its parent: nothing keeps it inside.
    EXPECT_LT(f.panel->x(), 0);
    Send(f.panel, QEvent::MouseButtonRelease, mouse - f.panel->pos(), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(f.panel->Dragging());
}

TEST(FloatPanel, SameCaptionDoesNotRepaint)
{
    PanelOnParent f;
    f.panel->SetTitleCaption(QStringLiteral("Tools"));
    const int before = f.panel->RepaintRequests();
    f.panel->SetTitleCaption(QStringLiteral("Tools"));
    EXPECT_EQ(f.panel->RepaintRequests(), before);
    f.panel->SetTitleCaption(QStringLiteral("Other"));
    EXPECT_EQ(f.panel->RepaintRequests(), before + 1);
}
