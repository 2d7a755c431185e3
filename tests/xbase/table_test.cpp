#include "XbaseTestUtil.h"

#include "xbase/Table.h"
#include "../common/TestSeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

using namespace sw::xbase;
using xbtest::TempDir;

namespace {

std::vector<FieldDef> labelFields() {
    return {{"DESCRIPT", FieldType::Character, 30, 0},
            {"LBLHEIGHT", FieldType::Numeric, 6, 3},
            {"NBRACROSS", FieldType::Numeric, 2, 0},
            {"USERDEF", FieldType::Logical, 1, 0},
            {"MADE", FieldType::Date, 8, 0},
            {"OBJECTS", FieldType::Memo, 10, 0}};
}

Error::Kind kindOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no error was raised";
    return Error::Kind::Usage;
}

void append(Table& t, const std::string& descript, double height = 1.0, const std::string& memo = {}) {
    t.appendBlank();
    t.putString("DESCRIPT", descript);
    t.putNumber("LBLHEIGHT", height);
    if (!memo.empty()) t.putMemo("OBJECTS", memo);
    t.putRecord();
}

std::vector<std::uint32_t> listing(Table& t) {
    std::vector<std::uint32_t> out;
    for (t.goTop(); !t.eof(); t.skip(1)) out.push_back(t.recNo());
    return out;
}

}  // namespace

TEST(XbaseTable, CreateWritesFoxProFilesWithUpperCaseExtensions) {
    TempDir dir;
    Table::create(dir.file("QXLBLS.DBF"), labelFields());
    Table::create(dir.file("PLAIN.DBF"), {{"NAME", FieldType::Character, 10, 0}});
    EXPECT_TRUE(std::filesystem::exists(dir.file("QXLBLS.FPT")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("PLAIN.FPT")));
    const std::string memoHead = xbtest::readFile(dir.file("QXLBLS.DBF"));
    EXPECT_EQ(static_cast<unsigned char>(memoHead[0]), 0xF5);
    EXPECT_EQ(memoHead[29], 0x03);  // Windows-1252
    EXPECT_EQ(static_cast<unsigned char>(xbtest::readFile(dir.file("PLAIN.DBF"))[0]), 0x03);
    const std::string fpt = xbtest::readFile(dir.file("QXLBLS.FPT"));
    ASSERT_EQ(fpt.size(), 512u);
    EXPECT_EQ(fpt[7], 64);  // block size

    {
        Table t(dir.file("QXLBLS.DBF"));
        EXPECT_EQ(t.recCount(), 0u);
        EXPECT_TRUE(t.eof());
        EXPECT_TRUE(t.bof());
        EXPECT_EQ(t.recNo(), 1u);
        EXPECT_EQ(t.indexName(), "");
        EXPECT_EQ(t.indexTag("descript", "upper(DESCRIPT)"), 1);
        EXPECT_EQ(t.indexName(), dir.file("QXLBLS.CDX"));
    }
    EXPECT_EQ(xbtest::readFile(dir.file("QXLBLS.DBF"))[28], 0x01);  // structural index present

    EXPECT_EQ(kindOf([&] { Table::create(dir.file("QXLBLS.DBF"), labelFields()); }), Error::Kind::Io);
    EXPECT_EQ(kindOf([&] { Table::create(dir.file("B.DBF"), {{"N", FieldType::Numeric, 6, 5}}); }), Error::Kind::Usage);
    EXPECT_EQ(kindOf([&] { Table::create(dir.file("B.DBF"), {{"TOOLONGNAME", FieldType::Character, 5, 0}}); }),
              Error::Kind::Usage);
    EXPECT_EQ(kindOf([&] { Table::create(dir.file("B.DBF"), {{"A", FieldType::Character, 5, 0}, {"a", FieldType::Character, 5, 0}}); }),
              Error::Kind::Usage);
    EXPECT_FALSE(std::filesystem::exists(dir.file("B.DBF")));
}

