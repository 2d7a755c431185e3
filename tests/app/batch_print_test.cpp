// stickwell-batch print as a script runs it: a label table made here, the program started as a
// process, the report stream or PDF it writes read back.
#include "../print/PrintSupport.h"

#include "library/TableLayouts.h"
#include "xbase/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
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

// Merge runs: the PDF read back with pdftotext -bbox, every record's text at its position, in
// order, on its sheet.
namespace {

// One word pdftotext found: its page (from 1) and box in points.
struct Word {
    int page = 0;
    double xMin = 0, yMin = 0;
    QString text;
};

QStringList Text(const QString& text, double top)
{
    return {"LABELITEM=TEXT", "TEXT=" + text, QStringLiteral("TOP=%1").arg(top, 0, 'f', 3), "LEFT=0.200",
            "WIDTH=1.000", "HEIGHT=0.200", "FONTNAME=Liberation Sans", "FONTCOLOR=0", "FONTSIZE=10",
            "FONTBOLD=N", "FONTITALIC=N", "FONTUNDER=N", "ANGLE=0", "RELATIVEX=0.000", "RELATIVEY=0.000"};
}

class BatchMerge : public BatchPrint {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        BatchPrint::SetUp();
    }

    void Write(const char* name, const QByteArray& bytes)
    {
        QFile f(dir_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    std::vector<Word> Words(const QString& pdf)
    {
        QProcess p;
        p.start("pdftotext", {"-bbox", pdf, "-"});
        EXPECT_TRUE(p.waitForFinished(60000));
        const QString html = QString::fromUtf8(p.readAllStandardOutput());
        static const QRegularExpression word(QStringLiteral(
            "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>"));
        std::vector<Word> out;
        int page = 0;
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(0).startsWith(QLatin1String("<page"))) {
                ++page;
                continue;
            }
            out.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                           m.captured(3).replace("&amp;", "&").replace("&quot;", "\"")});
        }
        return out;
    }

    // The words of the label at (page, position from 0) of the 3 x 10 letter sheet, top to
    // bottom, left to right.
    static QStringList At(const std::vector<Word>& words, int page, int position)
    {
        constexpr double left = 0.188, top = 0.5, across = 2.75, down = 1.0;
        const int row = position / 3, column = position % 3;
        const double x0 = (left + column * across) * 72, y0 = (top + row * down) * 72;
        std::vector<const Word*> in;
        for (const Word& w : words)
            if (w.page == page && w.xMin >= x0 && w.xMin < x0 + across * 72 - 4 && w.yMin >= y0
                && w.yMin < y0 + down * 72 - 2)
                in.push_back(&w);
        std::stable_sort(in.begin(), in.end(), [](const Word* a, const Word* b) {
            return std::abs(a->yMin - b->yMin) > 2 ? a->yMin < b->yMin : a->xMin < b->xMin;
        });
        QStringList out;
        for (const Word* w : in)
            out << w->text;
        return out;
    }
};

} // namespace

