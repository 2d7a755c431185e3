// The selection handle on a plain surface with plain child widgets as controls.
#include "designer/StretchHandle.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
QT_END_NAMESPACE

namespace {

class Recorder : public QWidget {
public:
    using QWidget::QWidget;
    std::vector<std::pair<Qt::MouseButton, QPoint>> presses;

protected:
    void mousePressEvent(QMouseEvent* e) override { presses.emplace_back(e->button(), e->position().toPoint()); }
};

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct Surface {
    Surface()
    {
        parent.resize(300, 200);
        control = new Recorder(&parent);
        control->setGeometry(10, 10, 40, 20);
        parent.show();
    }
    // Hover to pick the zone, press, move, release: handle coordinates.
    void Drag(QPoint from, QPoint to)
    {
        Send(&handle, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        Send(&handle, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Send(&handle, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Send(&handle, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    Recorder parent;
    Recorder* control;
    std::unique_ptr<TWidgetTarget> target;
    TStretchHandle handle;
    void Attach()
    {
        target = std::make_unique<TWidgetTarget>(control);
        handle.AttachItem(target.get());
    }
};

} // namespace

TEST(StretchHandle, GeometryAndSquaresAroundOneControl)
{
    Surface s;
    s.Attach();
    EXPECT_EQ(s.handle.geometry(), QRect(8, 8, 45, 25));
    EXPECT_EQ(s.handle.parentWidget(), &s.parent);
    EXPECT_TRUE(s.handle.isVisible());
    EXPECT_EQ(s.handle.AttachedCount(), 1);
    EXPECT_EQ(s.handle.AttachedItem(0), s.target.get());
    EXPECT_EQ(s.handle.AttachedItem(-1), nullptr);
    EXPECT_EQ(s.handle.AttachedItem(1), nullptr);

    QImage img(45, 25, QImage::Format_RGB32);
    img.fill(Qt::white);
    s.handle.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    auto black = [&img](int x, int y) { return img.pixelColor(x, y) == QColor(Qt::black); };
    // Corners 5 x 5 at the edges of the control grown by 2 (right/bottom exclusive: 44 x 24).
    EXPECT_TRUE(black(0, 0) && black(4, 4) && !black(5, 5));
    EXPECT_TRUE(black(39, 0) && black(43, 4) && !black(44, 0) && !black(38, 0));
    EXPECT_TRUE(black(0, 19) && black(43, 23));
    // Top mid-edge square spans columns 20 to 24.
    EXPECT_TRUE(!black(19, 0) && black(20, 0) && black(24, 4) && !black(25, 0));
    // Left one rows 10 to 14.
    EXPECT_TRUE(!black(0, 9) && black(0, 10) && black(4, 14) && !black(0, 15));
    // The control shows through everywhere else.
    EXPECT_FALSE(black(22, 12));

    s.handle.DetachAll();
    EXPECT_EQ(s.handle.AttachedCount(), 0);
    EXPECT_FALSE(s.handle.isVisible());
    EXPECT_EQ(s.handle.parentWidget(), nullptr);
    EXPECT_EQ(s.handle.size(), QSize(24, 24));
}

TEST(StretchHandle, FormsAreRefusedAndSeveralControlsShareOneBox)
{
    Surface s;
    QWidget form;
    TWidgetTarget formTarget(&form);
    try {
        s.handle.AttachItem(&formTarget);
        FAIL() << "no EBadChild";
    } catch (const EBadChild& e) {
        EXPECT_STREQ(e.what(), "Handles can not be attached to a Form!");
    }
    s.Attach();
    s.handle.AttachItem(s.target.get()); // already attached: nothing
    EXPECT_EQ(s.handle.AttachedCount(), 1);
    QWidget second(&s.parent);
    second.setGeometry(100, 50, 10, 10);
    TWidgetTarget t2(&second);
    s.handle.AttachItem(&t2);
    EXPECT_EQ(s.handle.geometry(), QRect(8, 8, 105, 55));
    // A move carries both.
    s.handle.SetBounds(s.handle.geometry().translated(3, 4));
    EXPECT_EQ(s.control->geometry(), QRect(13, 14, 40, 20));
    EXPECT_EQ(second.geometry(), QRect(103, 54, 10, 10));
    s.handle.SetLocked(true);
    s.handle.SetBounds(QRect(0, 0, 50, 50));
    EXPECT_EQ(second.geometry(), QRect(103, 54, 10, 10));
    s.handle.DetachAll();
    EXPECT_FALSE(s.handle.Locked());
}

TEST(StretchHandle, HoverZonesChooseStyleAndCursor)
{
    Surface s;
    s.Attach(); // 45 x 25
    struct Case {
        QPoint at;
        TDragStyle style;
        Qt::CursorShape cursor;
    } cases[] = {
        {{1, 1}, TDragStyle::TopLeft, Qt::SizeFDiagCursor},
        {{41, 21}, TDragStyle::BottomRight, Qt::SizeFDiagCursor},
        {{44, 24}, TDragStyle::BottomRight, Qt::SizeFDiagCursor},
        {{42, 2}, TDragStyle::TopRight, Qt::SizeBDiagCursor},
        {{3, 23}, TDragStyle::BottomLeft, Qt::SizeBDiagCursor},
        {{22, 1}, TDragStyle::Top, Qt::SizeVerCursor},
        {{20, 24}, TDragStyle::Bottom, Qt::SizeVerCursor},
        {{2, 12}, TDragStyle::Left, Qt::SizeHorCursor},
        {{43, 11}, TDragStyle::Right, Qt::SizeHorCursor},
        {{19, 1}, TDragStyle::Move, Qt::ArrowCursor}, // 3.5 from the middle
        {{20, 12}, TDragStyle::Move, Qt::ArrowCursor},
        {{40, 12}, TDragStyle::Move, Qt::ArrowCursor}, // 5 from the edge
    };
    for (const Case& c : cases) {
        Send(&s.handle, QEvent::MouseMove, c.at, Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(s.handle.DragStyle(), c.style) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(s.handle.cursor().shape(), c.cursor) << c.at.x() << "," << c.at.y();
    }
    EXPECT_EQ(sw::HoverStyle(12, 12, 24, 24), TDragStyle::Move);
}

TEST(StretchHandle, EdgesFollowTheMouseAndLandOnTheGrid)
{
    struct Case {
        QPoint from, to;
        int grid;
        QRect control;
    } cases[] = {
        {{43, 23}, {53, 30}, 1, {10, 10, 50, 27}},  // bottom-right
        {{43, 23}, {53, 30}, 8, {10, 10, 46, 22}},  // right 60 -> 56, bottom 37 -> 32
        {{1, 1}, {-4, -3}, 1, {5, 6, 45, 24}},      // top-left
        {{1, 1}, {-4, -3}, 4, {4, 4, 46, 26}},
        {{42, 1}, {47, 4}, 1, {10, 13, 45, 17}},    // top-right
        {{1, 23}, {6, 25}, 1, {15, 10, 35, 22}},    // bottom-left
        {{22, 1}, {22, -5}, 1, {10, 4, 40, 26}},    // top
        {{22, 23}, {25, 29}, 1, {10, 10, 40, 26}},  // bottom: only y counts
        {{1, 12}, {-3, 14}, 1, {6, 10, 44, 20}},    // left
        {{43, 12}, {48, 12}, 1, {10, 10, 45, 20}},  // right
        {{43, 12}, {48, 12}, 8, {10, 10, 38, 20}},  // right 55 -> 48
        {{20, 12}, {25, 15}, 1, {15, 13, 40, 20}},  // move
        {{20, 12}, {25, 15}, 4, {12, 12, 40, 20}},  // move: 15 -> 12, 13 -> 12
        {{1, 12}, {140, 12}, 1, {50, 10, 0, 20}},   // left past the right edge: 0 wide
        {{22, 23}, {22, -60}, 1, {10, 10, 40, 0}},  // bottom past the top: 0 high
        {{43, 23}, {900, 900}, 1, {10, 10, 289, 189}}, // mouse clamped to the parent's 300 x 200
    };
    for (const Case& c : cases) {
        Surface s;
        s.Attach();
        s.handle.SetGridX(c.grid);
        s.handle.SetGridY(c.grid);
        QSignalSpy up(&s.handle, &TStretchHandle::MouseUp);
        s.Drag(c.from, c.to);
        EXPECT_EQ(s.control->geometry(), c.control) << c.from.x() << "," << c.from.y() << " grid " << c.grid;
        EXPECT_EQ(s.handle.geometry(), c.control.adjusted(-2, -2, 3, 3));
        EXPECT_EQ(up.count(), 1);
        EXPECT_FALSE(s.handle.Dragging());
        EXPECT_TRUE(s.handle.Band().isNull());
    }
}

TEST(StretchHandle, BandShowsTheFutureRectangleAndTheControlMovesOnRelease)
{
    Surface s;
    s.Attach();
    Send(&s.handle, QEvent::MouseMove, {43, 23}, Qt::NoButton, Qt::NoButton);
    Send(&s.handle, QEvent::MouseButtonPress, {43, 23}, Qt::LeftButton, Qt::LeftButton);
    Send(&s.handle, QEvent::MouseMove, {53, 33}, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(s.handle.Dragging());
    EXPECT_EQ(s.handle.Band(), QRect(8, 8, 55, 35));
    EXPECT_EQ(s.control->geometry(), QRect(10, 10, 40, 20)); // not yet
    Send(&s.handle, QEvent::MouseButtonRelease, {53, 33}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(s.control->geometry(), QRect(10, 10, 50, 30));

    // A release at the drag start changes nothing but still reports the drag's end.
    QSignalSpy up(&s.handle, &TStretchHandle::MouseUp);
    Send(&s.handle, QEvent::MouseButtonPress, {20, 12}, Qt::LeftButton, Qt::LeftButton);
    Send(&s.handle, QEvent::MouseButtonRelease, {20, 12}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(s.control->geometry(), QRect(10, 10, 50, 30));
    EXPECT_EQ(up.count(), 1);
}

TEST(StretchHandle, PressOnTheParentThenMoveDragsThroughTheCapture)
{
    // The press that selects a control lands on the surface, which attaches the handle.
    Surface s;
    s.Attach();
    EXPECT_TRUE(s.handle.HasCapture());
    Send(&s.parent, QEvent::MouseMove, {25, 15}, Qt::NoButton, Qt::LeftButton);
    Send(&s.parent, QEvent::MouseMove, {35, 25}, Qt::NoButton, Qt::LeftButton);
    Send(&s.parent, QEvent::MouseButtonRelease, {35, 25}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(s.control->geometry(), QRect(20, 20, 40, 20));
    EXPECT_FALSE(s.handle.HasCapture());
    // Without the capture the surface's moves are its own.
    Send(&s.parent, QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(s.handle.Dragging());
}

TEST(StretchHandle, ArrowKeysMoveOnePixelWhateverTheGrid)
{
    Surface s;
    s.Attach();
    s.handle.SetSnapToGrid(true);
    QSignalSpy keys(&s.handle, &TStretchHandle::KeyDown);
    QTest::keyClick(&s.handle, Qt::Key_Right);
    QTest::keyClick(&s.handle, Qt::Key_Right);
    QTest::keyClick(&s.handle, Qt::Key_Down);
    QTest::keyClick(&s.handle, Qt::Key_Left);
    QTest::keyClick(&s.handle, Qt::Key_Up);
    QTest::keyClick(&s.handle, Qt::Key_Up);
    QTest::keyClick(&s.handle, Qt::Key_A);
    EXPECT_EQ(s.control->geometry(), QRect(11, 9, 40, 20));
    EXPECT_EQ(keys.count(), 7);
}

TEST(StretchHandle, PressesItDoesNotUseReachWhatLiesBeneath)
{
    Surface s;
    s.Attach();
    QSignalSpy down(&s.handle, &TStretchHandle::MouseDown);
    Send(&s.handle, QEvent::MouseButtonPress, {20, 12}, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(s.handle.Dragging());
    ASSERT_EQ(s.control->presses.size(), 1u);
    EXPECT_EQ(s.control->presses[0].first, Qt::RightButton);
    EXPECT_EQ(s.control->presses[0].second, QPoint(18, 10));
    EXPECT_EQ(down.count(), 0);

    // Several controls: the handle box has room outside every control; a press there goes to
    // the parent.
    QWidget second(&s.parent);
    second.setGeometry(100, 50, 10, 10);
    TWidgetTarget t2(&second);
    s.handle.AttachItem(&t2);
    Send(&s.handle, QEvent::MouseButtonPress, {70, 20}, Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(s.parent.presses.size(), 1u);
    EXPECT_EQ(s.parent.presses[0].second, QPoint(78, 28));
    EXPECT_FALSE(s.handle.Dragging());
    Send(&s.handle, QEvent::MouseButtonPress, {20, 12}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(s.handle.Dragging());
    EXPECT_EQ(down.count(), 1);
}

TEST(StretchHandle, SnapToGridIsReadFromTheSteps)
{
    TStretchHandle h;
    EXPECT_FALSE(h.SnapToGrid());
    EXPECT_EQ(h.GridX(), 1);
    h.SetSnapToGrid(true);
    EXPECT_EQ(h.GridX(), 8);
    EXPECT_EQ(h.GridY(), 8);
    h.SetGridX(2);
    h.SetGridY(1);
    EXPECT_TRUE(h.SnapToGrid());
    h.SetSnapToGrid(false);
    EXPECT_FALSE(h.SnapToGrid());
    EXPECT_EQ(h.GridX(), 1);
    h.SetGridX(0);
    EXPECT_EQ(h.GridX(), 1);
}
