// The supplied catalogue, the template chooser and the label chooser.
#include "support/Fakes.h"
#include "library/SelectLabel.h"
#include "library/SelectTemplate.h"
#include "library/TableGridModel.h"
#include "library/TableLayouts.h"
#include "library/TemplateCatalogue.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

using sw::xbase::Table;

namespace {

std::vector<TTemplateValues> AllTemplates(Table& t)
{
    std::vector<TTemplateValues> out;
    for (t.goTop(); !t.eof(); t.skip(1))
        out.push_back(sw::library::ReadTemplate(t));
    return out;
}

bool Near(float a, double b)
{
    return std::fabs(a - b) < 0.0015;
}

struct Chooser : ::testing::Test {
    QTemporaryDir tmp;
    QString dir = NewDataDirectory(tmp);
    FakeServices services;
    std::unique_ptr<Table> table = sw::library::OpenTemplateTable(dir);

    std::unique_ptr<TSelectTemplate> Open(const QString& current)
    {
        auto dlg = std::make_unique<TSelectTemplate>(services, *table, current);
        dlg->show();
        return dlg;
    }
    int Row(TSelectTemplate& d) { return d.LabelGrid->currentIndex().row(); }
    void SelectNamed(TSelectTemplate& d, const QString& name)
    {
        for (int r = 0; r < d.Model()->rowCount(); ++r)
            if (d.Model()->index(r, 0).data().toString() == name) {
                d.LabelGrid->setCurrentIndex(d.Model()->index(r, 0));
                return;
            }
        FAIL() << name.toStdString();
    }
};

} // namespace

TEST(Catalogue, HoldsTheCommonStocksEachFittingItsSheet)
{
    Table t(STICKWELL_BIN_DIR "/QXLTPL.DBF", sw::xbase::OpenMode::ReadOnly);
    ASSERT_TRUE(t.check().ok());
    ASSERT_EQ(t.tagExpression(t.tagArea("TEMPLATE")), "upper(TEMPLATE)");
    t.setOrder(t.tagArea("TEMPLATE"));
    const auto all = AllTemplates(t);
    EXPECT_GE(all.size(), 40u);

    // height, width, across, down, paper
    struct Want { double h, w; int across, down; const char* paper; };
    const double mm = 1 / 25.4;
    const Want wanted[] = {
        {1, 2.625, 3, 10, "LTR"}, {1, 4, 2, 10, "LTR"}, {1.333, 4, 2, 7, "LTR"}, {2, 4, 2, 5, "LTR"},
        {3.333, 4, 2, 3, "LTR"}, {0.5, 1.75, 4, 20, "LTR"}, {5.5, 8.5, 1, 2, "LTR"},
        {0.667, 3.4375, 2, 15, "LTR"}, {2.333, 3.375, 2, 4, "LTR"}, {2, 2, 3, 4, "LTR"}, {2.5, 2.5, 3, 4, "LTR"},
        {38.1 * mm, 63.5 * mm, 3, 7, "A4"}, {38.1 * mm, 99.1 * mm, 2, 7, "A4"}, {33.9 * mm, 63.5 * mm, 3, 8, "A4"},
        {21.2 * mm, 38.1 * mm, 5, 13, "A4"}, {57 * mm, 99.1 * mm, 2, 5, "A4"}, {37 * mm, 70 * mm, 3, 8, "A4"},
        {148 * mm, 105 * mm, 2, 2, "A4"}, {40 * mm, 40 * mm, 4, 6, "A4"}, {210 * mm, 148 * mm, 1, 1, "A5"},
    };
    for (const Want& w : wanted) {
        const bool found = std::any_of(all.begin(), all.end(), [&](const TTemplateValues& v) {
            return Near(v.LblHeight, w.h) && Near(v.LblWidth, w.w) && v.NbrAcross == w.across &&
                   v.NbrDown == w.down && v.PaperSize == QLatin1String(w.paper);
        });
        EXPECT_TRUE(found) << w.h << " x " << w.w << " " << w.across << "x" << w.down << " " << w.paper;
    }
    std::set<QString> shapes, papers;
    for (const auto& v : all) {
        shapes.insert(v.LblShape);
        papers.insert(v.PaperSize);
        EXPECT_FALSE(v.UserDef) << v.Description.toStdString();
        EXPECT_LE(v.Description.size(), 60);
        // Round stocks are round; the rest are not.
        EXPECT_EQ(v.LblShape == "RE", v.Description.contains("Round")) << v.Description.toStdString();
    }
    EXPECT_EQ(shapes, (std::set<QString>{"RR", "RE", "SR"}));
    EXPECT_EQ(papers, (std::set<QString>{"LTR", "LTRL", "A4", "A4L", "A5", "USER"}));
    // In name order, ignoring case.
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_LE(sw::library::UpperAZ(all[i - 1].Description), sw::library::UpperAZ(all[i].Description));
}

