// Tables written by another xBase engine: read them exactly as that engine does, and keep
// their indexes sound while changing them.

#include "XbaseTestUtil.h"

#include "xbase/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace sw::xbase;
using xbtest::TempDir;

namespace {

xbtest::RunResult tool(const std::string& args) { return xbtest::run(xbtest::tool() + " " + args); }

std::string dropRecnos(const std::string& tsv) {
    std::string out;
    std::size_t start = 0;
    while (start < tsv.size()) {
        std::size_t end = tsv.find('\n', start);
        const std::string line = tsv.substr(start, end - start);
        out += line.substr(line.find('\t')) + "\n";
        start = end + 1;
    }
    return out;
}

}  // namespace

TEST(XbaseFixtures, DumpsMatchTheOtherEngineByteForByte) {
    TempDir dir;
    for (const char* base : {"SMALL", "LARGE", "EDITED", "TPL"}) xbtest::copyFixture(dir, base);
    const std::map<std::string, std::string> dumps = {
        {"SMALL.DBF --tag DESCRIPT", "SMALL.by-descript.tsv"},
        {"LARGE.DBF --tag DESCRIPT", "LARGE.by-descript.tsv"},
        {"EDITED.DBF --tag descript --deleted", "EDITED.by-descript-all.tsv"},
        {"TPL.DBF --tag TEMPLATE", "TPL.by-template.tsv"},
        {"SMALL.DBF --deleted", "SMALL.natural-with-deleted.tsv"},
    };
    for (const auto& [args, expected] : dumps) {
        const auto r = tool("dump " + dir.file(args));
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_TRUE(r.out == xbtest::readFile(xbtest::fixture(expected))) << args << " differs from " << expected;
    }
    for (const char* base : {"SMALL", "LARGE", "EDITED", "TPL"}) {
        const auto r = tool("check " + dir.file(std::string(base) + ".DBF"));
        EXPECT_EQ(r.status, 0) << base << ": " << r.out;
        EXPECT_EQ(r.out.substr(0, 3), "ok ") << base;
    }
    EXPECT_EQ(tool("check " + dir.file("LARGE.DBF")).out, "ok 5000 records\n");
}

TEST(XbaseFixtures, ForeignIndexStaysSoundThroughAppendsEditsAndDeletes) {
    TempDir dir;
    xbtest::copyFixture(dir, "EDITED");
    const std::string path = dir.file("EDITED.DBF");
    {
        Table t(path);
        EXPECT_EQ(t.tagNames(), std::vector<std::string> {"DESCRIPT"});
        EXPECT_EQ(t.indexName(), dir.file("EDITED.cdx"));
        EXPECT_TRUE(t.hasMemoFile());
        t.setOrder(1);
        for (int i = 0; i < 600; ++i) {
            t.appendBlank();
            t.putString("DESCRIPT", (i % 2 ? "LABEL " : "label ") + std::to_string(i * 37 % 4000));
            t.putMemo("OBJECTS", std::string(static_cast<std::size_t>(i % 150), 'q'));
            t.putRecord();
        }
        for (std::uint32_t r = 5; r <= 3600; r += 11) {
            t.go(r);
            t.putString("DESCRIPT", "edited " + std::to_string(r % 97));
            t.putRecord();
        }
        for (std::uint32_t r = 2; r <= 3600; r += 29) {
            t.go(r);
            t.deleteRecord();
        }
        const CheckResult c = t.check();
        ASSERT_TRUE(c.ok()) << c.problems.front();
    }
    // The listing by tag equals a sort of the records by upper-cased description.
    Table t(path, OpenMode::ReadOnly);
    std::vector<std::pair<std::string, std::uint32_t>> expected, got;
    for (t.goTop(); !t.eof(); t.skip(1)) {
        std::string k = t.getRaw("DESCRIPT");
        for (char& c : k)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        expected.emplace_back(k, t.recNo());
    }
    std::sort(expected.begin(), expected.end());
    t.setOrder(1);
    for (t.goTop(); !t.eof(); t.skip(1)) {
        std::string k = t.getRaw("DESCRIPT");
        for (char& c : k)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        got.emplace_back(k, t.recNo());
    }
    EXPECT_EQ(got.size(), 3600u);
    EXPECT_EQ(got, expected);
}

TEST(XbaseFixtures, PackKeepsTheVisibleRecordsInTagOrder) {
    TempDir dir;
    xbtest::copyFixture(dir, "LARGE");
    const std::string path = dir.file("LARGE.DBF");
    const auto fptBefore = xbtest::readFile(dir.file("LARGE.fpt")).size();
    ASSERT_EQ(tool("pack " + path).status, 0);
    EXPECT_EQ(tool("check " + path).out, "ok 4286 records\n");
    EXPECT_LT(xbtest::readFile(dir.file("LARGE.fpt")).size(), fptBefore);
    EXPECT_EQ(dropRecnos(tool("dump " + path + " --tag DESCRIPT").out),
              dropRecnos(xbtest::readFile(xbtest::fixture("LARGE.by-descript.tsv"))));
    // The same again after the index was rebuilt from the table alone.
    ASSERT_EQ(tool("reindex " + path).status, 0);
    EXPECT_EQ(dropRecnos(tool("dump " + path + " --tag DESCRIPT --deleted").out),
              dropRecnos(xbtest::readFile(xbtest::fixture("LARGE.by-descript.tsv"))));
}

