// The label table: creation, opening, load and save, the data-change rule, Rebuild Indexes.
#include "support/Fakes.h"
#include "library/LabelLibrary.h"
#include "library/TemplateCatalogue.h"
#include "library/TableLayouts.h"
#include "model/ItemText.h"
#include "xbase/Table.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using sw::xbase::Table;

namespace {

struct Session {
    QTemporaryDir tmp;
    QString dir;
    FakeServices services;
    FakeScreen screen{services};
    FakeDialogs dialogs;
    std::unique_ptr<TLabelLibrary> lib;

    Session() : dir(NewDataDirectory(tmp)) { Start(); }
    void Start()
    {
        lib.reset();
        services = FakeServices();
        lib = std::make_unique<TLabelLibrary>(services, screen, dir, &dialogs);
    }
    // Ends this run (closing the table) and starts the next one, as a restart of the program does.
    bool Restart()
    {
        Start();
        return lib->FormActivate();
    }
    TLabelStore& store() { return lib->Store(); }
    TLabelCommands& commands() { return lib->Commands(); }
    QString path(const char* name) const { return dir + QLatin1String(name); }

    // A label saved through the commands, as the user makes it: New, template, name, Save.
    void NewLabel(const QString& description, const QString& items = QString(),
                  const QString& templateName = QStringLiteral("Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet"))
    {
        dialogs.templateName = templateName;
        commands().NewLabel();
        screen.Type(description);
        screen.items = items;
        commands().SaveButtonClick();
    }
    QStringList Descriptions() { return StoredDescriptions(*store().Table()); }
};

} // namespace

TEST(LabelStore, FirstStartCreatesTheTableAndItsIndex)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    ASSERT_TRUE(QFileInfo::exists(s.path("QXLBLS.DBF")));
    EXPECT_TRUE(QFileInfo::exists(s.path("QXLBLS.CDX")));
    EXPECT_FALSE(s.store().HasCurrentRecord());
    EXPECT_TRUE(s.services.messages.isEmpty());
    EXPECT_FALSE(s.services.state.FirstActivation);
    EXPECT_FALSE(s.services.state.StartingUp);
    EXPECT_EQ(s.commands().State(), lbNoLabel);

    const auto& fields = s.store().Table()->fields();
    const auto expected = sw::library::LabelTableFields();
    ASSERT_EQ(fields.size(), 15u);
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i].name, expected[i].name);
        EXPECT_EQ(fields[i].type, expected[i].type) << fields[i].name;
        EXPECT_EQ(fields[i].width, expected[i].width) << fields[i].name;
        EXPECT_EQ(fields[i].decimals, expected[i].decimals) << fields[i].name;
    }
    EXPECT_EQ(s.store().Table()->tagExpression(s.store().Table()->indexOrd()), "upper(DESCRIPT)");
}