TEST(XbaseTable, FieldValuesRoundTripThroughTheFile) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    {
        Table t(path);
        t.appendBlank();
        t.putString("descript", "Caf\xC3\xA9 \xE2\x82\xAC  ");  // "Café €" with trailing blanks
        t.putNumber("LBLHEIGHT", 1.0004);
        t.putString("NBRACROSS", "3");
        t.putLogical("USERDEF", true);
        t.putString("MADE", "20261209");
        t.putRecord();
        append(t, "second", 2.6251);
    }
    Table t(path, OpenMode::ReadOnly);
    t.go(1);
    EXPECT_EQ(t.getTrimString("DESCRIPT"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(t.getString("DESCRIPT"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(t.getRaw("DESCRIPT").substr(0, 6), "Caf\xE9 \x80");
    EXPECT_EQ(t.getString("LBLHEIGHT"), "1.000");
    EXPECT_EQ(t.getRaw("LBLHEIGHT"), " 1.000");
    EXPECT_DOUBLE_EQ(t.getNumber("NBRACROSS"), 3);
    EXPECT_TRUE(t.getLogical("USERDEF"));
    EXPECT_EQ(t.getString("MADE"), "20261209");
    t.go(2);
    EXPECT_EQ(t.getString("LBLHEIGHT"), "2.625");
    EXPECT_TRUE(t.isBlank("NBRACROSS"));
    EXPECT_EQ(t.getString("NBRACROSS"), "");
    EXPECT_DOUBLE_EQ(t.getNumber("NBRACROSS"), 0);
    EXPECT_EQ(t.getString("USERDEF"), "");
    EXPECT_FALSE(t.getLogical("USERDEF"));
    EXPECT_EQ(kindOf([&] { t.getString("NOSUCH"); }), Error::Kind::Usage);
    EXPECT_EQ(kindOf([&] { t.appendBlank(); }), Error::Kind::Usage);  // read-only
}

TEST(XbaseTable, RefusesValuesTheFieldCannotHold) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    Table t(path);
    append(t, "keep", 1.5);
    t.go(1);
    EXPECT_EQ(kindOf([&] { t.putString("DESCRIPT", "\xCE\xA9mega"); }), Error::Kind::Encoding);  // Greek capital omega
    EXPECT_EQ(kindOf([&] { t.putString("DESCRIPT", "bad \xC3"); }), Error::Kind::Encoding);      // cut UTF-8
    EXPECT_EQ(kindOf([&] { t.putString("DESCRIPT", std::string(31, 'x')); }), Error::Kind::Encoding);
    EXPECT_EQ(kindOf([&] { t.putMemo("OBJECTS", "snow \xE2\x98\x83"); }), Error::Kind::Encoding);
    EXPECT_EQ(kindOf([&] { t.putNumber("LBLHEIGHT", 100.0); }), Error::Kind::Encoding);
    EXPECT_EQ(kindOf([&] { t.putNumber("LBLHEIGHT", -10.0); }), Error::Kind::Encoding);
    EXPECT_EQ(kindOf([&] { t.putString("LBLHEIGHT", "1,5"); }), Error::Kind::Encoding);
    EXPECT_EQ(kindOf([&] { t.putString("USERDEF", "maybe"); }), Error::Kind::Encoding);
    EXPECT_EQ(kindOf([&] { t.putString("MADE", "2026-12-09"); }), Error::Kind::Encoding);
    t.putNumber("LBLHEIGHT", 99.999);
    EXPECT_EQ(t.getString("LBLHEIGHT"), "99.999");
    t.putNumber("LBLHEIGHT", -9.999);
    EXPECT_EQ(t.getString("LBLHEIGHT"), "-9.999");
    t.putNumber("LBLHEIGHT", -0.0001);
    EXPECT_EQ(t.getString("LBLHEIGHT"), "0.000");
    t.cancel();
    EXPECT_EQ(t.getTrimString("DESCRIPT"), "keep");
    EXPECT_EQ(t.getString("LBLHEIGHT"), "1.500");
}

TEST(XbaseTable, MemosOfEveryBlockBoundaryAndTheirReplacement) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    const std::vector<std::size_t> sizes = {0, 1, 56, 57, 64, 65, 10000};
    {
        Table t(path);
        for (std::size_t n : sizes) {
            t.appendBlank();
            std::string text(n, 'a');
            for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + i % 26);
            t.putMemo("OBJECTS", text);
            t.putRecord();
        }
    }
    const auto fptSize = [&] { return std::filesystem::file_size(dir.file("T.FPT")); };
    const auto before = fptSize();
    // 56 bytes fill one 64-byte block with the 8-byte block header; 57 need two.
    EXPECT_EQ(before, 512u + 64 * (0 + 1 + 1 + 2 + 2 + 2 + 157));
    Table t(path);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        t.go(static_cast<std::uint32_t>(i + 1));
        const std::string m = t.getMemo("OBJECTS");
        ASSERT_EQ(m.size(), sizes[i]);
        if (!m.empty()) EXPECT_EQ(m.back(), static_cast<char>('a' + (sizes[i] - 1) % 26));
        EXPECT_EQ(t.isBlank("OBJECTS"), sizes[i] == 0);
    }
    t.go(7);
    t.putMemo("OBJECTS", "short now");  // new blocks even though it would fit the old ones
    t.putRecord();
    EXPECT_EQ(fptSize(), before + 64);
    t.go(2);
    t.putMemo("OBJECTS", std::string(100, 'z'));  // outgrows its one block: appended
    t.putRecord();
    EXPECT_EQ(fptSize(), before + 64 + 128);
    t.go(3);
    t.putMemo("OBJECTS", "");
    t.putRecord();
    EXPECT_TRUE(t.getRaw("OBJECTS").empty());
    t.close();
    Table again(path, OpenMode::ReadOnly);
    again.go(7);
    EXPECT_EQ(again.getMemo("OBJECTS"), "short now");
    again.go(2);
    EXPECT_EQ(again.getMemo("OBJECTS"), std::string(100, 'z'));
    again.go(3);
    EXPECT_EQ(again.getMemo("OBJECTS"), "");
    EXPECT_TRUE(again.check().ok());
}

