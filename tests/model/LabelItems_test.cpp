// Factories, names, the stacking order and deletion.
#include "ItemTestHost.h"

#include "model/ItemText.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw;

namespace {
TMoShape* Rect(Label& l, int left = 0, int top = 0)
{
    return l.items.CreateShapeItem(0, top, left, 0, 0, 0, 0, 1, 20, bsClear);
}
} // namespace

TEST(Factories, DroppedRectangleHasItsOwnSizeAndName)
{
    Label l;
    auto* r = Rect(l, 40, 30);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Name(), "Special1");
    EXPECT_EQ(r->BoundsRect(), QRect(40, 30, 25, 25));
    EXPECT_EQ(r->PopupMenu, TItemMenu::PopupMenuShape);
    EXPECT_EQ(l.host.changes, 1);
    EXPECT_EQ(l.items.OrderList().back(), r);
    auto* rr = l.items.CreateShapeItem(2, 0, 0, 0, 0, 0, 0, 1, 20, bsClear);
    EXPECT_EQ(rr->PopupMenu, TItemMenu::PopupMenuRoundRect);
    EXPECT_EQ(rr->RoundPerc(), 20);
    // Rounding is for round rectangles only.
    EXPECT_EQ(l.items.CreateShapeItem(4, 0, 0, 0, 0, 0, 0, 1, 90, bsClear)->RoundPerc(), 25);
    auto* line = l.items.CreateLineItem(0, 5, 6, 60, 20, 0, 1);
    EXPECT_EQ(line->BoundsRect(), QRect(6, 5, 60, 20));
    EXPECT_EQ(line->LineStyle(), stHorizontal);
}

TEST(Factories, NamesAreReusedAfterADeletion)
{
    Label l;
    Rect(l);
    auto* second = Rect(l);
    Rect(l);
    l.items.DeleteObject(second);
    EXPECT_EQ(l.host.releases, 1);
    EXPECT_EQ(l.items.OrderList().size(), 2u);
    EXPECT_EQ(Rect(l)->Name(), "Special2");
    EXPECT_EQ(l.items.FindNextAvailable("Special"), "Special4");
}

TEST(Factories, TheThousandAndFirstItemIsRefusedWithAMessage)
{
    Label l;
    for (int i = 0; i < kMaxItems; ++i)
        ASSERT_TRUE(Rect(l)) << i;
    EXPECT_TRUE(l.items.FindNextAvailable("Special").isEmpty());
    EXPECT_EQ(Rect(l), nullptr);
    ASSERT_EQ(l.host.messages.size(), 1);
    EXPECT_TRUE(l.host.messages[0].contains("holds 1000 items"));
    EXPECT_EQ(l.panel.Children().size(), size_t(kMaxItems));

    // Reading onto a full label stops with the same words instead of losing items quietly.
    QString error;
    EXPECT_FALSE(REstoreItems(l.items, {"LABELITEM=ELLIPSE", "LABELITEM=ELLIPSE"}, &error));
    EXPECT_TRUE(error.contains("holds 1000 items"));
    EXPECT_EQ(l.host.messages.size(), 1);
}

TEST(Factories, OneCounterPerDropButAnyNumberWhenRead)
{
    Label l;
    auto* c = l.items.CreateCounterItem(0, 0, 0, 0, 0, "Arial", 10, 0, true, false, false, -1, -1);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Caption(), "7");
    EXPECT_EQ(c->Tag, 3);
    EXPECT_EQ(c->PopupMenu, TItemMenu::PopupMenuCounter);
    EXPECT_EQ(l.items.CreateCounterItem(0, 0, 0, 0, 0, "Arial", 10, 0, true, false, false, -1, -1),
              nullptr);
    EXPECT_EQ(l.host.messages, QStringList{kCounterLimitMessage});
    EXPECT_EQ(l.host.counterAsks, 1);
    EXPECT_TRUE(l.items.CreateCounterItem(0, 0, 0, 0, 0, "Arial", 10, 0, true, false, false, 4, 1));
    EXPECT_EQ(l.items.OrderList().size(), 2u);
    EXPECT_TRUE(l.items.AlreadyACounter());
}

TEST(Factories, CancelledDialogsMakeNothing)
{
    Label l;
    l.host.confirm = false;
    EXPECT_FALSE(l.items.CreateCounterItem(0, 0, 0, 0, 0, "Arial", 10, 0, true, false, false, -1, 1));
    EXPECT_FALSE(l.items.CreateSymbolItem(0, 0, 0, 0, 0, 18, 0));
    EXPECT_FALSE(l.items.CreateImageItem(0, 0, 0, 0, "", false));
    EXPECT_TRUE(l.items.OrderList().empty());
    EXPECT_TRUE(l.host.messages.isEmpty());
    EXPECT_EQ(l.host.changes, 0);
}

