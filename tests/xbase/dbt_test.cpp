// dBase tables with a DBT memo file, as Perl's DBD::XBase writes them (dBase III and IV; those
// of Python's dbf module are read in the merge source's tests), read through the engine; damaged
// DBT files give errors or the text that is there, never a crash or a read past the file (run
// these under the sanitizers).

#include "XbaseTestUtil.h"
#include "../../fuzz/xbase_fuzz_common.h"

#include "xbase/Table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

using namespace sw::xbase;
using xbtest::TempDir;

namespace {

bool have(const char* program) { return std::filesystem::exists(program); }

bool perlXBase() { return have("/usr/bin/perl") && xbtest::run("/usr/bin/perl -MXBase -e 1 2>/dev/null").status == 0; }

// Writes script into dir and runs it there with interpreter; true when it succeeded.
bool runScript(const TempDir& dir, const std::string& interpreter, const std::string& script) {
    xbtest::writeFile(dir.file("make.script"), script);
    return xbtest::run("cd " + dir.path() + " && " + interpreter + " make.script").status == 0;
}

struct Row {
    std::string name, memo;
    bool deleted = false;
};

// Every record in record order (deleted ones too), with its memo text as stored.
std::vector<Row> readAll(const std::string& path) {
    Table t(path, OpenMode::ReadOnly);
    std::vector<Row> rows;
    for (t.goTop(); !t.eof(); t.skip(1)) rows.push_back({t.getString("NAME"), t.getRaw("NOTE"), t.deleted()});
    EXPECT_TRUE(t.check().ok()) << path;
    return rows;
}

// A dBase table HAND.DBF in dir, NAME C(8) and NOTE M(10), with a memo file made by hand.
void handMade(const TempDir& dir, const std::string& dbtBytes, const std::vector<std::string>& pointers,
              std::uint8_t version = 0x83) {
    xbtest::writeFile(dir.file("HAND.DBF"), xbfuzz::dBaseTable(version, pointers));
    xbtest::writeFile(dir.file("HAND.DBT"), dbtBytes);
}

// A DBT file: a 512-byte header holding next free block and, for dBase IV, the block size, then
// the blocks given (each padded to the block size).
std::string dbt(const std::vector<std::string>& blocks, std::uint16_t blockSize = 512, bool sizeInHeader = false) {
    std::string out(512, '\0');
    const std::uint32_t next = static_cast<std::uint32_t>(1 + blocks.size());
    for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(next >> (8 * i));
    if (sizeInHeader) {
        out[20] = static_cast<char>(blockSize);
        out[21] = static_cast<char>(blockSize >> 8);
    }
    out.resize(blockSize >= 512 ? blockSize : 512, '\0');
    for (const std::string& b : blocks) {
        out += b;
        out.resize((out.size() + blockSize - 1) / blockSize * blockSize, '\0');
    }
    return out;
}

std::string dBase4Memo(const std::string& text, std::uint32_t claimed = 0) {
    const std::uint32_t len = claimed ? claimed : static_cast<std::uint32_t>(text.size() + 8);
    std::string head("\xFF\xFF\x08\x00", 4);
    for (int i = 0; i < 4; ++i) head += static_cast<char>(len >> (8 * i));
    return head + text;
}

std::string errorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

}  // namespace

TEST(DbtMemo, PerlWrittenDBase3AndDBase4TablesReadWithTheirMemosAndOnlyReadOnly) {
    if (!perlXBase()) GTEST_SKIP() << "libdbd-xbase-perl is not installed";
    TempDir dir;
    // A memo longer than a block, one of exactly a block, an empty one, CR LF inside, a deleted
    // record, and Windows-1252 text.
    const std::string script =
        "use XBase;\n"
        "for my $v ([3, 'three'], [0x8B, 'four']) {\n"
        "  my $t = XBase->create(name => $v->[1] . '.dbf', field_names => ['NAME','NOTE'], field_types => ['C','M'],"
        "  field_lengths => [20,10], field_decimals => [0,0], version => $v->[0]) or die XBase->errstr;\n"
        "  $t->set_record(0, 'Anna', \"Storgata 1\\r\\n0155 Oslo\") or die;\n"
        "  $t->set_record(1, 'Gone', 'x' x 1300) or die;\n"
        "  $t->set_record(2, \"Jos\\xE9\", 'y' x 512) or die;\n"
        "  $t->set_record(3, 'Empty', '') or die;\n"
        "  $t->delete_record(1); $t->close;\n"
        "}\n";
    ASSERT_TRUE(runScript(dir, "/usr/bin/perl", script));
    ASSERT_TRUE(std::filesystem::exists(dir.file("three.dbt")));
    ASSERT_EQ(xbtest::readFile(dir.file("four.dbf"))[0], '\x8B');
    // The memo file is found whatever the case of the table's own name.
    std::filesystem::rename(dir.file("four.dbf"), dir.file("FOUR.DBF"));
    for (const std::string& path : {dir.file("three.dbf"), dir.file("FOUR.DBF")}) {
        SCOPED_TRACE(path);
        const std::vector<Row> rows = readAll(path);
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0].memo, "Storgata 1\r\n0155 Oslo");
        EXPECT_EQ(rows[1].memo, std::string(1300, 'x'));
        EXPECT_TRUE(rows[1].deleted);
        EXPECT_EQ(rows[2].name, "Jos\xC3\xA9");
        EXPECT_EQ(rows[2].memo, std::string(512, 'y'));
        EXPECT_EQ(rows[3].memo, "");
        // Never written: an exclusive open is refused before anything changes.
        const std::string before = xbtest::readFile(path);
        const std::string why = errorOf([&] { Table t(path, OpenMode::Exclusive); });
        EXPECT_NE(why.find("only read"), std::string::npos) << why;
        Table shared(path, OpenMode::Shared);
        EXPECT_THROW(shared.putMemo("NOTE", "new"), Error);
        EXPECT_EQ(xbtest::readFile(path), before);
    }
}

