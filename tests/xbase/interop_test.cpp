// Tables written here must read the same in independent xBase readers: Perl's DBD::XBase
// (dbf_dump, index_dump) and Python's dbf module.

#include "XbaseTestUtil.h"

#include "xbase/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace sw::xbase;
using xbtest::TempDir;

namespace {

bool have(const char* program) { return std::filesystem::exists(program); }

struct Row {
    std::uint32_t recno;
    std::string descript;  // UTF-8
    std::string height;
    std::size_t memoSize;
    bool deleted;
};

std::string memoText(std::size_t n) {
    std::string s(n, ' ');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

std::string cp1252Upper(const std::string& utf8) {
    // "Café" and friends: only a to z fold, the é byte (0xE9) stays.
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\xC3' && i + 1 < utf8.size()) {
            out += static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40);
            continue;
        }
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

std::string latin1(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i)
        out += utf8[i] == '\xC3' ? static_cast<char>(static_cast<unsigned char>(utf8[++i]) + 0x40) : utf8[i];
    return out;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!have("/usr/bin/dbf_dump") || !have("/usr/bin/index_dump"))
            GTEST_SKIP() << "libdbd-xbase-perl is not installed";
        path_ = dir_.file("INTEROP.DBF");
        Table::create(path_, {{"DESCRIPT", FieldType::Character, 30, 0},
                              {"LBLHEIGHT", FieldType::Numeric, 6, 3},
                              {"OBJECTS", FieldType::Memo, 10, 0}});
        Table t(path_);
        t.indexTag("DESCRIPT", "upper(DESCRIPT)");
        const std::size_t memoSizes[] = {0, 1, 64, 65, 10000};
        for (std::uint32_t i = 1; i <= 20000; ++i) {
            Row r;
            r.recno = i;
            r.descript = (i % 7 == 0 ? "Caf\xC3\xA9 " : i % 2 ? "label " : "Label ") + std::to_string((i * 7919) % 20011);
            r.height = std::to_string(i % 10) + "." + std::to_string(100 + i % 900).substr(0, 3);
            r.memoSize = memoSizes[i % 5];
            r.deleted = i % 9 == 0;
            t.appendBlank();
            t.putString("DESCRIPT", r.descript);
            t.putString("LBLHEIGHT", r.height);
            t.putMemo("OBJECTS", memoText(r.memoSize));
            t.putRecord();
            if (r.deleted) t.deleteRecord();
            rows_.push_back(r);
        }
    }

    // What dbf_dump prints: the records not deleted, fields joined by '|'.
    void expectDbfDump() {
        const auto res = xbtest::run("dbf_dump --fs '|' " + path_);
        ASSERT_EQ(res.status, 0);
        std::string expected;
        for (const Row& r : rows_) {
            if (r.deleted) continue;
            std::string h = r.height;
            while (h.back() == '0') h.pop_back();
            if (h.back() == '.') h.pop_back();
            expected += latin1(r.descript) + "|" + h + "|" + memoText(r.memoSize) + "\n";
        }
        EXPECT_EQ(res.out, expected);
    }

    // What index_dump prints: every key of the tag with its record number, in key order.
    void expectIndexDump() {
        const auto res = xbtest::run("index_dump -type=char " + dir_.file("INTEROP.CDX") + " DESCRIPT");
        ASSERT_EQ(res.status, 0);
        std::vector<std::pair<std::string, std::uint32_t>> keys;
        for (const Row& r : rows_) keys.emplace_back(cp1252Upper(r.descript), r.recno);
        std::sort(keys.begin(), keys.end());
        std::string expected;
        for (const auto& [k, n] : keys) expected += k + " " + std::to_string(n) + "\n";
        EXPECT_EQ(res.out, expected);
    }

    void expectPythonDbf() {
        if (!have("/usr/bin/python3") || xbtest::run("/usr/bin/python3 -c 'import dbf' 2>/dev/null").status != 0)
            GTEST_SKIP() << "python3-dbf is not installed";
        const std::string script =
            "import dbf, sys\n"
            "t = dbf.Table(sys.argv[1]); t.open()\n"
            "out = sys.stdout.buffer\n"
            "for i, r in enumerate(t):\n"
            "    out.write(('%d|%s|%s|%.3f|%d\\n' % (i + 1, '*' if dbf.is_deleted(r) else '', r.descript.rstrip(),"
            " r.lblheight, len(r.objects))).encode('utf-8'))\n";
        xbtest::writeFile(dir_.file("read.py"), script);
        const auto res = xbtest::run("/usr/bin/python3 " + dir_.file("read.py") + " " + path_);
        ASSERT_EQ(res.status, 0);
        std::string expected;
        std::uint32_t n = 0;
        for (const Row& r : rows_)
            expected += std::to_string(++n) + "|" + (r.deleted ? "*" : "") + "|" + r.descript + "|" + r.height + "|" +
                        std::to_string(r.memoSize) + "\n";
        EXPECT_EQ(res.out, expected);
    }

    TempDir dir_;
    std::string path_;
    std::vector<Row> rows_;
};

}  // namespace

