// A barcode dropped on the label through the real dialog, typed into as a user types, and its
// command menu.
#include "DesignerFixture.h"

#include "designer/GetBarcode.h"
#include "designer/ItemCommands.h"
#include "designer/ToolDrops.h"
#include "model/BarcodeItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs steps on the dialog once it is up (the drop runs it modally).
void WhenDialogShows(const std::function<void(TGetBarcode&)>& steps)
{
    QTimer::singleShot(0, [steps] {
        TGetBarcode* dlg = nullptr;
        for (int i = 0; i < 500 && !dlg; ++i) {
            dlg = qobject_cast<TGetBarcode*>(QApplication::activeModalWidget());
            if (!dlg)
                QTest::qWait(10);
        }
        ASSERT_NE(dlg, nullptr);
        steps(*dlg);
    });
}

int DarkPixels(const QImage& img)
{
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark += qGray(img.pixel(x, y)) < 100;
    return dark;
}

// Picks the kind by its first letter and types data over what the box holds, as a user does.
void ChooseKindAndType(TGetBarcode& dlg, Qt::Key kindKey, const QString& data)
{
    dlg.SymbologyBox->setFocus();
    QTest::keyClick(dlg.SymbologyBox, kindKey);
    dlg.DataEdit->setFocus();
    QTest::keyClick(dlg.DataEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dlg.DataEdit, data);
}

// The data typed is taken: no problem shown, the code drawn, OK offered and pressed with Enter.
void ExpectCodeAndAccept(TGetBarcode& dlg)
{
    EXPECT_TRUE(dlg.ProblemLabel->text().isEmpty());
    EXPECT_TRUE(dlg.OkButton->isEnabled());
    EXPECT_GT(DarkPixels(dlg.Picture->grab().toImage()), 500);
    QTest::keyClick(dlg.DataEdit, Qt::Key_Return);
}

// The one code on the label after a drop.
TBarcodeItem* OnlyCode(DesignerFixture& f)
{
    EXPECT_EQ(f.items.OrderList().size(), 1u);
    return f.items.OrderList().size() == 1 ? dynamic_cast<TBarcodeItem*>(f.items.OrderList().back()) : nullptr;
}

} // namespace

TEST(BarcodeDrop, TheDialogRefusesDataAsItIsTypedAndTheDropMakesTheCode)
{
    DesignerFixture f;
    bool checked = false;
    WhenDialogShows([&checked](TGetBarcode& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Barcode"));
        ChooseKindAndType(dlg, Qt::Key_E, QStringLiteral("12345"));
        EXPECT_EQ(dlg.SymbologyBox->currentText(), QStringLiteral("EAN-13"));
        EXPECT_EQ(dlg.ProblemLabel->text(), QStringLiteral("EAN-13 takes 12 or 13 digits"));
        EXPECT_FALSE(dlg.OkButton->isEnabled());
        EXPECT_EQ(DarkPixels(dlg.Picture->grab().toImage()), 0);
        // Enter on refused data closes nothing.
        QTest::keyClick(dlg.DataEdit, Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        QTest::keyClicks(dlg.DataEdit, QStringLiteral("6789012"));
        checked = true;
        ExpectCodeAndAccept(dlg);
    });
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropBarcodeButton"), {30, 20});
    EXPECT_TRUE(checked);
    TBarcodeItem* code = OnlyCode(f);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->Symbology(), sw::TSymbology::Ean13);
    EXPECT_EQ(code->Data(), QStringLiteral("123456789012"));
    EXPECT_TRUE(code->ShowText());
    EXPECT_EQ(code->BoundsRect(), QRect(QPoint(30, 20), TBarcodeItem::DefaultSize(sw::TSymbology::Ean13, 96)));
    EXPECT_EQ(f.designer.Selected(), code);
    EXPECT_TRUE(code->Problem().isEmpty());

    // Cancelled, the drop makes nothing.
    WhenDialogShows([](TGetBarcode& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); });
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropBarcodeButton"), {100, 100});
    EXPECT_EQ(f.items.OrderList().size(), 1u);
}

