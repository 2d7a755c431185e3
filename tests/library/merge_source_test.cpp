// A label's merge source is kept with the label, in its record: saved, loaded, cloned, dropped
// by a new label, and stored relative to the label table when the file lies beside it.
#include "support/Fakes.h"
#include "library/LabelLibrary.h"
#include "library/MergeSourceCommands.h"
#include "library/MergeSourceDialog.h"
#include "model/BarcodeItem.h"
#include "model/ItemText.h"
#include "model/LabelPanel.h"
#include "model/TextLabel.h"
#include "xbase/Table.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString kItems = QStringLiteral("LABELITEM=TEXT\r\nTEXT=Dear {Name}\r\nTOP=0.100\r\n");

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Headers(const QTableWidget& grid)
{
    QStringList out;
    for (int c = 0; c < grid.columnCount(); ++c)
        out << grid.horizontalHeaderItem(c)->text();
    return out;
}
} // namespace

TEST(LabelMergeSource, SavedInTheRecordAheadOfTheItemsAndReadBack)
{
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    FakeServices services;
    FakeScreen screen{services};
    FakeDialogs dialogs;
    auto lib = std::make_unique<TLabelLibrary>(services, screen, dir, &dialogs);
    ASSERT_TRUE(lib->FormActivate());
    dialogs.templateName = QStringLiteral("Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");
    lib->Commands().NewLabel();
    screen.Type(QStringLiteral("Letters"));
    screen.items = kItems;
    sw::TMergeSource source;
    source.File = sw::StoredMergePath(dir + QStringLiteral("lists/people.csv"), dir);
    source.DelimiterFixed = true;
    source.Delimiter = sw::TCsvDelimiter::Tab;
    lib->Store().CurrentLabel().MergeSource = source;
    lib->Commands().SaveButtonClick();
    EXPECT_EQ(source.File, QStringLiteral("lists/people.csv"));

    // The table keeps its 15 fields; the source heads the OBJECTS memo.
    {
        sw::xbase::Table& t = *lib->Store().Table();
        EXPECT_EQ(t.fields().size(), 15u);
        EXPECT_EQ(QString::fromStdString(t.getMemo("OBJECTS")),
                  QStringLiteral("MERGEFILE=lists/people.csv\r\nMERGEFORMAT=CSV\r\nMERGEDELIMITER=TAB\r\n") + kItems);
    }
    // Loaded again: the source comes back, the panel gets the items alone, and a second save
    // writes the same memo.
    lib->Commands().CancelButtonClick();
    EXPECT_EQ(lib->Store().CurrentLabel().MergeSource, source);
    EXPECT_EQ(screen.items, kItems);
    screen.Type(QStringLiteral("Letters"));
    lib->Commands().SaveButtonClick();
    lib->Commands().CancelButtonClick();
    EXPECT_EQ(lib->Store().CurrentLabel().MergeSource, source);
    EXPECT_EQ(screen.items, kItems);

    // A clone keeps the source; a new label starts without one.
    lib->Commands().mnuCloneLabelClick();
    EXPECT_EQ(lib->Store().CurrentLabel().MergeSource, source);
    lib->Commands().CancelButtonClick();
    lib->Commands().NewLabel();
    EXPECT_FALSE(lib->Store().CurrentLabel().MergeSource.IsSet());
}

TEST(MergeSourceDialog, ShowsTheFieldsAndFirstRecordsAndTheDelimiterCanBeChanged)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    QByteArray csv = "Name;City\n";
    for (int i = 1; i <= 12; ++i)
        csv += QStringLiteral("P%1;Town, %1\n").arg(i).toUtf8();
    WriteFile(dir + "lists/people.csv", csv);

    TMergeSourceDialog dialog(sw::TMergeSource{}, dir);
    EXPECT_FALSE(dialog.NoneButton->isEnabled());
    EXPECT_FALSE(dialog.DelimiterBox->isEnabled());
    dialog.BrowseForFile = [&] { return dir + "lists/people.csv"; };
    dialog.BrowseButton->click();
    EXPECT_EQ(dialog.FileEdit->text(), QStringLiteral("lists/people.csv"));
    EXPECT_EQ(dialog.DelimiterBox->currentText(), QStringLiteral("Semicolon"));
    EXPECT_EQ(Headers(*dialog.RecordsGrid), QStringList({"Name", "City"}));
    EXPECT_EQ(dialog.RecordsGrid->rowCount(), TMergeSourceDialog::kRecordsShown);
    EXPECT_EQ(dialog.RecordsGrid->item(0, 1)->text(), QStringLiteral("Town, 1"));
    EXPECT_EQ(dialog.SummaryLabel->text(),
              QStringLiteral("CSV file, UTF-8, semicolon-separated: 2 fields, 12 records. Fields: Name, City"));
    EXPECT_FALSE(dialog.Source().DelimiterFixed);

    // The comma makes other fields; the choice is kept with the source.
    dialog.DelimiterBox->setCurrentIndex(0);
    emit dialog.DelimiterBox->activated(0);
    EXPECT_EQ(Headers(*dialog.RecordsGrid), QStringList({"Name;City"}));
    EXPECT_EQ(dialog.RecordsGrid->item(0, 0)->text(), QStringLiteral("P1;Town"));
    EXPECT_TRUE(dialog.Source().DelimiterFixed);
    EXPECT_EQ(dialog.Source().Delimiter, sw::TCsvDelimiter::Comma);

    EXPECT_TRUE(dialog.Okbutton->isEnabled());

    // A file that cannot be read says why and is not taken; None takes the source off.
    WriteFile(dir + "bad.csv", "Name\n\"open\n");
    dialog.ChooseFile(dir + "bad.csv");
    EXPECT_EQ(dialog.SummaryLabel->text(),
              QStringLiteral("The merge source %1 cannot be read: a quote opened on line 2 is never closed").arg(dir + "bad.csv"));
    EXPECT_EQ(dialog.RecordsGrid->columnCount(), 0);
    EXPECT_FALSE(dialog.Okbutton->isEnabled());
    dialog.NoneButton->click();
    EXPECT_FALSE(dialog.Source().IsSet());
    EXPECT_TRUE(dialog.Okbutton->isEnabled());
}