TEST(LabelStore, ASecondCopyFindsTheTableLocked)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    // The lock is the operating system's, between processes.
    const pid_t child = fork();
    if (child == 0) {
        FakeServices services;
        FakeScreen screen(services);
        FakeDialogs dialogs;
        TLabelLibrary other(services, screen, s.dir, &dialogs);
        const bool opened = other.FormActivate();
        const bool said = services.messages == QStringList{"We were unable to open the label file: QXLBLS.DBF"};
        _exit(!opened && said ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(LabelStore, ATableThatCannotBeCreatedEndsTheStart)
{
    FakeServices services;
    FakeScreen screen(services);
    FakeDialogs dialogs;
    TLabelLibrary lib(services, screen, QStringLiteral("/proc/no-such-dir/"), &dialogs);
    EXPECT_FALSE(lib.FormActivate());
    EXPECT_EQ(services.messages, QStringList{"Unable to create QXLBLS.DBF"});
}

TEST(LabelStore, SaveAndLoadKeepEverythingTheFileCanHold)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    s.NewLabel("Address", "LABELITEM=TEXT\r\nTEXT=Hello\r\n");
    ASSERT_EQ(s.commands().State(), lbClean);
    EXPECT_EQ(s.screen.panelWidth, 252);
    EXPECT_EQ(s.screen.panelHeight, 96);

    TCurrentLabel& c = s.store().CurrentLabel();
    c.LblHeight = 1.0004f;
    c.TopMarg = 2.6251f;
    c.LblShape = "RE";
    s.screen.Type("Address");
    s.commands().SaveButtonClick();
    ASSERT_EQ(s.commands().State(), lbClean) << s.services.messages.join("|").toStdString();

    Table& t = *s.store().Table();
    EXPECT_EQ(t.getString("LBLHEIGHT"), "1.000");
    EXPECT_EQ(t.getString("TOPMARG"), "2.625");
    EXPECT_EQ(t.getString("LBLWIDTH"), "2.625");
    EXPECT_EQ(t.getString("LEFTMARG"), "0.188"); // 3/16 inch: three decimals reach the file
    EXPECT_TRUE(t.isBlank("SHEETWIDTH"));
    EXPECT_TRUE(t.isBlank("SHEETDEPTH"));
    EXPECT_EQ(t.getMemo("OBJECTS"), "LABELITEM=TEXT\r\nTEXT=Hello\r\n");

    ASSERT_TRUE(s.Restart());
    const TCurrentLabel& back = s.store().CurrentLabel();
    EXPECT_EQ(back.Description, "Address");
    EXPECT_EQ(back.Template, "Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");
    EXPECT_FLOAT_EQ(back.LblHeight, 1.0f);
    EXPECT_EQ(back.NbrAcross, 3);
    EXPECT_EQ(back.NbrDown, 10);
    EXPECT_EQ(back.PaperSize, "LTR");
    EXPECT_EQ(s.screen.descript, "Address");
    EXPECT_EQ(s.screen.shape, lsEllipse);
    EXPECT_EQ(s.screen.items, "LABELITEM=TEXT\r\nTEXT=Hello\r\n");
    EXPECT_FALSE(s.services.saveVisible) << "a load is no change";
}

TEST(LabelStore, AnUnknownOutlineCodeKeepsTheOutline)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    s.NewLabel("Lower");
    for (const char* code : {"rr", "", "XX"}) {
        s.store().CurrentLabel().LblShape = QString::fromLatin1(code);
        s.screen.Type("Lower");
        s.commands().SaveButtonClick();
        s.screen.shape = lsEllipse;
        s.store().LoadFromLabelFile();
        EXPECT_EQ(s.screen.shape, lsEllipse) << code;
    }
}

TEST(LabelStore, AMissingIndexIsRebuiltSilently)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    s.NewLabel("b");
    s.NewLabel("A");
    s.NewLabel("c");
    s.lib.reset();
    ASSERT_TRUE(QFile::remove(s.path("QXLBLS.CDX")));
    ASSERT_TRUE(s.Restart());
    EXPECT_TRUE(s.services.messages.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(s.path("QXLBLS.CDX")));
    EXPECT_EQ(s.Descriptions(), (QStringList{"A", "b", "c"}));
    EXPECT_TRUE(s.store().Table()->check().ok());
}

TEST(LabelStore, StartShowsTheRememberedLabelOrTheFirstOne)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    s.NewLabel("Zebra"); // record 1
    s.NewLabel("Mango"); // record 2
    s.NewLabel("Apple"); // record 3
    s.NewLabel("Kiwi");  // record 4
    ASSERT_TRUE(s.lib->SavePreferences());

    ASSERT_TRUE(s.Restart());
    EXPECT_EQ(s.screen.descript, "Kiwi") << "LastUse names record 4";

    auto startWith = [&](const QByteArray& value) {
        QFile ini(s.path("QX.INI"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Remember]\r\nLastUse=" + value + "\r\n");
        ini.close();
        EXPECT_TRUE(s.Restart());
        return s.screen.descript;
    };
    EXPECT_EQ(startWith("0x2"), "Mango");
    EXPECT_EQ(startWith("abc"), "Apple") << "not a number: the first label";
    EXPECT_EQ(startWith("99"), "Apple") << "beyond the end: the first label";
    EXPECT_EQ(startWith("-4"), "Apple");

    // A deleted (not yet packed) record is not shown.
    startWith("1");
    ASSERT_EQ(s.screen.descript, "Zebra");
    s.services.answers = {true};
    s.commands().mnuDeleteLabelClick();
    EXPECT_EQ(s.screen.descript, "Apple");
    EXPECT_EQ(startWith("1"), "Apple");
}