TEST(XbaseTable, MovesHonourTheDeletedSwitchInBothOrders) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    Table t(path);
    for (const char* d : {"delta", "alpha", "Charlie", "bravo", "ALPHA"}) append(t, d);
    t.indexTag("DESCRIPT", "upper(DESCRIPT)");
    EXPECT_EQ(t.indexOrd(), 1);
    EXPECT_EQ(t.tagExpression(1), "upper(DESCRIPT)");
    // Equal keys ("alpha", "ALPHA") stand in record order.
    EXPECT_EQ(listing(t), (std::vector<std::uint32_t> {2, 5, 4, 3, 1}));
    t.go(4);
    t.deleteRecord();
    EXPECT_TRUE(t.deleted());
    EXPECT_EQ(listing(t), (std::vector<std::uint32_t> {2, 5, 4, 3, 1}));
    t.setDeleted(true);
    EXPECT_EQ(listing(t), (std::vector<std::uint32_t> {2, 5, 3, 1}));
    t.goBottom();
    EXPECT_EQ(t.recNo(), 1u);
    t.skip(-2);
    EXPECT_EQ(t.recNo(), 5u);  // over the deleted "bravo"
    t.skip(-5);
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 2u);
    t.goBottom();
    t.skip(1);
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 6u);
    t.skip(-1);
    EXPECT_EQ(t.recNo(), 1u);

    EXPECT_TRUE(t.seek("CHAR"));
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_FALSE(t.seek("B"));  // only the deleted "bravo" starts with B
    EXPECT_EQ(t.recNo(), 3u);
    EXPECT_FALSE(t.seek("ZULU"));
    EXPECT_TRUE(t.eof());

    t.setOrder(0);
    EXPECT_EQ(listing(t), (std::vector<std::uint32_t> {1, 2, 3, 5}));
    t.go(4);  // go reaches a deleted record all the same
    EXPECT_TRUE(t.deleted());
    t.recall();
    EXPECT_EQ(listing(t), (std::vector<std::uint32_t> {1, 2, 3, 4, 5}));
    EXPECT_EQ(kindOf([&] { t.go(6); }), Error::Kind::Usage);
    EXPECT_EQ(kindOf([&] { t.setOrder(2); }), Error::Kind::Usage);
    EXPECT_EQ(t.tagArea("nosuch"), 0);
}