// A label library in its own data directory and a design panel, as the designer has them.
class MergeSourceCommands : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    FakeServices services;
    FakeScreen screen{services};
    FakeDialogs dialogs;
    TLabelLibrary lib{services, screen, dir, &dialogs};
    TLabelPanel panel{96};

    MergeSourceCommands() { panel.SetSize(240, 96); }
};

TEST_F(MergeSourceCommands, ThePanelShowsTheFirstRecordOrTheFieldNamesAndAChosenSourceChangesTheLabel)
{
    ASSERT_TRUE(lib.FormActivate());
    WriteFile(dir + "people.csv", "Name,City\nAnn,\"Oslo\nNorway\"\nBo,Rome\n");
    auto& text = static_cast<Tmo3DLabel&>(panel.InsertItem(std::make_unique<Tmo3DLabel>()));
    text.SetCaption(QStringLiteral("{Name} of {CITY} {{"));
    TMergeSourceCommands commands(services, lib.Store(), panel);
    // Without a source texts show as they are, braces included.
    EXPECT_EQ(text.ShownCaption(), QStringLiteral("{Name} of {CITY} {{"));
    const int namesWidth = text.Width();

    commands.RunDialog = [&](TMergeSourceDialog& dialog) {
        dialog.ChooseFile(dir + "people.csv");
        return true;
    };
    commands.mnuMergeSourceClick();
    EXPECT_EQ(lib.Store().CurrentLabel().MergeSource.File, QStringLiteral("people.csv"));
    EXPECT_TRUE(services.ChangesPending());
    EXPECT_EQ(text.ShownCaption(), QStringLiteral("Ann of Oslo Norway {"));
    EXPECT_EQ(text.Caption(), QStringLiteral("{Name} of {CITY} {{"));
    EXPECT_NE(text.Width(), namesWidth); // laid out for what it shows

    commands.mnuFieldNamesClick(true);
    EXPECT_EQ(text.ShownCaption(), QStringLiteral("{Name} of {CITY} {{"));
    EXPECT_EQ(text.Width(), namesWidth);
    commands.mnuFieldNamesClick(false);
    // A cancelled dialog changes nothing.
    services.ShutOffSaveButtons();
    commands.RunDialog = [](TMergeSourceDialog& dialog) {
        dialog.NoneButton->click();
        return false;
    };
    commands.mnuMergeSourceClick();
    EXPECT_FALSE(services.ChangesPending());
    EXPECT_EQ(text.ShownCaption(), QStringLiteral("Ann of Oslo Norway {"));
}

TEST_F(MergeSourceCommands, CodesOnThePanelEncodeTheFirstRecordAndFollowItsFile)
{
    ASSERT_TRUE(lib.FormActivate());
    WriteFile(dir + "parts.csv", "Part;Name\nA-17;Bolt {M8}\nB-2;Nut\n");
    auto& code = static_cast<TBarcodeItem&>(panel.InsertItem(std::make_unique<TBarcodeItem>()));
    code.SetBounds(0, 0, 160, 60);
    code.SetData(QStringLiteral("{part}/{NAME}/{COUNTER:3}"));
    TMergeSourceCommands commands(services, lib.Store(), panel);
    EXPECT_EQ(code.Problem(), QStringLiteral("The code's data names {part}, which is not a field of the label's address list"));

    commands.RunDialog = [&](TMergeSourceDialog& dialog) {
        dialog.ChooseFile(dir + "parts.csv");
        return true;
    };
    commands.mnuMergeSourceClick();
    // One pass: the braces in a value stay braces.
    EXPECT_EQ(code.ShownData(), QStringLiteral("A-17/Bolt {M8}/001"));
    EXPECT_TRUE(code.Problem().isEmpty());
    // Bars cannot show a name, so the code keeps the values while texts show the names.
    commands.mnuFieldNamesClick(true);
    EXPECT_EQ(code.ShownData(), QStringLiteral("A-17/Bolt {M8}/001"));
    EXPECT_TRUE(code.Problem().isEmpty());
    commands.mnuFieldNamesClick(false);

    // The list edited outside the program: the code follows its new first record.
    WriteFile(dir + "parts.csv", "Part;Name\nC-300;Washer\n");
    EXPECT_EQ(code.ShownData(), QStringLiteral("C-300/Washer/001"));
    // A value the kind cannot hold is the panel's problem, as it would be the print's.
    code.SetSymbology(sw::TSymbology::Ean8);
    EXPECT_FALSE(code.Problem().isEmpty());
}
