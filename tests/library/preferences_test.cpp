// QX.INI and where the data lives.
#include "library/DataDirectory.h"
#include "library/Preferences.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw::library;

namespace {
void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(Preferences, IntegerTextFollowsTheIniRules)
{
    EXPECT_EQ(ParseIniInteger("0x1A"), 26);
    EXPECT_EQ(ParseIniInteger("0X1a"), 26);
    EXPECT_EQ(ParseIniInteger("abc"), 0);
    EXPECT_EQ(ParseIniInteger("0x"), 0);      // not longer than two characters: decimal, not a number
    EXPECT_EQ(ParseIniInteger("0xZZ"), 0);
    EXPECT_EQ(ParseIniInteger(" 17 "), 17);
    EXPECT_EQ(ParseIniInteger("-3"), -3);
    EXPECT_EQ(ParseIniInteger("12abc"), 0);
    EXPECT_EQ(ParseIniInteger("99999999999"), 0); // does not fit 32 bits
    EXPECT_EQ(ParseIniInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger(""), 0);
}

TEST(Preferences, ReadsLastUseFromItsSectionOnly)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("QX.INI");
    EXPECT_EQ(ReadLastUse(ini), 0) << "missing file";
    Write(ini, "[Other]\r\nLastUse=5\r\n[remember]\r\nlastuse = 0x1A\r\n");
    EXPECT_EQ(ReadLastUse(ini), 26) << "section and key names ignore case";
    Write(ini, "[Remember]\r\nSomething=1\r\n");
    EXPECT_EQ(ReadLastUse(ini), 0) << "key missing";
    Write(ini, "[Remember]\nLastUse=abc\n");
    EXPECT_EQ(ReadLastUse(ini), 0);
}

TEST(Preferences, WritingKeepsTheRestOfTheFile)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("QX.INI");
    ASSERT_TRUE(WriteLastUse(ini, 7));
    EXPECT_EQ(Read(ini), QByteArray("[Remember]\r\nLastUse=7\r\n"));
    EXPECT_EQ(ReadLastUse(ini), 7);

    Write(ini, "; note\r\n[Remember]\r\nLastUse=3\r\nOther=x\r\n\r\n[Window]\r\nLeft=10\r\n");
    ASSERT_TRUE(WriteLastUse(ini, 12));
    EXPECT_EQ(Read(ini), QByteArray("; note\r\n[Remember]\r\nLastUse=12\r\nOther=x\r\n\r\n[Window]\r\nLeft=10\r\n"));

    Write(ini, "[Remember]\r\nOther=x\r\n\r\n[Window]\r\nLeft=10\r\n");
    ASSERT_TRUE(WriteLastUse(ini, 4));
    EXPECT_EQ(Read(ini), QByteArray("[Remember]\r\nOther=x\r\nLastUse=4\r\n\r\n[Window]\r\nLeft=10\r\n"));
}

TEST(Preferences, AFileThatCannotBeWrittenIsReportedAndLeftAlone)
{
    QTemporaryDir dir;
    EXPECT_FALSE(WriteLastUse(dir.filePath("no-such-dir/QX.INI"), 1));
    // A directory where the file should be: no write can succeed, even for root.
    QDir(dir.path()).mkdir("QX.INI");
    EXPECT_FALSE(WriteLastUse(dir.filePath("QX.INI"), 1));
}

TEST(DataDirectory, TheExecutablesDirectoryWhenWritableElseTheUsersWithTheCatalogue)
{
    const QByteArray named = qgetenv(kDataDirVariable);
    qunsetenv(kDataDirVariable);
    QTemporaryDir exe, home;
    EXPECT_EQ(ResolveDataDirectory(exe.path()), exe.path() + u'/');

    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    // /proc takes no new files, whoever asks.
    EXPECT_FALSE(DirectoryWritable(QStringLiteral("/proc")));
    const QString user = ResolveDataDirectory(QStringLiteral("/proc"));
    EXPECT_EQ(user, home.path() + QStringLiteral("/Stickwell/"));
    EXPECT_TRUE(QFileInfo(user).isDir());

    // The supplied catalogue is copied once; the user's own copy is never overwritten.
    Write(exe.filePath("QXLTPL.DBF"), "supplied");
    Write(exe.filePath("QXLTPL.CDX"), "index");
    const QString dir = PrepareUserDataDirectory(exe.path());
    EXPECT_EQ(Read(dir + "QXLTPL.DBF"), QByteArray("supplied"));
    EXPECT_EQ(Read(dir + "QXLTPL.CDX"), QByteArray("index"));
    Write(dir + "QXLTPL.DBF", "mine");
    PrepareUserDataDirectory(exe.path());
    EXPECT_EQ(Read(dir + "QXLTPL.DBF"), QByteArray("mine"));

    qputenv("XDG_DATA_HOME", "relative/path");
    EXPECT_EQ(UserDataDirectory(), QDir::homePath() + QStringLiteral("/.local/share/Stickwell"));
    qunsetenv("XDG_DATA_HOME");

    // A directory named by the environment wins, is made when missing and gets the catalogue.
    const QString own = home.filePath(QStringLiteral("own/data"));
    qputenv(kDataDirVariable, own.toUtf8());
    EXPECT_EQ(ResolveDataDirectory(exe.path()), own + u'/');
    EXPECT_EQ(Read(own + "/QXLTPL.DBF"), QByteArray("supplied"));
    qputenv(kDataDirVariable, named);
}
