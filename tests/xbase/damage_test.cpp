// Damaged files give errors, never crashes or wild reads (run these under the sanitizers).

#include "XbaseTestUtil.h"
#include "../../fuzz/xbase_fuzz_common.h"

#include "xbase/Table.h"
#include "../common/TestSeed.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace sw::xbase;
using xbtest::TempDir;

namespace {

// Puts the fixture SMALL in dir with one of its files replaced by bytes.
void plant(const TempDir& dir, const std::string& ext, const std::string& bytes) {
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directories(dir.path());
    xbtest::copyFixture(dir, "SMALL");
    xbtest::writeFile(dir.file("SMALL" + ext), bytes);
}

}  // namespace

TEST(XbaseDamage, TruncatedFilesOfEveryKindAreRefusedOrReadSafely) {
    TempDir dir;
    for (const char* ext : {".DBF", ".fpt", ".cdx"}) {
        const std::string whole = xbtest::readFile(xbtest::fixture(std::string("SMALL") + ext));
        for (std::size_t len = 0; len < whole.size(); len += 1 + len / 6) {
            plant(dir, ext, whole.substr(0, len));
            xbfuzz::exercise(dir.file("SMALL.DBF"), len % 3 == 0);
        }
    }
}

TEST(XbaseDamage, CorruptBytesAreRefusedOrReadSafely) {
    TempDir dir;
    std::mt19937 rng(sw::test::TestSeed(99));
    for (const char* ext : {".DBF", ".fpt", ".cdx"}) {
        const std::string whole = xbtest::readFile(xbtest::fixture(std::string("SMALL") + ext));
        for (int round = 0; round < 60; ++round) {
            std::string bytes = whole;
            const int flips = 1 + static_cast<int>(rng() % 6);
            for (int i = 0; i < flips; ++i) {
                // Headers and page heads hold the pointers and counts: hit them most.
                const std::size_t at = rng() % 2 ? rng() % std::min<std::size_t>(bytes.size(), 64)
                                                 : rng() % bytes.size();
                bytes[at] = static_cast<char>(rng() % 3 == 0 ? 0xFF : rng());
            }
            plant(dir, ext, bytes);
            xbfuzz::exercise(dir.file("SMALL.DBF"), round % 2 == 0);
        }
    }
}

TEST(XbaseDamage, ErrorsNameTheFileAndTheFault) {
    TempDir dir;
    const std::string dbf = xbtest::readFile(xbtest::fixture("SMALL.DBF"));
    std::string bad = dbf;
    bad[10] = 0x10;  // record size that disagrees with the fields
    plant(dir, ".DBF", bad);
    try {
        Table t(dir.file("SMALL.DBF"));
        FAIL() << "opened a table whose record size is wrong";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::Kind::Damaged);
        EXPECT_EQ(e.file(), dir.file("SMALL.DBF"));
        EXPECT_NE(std::string(e.what()).find("record size"), std::string::npos) << e.what();
    }
    // A header that counts more records than the file holds: the rest stays readable and
    // check() tells.
    bad = dbf;
    bad[4] = 41;
    plant(dir, ".DBF", bad);
    {
        Table t(dir.file("SMALL.DBF"), OpenMode::ReadOnly);
        EXPECT_EQ(t.recCount(), 40u);
        const CheckResult c = t.check();
        ASSERT_FALSE(c.ok());
        EXPECT_NE(c.problems.front().find("41"), std::string::npos);
    }
    // A memo pointer past the end of the memo file.
    bad = dbf;
    const std::size_t rec2 = 0x202 + 160;  // header size, then one record of 160 bytes
    bad.replace(rec2 + 160 - 10, 10, "     99999");
    plant(dir, ".DBF", bad);
    Table t(dir.file("SMALL.DBF"), OpenMode::ReadOnly);
    t.go(2);
    try {
        (void)t.getMemo("OBJECTS");
        FAIL() << "read a memo outside the file";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), dir.file("SMALL.fpt"));
    }
    const CheckResult c = t.check();
    ASSERT_FALSE(c.ok());
    EXPECT_NE(c.problems.front().find("record 2"), std::string::npos) << c.problems.front();
    // The index file is named in errors about it.
    std::string cdx = xbtest::readFile(xbtest::fixture("SMALL.cdx"));
    cdx[12] = 3;  // key length of the tag directory
    plant(dir, ".cdx", cdx);
    try {
        Table u(dir.file("SMALL.DBF"));
        FAIL() << "opened an index without its tag directory";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), dir.file("SMALL.cdx"));
    }
}
