// The zoomed design panel: drags, grid, handle, drops, nudges, keys and centring work in label
// pixels at every zoom, and the stored item text does not depend on the zoom.
#include "DesignerFixture.h"

#include "designer/DesignZoom.h"
#include "designer/ItemCommands.h"
#include "designer/Nudges.h"
#include "designer/ToolDrops.h"
#include "model/ItemText.h"
#include "model/MoShape.h"

#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A left drag through the design panel from one view point to another, as the mouse does it:
// the press selects, the handle takes the moves through its capture (the first one starts the
// drag where it is).
void DragInView(DesignerFixture& f, QPoint from, QPoint to)
{
    f.Press(from);
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, from, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

QString Saved(DesignerFixture& f)
{
    QStringList lines;
    sw::SaveItems(f.items, lines);
    return sw::JoinItemText(lines);
}

} // namespace

TEST(Zoom, ADragAt200MovesHalfAsManyStoredPixelsAsAt100)
{
    QPoint moved[2];
    const double zooms[2] = {1.0, 2.0};
    for (int i = 0; i < 2; ++i) {
        DesignerFixture f;
        f.designer.SetZoom(zooms[i]);
        TMoShape* r = f.Rect(40, 30, 50, 20);
        const QPoint grab = f.panel.ToView(QPoint(60, 40));
        DragInView(f, grab, grab + QPoint(40, 20));
        moved[i] = r->BoundsRect().topLeft() - QPoint(40, 30);
        EXPECT_EQ(r->BoundsRect().size(), QSize(50, 20));
    }
    EXPECT_EQ(moved[0], QPoint(40, 20));
    EXPECT_EQ(moved[1], QPoint(20, 10));
}