TEST(BarcodeDrop, MenuTurnsInQuartersAndAKindTheDataDoesNotFitAsksFirst)
{
    DesignerFixture f;
    TBarcodeItem* code = f.items.CreateBarcodeItem(sw::TSymbology::Code128, QStringLiteral("ABC"), true, 10, 10,
                                                   150, 60, 0, 0);
    ASSERT_NE(code, nullptr);
    TItemCommands& commands = f.designer.Commands();
    QMenu* menu = commands.Menu(TItemMenu::PopupMenuBarcode);
    ASSERT_NE(menu, nullptr);
    auto entry = [menu](const char* name) {
        QAction* a = menu->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    f.designer.AttachControl(code);
    commands.PopupMenuHandler(TItemMenu::PopupMenuBarcode, entry("PopupMenuBarcodeAngle90"));
    EXPECT_EQ(code->Angle(), 90);
    EXPECT_EQ(code->BoundsRect(), QRect(10, 10, 60, 150));
    commands.PopupMenuHandler(TItemMenu::PopupMenuBarcode, entry("PopupMenuBarcodeShowText"));
    EXPECT_FALSE(code->ShowText());

    // "ABC" cannot be an EAN-8: the dialog opens on EAN-8, and cancelling keeps Code 128.
    WhenDialogShows([](TGetBarcode& dlg) {
        EXPECT_EQ(dlg.SymbologyBox->currentText(), QStringLiteral("EAN-8"));
        EXPECT_EQ(dlg.ProblemLabel->text(), QStringLiteral("EAN-8 takes 7 or 8 digits"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    commands.PopupMenuHandler(TItemMenu::PopupMenuBarcode, entry("PopupMenuBarcodeEAN8"));
    EXPECT_EQ(code->Symbology(), sw::TSymbology::Code128);
    // Data every kind of 2D code holds changes at once, and the box turns square.
    commands.PopupMenuHandler(TItemMenu::PopupMenuBarcode, entry("PopupMenuBarcodeQRCODE"));
    EXPECT_EQ(code->Symbology(), sw::TSymbology::QrCode);
    EXPECT_EQ(code->Width(), code->Height());
    code->SetBounds(10, 10, 100, code->Height());
    EXPECT_EQ(code->BoundsRect(), QRect(10, 10, 100, 100));
}

TEST(BarcodeDrop, DataNamingMergeFieldsIsCheckedWithTheFirstRecordsValues)
{
    DesignerFixture f;
    // What the label's address list gives the panel: its first record, fields named ignoring case.
    f.designer.Panel().Model().FieldValue = [](const QString& name) -> std::optional<QString> {
        if (name.compare(QLatin1String("SKU"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("4006381333");
        return std::nullopt;
    };
    bool checked = false;
    WhenDialogShows([&checked](TGetBarcode& dlg) {
        ChooseKindAndType(dlg, Qt::Key_E, QStringLiteral("{Part}"));
        ASSERT_EQ(dlg.SymbologyBox->currentText(), QStringLiteral("EAN-13"));
        EXPECT_EQ(dlg.ProblemLabel->text(), QStringLiteral("The code's data names {Part}, which is not a field of the label's address list"));
        EXPECT_FALSE(dlg.OkButton->isEnabled());
        QTest::keyClick(dlg.DataEdit, Qt::Key_A, Qt::ControlModifier);
        // Ten digits from the record and two from the counter make the twelve EAN-13 takes.
        QTest::keyClicks(dlg.DataEdit, QStringLiteral("{sku}{COUNTER:2}"));
        checked = true;
        ExpectCodeAndAccept(dlg);
    });
    f.designer.Drops().LabelPanelDragDrop(nullptr, QStringLiteral("DropBarcodeButton"), {30, 20});
    EXPECT_TRUE(checked);
    TBarcodeItem* code = OnlyCode(f);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->Data(), QStringLiteral("{sku}{COUNTER:2}"));
    EXPECT_EQ(code->ShownData(), QStringLiteral("400638133301"));
    EXPECT_TRUE(code->Problem().isEmpty());
    // Without the list the same code cannot be drawn, and says why.
    f.designer.Panel().Model().FieldValue = nullptr;
    EXPECT_EQ(code->Problem(), QStringLiteral("The code's data names {sku}, which is not a field of the label's address list"));
}