TEST_F(Chooser, OpensOnTheExactNameElseOnTheLast)
{
    const QString name = QStringLiteral("Avery 5163/8163 Shipping 2\" x 4\", 10 per sheet");
    auto d = Open(name);
    EXPECT_EQ(d->windowTitle(), "Select Label Template");
    EXPECT_EQ(d->Model()->index(Row(*d), 0).data().toString(), name);
    EXPECT_EQ(d->Selected()->Description, name);

    auto lower = Open(name.toLower());
    EXPECT_EQ(Row(*lower), lower->Model()->rowCount() - 1) << "case counts";
    auto none = Open(QString());
    EXPECT_EQ(Row(*none), none->Model()->rowCount() - 1);

    const QStringList titles = {"Description", "Height", "Width", "# Across", "# Down"};
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(d->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
}

TEST_F(Chooser, StockTemplatesCannotBeEditedOrDeleted)
{
    auto d = Open(QString());
    int editorRuns = 0;
    d->SetEditorRunner([&](const TTemplateValues& v, const QString&) {
        ++editorRuns;
        return std::optional<TTemplateValues>(v);
    });
    d->EditButtonClick();
    d->DeleteButtonClick();
    EXPECT_EQ(services.messages, (QStringList{"You may only edit User Defined Templates",
                                              "You may only delete User Defined Templates"}));
    EXPECT_EQ(editorRuns, 0);
    EXPECT_TRUE(services.questions.isEmpty());
}

TEST_F(Chooser, NewCopiesTheSelectedTemplateAsTheUsersOwn)
{
    // A 55-character name: "Copy of " makes it 63, stored as 60.
    const QString longName = QStringLiteral("Avery 5162/8162 Address 1-1/3\" x 4\", 14 per sheet");
    table->appendBlank();
    TTemplateValues base;
    base.Description = longName + QStringLiteral("xxxxxx");
    ASSERT_EQ(base.Description.size(), 55);
    base.LblHeight = 1.333f;
    base.LblWidth = 4;
    base.NbrAcross = 2;
    base.NbrDown = 7;
    base.PaperSize = "USER";
    base.LblShape = "SR";
    sw::library::WriteTemplate(*table, base);
    table->putRecord();

    auto d = Open(base.Description);
    QString caption, startName;
    d->SetEditorRunner([&](const TTemplateValues& v, const QString& c) {
        caption = c;
        startName = v.Description;
        return std::optional<TTemplateValues>(v);
    });
    const int before = d->Model()->rowCount();
    d->NewButtonClick();
    EXPECT_EQ(caption, "Create Label Template");
    EXPECT_EQ(startName, "Copy of " + base.Description);
    EXPECT_EQ(d->Model()->rowCount(), before + 1);
    const auto made = d->Selected();
    ASSERT_TRUE(made);
    EXPECT_EQ(made->Description, ("Copy of " + base.Description).left(60));
    EXPECT_TRUE(made->UserDef);
    EXPECT_EQ(made->PaperSize, "USER");
    EXPECT_FLOAT_EQ(made->LblHeight, 1.333f);

    // The user's own template: editable, then deletable (after Yes).
    d->SetEditorRunner([&](const TTemplateValues& v, const QString& c) {
        caption = c;
        TTemplateValues e = v;
        e.Description = "Mine";
        e.LblWidth = 3.5f;
        return std::optional<TTemplateValues>(e);
    });
    d->EditButtonClick();
    EXPECT_EQ(caption, "Edit Label Template");
    ASSERT_TRUE(d->Selected());
    EXPECT_EQ(d->Selected()->Description, "Mine");
    EXPECT_FLOAT_EQ(d->Selected()->LblWidth, 3.5f);
    EXPECT_TRUE(d->Selected()->UserDef);

    services.answers = {false};
    d->DeleteButtonClick();
    EXPECT_EQ(d->Model()->rowCount(), before + 1);
    services.answers = {true};
    d->DeleteButtonClick();
    EXPECT_EQ(services.questions.last(), "Delete this Label Template?");
    EXPECT_EQ(d->Model()->rowCount(), before);
    for (int r = 0; r < d->Model()->rowCount(); ++r)
        EXPECT_NE(d->Model()->index(r, 0).data().toString(), "Mine");
    EXPECT_TRUE(table->check().ok());
}

TEST_F(Chooser, AValueTheTableCannotHoldIsRefusedWithoutAddingARecord)
{
    auto d = Open(QString());
    d->SetEditorRunner([](const TTemplateValues& v, const QString&) {
        TTemplateValues e = v;
        e.LblWidth = 150; // beyond N(6,3)
        return std::optional<TTemplateValues>(e);
    });
    const int before = d->Model()->rowCount();
    d->NewButtonClick();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_TRUE(services.messages[0].startsWith("Unable to save the template"));
    EXPECT_EQ(d->Model()->rowCount(), before);
}

TEST_F(Chooser, InsertDoesNothingAndOkOnAnEmptyCatalogueChoosesNothing)
{
    auto d = Open(QString());
    const int rows = d->Model()->rowCount();
    QTest::keyClick(d->LabelGrid, Qt::Key_Insert);
    EXPECT_EQ(d->Model()->rowCount(), rows);

    for (table->goTop(); !table->eof(); table->goTop())
        table->deleteRecord();
    auto empty = Open(QString());
    EXPECT_EQ(empty->Model()->rowCount(), 0);
    EXPECT_FALSE(empty->Selected());
    empty->accept();
    EXPECT_EQ(empty->result(), QDialog::Rejected);
}

TEST(LabelChooser, GridRowsAreTheVisibleLabelsAndMovingMovesThePointer)
{
    QTemporaryDir tmp;
    for (const char* ext : {".DBF", ".cdx", ".fpt"}) {
        QFile::copy(TestData(QStringLiteral("SMALL") + QLatin1String(ext)), tmp.filePath(QStringLiteral("L") + QLatin1String(ext)));
        QFile::setPermissions(tmp.filePath(QStringLiteral("L") + QLatin1String(ext)), QFile::ReadOwner | QFile::WriteOwner);
    }
    Table t(tmp.filePath("L.DBF").toStdString());
    t.setDeleted(true);
    t.setOrder(t.tagArea("DESCRIPT"));
    const QStringList expected = StoredDescriptions(t);
    t.goTop();
    t.skip(5);
    const std::uint32_t shown = t.recNo();

    TSelectLabel d(t);
    EXPECT_EQ(d.windowTitle(), "Select Label");
    EXPECT_EQ(d.LabelsGrid->currentIndex().row(), 5) << "opens on the current label";
    TTableGridModel& m = *d.Model();
    ASSERT_EQ(m.rowCount(), 34);
    for (int r = 0; r < m.rowCount(); ++r)
        EXPECT_EQ(m.index(r, 0).data().toString(), expected[r]);
    EXPECT_EQ(m.index(0, 1).data().toString(), "1.000");
    EXPECT_EQ(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Height \"");
    // Read from the far end and back: rows stay right whichever way the moves go.
    EXPECT_EQ(m.index(33, 0).data().toString(), expected[33]);
    EXPECT_EQ(m.index(2, 0).data().toString(), expected[2]);
    EXPECT_EQ(m.RowOf(shown), 5);

    d.show();
    d.LabelsGrid->setCurrentIndex(m.index(9, 0));
    m.index(20, 0).data(); // a repaint reads other rows
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(sw::library::FieldText(t, "DESCRIPT"), expected[9]);
}

TEST_F(Chooser, FindAsYouTypeKeepsTheCurrentTemplateWhenItMatches)
{
    const QString name = QStringLiteral("Avery 5163/8163 Shipping 2\" x 4\", 10 per sheet");
    auto d = Open(name);
    const int all = d->Model()->rowCount();
    EXPECT_TRUE(d->FindEdit->hasFocus() || !d->isActiveWindow());
    auto shown = [&] {
        QStringList names;
        for (int r = 0; r < d->Model()->rowCount(); ++r)
            names << d->Model()->index(r, 0).data().toString();
        return names;
    };
    auto current = [&] { return d->Model()->index(Row(*d), 0).data().toString(); };

    QTest::keyClicks(d->FindEdit, QStringLiteral("avery"));
    EXPECT_LT(d->Model()->rowCount(), all);
    for (const QString& n : shown())
        EXPECT_TRUE(n.contains("Avery")) << n.toStdString();
    EXPECT_EQ(current(), name) << "the current template matches: it stays selected";
    EXPECT_EQ(d->Selected()->Description, name);

    // Every word must be in the name, in any order; a template that does not match gives way
    // to the first that does.
    QTest::keyClicks(d->FindEdit, QStringLiteral(" 30 5160"));
    ASSERT_GE(d->Model()->rowCount(), 1);
    for (const QString& n : shown())
        EXPECT_TRUE(n.contains("5160") && n.contains("30")) << n.toStdString();
    EXPECT_EQ(Row(*d), 0);
    const QString found = current();
    EXPECT_EQ(d->Selected()->Description, found);

    // The grid's keys work from the find line; Enter is OK.
    d->FindEdit->setText(QStringLiteral("avery"));
    const int row = Row(*d);
    QTest::keyClick(d->FindEdit, Qt::Key_Down);
    EXPECT_EQ(Row(*d), row + 1);
    QTest::keyClick(d->FindEdit, Qt::Key_Up);
    EXPECT_EQ(Row(*d), row);

    d->FindEdit->setText(QStringLiteral("no such stock"));
    EXPECT_EQ(d->Model()->rowCount(), 0);
    EXPECT_FALSE(d->Selected());
    d->FindEdit->clear();
    EXPECT_EQ(d->Model()->rowCount(), all);
    ASSERT_TRUE(d->Selected());

    d->FindEdit->setText(QStringLiteral("5163"));
    QTest::keyClick(d->FindEdit, Qt::Key_Return);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->Selected()->Description, name);
}

