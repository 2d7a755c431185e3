// The label commands and the states they move the main window between.
#include "support/Fakes.h"
#include "library/LabelLibrary.h"
#include "library/TemplateCatalogue.h"
#include "xbase/Table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using sw::xbase::Table;

namespace {

const QString kAddress = QStringLiteral("Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");
const QString kShipping = QStringLiteral("Avery 5163/8163 Shipping 2\" x 4\", 10 per sheet");

struct Commands : ::testing::Test {
    QTemporaryDir tmp;
    QString dir = NewDataDirectory(tmp);
    FakeServices services;
    FakeScreen screen{services};
    FakeDialogs dialogs;
    TLabelLibrary lib{services, screen, dir, &dialogs};
    TLabelCommands& cmd = lib.Commands();
    TLabelStore& store = lib.Store();

    void SetUp() override { ASSERT_TRUE(lib.FormActivate()); }

    void Save(const QString& description, const QString& tpl = kAddress)
    {
        dialogs.templateName = tpl;
        cmd.NewLabel();
        screen.Type(description);
        cmd.SaveButtonClick();
    }
    QStringList Stored() { return StoredDescriptions(*store.Table()); }
    // The label chooser moving to a description and answering OK or Cancel.
    void ChooserPicks(const QString& description, bool ok)
    {
        dialogs.chooseLabel = [description, ok](Table& t) {
            for (t.goTop(); !t.eof(); t.skip(1))
                if (sw::library::FieldText(t, "DESCRIPT") == description)
                    break;
            return ok;
        };
    }
};

} // namespace

TEST(LabelState, FollowsTheThreeFacts)
{
    EXPECT_EQ(LabelStateOf(false, false, false), lbNoLabel);
    EXPECT_EQ(LabelStateOf(true, false, false), lbClean);
    EXPECT_EQ(LabelStateOf(true, false, true), lbChanged);
    EXPECT_EQ(LabelStateOf(true, true, true), lbNew);
    EXPECT_EQ(LabelStateOf(false, true, true), lbNew);
}

TEST_F(Commands, NewLabelWithATemplateThenSave)
{
    screen.items = "old items";
    dialogs.templateName = kShipping;
    cmd.NewLabel();
    EXPECT_EQ(cmd.State(), lbNew);
    EXPECT_EQ(screen.descript, "{untitled label}");
    EXPECT_EQ(screen.items, "") << "a new label starts without items";
    EXPECT_EQ(screen.panelWidth, 384);
    EXPECT_EQ(screen.panelHeight, 192);
    EXPECT_EQ(screen.positionClears, 1);
    EXPECT_TRUE(services.saveVisible);
    cmd.SaveButtonClick();
    EXPECT_EQ(cmd.State(), lbClean);
    EXPECT_EQ(Stored(), QStringList{"{untitled label}"});
    EXPECT_FALSE(services.state.IsNewLabel);
}

TEST_F(Commands, NewLabelCancelledInTheChooserChangesNothing)
{
    Save("Kept");
    screen.items = "items";
    dialogs.templateName.clear();
    cmd.NewLabel();
    EXPECT_EQ(cmd.State(), lbClean);
    EXPECT_EQ(screen.descript, "Kept");
    EXPECT_EQ(screen.items, "items");
    EXPECT_EQ(dialogs.openedOn, kAddress) << "the chooser opens on the label's template";
}

TEST_F(Commands, SaveRefusesEmptyAndDuplicateDescriptions)
{
    Save("ADDRESS");
    dialogs.templateName = kAddress;
    cmd.NewLabel();
    screen.Type("");
    cmd.SaveButtonClick();
    EXPECT_EQ(services.messages.value(0), "Need a description please");
    screen.Type("   ");
    cmd.SaveButtonClick();
    EXPECT_EQ(services.messages.value(1), "Need a description please");
    screen.Type("address");
    cmd.SaveButtonClick();
    EXPECT_EQ(services.messages.value(2), "A label with this name already exists.\nPlease change the name");
    EXPECT_TRUE(screen.focused);
    EXPECT_EQ(cmd.State(), lbNew) << "a refused save leaves the state";
    EXPECT_EQ(Stored(), QStringList{"ADDRESS"});
    // Letters beyond a to z are not folded: these are different names.
    screen.Type(QString::fromUtf8("ADDRESSé"));
    screen.Type(QString::fromUtf8("addressé"));
    cmd.SaveButtonClick();
    EXPECT_EQ(cmd.State(), lbClean);
    EXPECT_EQ(Stored().size(), 2);

    // Cancel after a refused save of a new label goes back to the label shown before.
    ChooserPicks("ADDRESS", true);
    cmd.SelectLabel();
    dialogs.templateName = kAddress;
    cmd.NewLabel();
    screen.Type("Address");
    cmd.SaveButtonClick();
    cmd.CancelButtonClick();
    EXPECT_EQ(screen.descript, "ADDRESS");
}