TEST(XbaseFixtures, ApiReadsForeignValuesAndSeeksByteKeys) {
    Table t(xbtest::fixture("SMALL.DBF"), OpenMode::ReadOnly);
    EXPECT_EQ(t.recCount(), 40u);
    EXPECT_EQ(t.fields().size(), 15u);
    t.go(1);
    EXPECT_EQ(t.getTrimString("DESCRIPT"), "apple 9988.00");
    EXPECT_EQ(t.getString("LEFTMARG"), "0.188");
    EXPECT_FLOAT_EQ(static_cast<float>(t.getNumber("LBLWIDTH")), 2.625f);
    EXPECT_EQ(t.getString("SHEETWIDTH"), "");
    t.go(2);
    EXPECT_EQ(t.getMemo("OBJECTS").substr(0, 16), "LABELITEM=TEXT\r\n");
    t.go(3);
    EXPECT_TRUE(t.deleted());

    Table large(xbtest::fixture("LARGE.DBF"), OpenMode::ReadOnly);
    large.setOrder(large.tagArea("DESCRIPT"));
    // Keys keep the bytes of "É" (UTF-8 in a Windows-1252 table) and sort by them, last.
    ASSERT_TRUE(large.seek("\xC3\x83\xE2\x80\xB0"));  // the bytes C3 89 read as Windows-1252
    EXPECT_EQ(large.getRaw("DESCRIPT").substr(0, 2), "\xC3\x89");
    EXPECT_TRUE(large.seek("SPICE"));
    EXPECT_EQ(large.getTrimString("DESCRIPT").substr(0, 5), "spice");
}

TEST(XbaseTool, ReportsProblemsAndUnreadableFilesWithItsExitCodes) {
    TempDir dir;
    xbtest::copyFixture(dir, "SMALL");
    const std::string path = dir.file("SMALL.DBF");
    std::string dbf = xbtest::readFile(path);
    dbf[dbf.find("apple")] = 'X';  // record 1's key no longer matches the index
    xbtest::writeFile(path, dbf);
    auto r = tool("check " + path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "tag DESCRIPT holds a wrong key for record 1\n");
    ASSERT_EQ(tool("reindex " + path).status, 0);
    EXPECT_EQ(tool("check " + path).out, "ok 40 records\n");

    xbtest::writeFile(dir.file("JUNK.DBF"), "not a table at all, just text that is long enough to be read");
    r = xbtest::run(xbtest::tool() + " check " + dir.file("JUNK.DBF") + " 2>&1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    EXPECT_NE(r.out.find("JUNK.DBF"), std::string::npos);
    EXPECT_EQ(xbtest::run(xbtest::tool() + " check " + dir.file("NONE.DBF") + " 2>/dev/null").status, 2);

    ASSERT_EQ(tool("delete " + path + " 1 2").status, 0);
    r = tool("dump " + path);
    EXPECT_EQ(r.out.find("\n1\t"), std::string::npos);
    EXPECT_EQ(r.out.find("\n2\t"), std::string::npos);
    EXPECT_NE(r.out.find("\n4\t"), std::string::npos);
    EXPECT_EQ(xbtest::run(xbtest::tool() + " delete " + path + " 99 2>/dev/null").status, 2);
    ASSERT_EQ(tool("pack " + path).status, 0);
    EXPECT_EQ(tool("check " + path).out, "ok 32 records\n");
}

TEST(XbaseTool, ImportTakesBackWhatDumpWrote) {
    TempDir dir;
    const std::string t = dir.file("COPY.DBF");
    ASSERT_EQ(tool("create " + t +
                   " DESCRIPT:C:30 TEMPLATE:C:60 LBLHEIGHT:N:6:3 LBLWIDTH:N:6:3 NBRACROSS:N:2:0 NBRDOWN:N:2:0"
                   " TOPMARG:N:6:3 LEFTMARG:N:6:3 HORIZPITCH:N:6:3 VERTPITCH:N:6:3 SHEETWIDTH:N:6:3"
                   " SHEETDEPTH:N:6:3 PAPERSIZE:C:5 LBLSHAPE:C:2 OBJECTS:M")
                  .status,
              0);
    ASSERT_EQ(tool("index " + t + " DESCRIPT 'upper(DESCRIPT)'").status, 0);
    // The dump with deleted records, RECNO and DELETED columns included, goes straight back in.
    ASSERT_EQ(tool("import " + t + " " + xbtest::fixture("SMALL.natural-with-deleted.tsv")).status, 0);
    EXPECT_EQ(tool("dump " + t + " --deleted").out, xbtest::readFile(xbtest::fixture("SMALL.natural-with-deleted.tsv")));
    EXPECT_EQ(tool("dump " + t + " --tag DESCRIPT").out, xbtest::readFile(xbtest::fixture("SMALL.by-descript.tsv")));
    EXPECT_EQ(tool("check " + t).out, "ok 40 records\n");

    xbtest::writeFile(dir.file("bad.tsv"), "DESCRIPT\tLBLHEIGHT\nfine\t1\ntoo big\t123.5\n");
    const auto r = xbtest::run(xbtest::tool() + " import " + t + " " + dir.file("bad.tsv") + " 2>&1");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("line 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("LBLHEIGHT"), std::string::npos) << r.out;
    EXPECT_EQ(tool("check " + t).out, "ok 41 records\n");  // the good row stays, the bad one left nothing
}