TEST_F(Chooser, NewAndImportedTemplatesAreShownAndSelectedWhateverTheFindLineHolds)
{
    auto d = Open(QString());
    d->FindEdit->setText(QStringLiteral("avery"));
    d->SetEditorRunner([](const TTemplateValues& v, const QString&) {
        TTemplateValues e = v;
        e.Description = QStringLiteral("Mine");
        return std::optional<TTemplateValues>(e);
    });
    d->NewButtonClick();
    EXPECT_EQ(d->FindEdit->text(), "") << "\"Mine\" does not hold \"avery\"";
    EXPECT_EQ(d->Selected()->Description, "Mine");

    d->FindEdit->setText(QStringLiteral("avery"));
    const int shown = d->Model()->rowCount();
    d->SetImportRunner([](Table& t) {
        TTemplateValues v;
        v.Description = QStringLiteral("Avery 9999 Imported 2\" x 1\"");
        v.LblWidth = 2;
        v.LblHeight = 1;
        v.UserDef = true;
        t.appendBlank();
        sw::library::WriteTemplate(t, v);
        t.putRecord();
        return t.recNo();
    });
    d->ImportButtonClick();
    EXPECT_EQ(d->FindEdit->text(), "avery");
    EXPECT_EQ(d->Model()->rowCount(), shown + 1);
    EXPECT_EQ(d->Selected()->Description, "Avery 9999 Imported 2\" x 1\"");

    // Deleting under a filter: the next row shown is selected.
    const int row = Row(*d);
    d->DeleteButtonClick();
    EXPECT_EQ(d->Model()->rowCount(), shown);
    EXPECT_EQ(Row(*d), std::min(row, shown - 1));
    EXPECT_TRUE(table->check().ok());
}
