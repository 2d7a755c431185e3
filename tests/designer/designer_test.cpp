// Selection, drags through the design panel, keys, nudges, centring, symbol fitting, grid.
#include "DesignerFixture.h"

#include "designer/ItemCommands.h"
#include "designer/Nudges.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/Symbols.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(Designer, PressesSelectAndClearAndAHandleSurroundsTheItem)
{
    DesignerFixture f;
    TMoShape* r = f.Rect(40, 30, 50, 20);
    f.Press({60, 40});
    ASSERT_EQ(f.designer.Selected(), r);
    EXPECT_EQ(f.designer.StretchHandle1()->geometry(), QRect(38, 28, 55, 25));
    EXPECT_EQ(f.designer.StretchHandle1()->parentWidget(), &f.panel);
    EXPECT_EQ(f.designer.AttachBounds(), QRect(40, 30, 50, 20));

    f.Press({200, 150});
    EXPECT_EQ(f.designer.Selected(), nullptr);
    EXPECT_FALSE(f.designer.StretchHandle1()->isVisible());

    // A right press does not select through the mouse-down; the menu it opens does.
    f.Press({60, 40}, Qt::RightButton);
    QMenu* menu = f.designer.Commands().Menu(TItemMenu::PopupMenuShape);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(f.designer.Selected(), r);
    menu->hide();
}