TEST_F(BatchMerge, CsvRecordsPrintAtTheirPositionsOnTheirSheets)
{
    // A byte-order mark, semicolons, quotes with doubled quotes, an embedded delimiter and line
    // break, an empty field, accented and non-Latin names; then enough plain rows for two sheets.
    QByteArray csv = "\xEF\xBB\xBFName;City;Zip\r\n"
                     "\"O\"\"Brien; Pat\";\"Dublin\r\nIreland\";D02\r\n"
                     "M\xC3\xBCller;K\xC3\xB6ln;\r\n"
                     "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7;\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1;105\r\n"
                     "\xE6\x9D\xB1\xE4\xBA\xAC;\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2;01001\r\n";
    for (int i = 5; i <= 32; ++i)
        csv += QStringLiteral("R%1;Town%1;%2\r\n").arg(i).arg(1000 + i).toUtf8();
    Write("addresses.csv", csv);
    // Stored relative to the table's folder.
    AddLabel("Addresses", QStringList{"MERGEFILE=addresses.csv", "MERGEFORMAT=CSV"} + Text("{Name}", 0.1)
                              + Text("{City} {ZIP}", 0.4), "LTR");
    const QString pdf = dir_.filePath("out.pdf");
    const Result r = Run({"--table", table_, "--label", "Addresses", "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const std::vector<Word> words = Words(pdf);
    EXPECT_EQ(At(words, 1, 0), QStringList({"O\"Brien;", "Pat", "Dublin", "Ireland", "D02"}));
    EXPECT_EQ(At(words, 1, 1), QStringList({QStringLiteral("M\u00fcller"), QStringLiteral("K\u00f6ln")}));
    EXPECT_EQ(At(words, 1, 2), QStringList({QStringLiteral("\u0395\u03bb\u03ad\u03bd\u03b7"),
                                            QStringLiteral("\u0391\u03b8\u03ae\u03bd\u03b1"), "105"}));
    EXPECT_EQ(At(words, 1, 3), QStringList({QStringLiteral("\u6771\u4eac"), QStringLiteral("\u041a\u0438\u0457\u0432"), "01001"}));
    for (int i = 5; i <= 30; ++i)
        EXPECT_EQ(At(words, 1, i - 1), QStringList({QStringLiteral("R%1").arg(i), QStringLiteral("Town%1").arg(i),
                                                    QString::number(1000 + i)}));
    // 32 records: the second sheet holds the last two, at its first two positions.
    EXPECT_EQ(At(words, 2, 0).first(), QStringLiteral("R31"));
    EXPECT_EQ(At(words, 2, 1).first(), QStringLiteral("R32"));
    EXPECT_TRUE(At(words, 2, 2).isEmpty());
    EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const Word& w) { return w.page == 3; }), 0);

    // --merge and --copies: each record of another file on two positions, chosen positions only.
    Write("few.csv", "name,city,zip\nAnn,Oslo,1\nBo,Rome,2\nCy,Lima,3\n");
    const QString some = dir_.filePath("some.pdf");
    const Result c = Run({"--table", table_, "--label", "Addresses", "--merge", dir_.filePath("few.csv"), "--copies", "2",
                          "--positions", "1,2;2,1;3,3", "--pdf", some});
    ASSERT_EQ(c.code, 0) << c.err.toStdString();
    const std::vector<Word> chosen = Words(some);
    EXPECT_EQ(At(chosen, 1, 1).first(), "Ann");
    EXPECT_EQ(At(chosen, 1, 3).first(), "Ann");
    EXPECT_EQ(At(chosen, 1, 8).first(), "Bo");
    EXPECT_TRUE(At(chosen, 1, 0).isEmpty());
    EXPECT_EQ(At(chosen, 2, 1).first(), "Bo");
    EXPECT_EQ(At(chosen, 2, 3), QStringList({"Cy", "Lima", "3"}));
    EXPECT_EQ(At(chosen, 2, 8).first(), "Cy");
}