TEST(LabelStore, ExitWritesTheCurrentRecordAndReportsAFileItCannotWrite)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    s.NewLabel("One");
    s.NewLabel("Two");
    ASSERT_TRUE(s.lib->SavePreferences());
    QFile ini(s.path("QX.INI"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), QByteArray("[Remember]\r\nLastUse=2\r\n"));
    ini.close();

    QFile::remove(s.path("QX.INI"));
    QDir(s.dir).mkdir("QX.INI");
    EXPECT_FALSE(s.lib->SavePreferences());
    EXPECT_EQ(s.services.messages.value(0), "Unable to write to " + s.path("QX.INI"));
}

TEST(LabelStore, RebuildPacksKeepsOrderAndStaysOnTheSameLabel)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    for (const char* name : {"e", "D", "c", "B", "a"})
        s.NewLabel(QString::fromLatin1(name));
    // Delete "D" and "c" (records 2 and 3), then show "B" (record 4).
    for (const char* name : {"D", "c"}) {
        s.dialogs.chooseLabel = [name](Table& t) {
            for (t.goTop(); !t.eof(); t.skip(1))
                if (sw::library::FieldText(t, "DESCRIPT") == QLatin1String(name))
                    return true;
            return false;
        };
        s.commands().SelectLabel();
        ASSERT_EQ(s.screen.descript, name);
        s.services.answers = {true};
        s.commands().mnuDeleteLabelClick();
    }
    s.dialogs.chooseLabel = [](Table& t) {
        for (t.goTop(); !t.eof(); t.skip(1))
            if (sw::library::FieldText(t, "DESCRIPT") == "B")
                return true;
        return false;
    };
    s.commands().SelectLabel();
    const qint64 before = QFileInfo(s.path("QXLBLS.DBF")).size();
    s.services.messages.clear();
    s.store().mnuRebuildIndexesClick();
    EXPECT_EQ(s.services.messages, QStringList{"Complete!"});
    EXPECT_LT(QFileInfo(s.path("QXLBLS.DBF")).size(), before);
    EXPECT_EQ(s.store().Table()->recCount(), 3u);
    EXPECT_EQ(s.Descriptions(), (QStringList{"a", "B", "e"}));
    EXPECT_EQ(s.screen.descript, "B") << "the label shown before the rebuild";
    EXPECT_EQ(s.store().RecNo(), 2u);
    EXPECT_TRUE(s.store().Table()->check().ok());
    EXPECT_FALSE(s.services.state.InhibitReload);

    // The catalogue was packed and indexed too.
    Table tpl(s.path("QXLTPL.DBF").toStdString(), sw::xbase::OpenMode::ReadOnly);
    EXPECT_EQ(tpl.tagExpression(tpl.tagArea("TEMPLATE")), "upper(TEMPLATE)");
}

TEST(LabelStore, RebuildWithoutTheCatalogueSaysSoAndStillCompletes)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    s.NewLabel("x");
    QFile::remove(s.path("QXLTPL.DBF"));
    s.services.messages.clear();
    s.store().mnuRebuildIndexesClick();
    EXPECT_EQ(s.services.messages,
              (QStringList{"We were unable to open the label template file: QXLTPL.DBF", "Complete!"}));
    EXPECT_EQ(s.screen.descript, "x");
}