TEST_F(Commands, ALabelNeverClashesWithItself)
{
    Save("Address");
    Save("Other");
    ChooserPicks("Address", true);
    cmd.SelectLabel();
    screen.Type("ADDRESS");
    cmd.SaveButtonClick();
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(Stored(), (QStringList{"ADDRESS", "Other"}));
    EXPECT_EQ(cmd.State(), lbClean);
    EXPECT_EQ(screen.descript, "ADDRESS");
}

TEST_F(Commands, DescriptionsAreComparedAsStoredCutTo30)
{
    const QString long30 = QStringLiteral("A description thirty chars lon");
    ASSERT_EQ(long30.size(), 30);
    Save(long30 + "g one");
    EXPECT_EQ(Stored(), QStringList{long30}) << "typing stops at 30";

    // Clone puts "Clone of " in front beyond the 30 typed characters; the table keeps 30.
    services.answers = {true};
    cmd.mnuCloneLabelClick();
    EXPECT_EQ(screen.descript, "Clone of " + long30);
    EXPECT_EQ(cmd.State(), lbNew);
    cmd.SaveButtonClick();
    EXPECT_EQ(Stored().last(), ("Clone of " + long30).left(30).trimmed());
    // A second clone would be stored under the same 30 characters: refused.
    ChooserPicks(long30, true);
    cmd.SelectLabel();
    services.answers = {true};
    cmd.mnuCloneLabelClick();
    cmd.SaveButtonClick();
    EXPECT_EQ(services.messages.last(), "A label with this name already exists.\nPlease change the name");
    EXPECT_EQ(Stored().size(), 2);
}

TEST_F(Commands, CloneCopiesEverythingUnderTheNewNameAndCancelReturns)
{
    Save("Original", kShipping);
    screen.items = "LABELITEM=TEXT\r\n";
    screen.Type("Original");
    cmd.SaveButtonClick();
    services.answers = {false};
    cmd.mnuCloneLabelClick();
    EXPECT_EQ(cmd.State(), lbClean) << "No leaves it";
    services.answers = {true};
    cmd.mnuCloneLabelClick();
    cmd.CancelButtonClick();
    EXPECT_EQ(screen.descript, "Original");
    EXPECT_EQ(cmd.State(), lbClean);

    services.answers = {true};
    cmd.mnuCloneLabelClick();
    cmd.SaveButtonClick();
    EXPECT_EQ(Stored(), (QStringList{"Clone of Original", "Original"}));
    EXPECT_EQ(screen.descript, "Clone of Original");
    EXPECT_EQ(store.CurrentLabel().Template, kShipping);
    EXPECT_EQ(screen.items, "LABELITEM=TEXT\r\n");
}

TEST_F(Commands, TypingBackTheOldTextStaysChanged)
{
    Save("Name");
    screen.Type("Namex");
    screen.Type("Name");
    EXPECT_EQ(cmd.State(), lbChanged);
    cmd.CancelButtonClick();
    EXPECT_EQ(cmd.State(), lbClean);
}

TEST_F(Commands, CancelThrowsAwayChangesAndNewLabelsOnAnEmptyTable)
{
    dialogs.templateName = kAddress;
    cmd.NewLabel();
    screen.items = "dropped";
    cmd.CancelButtonClick();
    EXPECT_EQ(cmd.State(), lbNoLabel);
    EXPECT_EQ(screen.descript, "");
    EXPECT_TRUE(Stored().isEmpty());

    Save("Saved");
    screen.items = "edited";
    screen.Type("Renamed");
    dialogs.templateName = kShipping;
    services.answers = {true};
    cmd.mnuConfigureLabelClick();
    EXPECT_EQ(screen.panelWidth, 384);
    cmd.CancelButtonClick();
    EXPECT_EQ(screen.descript, "Saved");
    EXPECT_EQ(screen.items, "");
    EXPECT_EQ(store.CurrentLabel().Template, kAddress);
    EXPECT_EQ(screen.panelWidth, 252);
}