TEST(DbtMemo, DamagedMemoFilesGiveErrorsOrTheTextThatIsThere) {
    TempDir dir;
    const auto memoOf = [&](std::uint32_t record) {
        Table t(dir.file("HAND.DBF"), OpenMode::ReadOnly);
        t.go(record);
        return t.getRaw("NOTE");
    };
    // dBase III: a memo without its end mark runs to the end of the file (without the padding);
    // one cut short keeps what is there.
    handMade(dir, dbt({"first\x1A\x1A", "no end mark"}), {"1", "2"});
    EXPECT_EQ(memoOf(1), "first");
    EXPECT_EQ(memoOf(2), "no end mark");
    handMade(dir, dbt({"first\x1A\x1A", "cut"}).substr(0, 1024 + 2), {"2"});
    EXPECT_EQ(memoOf(1), "cu");
    // Pointers past the end, into the header's block, and not a number.
    handMade(dir, dbt({"first\x1A"}), {"7", "4294967295", "12x", "-1"});
    for (std::uint32_t r = 1; r <= 4; ++r) {
        const std::string why = errorOf([&] { memoOf(r); });
        EXPECT_NE(why.find(r <= 2 ? "lies outside the file" : "bad memo pointer"), std::string::npos) << r << ": " << why;
        EXPECT_NE(why.find(r <= 2 ? "HAND.DBT" : "HAND.DBF"), std::string::npos) << why;
    }
    EXPECT_FALSE(Table(dir.file("HAND.DBF"), OpenMode::ReadOnly).check().ok());
    // dBase IV: lengths that leave the file or do not cover their own head; a block size from
    // the header.
    handMade(dir, dbt({dBase4Memo("sound"), dBase4Memo("long", 5000), dBase4Memo("short", 3), dBase4Memo("", 8)}, 1024, true),
             {"1", "2", "3", "4"}, 0x8B);
    EXPECT_EQ(memoOf(1), "sound");
    EXPECT_NE(errorOf([&] { memoOf(2); }).find("claims 5000 bytes"), std::string::npos);
    EXPECT_NE(errorOf([&] { memoOf(3); }).find("claims 3 bytes"), std::string::npos);
    EXPECT_EQ(memoOf(4), "");
    // A header too short to be one, and a memo file that is missing, name the file.
    handMade(dir, std::string(10, '\0'), {"1"});
    EXPECT_NE(errorOf([&] { Table t(dir.file("HAND.DBF"), OpenMode::ReadOnly); }).find("HAND.DBT"), std::string::npos);
    std::filesystem::remove(dir.file("HAND.DBT"));
    EXPECT_NE(errorOf([&] { Table t(dir.file("HAND.DBF"), OpenMode::ReadOnly); }).find("HAND.DBT is missing"),
              std::string::npos);
}

TEST(DbtMemo, TruncatedAndCorruptMemoFilesAreReadSafely) {
    TempDir dir;
    const std::string whole =
        dbt({"a\x1A\x1A", dBase4Memo(std::string(700, 'b')), std::string(600, 'c') + "\x1A\x1A", dBase4Memo("d")});
    for (std::size_t len = 0; len < whole.size(); len += 1 + len / 5) {
        handMade(dir, whole.substr(0, len), {"1", "2", "4", "6", "3"}, len % 2 ? 0x83 : 0x8B);
        xbfuzz::exercise(dir.file("HAND.DBF"), false);
    }
    for (std::size_t at : {0, 4, 20, 21, 512, 516, 517, 1024, 1028, 1031}) {
        std::string bytes = whole;
        bytes[at] = '\xFF';
        handMade(dir, bytes, {"1", "2", "4", "6"}, 0x8B);
        xbfuzz::exercise(dir.file("HAND.DBF"), true);
    }
}