TEST(Factories, SymbolFromChooserTakesItsCodeAndColour)
{
    Label l;
    l.host.symbolCode = 255;
    auto* s = l.items.CreateSymbolItem(0, 3, 4, 0, 0, 18, 0);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Code(), 255);
    EXPECT_EQ(s->Font().Color, 255u);
    EXPECT_EQ(s->Font().Name, "WingDings");
    // Stored codes keep their low byte.
    EXPECT_EQ(l.items.CreateSymbolItem(256 + 74, 0, 0, 0, 0, 18, 0)->Code(), 74);
}

TEST(Factories, ImagesSizeThemselvesUnlessStretched)
{
    QTemporaryDir dir;
    const QString lower = dir.filePath("logo.bmp");
    const QString wmf = dir.filePath("LOGO.WMF");
    const QString other = dir.filePath("logo.gif");
    ASSERT_TRUE(QFile::copy(ModelData("logo24.bmp"), lower));
    ASSERT_TRUE(QFile::copy(ModelData("logo.wmf"), wmf));
    ASSERT_TRUE(QFile::copy(ModelData("logo.png"), other));
    Label l;
    auto* own = l.items.CreateImageItem(0, 0, 300, 0, lower, false);
    ASSERT_TRUE(own);
    EXPECT_EQ(QSize(own->Width(), own->Height()), QSize(200, 100));
    auto* stretched = l.items.CreateImageItem(0, 0, 300, 40, lower, true);
    EXPECT_EQ(QSize(stretched->Width(), stretched->Height()), QSize(300, 40));
    auto* meta = l.items.CreateImageItem(0, 0, 0, 0, wmf, false);
    ASSERT_TRUE(meta);
    EXPECT_EQ(QSize(meta->Width(), meta->Height()), QSize(200, 100));
    EXPECT_FALSE(l.items.CreateImageItem(0, 0, 0, 0, other, false));
    l.host.browsed = lower;
    EXPECT_TRUE(l.items.CreateImageItem(0, 0, 0, 0, "", false));
}

TEST(OrderList, ReorderingChangesTheWrittenOrder)
{
    Label l;
    auto* back = Rect(l);
    auto* middle = l.items.CreateShapeItem(4, 0, 0, 0, 0, 0, 0, 1, 20, bsClear);
    auto* front = l.items.CreateLineItem(0, 0, 0, 0, 0, 0, 1);
    l.items.OrderListSendToBack(front);
    EXPECT_EQ(l.items.OrderList(), (std::vector<TLabelItem*>{front, back, middle}));
    l.items.OrderListBringToFront(back);
    EXPECT_EQ(l.items.OrderList(), (std::vector<TLabelItem*>{front, middle, back}));
    QStringList lines;
    SaveItems(l.items, lines);
    EXPECT_EQ(lines.first(), "LABELITEM=HORIZONTALLINE");
    EXPECT_EQ(lines.filter("LABELITEM=").last(), "LABELITEM=RECTANGLE");

    TMoShape stranger;
    l.items.OrderListBringToFront(&stranger);
    l.items.OrderListDelete(&stranger);
    EXPECT_EQ(l.items.OrderList().size(), 3u);
}

TEST(OrderList, DeleteAllItemsLeavesAnEmptyPanelQuietly)
{
    Label l;
    Rect(l);
    l.items.CreateTextItem("x", 0, 0, 0, 0, 0, "Arial", 10, 0, true, false, false);
    const int changes = l.host.changes;
    l.items.DeleteAllItems();
    EXPECT_TRUE(l.items.OrderList().empty());
    EXPECT_TRUE(l.panel.Children().empty());
    EXPECT_EQ(l.host.changes, changes);
    EXPECT_EQ(Rect(l)->Name(), "Special1");
}

TEST(LabelPanel, ItemUnderThePointIsTheFrontmost)
{
    Label l;
    auto* a = Rect(l, 0, 0);
    auto* b = Rect(l, 10, 10);
    EXPECT_EQ(l.panel.ItemAt({15, 15}), b);
    EXPECT_EQ(l.panel.ItemAt({5, 5}), a);
    EXPECT_EQ(l.panel.ItemAt({100, 100}), nullptr);
    l.panel.BringToFront(a);
    EXPECT_EQ(l.panel.ItemAt({15, 15}), a);
    EXPECT_EQ(l.panel.FindComponent("SPECIAL2"), b);
}
