// A label's merge source is kept with the label, in its record: saved, loaded, cloned, dropped
// by a new label, and stored relative to the label table when the file lies beside it.
#include "support/Fakes.h"
#include "library/LabelLibrary.h"
#include "model/ItemText.h"
#include "xbase/Table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString kItems = QStringLiteral("LABELITEM=TEXT\r\nTEXT=Dear {Name}\r\nTOP=0.100\r\n");
}

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