TEST(LabelStore, ReadsATableWrittenByAnotherEngine)
{
    // 40 records, six of them deleted, index and memo file with lower-case extensions.
    Session s;
    for (const char* ext : {".DBF", ".cdx", ".fpt"}) {
        const QString from = TestData(QStringLiteral("SMALL") + QLatin1String(ext));
        ASSERT_TRUE(QFile::copy(from, s.path("QXLBLS") + QLatin1String(ext)));
        QFile::setPermissions(s.path("QXLBLS") + QLatin1String(ext), QFile::ReadOwner | QFile::WriteOwner);
    }
    ASSERT_TRUE(s.Restart());
    QFile tsv(TestData("SMALL.by-descript.tsv"));
    ASSERT_TRUE(tsv.open(QIODevice::ReadOnly));
    QStringList expected;
    tsv.readLine();
    while (!tsv.atEnd())
        expected << QString::fromUtf8(tsv.readLine()).split(u'\t').value(2);
    EXPECT_EQ(s.Descriptions(), expected);
    EXPECT_EQ(s.screen.descript, expected.first());

    s.store().mnuRebuildIndexesClick();
    EXPECT_EQ(s.store().Table()->recCount(), 34u);
    EXPECT_EQ(s.Descriptions(), expected);
}

namespace {

struct ToolRun {
    int code = -1;
    QString out;
};

ToolRun RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

} // namespace

// Item text in any language: saved, the program restarted, the label read back as it was. The
// memo is UTF-8 behind its mark; a Windows-1252 label next to it stays byte for byte as before,
// and other xBase programs still open the table and list both labels.
TEST(LabelStore, ItemTextInAnyLanguageSurvivesARestartAndOtherReadersListTheTable)
{
    Session s;
    ASSERT_TRUE(s.lib->FormActivate());
    const QString world = QString::fromUtf8("LABELITEM=TEXT\r\nTEXT=Łódź Ελλάδα Київ 東京 שלום\r\n");
    s.NewLabel("World", world);
    ASSERT_EQ(s.commands().State(), lbClean) << s.services.messages.join("|").toStdString();
    QFile fixture(QStringLiteral(STICKWELL_TEST_DATA "/model/cp1252-items.txt"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray windows = fixture.readAll();
    s.NewLabel("Windows", sw::ItemTextFromMemo(windows));
    ASSERT_EQ(s.commands().State(), lbClean) << s.services.messages.join("|").toStdString();
    const std::string raw = s.store().Table()->getRaw("OBJECTS");
    EXPECT_EQ(QByteArray(raw.data(), qsizetype(raw.size())), windows);

    ASSERT_TRUE(s.Restart());
    ASSERT_TRUE(s.store().GoToRecord(1));
    s.store().LoadFromLabelFile();
    EXPECT_EQ(s.screen.items, world);
    const std::string utf8 = s.store().Table()->getRaw("OBJECTS");
    EXPECT_EQ(utf8, "CHARSET=UTF-8\r\n" + world.toStdString());
    s.lib.reset();

    const QString dbf = s.path("QXLBLS.DBF");
    if (QFile::exists(QStringLiteral("/usr/bin/dbf_dump"))) {
        const ToolRun perl = RunTool(QStringLiteral("/usr/bin/dbf_dump"), {QStringLiteral("--fields"), QStringLiteral("DESCRIPT"), dbf});
        EXPECT_EQ(perl.code, 0) << perl.out.toStdString();
        EXPECT_TRUE(perl.out.contains("World") && perl.out.contains("Windows")) << perl.out.toStdString();
    }
    if (QFile::exists(QStringLiteral("/usr/bin/python3"))) {
        // python3-dbf decodes a memo strictly as the table's code page: UTF-8 bytes that
        // Windows-1252 leaves undefined (0x81 in "Ł") stop it reading that one memo, not the table.
        const ToolRun py = RunTool(QStringLiteral("/usr/bin/python3"),
                                   {QStringLiteral("-c"),
                                    QStringLiteral("import dbf, sys\n"
                                                   "t = dbf.Table(sys.argv[1]); t.open()\n"
                                                   "for r in t:\n"
                                                   "    try: n = len(r.objects)\n"
                                                   "    except UnicodeDecodeError: n = 'undecodable'\n"
                                                   "    print(r.descript.strip(), n)\n"),
                                    dbf});
        if (!py.out.contains("No module named")) {
            EXPECT_EQ(py.code, 0) << py.out.toStdString();
            EXPECT_TRUE(py.out.contains(QStringLiteral("Windows %1\n").arg(windows.size())) && py.out.contains("World "))
                << py.out.toStdString();
        }
    }
}