TEST(XbaseTable, TagsStayCurrentThroughRandomEditsAndPack) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    std::mt19937 rng(sw::test::TestSeed(7));
    std::map<std::uint32_t, std::pair<std::string, bool>> model;  // recno -> (key, deleted)
    auto key = [](std::string s) {
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return s;
    };
    {
        Table t(path);
        t.indexTag("DESCRIPT", "upper(DESCRIPT)");
        t.indexTag("HEIGHT", "LBLHEIGHT");
        t.setOrder(t.tagArea("DESCRIPT"));
        for (int i = 0; i < 3000; ++i) {
            const int op = static_cast<int>(rng() % 10);
            std::string d = (rng() % 2 ? "Label " : "label ") + std::to_string(rng() % 500);
            if (op < 6 || model.empty()) {
                append(t, d, (rng() % 99000) / 1000.0, op == 0 ? std::string(rng() % 300, 'm') : "");
                model[t.recNo()] = {key(d), false};
            } else {
                const auto r = static_cast<std::uint32_t>(1 + rng() % model.size());
                t.go(r);
                if (op < 9) {
                    t.putString("DESCRIPT", d);
                    t.putNumber("LBLHEIGHT", (rng() % 99000) / 1000.0);
                    t.putRecord();
                    model[r].first = key(d);
                } else {
                    t.deleteRecord();
                    model[r].second = true;
                }
            }
        }
        const CheckResult c = t.check();
        EXPECT_TRUE(c.ok()) << c.problems.front();
    }
    Table t(path);
    t.setOrder(t.tagArea("DESCRIPT"));
    std::vector<std::pair<std::string, std::uint32_t>> expected;
    for (const auto& [r, v] : model) expected.emplace_back(v.first, r);
    std::sort(expected.begin(), expected.end());
    std::vector<std::pair<std::string, std::uint32_t>> got;
    for (t.goTop(); !t.eof(); t.skip(1)) got.emplace_back(key(t.getTrimString("DESCRIPT")), t.recNo());
    EXPECT_EQ(got, expected);
    // Backwards gives the same order reversed.
    std::vector<std::pair<std::string, std::uint32_t>> back;
    for (t.goBottom(); !t.bof(); t.skip(-1)) back.emplace_back(key(t.getTrimString("DESCRIPT")), t.recNo());
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, expected);

    t.setOrder(t.tagArea("HEIGHT"));
    double last = -1;
    std::size_t n = 0;
    for (t.goTop(); !t.eof(); t.skip(1), ++n) {
        EXPECT_GE(t.getNumber("LBLHEIGHT"), last);
        last = t.getNumber("LBLHEIGHT");
    }
    EXPECT_EQ(n, model.size());

    const auto fptBefore = std::filesystem::file_size(dir.file("T.FPT"));
    t.pack();
    std::size_t live = 0;
    for (const auto& [r, v] : model) live += v.second ? 0 : 1;
    EXPECT_EQ(t.recCount(), live);
    EXPECT_LE(std::filesystem::file_size(dir.file("T.FPT")), fptBefore);
    const CheckResult c = t.check();
    EXPECT_TRUE(c.ok()) << c.problems.front();
    t.setOrder(t.tagArea("DESCRIPT"));
    std::vector<std::string> keysAfter, keysModel;
    for (t.goTop(); !t.eof(); t.skip(1)) keysAfter.push_back(key(t.getTrimString("DESCRIPT")));
    for (const auto& [k, r] : expected)
        if (!model[r].second) keysModel.push_back(k);
    EXPECT_EQ(keysAfter, keysModel);
}

TEST(XbaseTable, ExclusiveOpenKeepsEveryOtherOpenerOut) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    {
        Table first(path, OpenMode::Exclusive);
        EXPECT_EQ(kindOf([&] { Table second(path, OpenMode::Exclusive); }), Error::Kind::Locked);
        EXPECT_EQ(kindOf([&] { Table reader(path, OpenMode::ReadOnly); }), Error::Kind::Locked);
    }
    Table a(path, OpenMode::Shared);
    Table b(path, OpenMode::ReadOnly);
    EXPECT_EQ(kindOf([&] { Table c(path, OpenMode::Exclusive); }), Error::Kind::Locked);
    EXPECT_EQ(kindOf([&] { a.appendBlank(); }), Error::Kind::Usage);
    EXPECT_EQ(kindOf([&] { Table missing(dir.file("NONE.DBF")); }), Error::Kind::Io);
}