TEST_F(Commands, SelectThenCancelKeepsTheLabelAndThePointer)
{
    Save("First");
    Save("Second");
    const std::uint32_t shown = store.RecNo();
    ChooserPicks("First", false);
    cmd.SelectLabel();
    EXPECT_EQ(screen.descript, "Second");
    EXPECT_EQ(store.RecNo(), shown);
    EXPECT_FALSE(services.state.InhibitReload);

    ChooserPicks("First", true);
    cmd.SelectLabel();
    EXPECT_EQ(screen.descript, "First");
    EXPECT_EQ(cmd.State(), lbClean);
}

TEST_F(Commands, DeleteAsksDefaultNoAndDeletingTheLastLabelHidesThePanels)
{
    Save("Only");
    services.answers = {false};
    cmd.mnuDeleteLabelClick();
    EXPECT_EQ(services.questions.last(), "Delete entire label?");
    EXPECT_EQ(Stored(), QStringList{"Only"});
    services.answers = {true};
    cmd.mnuDeleteLabelClick();
    EXPECT_TRUE(Stored().isEmpty());
    EXPECT_EQ(cmd.State(), lbNoLabel);
    EXPECT_EQ(screen.descript, "");
    // The record stays in the file until a rebuild.
    EXPECT_EQ(store.Table()->recCount(), 1u);
}

TEST_F(Commands, ConfigureReplacesTheTemplateAndKeepsTheItems)
{
    Save("Label");
    screen.items = "LABELITEM=TEXT\r\nLEFT=3.000\r\n";
    screen.Type("Label");
    cmd.SaveButtonClick();
    services.answers = {false};
    dialogs.templateName = kShipping;
    cmd.mnuConfigureLabelClick();
    EXPECT_EQ(store.CurrentLabel().Template, kAddress);
    services.answers = {true};
    cmd.mnuConfigureLabelClick();
    EXPECT_EQ(cmd.State(), lbChanged);
    EXPECT_EQ(store.CurrentLabel().Template, kShipping);
    EXPECT_EQ(store.CurrentLabel().Description, "Label");
    EXPECT_EQ(screen.items, "LABELITEM=TEXT\r\nLEFT=3.000\r\n");
    cmd.SaveButtonClick();
    ASSERT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(sw::library::FieldText(*store.Table(), "TEMPLATE"), kShipping);
    EXPECT_EQ(store.Table()->getString("LBLWIDTH"), "4.000");
}

TEST_F(Commands, ConfigureOnAnEmptyTableStartsANewLabel)
{
    dialogs.templateName = kAddress;
    services.answers = {true};
    cmd.mnuConfigureLabelClick();
    EXPECT_EQ(cmd.State(), lbNew);
    cmd.SaveButtonClick();
    EXPECT_EQ(Stored(), QStringList{"{untitled label}"});
}

TEST_F(Commands, AMissingCatalogueStopsNewLabel)
{
    QFile::remove(dir + "QXLTPL.DBF");
    dialogs.templateName = kAddress;
    cmd.NewLabel();
    EXPECT_EQ(services.messages, QStringList{"We were unable to open the label template file: QXLTPL.DBF"});
    EXPECT_EQ(cmd.State(), lbNoLabel);
}

TEST_F(Commands, TextTheTableCannotHoldIsRefusedAndNothingIsLost)
{
    Save("Good");
    dialogs.templateName = kAddress;
    cmd.NewLabel();
    screen.Type(QString::fromUtf8("日本"));
    cmd.SaveButtonClick();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_TRUE(services.messages[0].startsWith("Unable to save the label")) << services.messages[0].toStdString();
    EXPECT_EQ(cmd.State(), lbNew) << "still on screen to be renamed";
    EXPECT_EQ(Stored(), QStringList{"Good"});
    EXPECT_TRUE(store.Table()->check().ok());
    screen.Type("Fine");
    cmd.SaveButtonClick();
    EXPECT_EQ(Stored(), (QStringList{"Fine", "Good"}));
}
