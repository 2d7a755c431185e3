// stickwell-batch print as a script runs it: a label table made here, the program started as a
// process, the report stream or PDF it writes read back.
#include "../print/PrintSupport.h"

#include "library/TableLayouts.h"
#include "xbase/Table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

struct Result {
    int code = -1;
    QString err;
};

class BatchPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        table_ = dir_.filePath("QXLBLS.DBF");
        xbase::Table::create(table_.toStdString(), library::LabelTableFields());
        AddLabel("Weekly Labels", Rectangle(0.1, 0.05) + CounterItem(1, 1, 1.5), "LTR");
        AddLabel("Broken", {"LABELITEM=RECTANGLE", "TOP=0.1", "LEFT=1,5"}, "LTR");
    }

    void AddLabel(const QString& description, const QStringList& items, const char* paper)
    {
        xbase::Table t(table_.toStdString(), xbase::OpenMode::Exclusive);
        t.appendBlank();
        t.putString("DESCRIPT", description.toStdString());
        t.putString("TEMPLATE", "Avery 5160");
        t.putNumber("LBLHEIGHT", 1.0);
        t.putNumber("LBLWIDTH", 2.625);
        t.putNumber("NBRACROSS", 3);
        t.putNumber("NBRDOWN", 10);
        t.putNumber("TOPMARG", 0.5);
        t.putNumber("LEFTMARG", 0.1875);
        t.putNumber("HORIZPITCH", 2.75);
        t.putNumber("VERTPITCH", 1.0);
        t.putString("PAPERSIZE", paper);
        t.putString("LBLSHAPE", "RR");
        t.putMemo("OBJECTS", items.join("\r\n").toStdString() + "\r\n");
        t.putRecord();
        t.close();
    }

    Result Run(QStringList args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", dir_.path());
        p.setProcessEnvironment(env);
        args.prepend("print");
        p.start(QStringLiteral(STICKWELL_BIN_DIR "/stickwell-batch"), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
    }

    QByteArray Stream(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return f.readAll();
    }

    QTemporaryDir dir_;
    QString table_;
};

} // namespace

TEST_F(BatchPrint, WritesTheSameRunAsTheMenuIntoAStreamAndAPdf)
{
    const QString rps = dir_.filePath("out.rps");
    const Result r = Run({"--table", table_, "--label", "weekly labels", "--sheets", "2", "--pdf",
                          dir_.filePath("unused.pdf"), "--stream", rps});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const Replayed out = ReadStream(Stream(rps));
    EXPECT_EQ(out.pages, 2);
    const std::vector<Drawn> rects = out.OfCode(rps::Rectangle);
    ASSERT_EQ(rects.size(), 60u);
    // The table keeps three decimals: the left margin 0.1875 is stored as 0.188.
    EXPECT_NEAR(rects[7].at.x(), 0.188 + 2.75 + 0.1, 1e-4);
    EXPECT_NEAR(rects[7].at.y(), 2.55, 1e-4);
    EXPECT_EQ(out.Texts(2).first(), QStringLiteral("31"));
    EXPECT_FALSE(QFile::exists(dir_.filePath("unused.pdf")));

    const QString pdf = dir_.filePath("labels.pdf");
    const Result p = Run({"--table", table_, "--label", "Weekly Labels", "--pdf", pdf});
    ASSERT_EQ(p.code, 0) << p.err.toStdString();
    EXPECT_EQ(Stream(pdf).count("/Type /Page\n"), 1);
}

TEST_F(BatchPrint, PositionsAreRowColumnPairsAsTheChooserNamesThem)
{
    const QString rps = dir_.filePath("some.rps");
    const Result r = Run({"--table", table_, "--label", "Weekly Labels", "--positions", "2,1;1,3",
                          "--pdf", dir_.filePath("x.pdf"), "--stream", rps});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const Replayed out = ReadStream(Stream(rps));
    const std::vector<Drawn> rects = out.OfCode(rps::Rectangle);
    ASSERT_EQ(rects.size(), 2u);
    // Row 1, column 3 comes first (rows top to bottom), then row 2, column 1.
    EXPECT_NEAR(rects[0].at.x(), 0.188 + 2 * 2.75 + 0.1, 1e-4);
    EXPECT_NEAR(rects[1].at.y(), 0.5 + 1.0 + 0.05, 1e-4);
    EXPECT_EQ(out.Texts(), QStringList({"1", "2"}));
}

TEST_F(BatchPrint, ProblemsGiveOneLineAndExitOneAndBadUsageExitsTwo)
{
    const QString pdf = dir_.filePath("p.pdf");
    Result r = Run({"--table", table_, "--label", "Nothing like it", "--pdf", pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("no label with the description \"Nothing like it\"")) << r.err.toStdString();

    r = Run({"--table", table_, "--label", "Broken", "--pdf", pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Line 3 of the label's item text: '1,5' is not a valid floating point value"))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    r = Run({"--table", dir_.filePath("MISSING.DBF"), "--label", "Broken", "--pdf", pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();

    r = Run({"--table", table_, "--label", "Weekly Labels", "--positions", "11,1", "--pdf", pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("position 11,1 is not on the sheet")) << r.err.toStdString();

    r = Run({"--table", table_, "--label", "Weekly Labels", "--printer", "No Such Queue 42"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("no printer named")) << r.err.toStdString();

    EXPECT_EQ(Run({"--table", table_}).code, 2);
    EXPECT_EQ(Run({"--table", table_, "--label", "x", "--sheets", "0"}).code, 2);
    EXPECT_EQ(Run({"--table", table_, "--label", "x", "--positions", "1;2"}).code, 2);
    EXPECT_EQ(Run({"--table", table_, "--label", "x", "--pdf", pdf, "--printer", "y"}).code, 2);
}

TEST_F(BatchPrint, ATableTheProgramHoldsIsRefusedWithTheReason)
{
    xbase::Table held(table_.toStdString(), xbase::OpenMode::Exclusive);
    const Result r = Run({"--table", table_, "--label", "Weekly Labels", "--pdf", dir_.filePath("p.pdf")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("open in Stickwell")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);
}