TEST(XbaseTable, CheckFindsAnIndexThatDisagreesAndReindexMendsIt) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    {
        Table t(path);
        for (int i = 0; i < 200; ++i) append(t, "item " + std::to_string(i));
        t.indexTag("DESCRIPT", "upper(DESCRIPT)");
    }
    // Change a key behind the index's back.
    std::string dbf = xbtest::readFile(path);
    const std::size_t headerSize = static_cast<unsigned char>(dbf[8]) | (static_cast<unsigned char>(dbf[9]) << 8);
    const std::size_t recordSize = static_cast<unsigned char>(dbf[10]) | (static_cast<unsigned char>(dbf[11]) << 8);
    dbf[headerSize + 5 * recordSize + 1] = 'Z';
    xbtest::writeFile(path, dbf);
    Table t(path);
    const CheckResult bad = t.check();
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.problems.front().find("record 6"), std::string::npos) << bad.problems.front();
    t.reindex();
    EXPECT_TRUE(t.check().ok());
    // Without the index file the table still opens; the tag can be made again.
    const std::string cdx = t.indexName();
    t.closeIndexes();
    std::filesystem::remove(cdx);
    t.close();
    Table again(path);
    EXPECT_TRUE(again.tagNames().empty());
    EXPECT_EQ(again.indexTag("DESCRIPT", "upper(DESCRIPT)"), 1);
    EXPECT_TRUE(again.check().ok());
    EXPECT_EQ(kindOf([&] { again.indexTag("BAD", "upper(NOSUCH)"); }), Error::Kind::Usage);
    EXPECT_EQ(kindOf([&] { again.indexTag("BAD", "OBJECTS"); }), Error::Kind::Usage);
    EXPECT_EQ(again.tagNames(), std::vector<std::string> {"DESCRIPT"});
}

TEST(XbaseTable, OpeningFinishesOrDiscardsAnInterruptedPack) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    {
        Table t(path);
        for (int i = 0; i < 10; ++i) append(t, "n" + std::to_string(i), 1, "memo " + std::to_string(i));
    }
    const std::string original = xbtest::readFile(path);
    // Both new images present: the pack had not reached its point of no return.
    xbtest::writeFile(path + ".pack", "garbage");
    xbtest::writeFile(dir.file("T.FPT.pack"), "garbage");
    {
        Table t(path);
        EXPECT_EQ(t.recCount(), 10u);
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".pack"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("T.FPT.pack")));
    EXPECT_EQ(xbtest::readFile(path), original);
    // Only the table image left: the memo file was already swapped, so the image goes in.
    {
        Table t(path);
        t.go(3);
        t.deleteRecord();
        t.pack();
    }
    const std::string packed = xbtest::readFile(path);
    xbtest::writeFile(path + ".pack", packed);
    xbtest::writeFile(path, original);
    Table t(path);
    EXPECT_EQ(t.recCount(), 9u);
    t.go(3);
    EXPECT_EQ(t.getMemo("OBJECTS"), "memo 3");
    EXPECT_FALSE(std::filesystem::exists(path + ".pack"));
}

TEST(XbaseTable, IndexLeftInUseByADeadWriterIsRebuiltOnExclusiveOpen) {
    TempDir dir;
    const std::string path = dir.file("T.DBF");
    Table::create(path, labelFields());
    {
        Table t(path);
        t.indexTag("DESCRIPT", "upper(DESCRIPT)");
        for (int i = 0; i < 10; ++i) append(t, "old " + std::to_string(i));
    }
    std::string stale = xbtest::readFile(dir.file("T.CDX"));
    EXPECT_EQ(stale[8] & 1, 0);  // closed cleanly
    {
        Table t(path);
        for (int i = 0; i < 5; ++i) append(t, "new " + std::to_string(i));
    }
    // As a writer killed after posting records but before their keys reached the index.
    stale[8] = 1;
    xbtest::writeFile(dir.file("T.CDX"), stale);
    {
        Table reader(path, OpenMode::ReadOnly);
        EXPECT_FALSE(reader.check().ok());
    }
    Table t(path);
    EXPECT_TRUE(t.check().ok());
    t.setOrder(1);
    EXPECT_EQ(listing(t).size(), 15u);
}