TEST_F(Interop, IndependentReadersSeeWhatWasWrittenBeforeAndAfterPack) {
    expectDbfDump();
    expectIndexDump();
    {
        Table t(path_);
        EXPECT_TRUE(t.check().ok());
        t.pack();
    }
    std::erase_if(rows_, [](const Row& r) { return r.deleted; });
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].recno = static_cast<std::uint32_t>(i + 1);
    expectDbfDump();
    expectIndexDump();
    expectPythonDbf();
}

TEST(InteropTool, TablesMadeWithTheToolReadTheSame) {
    if (!have("/usr/bin/dbf_dump")) GTEST_SKIP() << "libdbd-xbase-perl is not installed";
    TempDir dir;
    const std::string t = dir.file("TPL.DBF");
    xbtest::writeFile(dir.file("rows.tsv"),
                      "TEMPLATE\tLBLHEIGHT\tUSERDEF\n"
                      "Sample 2\t1.5\tT\n"
                      "sample 1\t\tF\n"
                      "Tab\\there\t0.188\t\n");
    const std::string tool = xbtest::tool();
    ASSERT_EQ(xbtest::run(tool + " create " + t + " TEMPLATE:C:60 LBLHEIGHT:N:6:3 USERDEF:L").status, 0);
    ASSERT_EQ(xbtest::run(tool + " index " + t + " TEMPLATE 'upper(TEMPLATE)'").status, 0);
    ASSERT_EQ(xbtest::run(tool + " import " + t + " " + dir.file("rows.tsv")).status, 0);
    EXPECT_EQ(xbtest::run("dbf_dump " + t).out, "Sample 2:1.5:1\nsample 1::0\nTab\there:0.188:\n");
    EXPECT_EQ(xbtest::run("index_dump -type=char " + dir.file("TPL.CDX") + " TEMPLATE").out,
              "SAMPLE 1 2\nSAMPLE 2 1\nTAB\tHERE 3\n");
    EXPECT_EQ(xbtest::run(tool + " dump " + t + " --tag TEMPLATE").out,
              "RECNO\tDELETED\tTEMPLATE\tLBLHEIGHT\tUSERDEF\n"
              "2\t\tsample 1\t0.000\tF\n"
              "1\t\tSample 2\t1.500\tT\n"
              "3\t\tTab\\there\t0.188\tF\n");
}

TEST(InteropTypes, VisualFoxProBinaryFieldsReadAsTextAndAreNeverWritten) {
    if (!have("/usr/bin/python3") || xbtest::run("/usr/bin/python3 -c 'import dbf' 2>/dev/null").status != 0)
        GTEST_SKIP() << "python3-dbf is not installed";
    TempDir dir;
    const std::string script =
        "import dbf, datetime, decimal, sys\n"
        "t = dbf.Table(sys.argv[1], 'name C(10); qty I; price Y; ratio B; at T; f F(10,3); ok L; d D; note M',"
        " dbf_type='vfp', codepage='cp1252')\n"
        "t.open(dbf.READ_WRITE)\n"
        "t.append(('Anna', -42, decimal.Decimal('12.3456'), 2.5, datetime.datetime(2024, 2, 29, 13, 45, 6), 1.25, True,"
        " datetime.date(1999, 12, 31), 'memo'))\n"
        "t.append(('Bert', -2147483647, decimal.Decimal('-0.5'), -0.001, datetime.datetime(1900, 1, 1), None, False, None,"
        " ''))\n"
        "t.append(('Cy', 0, decimal.Decimal('922337203685477.5807'), 1e300, None, None, None, None, ''))\n"
        "t.close()\n";
    xbtest::writeFile(dir.file("make.py"), script);
    const std::string path = dir.file("TYPES.DBF");
    ASSERT_EQ(xbtest::run("/usr/bin/python3 " + dir.file("make.py") + " " + path).status, 0);
    Table t(path, OpenMode::ReadOnly);
    std::vector<std::string> rows;
    for (t.goTop(); !t.eof(); t.skip(1)) {
        std::string row;
        for (const auto& f : t.fields()) row += t.getString(f.name) + "|";
        rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], "Anna|-42|12.3456|2.5|20240229134506|1.250|T|19991231|memo|");
    EXPECT_EQ(rows[1], "Bert|-2147483647|-0.5000|-0.001|19000101000000||F|||");
    EXPECT_EQ(rows[2], "Cy|0|922337203685477.5807|1e+300||||||");
    t.go(1);
    EXPECT_DOUBLE_EQ(t.getNumber("PRICE"), 12.3456);
    EXPECT_TRUE(t.isBlank("AT") == false && t.getNumber("QTY") == -42);
    // Such fields are read only: a table cannot be created with them, nor indexed on them.
    EXPECT_THROW(Table::create(dir.file("NEW.DBF"), {{"QTY", FieldType::Integer, 4, 0}}), Error);
    EXPECT_FALSE(std::filesystem::exists(dir.file("NEW.DBF")));
    t.close();
    Table w(path, OpenMode::Exclusive);
    EXPECT_THROW(w.indexTag("QTY", "QTY"), Error);
    w.go(1);
    EXPECT_THROW(w.putString("QTY", "5"), Error);
    EXPECT_EQ(w.getString("QTY"), "-42");
}
