// The item command menus: captions and names, opening, and the commands' edge cases.
#include "DesignerFixture.h"

#include "designer/ItemCommands.h"
#include "model/ImageItem.h"
#include "model/LineShape.h"
#include "model/MoShape.h"
#include "model/Symbol.h"
#include "model/TextLabel.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QStringList Captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QAction* Entry(TDesigner& d, TItemMenu menu, const char* name)
{
    return d.Commands().Menu(menu)->findChild<QAction*>(QLatin1String(name));
}

} // namespace

TEST(ItemMenus, CaptionsAndComponentNamesAreExact)
{
    DesignerFixture f;
    auto menu = [&f](TItemMenu m) { return f.designer.Commands().Menu(m); };
    EXPECT_EQ(Captions(menu(TItemMenu::PopupMenuText)),
              (QStringList{"&Text", "Font", "Font Color", "Rotation", "-", "Send to Back", "Bring to Front", "-",
                           "Center ", "Center Vertically", "Center Horizontally", "-", "Delete"}));
    EXPECT_EQ(Captions(menu(TItemMenu::PopupMenuCounter)),
              (QStringList{"Counter Values", "-", "Font", "Font Color", "Rotation", "-", "Send to Back",
                           "Bring to Front", "-", "Center ", "Center Vertically", "Center Horizontally", "-",
                           "Delete"}));
    EXPECT_EQ(Captions(menu(TItemMenu::PopupMenuRoundRect)),
              (QStringList{"Degree of Rounding", "Color", "Line Color", "Line Thickness", "Pattern", "-",
                           "Send to Back", "Bring to Front", "-", "Center", "Center Vertically",
                           "Center Horizontally", "-", "Delete"}));
    EXPECT_EQ(Captions(menu(TItemMenu::PopupMenuImage)).mid(0, 2), (QStringList{"Image File", "Stretch to Fit"}));
    EXPECT_EQ(Captions(menu(TItemMenu::PopupMenuSymbol)).mid(0, 3), (QStringList{"Symbol", "Color", "-"}));

    auto* pattern = menu(TItemMenu::PopupMenuShape)->findChild<QMenu*>(QStringLiteral("PopupMenuShapeTransparent"));
    ASSERT_NE(pattern, nullptr);
    EXPECT_EQ(Captions(pattern),
              (QStringList{"Solid", "Clear (Transparent)", "45-degree upward hatch (left to right) ",
                           "Horizontal and vertical crosshatch", "45-degree crosshatch ",
                           "45-degree downward hatch (left to right) ", "Horizontal hatch ", "Vertical hatch"}));
    auto* lineWidth = menu(TItemMenu::PopupMenuLine)->findChild<QMenu*>(QStringLiteral("PopupMenuLineLineThickness"));
    ASSERT_NE(lineWidth, nullptr);
    EXPECT_EQ(Captions(lineWidth)[2], QStringLiteral("3 point"));
    EXPECT_EQ(Captions(lineWidth)[9], QStringLiteral("10 Point"));
    EXPECT_NE(Entry(f.designer, TItemMenu::PopupMenuText, "PopupMenuTextBringtoFont"), nullptr);
    EXPECT_NE(Entry(f.designer, TItemMenu::PopupMenuShape, "PopupMenuShapeSendtoback"), nullptr);
    EXPECT_NE(menu(TItemMenu::PopupMenuRoundRect)->findChild<QMenu*>(QStringLiteral("Pattern1")), nullptr);
    EXPECT_NE(Entry(f.designer, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRect90"), nullptr);
    EXPECT_NE(Entry(f.designer, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRectPatternDiagCross"), nullptr);
    EXPECT_TRUE(Entry(f.designer, TItemMenu::PopupMenuImage, "PopupMenuImageStretchToFit")->isCheckable());
}

TEST(ItemMenus, PropertiesButtonOpensTheSelectedItemsMenuAtItsCorner)
{
    DesignerFixture f;
    QToolButton props;
    TDesignerTools tools;
    tools.PropertiesButton = &props;
    f.designer.ConnectTools(tools);
    props.click(); // nothing selected: nothing
    for (int i = 0; i < kItemMenuCount; ++i)
        EXPECT_FALSE(f.designer.Commands().Menu(TItemMenu(i))->isVisible());

    TMoShape* rr = f.items.CreateShapeItem(2, 30, 40, 50, 20, 0, 0, 1, 20, 1);
    f.designer.AttachControl(rr);
    props.click();
    QMenu* menu = f.designer.Commands().Menu(TItemMenu::PopupMenuRoundRect);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(f.designer.Commands().PopupComponent(TItemMenu::PopupMenuRoundRect), rr);
    EXPECT_EQ(menu->pos(), f.panel.mapToGlobal(QPoint(90, 50)));
    menu->hide();

    // An entry chosen with no item for the menu and nothing selected does nothing.
    f.items.DeleteObject(rr);
    Entry(f.designer, TItemMenu::PopupMenuRoundRect, "PopupMenuRoundRectDelete")->trigger();
    EXPECT_TRUE(f.items.OrderList().empty());
}

TEST(ItemCommands, PatternsAndFillColours)
{
    DesignerFixture f;
    TMoShape* white = f.Rect(10, 10, 20, 20, 0xFFFFFF, bsSolid);
    f.designer.AttachControl(white);
    Entry(f.designer, TItemMenu::PopupMenuShape, "PopupMenuShapePatternHorizontal")->trigger();
    EXPECT_EQ(white->Brush(), (TItemBrush{bsHorizontal, 0}));

    TMoShape* red = f.Rect(50, 10, 20, 20, 0x0000FF, bsSolid);
    f.designer.AttachControl(red);
    Entry(f.designer, TItemMenu::PopupMenuShape, "PopupMenuShapePatternHorizontal")->trigger();
    EXPECT_EQ(red->Brush(), (TItemBrush{bsHorizontal, 0x0000FF}));

    // Clear becomes solid when a fill colour is chosen; a cancelled choice changes nothing.
    TMoShape* clear = f.Rect(90, 10, 20, 20, 0, bsClear);
    const int before = f.services.changes;
    f.designer.Commands().PropColor(clear);
    EXPECT_EQ(clear->Brush(), (TItemBrush{bsClear, 0}));
    EXPECT_EQ(f.services.changes, before);
    f.dialogs.color = 0xFF0000;
    f.designer.Commands().PropColor(clear);
    EXPECT_EQ(clear->Brush(), (TItemBrush{bsSolid, 0xFF0000}));
    EXPECT_EQ(f.services.changes, before + 1);

    f.designer.Commands().PropRounding(clear, 50); // not a round rectangle
    EXPECT_EQ(clear->RoundPerc(), 25);
    f.dialogs.color = 0x00FF00;
    f.designer.Commands().PropColorLine(clear);
    EXPECT_EQ(clear->Pen().Color, 0x00FF00u);
}

TEST(ItemCommands, LineThicknessFromTheLowerCaseEntry)
{
    DesignerFixture f;
    TLineShape* line = f.items.CreateLineItem(0, 10, 10, 60, 20, 0, 1);
    f.designer.AttachControl(line);
    QMenu* sub = f.designer.Commands().Menu(TItemMenu::PopupMenuLine)->findChild<QMenu*>(
        QStringLiteral("PopupMenuLineLineThickness"));
    sub->actions()[2]->trigger();
    EXPECT_EQ(line->Pen().Width, 3);
}

TEST(ItemCommands, CancelledRotationRestoresAngleAndSize)
{
    DesignerFixture f;
    Tmo3DLabel* t = f.items.CreateTextItem(QStringLiteral("Hello world"), 20, 20, 0, 0, -90,
                                           QStringLiteral("Arial"), 10, 0, true, false, false);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->Angle(), -90);
    const QSize size = t->BoundsRect().size();
    f.designer.AttachControl(t);
    const int before = f.services.changes;
    f.dialogs.previewAngles = {45, 90, 0};
    Entry(f.designer, TItemMenu::PopupMenuText, "PopupMenuTextRotation")->trigger();
    EXPECT_EQ(f.dialogs.angleShown, 270);
    EXPECT_EQ(t->Angle(), -90);
    EXPECT_EQ(t->BoundsRect().size(), size);
    EXPECT_EQ(f.services.changes, before);
    EXPECT_EQ(f.designer.Selected(), t);

    f.dialogs.angle = 90;
    f.designer.Commands().PropAngle(t);
    EXPECT_EQ(t->Angle(), 90);
    EXPECT_EQ(f.services.changes, before + 1);
}

TEST(ItemCommands, TextFontSymbolAndCounterValues)
{
    DesignerFixture f;
    Tmo3DLabel* t = f.items.CreateTextItem(QStringLiteral("A"), 20, 20, 0, 0, 0, QStringLiteral("Arial"), 10, 0,
                                           false, false, false);
    f.designer.AttachControl(t);
    const int width = t->Width();
    f.dialogs.text = QStringLiteral("A much longer text");
    Entry(f.designer, TItemMenu::PopupMenuText, "PopupMenuTextText")->trigger();
    EXPECT_EQ(t->Caption(), QStringLiteral("A much longer text"));
    EXPECT_GT(t->Width(), width);
    // The handle follows the new size.
    EXPECT_EQ(f.designer.StretchHandle1()->width(), t->Width() + 5);

    TItemFont font = t->Font();
    font.Size = 20;
    font.Color = 0x0000FF;
    f.dialogs.font = font;
    f.designer.Commands().PropFont(t);
    EXPECT_EQ(t->Font(), font);

    TSymbol* s = f.items.CreateSymbolItem(74, 80, 80, 0, 0, 18, 0);
    f.dialogs.symbol = std::make_pair(255, TColor(0xFFFFFF));
    f.designer.Commands().PropSymbol(s);
    EXPECT_EQ(s->Code(), 255);
    EXPECT_EQ(s->Font().Color, 0xFFFFFFu);

    TCounterLabel* c = f.items.CreateCounterItem(100, 100, 0, 0, 0, QStringLiteral("Arial"), 10, 0, false, false,
                                                 false, 1, 1);
    f.dialogs.counter = std::make_pair(5, 3);
    f.designer.AttachControl(c);
    Entry(f.designer, TItemMenu::PopupMenuCounter, "PopupMenuCounterCounterValues")->trigger();
    EXPECT_EQ(f.dialogs.counterShown, std::make_pair(1, 1));
    EXPECT_EQ(c->Caption(), QStringLiteral("5"));
    EXPECT_EQ(c->Tag, 3);

    c->SetCaption(QStringLiteral("12a"));
    const int asked = f.dialogs.asked;
    f.designer.Commands().PropCounterValues(c);
    EXPECT_EQ(f.dialogs.asked, asked);
    EXPECT_EQ(f.services.messages.back(), QStringLiteral("'12a' is not a valid integer value"));
}

TEST(ItemCommands, StackingOrderFollowsBringToFrontAndSendToBack)
{
    DesignerFixture f;
    TMoShape* a = f.Rect(10, 10);
    TMoShape* b = f.Rect(20, 20);
    TMoShape* c = f.Rect(30, 30);
    f.designer.Commands().PropBringToFront(a);
    EXPECT_EQ(f.items.OrderList(), (std::vector<TLabelItem*>{b, c, a}));
    EXPECT_EQ(f.panel.Model().Children().back().get(), a);
    f.designer.Commands().PropSendToBack(c);
    EXPECT_EQ(f.items.OrderList(), (std::vector<TLabelItem*>{c, b, a}));
    EXPECT_EQ(f.panel.Model().Children().front().get(), c);
}

TEST(ItemCommands, PicturesThatCannotBeReadLeaveTheImageAsItWas)
{
    DesignerFixture f;
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("logo.bmp"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(STICKWELL_TEST_DATA "/designer/logo1.bmp"), good));
    const QString bad = dir.filePath(QStringLiteral("bad.BMP"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM junk");
    file.close();

    f.dialogs.image = good;
    TImageItem* img = f.items.CreateImageItem(10, 10, 0, 0, QString(), false);
    ASSERT_NE(img, nullptr);
    const QRect box = img->BoundsRect();
    EXPECT_FALSE(box.isEmpty());

    f.dialogs.image = bad;
    const int before = f.services.changes;
    f.designer.Commands().PropImage(img);
    EXPECT_EQ(img->Hint(), good);
    EXPECT_FALSE(img->Picture().isNull());
    EXPECT_EQ(f.services.changes, before);
    EXPECT_EQ(f.services.messages.size(), 1);

    // Other types are ignored without a word.
    f.dialogs.image = dir.filePath(QStringLiteral("x.gif"));
    f.designer.Commands().PropImage(img);
    EXPECT_EQ(f.services.messages.size(), 1);

    // Stretch keeps the box; unstretched the box takes the picture's size again.
    f.designer.AttachControl(img);
    Entry(f.designer, TItemMenu::PopupMenuImage, "PopupMenuImageStretchToFit")->trigger();
    EXPECT_TRUE(img->Stretch());
    img->SetBounds(10, 10, 300, 40);
    Entry(f.designer, TItemMenu::PopupMenuImage, "PopupMenuImageStretchToFit")->trigger();
    EXPECT_FALSE(img->Stretch());
    EXPECT_EQ(img->BoundsRect(), box);
}