TEST_F(BatchMerge, PerlWrittenTablesWithFptOrDbtMemosAreSourcesWithoutTheirDeletedRecords)
{
    if (QStandardPaths::findExecutable(QStringLiteral("perl")).isEmpty()
        || QProcess::execute("perl", {"-MXBase", "-e", "1"}) != 0)
        GTEST_SKIP() << "Perl's XBase module (libdbd-xbase-perl) is not installed";
    // A FoxPro table (FPT memos), a dBase III one (DBT memos ended by 0x1A) and a dBase IV one
    // (DBT memos with a length), the way an old address program left them: Windows-1252 text,
    // a deleted record with a memo longer than a block.
    const QString script =
        "for my $v ([0xF5, 'people', 'people.fpt'], [3, 'three'], [0x8B, 'four']) {"
        " my @memo = $v->[2] ? (memofile => $v->[2]) : ();"
        " my $t = XBase->create(name => $v->[1] . '.dbf', field_names => ['NAME','CITY','NOTE'],"
        " field_types => ['C','C','M'], field_lengths => [20,20,10], field_decimals => [0,0,0],"
        " version => $v->[0], @memo) or die XBase->errstr;"
        " $t->set_record(0, \"M\\xFCller\", \"K\\xF6ln\", \"Memo one\\r\\nsecond line\") or die;"
        " $t->set_record(1, 'Gone', 'Nowhere', 'x' x 2000) or die;"
        " $t->set_record(2, 'Bert', 'Bergen', 'Memo two') or die;"
        " $t->delete_record(1); $t->close; }";
    QProcess perl;
    perl.setWorkingDirectory(dir_.path());
    perl.start("perl", {"-MXBase", "-e", script});
    ASSERT_TRUE(perl.waitForFinished(60000));
    ASSERT_EQ(perl.exitCode(), 0) << perl.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(dir_.filePath("three.dbt")) && QFileInfo::exists(dir_.filePath("four.dbt")));
    AddLabel("People", Text("{name} {city}", 0.1) + Text("{Note}", 0.4), "LTR");
    for (const char* table : {"people.dbf", "three.dbf", "four.dbf"}) {
        SCOPED_TRACE(table);
        const QString pdf = dir_.filePath(QStringLiteral("%1.pdf").arg(table));
        const Result r = Run({"--table", table_, "--label", "People", "--merge", dir_.filePath(table), "--pdf", pdf});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const std::vector<Word> words = Words(pdf);
        EXPECT_EQ(At(words, 1, 0), QStringList({QStringLiteral("M\u00fcller"), QStringLiteral("K\u00f6ln"), "Memo", "one",
                                                "second", "line"}));
        EXPECT_EQ(At(words, 1, 1), QStringList({"Bert", "Bergen", "Memo", "two"}));
        EXPECT_TRUE(At(words, 1, 2).isEmpty());
    }
}

TEST_F(BatchMerge, BadSourcesAreRefusedWithoutWritingAnything)
{
    AddLabel("Letters", QStringList{"MERGEFILE=gone.csv", "MERGEFORMAT=CSV"} + Text("{Name}", 0.1), "LTR");
    AddLabel("Plain", Text("{Name}", 0.1), "LTR");
    Write("broken.csv", "Name,City\nAnn,Oslo\n\"Bo,Rome\nCy,Lima\n");
    Write("header.csv", "Name,City\r\n");
    Write("other.csv", "First,City\nAnn,Oslo\n");
    const QString pdf = dir_.filePath("never.pdf");
    const auto refused = [&](const QStringList& args, const QString& message) {
        const Result r = Run(QStringList{"--table", table_} + args + QStringList{"--pdf", pdf});
        EXPECT_EQ(r.code, 1) << r.err.toStdString();
        EXPECT_EQ(r.err.trimmed(), "stickwell-batch: " + message);
        EXPECT_FALSE(QFile::exists(pdf));
    };
    refused({"--label", "Letters"}, QStringLiteral("The merge source %1 does not exist").arg(dir_.filePath("gone.csv")));
    refused({"--label", "Plain", "--merge", dir_.filePath("broken.csv")},
            QStringLiteral("The merge source %1 cannot be read: a quote opened on line 3 is never closed")
                .arg(dir_.filePath("broken.csv")));
    refused({"--label", "Plain", "--merge", dir_.filePath("header.csv")}, QStringLiteral("No records to print"));
    refused({"--label", "Plain", "--merge", dir_.filePath("other.csv")},
            QStringLiteral("The field {Name} of text item 1 (\"{Name}\") is not in the merge source; its fields are: First, City"));
    refused({"--label", "Plain", "--copies", "2"},
            QStringLiteral("--copies applies to a label with a merge source (or --merge FILE)"));
}