TEST(Designer, DragsMarkTheLabelChangedOnlyWhenTheItemMoved)
{
    DesignerFixture f;
    TMoShape* r = f.Rect(40, 30, 50, 20);
    const int before = f.services.changes;
    f.Press({60, 40});
    TStretchHandle* h = f.designer.StretchHandle1();
    // The press selected; the panel keeps the mouse and the handle takes its moves.
    DesignerFixture::Send(&f.panel, QEvent::MouseButtonRelease, {60, 40}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(f.services.changes, before);

    f.Press({60, 40});
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, {61, 41}, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, {71, 46}, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseButtonRelease, {71, 46}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(r->BoundsRect(), QRect(50, 35, 50, 20));
    EXPECT_EQ(f.services.changes, before + 1);
    EXPECT_EQ(h->geometry(), QRect(48, 33, 55, 25));
    EXPECT_EQ(f.designer.Selected(), r);

    // Arrow keys: one pixel, also on a grid, and a change.
    f.designer.mnuSnapToGrid8x8Click();
    QTest::keyClick(h, Qt::Key_Left);
    EXPECT_EQ(r->Left(), 49);
    EXPECT_EQ(f.services.changes, before + 2);
    // A key that moves nothing after the item came back to where it was selected: no change.
    f.designer.AttachControl(r);
    QTest::keyClick(h, Qt::Key_Shift);
    EXPECT_EQ(f.services.changes, before + 2);
}

TEST(Designer, NudgesRepeatWhileHeldAndMoveAllMovesEveryItem)
{
    DesignerFixture f;
    QToolButton up, down, right, left;
    QCheckBox moveAll;
    TDesignerTools tools;
    tools.PosUpButton = &up;
    tools.PosDownButton = &down;
    tools.PosRightButton = &right;
    tools.PosLeftButton = &left;
    tools.MoveAll = &moveAll;
    f.designer.ConnectTools(tools);
    right.show();
    EXPECT_EQ(right.autoRepeatDelay(), 100);
    EXPECT_EQ(right.autoRepeatInterval(), 50);

    // Nothing selected: nothing moves, nothing changes.
    const int start = f.services.changes;
    QTest::mouseClick(&right, Qt::LeftButton);
    EXPECT_EQ(f.services.changes, start);

    TMoShape* r = f.Rect(40, 30, 50, 20);
    TMoShape* s = f.Rect(100, 100, 10, 10);
    f.designer.AttachControl(r);
    QTest::mouseClick(&right, Qt::LeftButton);
    EXPECT_EQ(r->Left(), 41);
    QTest::mousePress(&right, Qt::LeftButton);
    QTest::qWait(400);
    QTest::mouseRelease(&right, Qt::LeftButton);
    EXPECT_GE(r->Left(), 44);
    EXPECT_EQ(f.designer.StretchHandle1()->geometry().left(), r->Left() - 2);
    up.click();
    EXPECT_EQ(r->Top(), 29);

    moveAll.setChecked(true);
    const int before = f.services.changes;
    left.click();
    EXPECT_EQ(s->Left(), 99);
    EXPECT_EQ(f.designer.Selected(), nullptr);
    EXPECT_EQ(f.services.changes, before + 1);

    f.items.DeleteAllItems();
    down.click();
    EXPECT_EQ(f.services.changes, before + 2);
}

TEST(Designer, CentringTruncatesHalves)
{
    DesignerFixture f;
    TMoShape* r = f.Rect(0, 0, 41, 21);
    f.designer.AttachControl(r);
    const int before = f.services.changes;
    f.designer.AlignHorizontal(r);
    EXPECT_EQ(r->Left(), 130);
    f.designer.AlignVertical(r);
    EXPECT_EQ(r->Top(), 90);
    EXPECT_EQ(f.designer.StretchHandle1()->geometry(), QRect(128, 88, 46, 26));
    r->SetBounds(0, 0, 41, 21);
    f.designer.AlignCenter(r);
    EXPECT_EQ(r->BoundsRect().topLeft(), QPoint(130, 90));
    EXPECT_GT(f.services.changes, before);
}

TEST(Designer, SymbolResizeTurnsTheBoxIntoAFontSize)
{
    DesignerFixture f;
    TSymbol* s = f.items.CreateSymbolItem(74, 10, 10, 0, 0, 18, 0);
    ASSERT_NE(s, nullptr);
    const QSize ext = sw::SymbolExtent(74, sw::FontPixelHeight(18, 96));
    EXPECT_EQ(s->BoundsRect().size(), ext);
    f.designer.AttachControl(s);

    // Twice the width, the same height: the size stays, the changed box still counts.
    s->SetBounds(10, 10, ext.width() * 2, ext.height());
    int before = f.services.changes;
    f.designer.StretchHandle1MouseUp();
    EXPECT_EQ(s->Font().Size, 18);
    EXPECT_EQ(f.services.changes, before + 1);

    f.designer.AttachControl(s);
    s->SetBounds(10, 10, ext.width() * 2, ext.height() * 2);
    f.designer.StretchHandle1MouseUp();
    EXPECT_EQ(s->Font().Size, 36);
    EXPECT_EQ(s->BoundsRect().size(), sw::SymbolExtent(74, sw::FontPixelHeight(36, 96)));
    EXPECT_EQ(f.designer.Selected(), s);
    EXPECT_EQ(f.designer.AttachBounds(), s->BoundsRect());

    // Too small a box is left alone.
    s->SetBounds(10, 10, 4, 40);
    f.designer.SymbolResize(s);
    EXPECT_EQ(s->Font().Size, 36);
}

TEST(Designer, GridMenuChecksOneEntryAndSetsTheSteps)
{
    DesignerFixture f;
    QAction none(QStringLiteral("&No Snap to Grid")), g2(QStringLiteral("Snap to &2 x 2 Grid")),
        g4(QStringLiteral("Snap to &4 x 4 Grid")), g8(QStringLiteral("Snap to &8 x 8 Grid"));
    f.designer.ConnectGridMenu(&none, &g2, &g4, &g8);
    TStretchHandle* h = f.designer.StretchHandle1();
    EXPECT_TRUE(none.isChecked());
    EXPECT_FALSE(h->SnapToGrid());
    g4.trigger();
    EXPECT_TRUE(g4.isChecked());
    EXPECT_FALSE(none.isChecked() || g2.isChecked() || g8.isChecked());
    EXPECT_EQ(h->GridX(), 4);
    EXPECT_EQ(h->GridY(), 4);

    // The drag lands on the 4-pixel grid.
    TMoShape* r = f.Rect(40, 30, 50, 20);
    f.Press({60, 40});
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, {60, 40}, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, {67, 47}, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseButtonRelease, {67, 47}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(r->BoundsRect().topLeft(), QPoint(44, 36));

    none.trigger();
    EXPECT_TRUE(none.isChecked() && !g4.isChecked());
    EXPECT_FALSE(h->SnapToGrid());
}