TEST(Zoom, TheHandleSurroundsTheItemOnScreenAndItsEdgesWorkInLabelPixels)
{
    DesignerFixture f;
    TMoShape* r = f.Rect(40, 30, 50, 20);
    f.designer.SetZoom(2.0);
    EXPECT_EQ(f.panel.size(), QSize(600, 400));
    EXPECT_EQ(f.panel.Model().Width(), 300);
    f.Press(f.panel.ToView(QPoint(60, 40)));
    DesignerFixture::Send(&f.panel, QEvent::MouseButtonRelease, f.panel.ToView(QPoint(60, 40)), Qt::LeftButton,
                          Qt::NoButton);
    TStretchHandle* h = f.designer.StretchHandle1();
    // Squares of the same size on screen; the frame stays in label pixels.
    EXPECT_EQ(h->Frame(), QRect(38, 28, 55, 25));
    EXPECT_EQ(h->geometry(), QRect(78, 58, 105, 45));

    // The bottom-right corner dragged by (20, 10) on screen sizes the item by (10, 5).
    const QPoint corner(h->width() - 3, h->height() - 3);
    DesignerFixture::Send(h, QEvent::MouseMove, corner, Qt::NoButton, Qt::NoButton);
    DesignerFixture::Send(h, QEvent::MouseButtonPress, corner, Qt::LeftButton, Qt::LeftButton);
    DesignerFixture::Send(h, QEvent::MouseMove, corner + QPoint(20, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(h->Band(), QRect(38, 28, 65, 30));
    DesignerFixture::Send(h, QEvent::MouseButtonRelease, corner + QPoint(20, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(r->BoundsRect(), QRect(40, 30, 60, 25));
    EXPECT_EQ(h->geometry(), QRect(78, 58, 125, 55));

    // The grid is a grid of label pixels: 8 stored pixels whatever the zoom.
    f.designer.mnuSnapToGrid8x8Click();
    f.designer.SetZoom(3.0);
    const QPoint grab = f.panel.ToView(QPoint(50, 40));
    DragInView(f, grab, grab + QPoint(45, 30));
    EXPECT_EQ(r->BoundsRect().topLeft(), QPoint(48, 40));

    // A right press on the handle reaches the item under it: its menu opens.
    DesignerFixture::Send(h, QEvent::MouseButtonPress, QPoint(h->width() / 2, h->height() / 2), Qt::RightButton,
                          Qt::RightButton);
    QMenu* menu = f.designer.Commands().Menu(TItemMenu::PopupMenuShape);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    // A zoom change keeps the selection and moves the handle with the item.
    f.designer.SetZoom(0.5);
    EXPECT_EQ(f.designer.Selected(), r);
    EXPECT_EQ(h->geometry(), QRect(22, 18, 35, 18));
}

TEST(Zoom, DropsNudgesKeysAndCentringPlaceInLabelPixels)
{
    DesignerFixture f;
    f.designer.SetZoom(2.0);
    // A tool dropped at view point (81, 61) puts its corner on label pixel (40, 30).
    std::unique_ptr<QMimeData> mime(TToolDrops::ToolMime(QStringLiteral("DropRectButton")));
    QDropEvent drop(QPointF(81, 61), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    // Straight to the panel: outside a running drag the application does not route drops.
    static_cast<QObject&>(f.panel).event(&drop);
    QApplication::processEvents();
    ASSERT_EQ(f.items.OrderList().size(), 1u);
    TLabelItem* r = f.items.OrderList().front();
    EXPECT_EQ(r->BoundsRect(), QRect(40, 30, 25, 25));
    ASSERT_EQ(f.designer.Selected(), r);

    f.designer.Nudges().PosRightButtonClick();
    EXPECT_EQ(r->Left(), 41);
    QTest::keyClick(f.designer.StretchHandle1(), Qt::Key_Down);
    EXPECT_EQ(r->Top(), 31);
    EXPECT_EQ(f.designer.StretchHandle1()->geometry(), QRect(80, 60, 55, 55));

    // Centring measures the label, not the panel on screen.
    f.designer.AlignCenter(r);
    EXPECT_EQ(r->BoundsRect().topLeft(), QPoint(150 - 12, 100 - 12));
}

TEST(Zoom, SavedItemTextIsTheSameAtEveryZoom)
{
    DesignerFixture f;
    f.dialogs.text = QStringLiteral("Zoomed text");
    f.Rect(40, 30, 50, 20, 255, 0);
    f.items.CreateTextItem(QStringLiteral("Zoomed text"), 60, 20, 0, 0, 30, QStringLiteral("Arial"), 14, 0, true,
                           false, false);
    f.items.CreateLineItem(0, 100, 120, 60, 20, 0, 3);
    f.items.CreateShapeItem(4, 110, 200, 70, 40, 0, 0, 2, 0, 1);
    const QString at100 = Saved(f);
    for (double zoom : {3.0, 0.5, 4.0, 1.5}) {
        f.designer.SetZoom(zoom);
        // Drawn at this zoom (text lays itself out while drawing) before it is saved.
        f.panel.grab();
        EXPECT_EQ(Saved(f), at100) << "at " << zoom;
    }
    // Loaded at 300 %: the same text comes back.
    f.designer.SetZoom(3.0);
    f.items.DeleteAllItems();
    ASSERT_TRUE(sw::REstoreItems(f.items, sw::SplitItemText(at100)));
    f.panel.grab();
    EXPECT_EQ(Saved(f), at100);
}

TEST(Zoom, StepsClampToTheRangeAndTheMenuFollows)
{
    EXPECT_EQ(TDesignZoom::NextLevel(1.0, 1), 1.5);
    EXPECT_EQ(TDesignZoom::NextLevel(1.0, -1), 0.75);
    EXPECT_EQ(TDesignZoom::NextLevel(1.37, 1), 1.5);
    EXPECT_EQ(TDesignZoom::NextLevel(1.37, -1), 1.0);
    EXPECT_EQ(TDesignZoom::NextLevel(4.0, 1), 4.0);
    EXPECT_EQ(TDesignZoom::NextLevel(0.5, -1), 0.5);

    DesignerFixture f;
    f.designer.SetZoom(9.0);
    EXPECT_EQ(f.panel.Zoom(), 4.0);
    f.designer.SetZoom(0.1);
    EXPECT_EQ(f.panel.Zoom(), 0.5);
    EXPECT_EQ(f.panel.size(), QSize(150, 100));
}
