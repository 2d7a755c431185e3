// Tool drops onto the label and onto items, refusals, the cut button and the drag cursors.
#include "DesignerFixture.h"

#include "designer/DragCursors.h"
#include "designer/ToolDrops.h"
#include "model/LabelPanel.h"
#include "model/MoShape.h"
#include "model/TextLabel.h"

#include <QBitmap>
#include <QMimeData>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

TEST(ToolDrops, ARectangleDropCreatesTheItemWhereTheCursorCornerWasAndSelectsIt)
{
    DesignerFixture f;
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropRectButton"), {40, 30});
    ASSERT_EQ(f.items.OrderList().size(), 1u);
    auto* r = dynamic_cast<TMoShape*>(f.items.OrderList().back());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->BoundsRect(), QRect(40, 30, 25, 25));
    EXPECT_EQ(r->Name(), QStringLiteral("Special1"));
    EXPECT_EQ(r->Pen(), (TItemPen{1, 0}));
    EXPECT_EQ(r->Brush().Style, int(bsClear));
    EXPECT_EQ(f.designer.Selected(), r);

    // On top of an item standing at (100, 50): the point is converted to the panel's.
    TMoShape* under = f.Rect(100, 50, 40, 40);
    f.designer.Drops().LabelPanelDragDrop(under, QStringLiteral("DropEllipseButton"), {5, 5});
    auto* e = dynamic_cast<TMoShape*>(f.items.OrderList().back());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Shape(), stEllipse);
    EXPECT_EQ(e->BoundsRect().topLeft(), QPoint(105, 55));

    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropRoundRectButton"), {0, 0});
    auto* rr = dynamic_cast<TMoShape*>(f.items.OrderList().back());
    EXPECT_EQ(rr->Shape(), stRoundRect);
    EXPECT_EQ(rr->RoundPerc(), 20);
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropHLineButton"), {3, 4});
    EXPECT_EQ(f.items.OrderList().back()->BoundsRect(), QRect(3, 4, 60, 20));
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropVLineButton"), {3, 4});
    EXPECT_EQ(f.items.OrderList().back()->BoundsRect(), QRect(3, 4, 20, 60));
}

TEST(ToolDrops, TextDropsAskForTheTextAndCancellingCreatesNothing)
{
    DesignerFixture f;
    TMoShape* before = f.Rect(10, 10);
    f.designer.AttachControl(before);
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropTextButton"), {40, 30});
    EXPECT_EQ(f.dialogs.asked, 1);
    EXPECT_EQ(f.items.OrderList().size(), 1u);
    EXPECT_EQ(f.designer.Selected(), nullptr);

    f.dialogs.text = QString();
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropTextButton"), {40, 30});
    auto* t = dynamic_cast<Tmo3DLabel*>(f.items.OrderList().back());
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Caption().isEmpty());
    EXPECT_EQ(t->Font().Name, QStringLiteral("Arial"));
    EXPECT_EQ(t->Font().Size, 10);
    EXPECT_TRUE(t->Font().Bold);
    EXPECT_EQ(t->Angle(), 0);
    EXPECT_EQ(f.designer.Selected(), t);
}

TEST(ToolDrops, ASecondCounterIsRefusedAndTheFrontmostItemSelected)
{
    DesignerFixture f;
    f.dialogs.counter = std::make_pair(7, 2);
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropCounterButton"), {40, 30});
    auto* c = dynamic_cast<TCounterLabel*>(f.items.OrderList().back());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Caption(), QStringLiteral("7"));
    EXPECT_EQ(c->Tag, 2);
    TMoShape* front = f.Rect(150, 20);
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropCounterButton"), {80, 80});
    EXPECT_EQ(f.items.OrderList().size(), 2u);
    EXPECT_EQ(f.services.messages, QStringList{QStringLiteral("There is a limit of one Counter per label")});
    EXPECT_EQ(f.designer.Selected(), front);
}

TEST(ToolDrops, OnlyToolDragsAreAcceptedAndOnlyTheLabelTakesThem)
{
    DesignerFixture f;
    std::unique_ptr<QMimeData> tool(TToolDrops::ToolMime(QStringLiteral("DropRectButton")));
    std::unique_ptr<QMimeData> other(TToolDrops::ToolMime(QStringLiteral("SaveButton")));
    QMimeData text;
    text.setText(QStringLiteral("DropRectButton"));
    EXPECT_TRUE(f.designer.Drops().LabelPanelDragOver(tool.get()));
    EXPECT_FALSE(f.designer.Drops().LabelPanelDragOver(other.get()));
    EXPECT_FALSE(f.designer.Drops().LabelPanelDragOver(&text));
    // The panel's own hooks are the drops'.
    EXPECT_TRUE(f.panel.LabelPanelDragOver(tool.get(), {5, 5}));
    EXPECT_FALSE(f.panel.LabelPanelDragOver(&text, {5, 5}));

    // A drop that the panel reports is handled once the platform's drag is over.
    f.panel.LabelPanelDragDrop(tool.get(), {12, 13});
    EXPECT_TRUE(f.items.OrderList().empty());
    QApplication::processEvents();
    ASSERT_EQ(f.items.OrderList().size(), 1u);
    EXPECT_EQ(f.items.OrderList().back()->BoundsRect().topLeft(), QPoint(12, 13));
}

TEST(ToolDrops, CutDeletesTheSelectedItemAtOnce)
{
    DesignerFixture f;
    QToolButton cut;
    TDesignerTools tools;
    tools.CutObjectButton = &cut;
    f.designer.ConnectTools(tools);
    TMoShape* r = f.Rect(10, 10);
    const int before = f.services.changes;
    cut.click();
    EXPECT_EQ(f.items.OrderList().size(), 1u);
    EXPECT_EQ(f.services.changes, before);
    f.designer.AttachControl(r);
    cut.click();
    EXPECT_TRUE(f.items.OrderList().empty());
    EXPECT_EQ(f.services.changes, before + 1);
    EXPECT_EQ(f.designer.Selected(), nullptr);
}

TEST(DragCursors, TenMonochromePicturesWithTheHotSpotAtTheCorner)
{
    const char* buttons[] = {"DropTextButton", "DropRectButton", "DropRoundRectButton",
                             "DropEllipseButton", "DropHLineButton", "DropVLineButton",
                             "DropImageButton", "DropCounterButton", "DropSymbolButton",
                             "DropBarcodeButton"};
    QSet<qint64> distinct;
    for (const char* b : buttons) {
        const QString name = sw::DragCursorName(QLatin1String(b));
        ASSERT_TRUE(name.startsWith(QLatin1String("DRAG_"))) << b;
        const QCursor c = sw::ToolDragCursor(name);
        EXPECT_EQ(c.hotSpot(), QPoint(0, 0)) << b;
        const QImage img = sw::ToolDragPicture(name).toImage();
        EXPECT_EQ(img.size(), QSize(32, 32));
        int ink = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb p = img.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                EXPECT_TRUE(p == 0xFF000000 || p == 0xFFFFFFFF) << b;
                ink += p == 0xFF000000;
            }
        EXPECT_GT(ink, 10) << b;
        distinct.insert(qint64(qHash(QByteArray(reinterpret_cast<const char*>(img.constBits()), int(img.sizeInBytes())))));
    }
    EXPECT_EQ(distinct.size(), 10);
    EXPECT_EQ(sw::DragCursorName(QStringLiteral("CutObjectButton")), QString());
}
