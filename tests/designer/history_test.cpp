// Undo and redo of every kind of change to the label on screen, and the clipboard.
#include "DesignerFixture.h"

#include "designer/DesignHistory.h"
#include "designer/ItemClipboard.h"
#include "designer/ItemCommands.h"
#include "designer/Nudges.h"
#include "designer/ToolDrops.h"
#include "model/ImageItem.h"
#include "model/ItemText.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString Text(DesignerFixture& f)
{
    QStringList lines;
    sw::SaveItems(f.items, lines);
    return sw::JoinItemText(lines);
}

TLabelItem* At(DesignerFixture& f, std::size_t i)
{
    return f.items.OrderList().at(i);
}

void Trigger(DesignerFixture& f, TItemMenu menu, const char* name)
{
    QAction* a = f.designer.Commands().Menu(menu)->findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(a, nullptr) << name;
    a->trigger();
}

void Drag(DesignerFixture& f, QPoint from, QPoint to)
{
    f.Press(from);
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, from, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(&f.panel, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// A drag that starts on the handle itself (its squares lie outside the item).
void DragHandle(DesignerFixture& f, QPoint from, QPoint to)
{
    QWidget* h = f.designer.StretchHandle1();
    const QPoint o = h->pos();
    DesignerFixture::Send(h, QEvent::MouseButtonPress, from - o, Qt::LeftButton, Qt::LeftButton);
    DesignerFixture::Send(h, QEvent::MouseMove, to - o, Qt::NoButton, Qt::LeftButton);
    DesignerFixture::Send(h, QEvent::MouseButtonRelease, to - o, Qt::LeftButton, Qt::NoButton);
}

// Runs a command and checks that it made exactly one step with this name, that undo brings
// back the items' text from before it and redo the text after it, twice over.
void Step(DesignerFixture& f, const QString& name, const std::function<void()>& command)
{
    QUndoStack& stack = f.designer.History().Stack();
    const QString before = Text(f);
    const int steps = stack.count();
    command();
    const QString after = Text(f);
    ASSERT_NE(before, after) << name.toStdString();
    ASSERT_EQ(stack.count(), steps + 1) << name.toStdString();
    EXPECT_EQ(stack.undoText(), name);
    for (int round = 0; round < 2; ++round) {
        stack.undo();
        EXPECT_EQ(Text(f), before) << name.toStdString();
        stack.redo();
        EXPECT_EQ(Text(f), after) << name.toStdString();
    }
    // Rebuilt items are no new change.
    EXPECT_EQ(stack.count(), steps + 1) << name.toStdString();
}

} // namespace

TEST(History, EveryKindOfChangeIsOneStepThatUndoesAndRedoes)
{
    DesignerFixture f;
    f.services.state.FirstActivation = false;
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("logo.bmp"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(STICKWELL_TEST_DATA "/designer/logo1.bmp"), bmp));
    QToolButton up, down, right, left;
    QCheckBox moveAll;
    TDesignerTools tools;
    tools.PosUpButton = &up;
    tools.PosDownButton = &down;
    tools.PosRightButton = &right;
    tools.PosLeftButton = &left;
    tools.MoveAll = &moveAll;
    f.designer.ConnectTools(tools);
    TToolDrops& drops = f.designer.Drops();

    // Items 0..5: rectangle, round rectangle, line, text, counter, symbol, then an image.
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropRectButton"), {40, 30}); });
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropRoundRectButton"), {100, 30}); });
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropHLineButton"), {10, 150}); });
    f.dialogs.text = QStringLiteral("Hello");
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropTextButton"), {150, 40}); });
    f.dialogs.counter = std::make_pair(5, 2);
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropCounterButton"), {150, 90}); });
    f.dialogs.symbol = std::make_pair(74, TColor(255));
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropSymbolButton"), {220, 20}); });
    f.dialogs.image = bmp;
    Step(f, "Drop", [&] { drops.LabelPanelDragDrop(nullptr, QStringLiteral("DropImageButton"), {230, 120}); });
    ASSERT_EQ(f.items.OrderList().size(), 7u);
    // After a redo the new item is selected again, as the drop left it.
    EXPECT_EQ(f.designer.Selected(), At(f, 6));

    // The mouse: a move and a resize of the rectangle.
    Step(f, "Move", [&] { Drag(f, {50, 40}, {70, 50}); });
    EXPECT_EQ(At(f, 0)->BoundsRect(), QRect(60, 40, 25, 25));
    EXPECT_EQ(f.designer.Selected(), At(f, 0));
    Step(f, "Resize", [&] { DragHandle(f, {86, 66}, {96, 76}); });
    EXPECT_EQ(At(f, 0)->BoundsRect(), QRect(60, 40, 35, 35));

    // Arrow keys and nudges; a held or repeated nudge is one step.
    Step(f, "Nudge", [&] {
        QTest::keyClick(f.designer.StretchHandle1(), Qt::Key_Left);
        right.click();
        right.click();
        right.click();
    });
    EXPECT_EQ(At(f, 0)->Left(), 62);
    moveAll.setChecked(true);
    Step(f, "Move All", [&] { down.click(); });
    moveAll.setChecked(false);

    // Centring.
    f.designer.AttachControl(At(f, 0));
    Step(f, "Center", [&] { f.designer.AlignCenter(At(f, 0)); });
    Step(f, "Center Vertically", [&] { f.designer.AlignVertical(At(f, 1)); });
    Step(f, "Center Horizontally", [&] { f.designer.AlignHorizontal(At(f, 2)); });

    // Property commands, on the selected item.
    f.designer.AttachControl(At(f, 1));
    Step(f, "Color", [&] {
        f.dialogs.color = TColor(0x00FF00);
        Trigger(f, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRectColor");
    });
    Step(f, "Line Color", [&] { Trigger(f, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRectLineColor"); });
    Step(f, "Line Thickness", [&] { Trigger(f, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRectPoint4"); });
    Step(f, "Pattern", [&] { Trigger(f, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRectPatternCross"); });
    Step(f, "Degree of Rounding", [&] { Trigger(f, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRect60"); });
    f.designer.AttachControl(At(f, 3));
    Step(f, "Text", [&] {
        f.dialogs.text = QStringLiteral("Hello, world");
        Trigger(f, TItemMenu::PopupMenuText, "PopupMenuTextText");
    });
    Step(f, "Font", [&] {
        TItemFont font;
        font.Size = 14;
        font.Italic = true;
        f.dialogs.font = font;
        Trigger(f, TItemMenu::PopupMenuText, "PopupMenuTextFont");
    });
    Step(f, "Font Color", [&] { Trigger(f, TItemMenu::PopupMenuText, "PopupMenuTextFontColor"); });
    Step(f, "Rotation", [&] {
        f.dialogs.angle = 90;
        Trigger(f, TItemMenu::PopupMenuText, "PopupMenuTextRotation");
    });
    f.designer.AttachControl(At(f, 4));
    Step(f, "Counter Values", [&] {
        f.dialogs.counter = std::make_pair(-1, 3);
        Trigger(f, TItemMenu::PopupMenuCounter, "PopupMenuCounterCounterValues");
    });
    // A counter starting at -1 comes back without asking.
    const int asked = f.dialogs.asked;
    f.designer.History().Stack().undo();
    f.designer.History().Stack().redo();
    EXPECT_EQ(f.dialogs.asked, asked);
    f.designer.AttachControl(At(f, 5));
    Step(f, "Symbol", [&] {
        f.dialogs.symbol = std::make_pair(80, TColor(0xFF0000));
        Trigger(f, TItemMenu::PopupMenuSymbol, "PopupMenuSymbolSymbol");
    });
    f.designer.AttachControl(At(f, 6));
    Step(f, "Stretch to Fit", [&] { Trigger(f, TItemMenu::PopupMenuImage, "PopupMenuImageStretchToFit"); });
    // A stretched picture's box as the user made it, not the picture's own size.
    Step(f, "Resize", [&] {
        const QRect r = At(f, 6)->BoundsRect();
        DragHandle(f, r.bottomRight() + QPoint(2, 2), r.bottomRight() + QPoint(-8, 2));
    });

    // Stacking order and deletion.
    f.designer.AttachControl(At(f, 0));
    Step(f, "Bring to Front", [&] { Trigger(f, TItemMenu::PopupMenuShape, "PopupMenuShapeBringtoFront"); });
    Step(f, "Send to Back", [&] { Trigger(f, TItemMenu::PopupMenuText, "PopupMenuTextSendtoBack"); });
    f.designer.AttachControl(At(f, 2));
    Step(f, "Delete", [&] { Trigger(f, TItemMenu::PopupMenuLine, "PopupMenuLineDelete"); });

    // The picture comes back from the history even after its file has gone.
    f.designer.AttachControl(f.items.OrderList().back());
    ASSERT_NE(dynamic_cast<TImageItem*>(f.items.OrderList().back()), nullptr);
    Step(f, "Delete", [&] { f.designer.Drops().CutObjectButtonClick(); });
    ASSERT_TRUE(QFile::remove(bmp));
    f.designer.History().Stack().undo();
    auto* image = dynamic_cast<TImageItem*>(f.items.OrderList().back());
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->Picture().isNull());
}

TEST(History, CancelledDialogsAndEmptyMovesLeaveNoStep)
{
    DesignerFixture f;
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropRectButton"), {40, 30});
    QUndoStack& stack = f.designer.History().Stack();
    ASSERT_EQ(stack.count(), 1);
    Trigger(f, TItemMenu::PopupMenuShape, "PopupMenuShapeColor");
    Drag(f, {50, 40}, {50, 40});
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropTextButton"), {100, 30});
    EXPECT_EQ(stack.count(), 1);
    // Two separate nudges with a pause between them are two steps.
    f.designer.AttachControl(At(f, 0));
    QTest::keyClick(f.designer.StretchHandle1(), Qt::Key_Down);
    QTest::qWait(TDesignHistory::kMergeMs + 100);
    QTest::keyClick(f.designer.StretchHandle1(), Qt::Key_Down);
    EXPECT_EQ(stack.count(), 3);
}

TEST(History, ALabelLoadStartsAfreshButTheReloadAfterSaveKeepsIt)
{
    DesignerFixture f;
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropRectButton"), {40, 30});
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropEllipseButton"), {90, 30});
    QUndoStack& stack = f.designer.History().Stack();
    ASSERT_EQ(stack.count(), 2);

    // Save reloads the very items: the history stays.
    const QString saved = Text(f);
    f.services.state.LoadingLabel = true;
    f.items.DeleteAllItems();
    sw::REstoreItems(f.items, sw::SplitItemText(saved));
    f.designer.LabelLoaded(true);
    f.services.state.LoadingLabel = false;
    EXPECT_EQ(stack.count(), 2);
    stack.undo();
    EXPECT_EQ(f.items.OrderList().size(), 1u);

    // Another label's items: the history starts empty.
    f.services.state.LoadingLabel = true;
    f.items.DeleteAllItems();
    sw::REstoreItems(f.items, sw::SplitItemText(saved));
    f.designer.LabelLoaded(true);
    f.services.state.LoadingLabel = false;
    EXPECT_EQ(stack.count(), 0);
    EXPECT_FALSE(stack.canUndo());

    // A new label is always a fresh start.
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropRectButton"), {40, 30});
    f.items.DeleteAllItems();
    f.designer.LabelLoaded(false);
    EXPECT_EQ(stack.count(), 0);
}

TEST(History, AChangeOutsideACommandBecomesAStepOfItsOwn)
{
    DesignerFixture f;
    f.Rect(10, 10, 20, 20);
    QUndoStack& stack = f.designer.History().Stack();
    QTRY_COMPARE(stack.count(), 1);
    EXPECT_EQ(stack.undoText(), QStringLiteral("Change"));
    stack.undo();
    EXPECT_TRUE(f.items.OrderList().empty());
}

TEST(History, EditMenuNamesTheStepAndCarriesTheShortcuts)
{
    DesignerFixture f;
    QMenu edit;
    f.designer.ConnectEditMenu(&edit);
    QAction* undo = edit.findChild<QAction*>(QStringLiteral("mnuUndo"));
    QAction* redo = edit.findChild<QAction*>(QStringLiteral("mnuRedo"));
    ASSERT_TRUE(undo && redo);
    EXPECT_FALSE(undo->isEnabled());
    f.Rect(40, 30, 20, 20);
    f.designer.AttachControl(At(f, 0));
    Drag(f, {45, 35}, {55, 45});
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Move"));
    undo->trigger();
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Move"));
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Y"))));
    QStringList captions;
    for (const QAction* a : edit.actions())
        if (!a->isSeparator())
            captions << a->text() + QLatin1Char(' ') + a->shortcut().toString();
    EXPECT_EQ(captions.mid(2), (QStringList{"Cu&t Ctrl+X", "&Copy Ctrl+C", "&Paste Ctrl+V", "&Duplicate Ctrl+D"}));
}

TEST(Clipboard, AnItemTravelsBetweenTwoLabelsAsReadableText)
{
    DesignerFixture a;
    DesignerFixture b;
    TMoShape* r = a.items.CreateShapeItem(2, 30, 40, 50, 20, 255, 0, 3, 40, bsSolid);
    a.designer.AttachControl(r);
    a.designer.Clipboard().Copy();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(QLatin1String(TItemClipboard::MimeType)));
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("LABELITEM=ROUNDRECTANGLE\r\nTOP=0.313\r\n")));

    // Into the other label, one 8-pixel step down and right, selected; one step there.
    b.designer.Clipboard().Paste();
    ASSERT_EQ(b.items.OrderList().size(), 1u);
    auto* pasted = dynamic_cast<TMoShape*>(At(b, 0));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->BoundsRect(), QRect(48, 38, 50, 20));
    EXPECT_EQ(pasted->Brush(), r->Brush());
    EXPECT_EQ(pasted->Pen(), r->Pen());
    EXPECT_EQ(pasted->RoundPerc(), 40);
    EXPECT_EQ(b.designer.Selected(), pasted);
    EXPECT_EQ(b.designer.History().Stack().undoText(), QStringLiteral("Paste"));

    // Pasted twice more: each copy a further step on; with a grid, the grid's step.
    b.designer.Clipboard().Paste();
    EXPECT_EQ(At(b, 1)->BoundsRect().topLeft(), QPoint(56, 46));
    b.designer.mnuSnapToGrid4x4Click();
    b.designer.Clipboard().Paste();
    EXPECT_EQ(At(b, 2)->BoundsRect().topLeft(), QPoint(44, 34));

    // Cut takes it off the first label; undo brings it back.
    a.designer.AttachControl(r);
    a.designer.Clipboard().Cut();
    EXPECT_TRUE(a.items.OrderList().empty());
    EXPECT_EQ(a.designer.History().Stack().undoText(), QStringLiteral("Cut"));
    a.designer.History().Stack().undo();
    EXPECT_EQ(a.items.OrderList().size(), 1u);

    // Plain text a user wrote pastes too; other text does nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("LABELITEM=TEXT\nTEXT=typed\nTOP=0.1\nLEFT=0.1\n"));
    a.designer.Clipboard().Paste();
    auto* typed = dynamic_cast<Tmo3DLabel*>(a.items.OrderList().back());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->Caption(), QStringLiteral("typed"));
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    const auto count = a.items.OrderList().size();
    a.designer.Clipboard().Paste();
    EXPECT_EQ(a.items.OrderList().size(), count);
}

TEST(Clipboard, PastesStayOnTheLabelAndASecondCounterIsRefused)
{
    DesignerFixture f;
    // The panel is 300 x 200: a copy of an item at its bottom-right edge stays inside.
    TMoShape* r = f.Rect(270, 180, 30, 20);
    f.designer.AttachControl(r);
    f.designer.Clipboard().Duplicate();
    EXPECT_EQ(At(f, 1)->BoundsRect(), QRect(270, 180, 30, 20));
    EXPECT_EQ(f.designer.History().Stack().undoText(), QStringLiteral("Duplicate"));

    TCounterLabel* c = f.items.CreateCounterItem(10, 10, 0, 0, 0, QStringLiteral("Arial"), 10, 0, true, false,
                                                 false, 5, 1);
    f.designer.AttachControl(c);
    const auto count = f.items.OrderList().size();
    const int steps = f.designer.History().Stack().count();
    f.designer.Clipboard().Duplicate();
    EXPECT_EQ(f.items.OrderList().size(), count);
    ASSERT_FALSE(f.services.messages.isEmpty());
    EXPECT_EQ(f.services.messages.last(), QStringLiteral("There is a limit of one Counter per label"));
    EXPECT_LE(f.designer.History().Stack().count(), steps + 1);

    // Nothing is pasted onto a label that is not on screen.
    f.designer.AttachControl(r);
    f.designer.Clipboard().Copy();
    f.panel.hide();
    f.designer.Clipboard().Paste();
    EXPECT_EQ(f.items.OrderList().size(), count);
}
