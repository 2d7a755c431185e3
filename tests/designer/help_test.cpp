// Every item dialog names its controls' help, and its Help button has a page.
#include "../common/HelpCheck.h"
#include "designer/GetCounter.h"
#include "designer/GetSymbol.h"
#include "designer/ImageBrowse.h"
#include "designer/SetRotate.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

TEST(DialogHelp, EveryItemDialogHelpsWithEachControl)
{
    TGetCounter counter;
    ExpectControlHelp(counter, {"CancelButton", "HelpButton", "OkButton", "RepeatFor", "RepeatForLabel",
                                "StartingNumber", "StartingNumberLabel"});
    EXPECT_EQ(ExpectHelpPages(counter), QList<int>{TGetCounter::HelpContext});
    // The captions lead to the fields they name.
    EXPECT_EQ(TODSHelp::Of(&counter)->Find("RepeatForLabel"), TODSHelp::Of(&counter)->Find("RepeatFor"));

    TSetRotate rotate;
    ExpectControlHelp(rotate, {"AngleSpin", "AngleSpinLabel", "CancelButton", "HelpButton", "OkButton"});
    EXPECT_EQ(ExpectHelpPages(rotate), QList<int>{TSetRotate::HelpContext});

    TGetSymbol symbol;
    ExpectControlHelp(symbol, {"CancelButton", "ColorButton", "HelpButton", "OkButton", "SymbolList"});
    EXPECT_EQ(ExpectHelpPages(symbol), QList<int>{TGetSymbol::HelpContext});

    TImageBrowse image;
    ExpectControlHelp(image, {"CancelButton", "DirectoryListBox", "DriveComboBox", "FileListBox", "HelpButton",
                              "Image1", "ImageScrollbox", "OkButton"});
    EXPECT_EQ(ExpectHelpPages(image), QList<int>{TImageBrowse::HelpContext});
}

TEST(DialogHelp, PointerButtonStartsHelpModeOnItsDialog)
{
    TSetRotate rotate;
    rotate.show();
    auto* pointer = rotate.findChild<QToolButton*>("MouseHelpButton");
    ASSERT_NE(pointer, nullptr);
    pointer->click();
    TODSHelp* help = TODSHelp::Of(&rotate);
    EXPECT_TRUE(help->InHelpMode());
    QTest::mouseClick(rotate.AngleSpinLabel, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(help->InHelpMode());
    ASSERT_NE(TODSHelpPopup::Existing(), nullptr);
    EXPECT_TRUE(TODSHelpPopup::Existing()->isVisible());
    EXPECT_EQ(TODSHelpPopup::Existing()->Text(), help->Find("AngleSpin")->Text);
    TODSHelpPopup::Existing()->hide();
}
