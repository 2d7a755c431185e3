// Address lists as people have them: CSV files from spreadsheets and mail programs, and xBase
// tables, read into fields and records; the source stored in a label's item text.
#include "model/CsvReader.h"
#include "model/MergeSource.h"
#include "xbase/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sw;

namespace {

TCsvTable Csv(const QByteArray& bytes, const TCsvDelimiter* d = nullptr)
{
    TCsvTable t;
    QString error;
    EXPECT_TRUE(ReadCsv(bytes, d, t, &error)) << error.toStdString();
    return t;
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST(CsvReader, QuotesDoubledQuotesLineBreaksAndEmptyFields)
{
    const TCsvTable t = Csv("Name,Street,City,Note\r\n"
                            "\"Smith, John\",\"1 \"\"Main\"\" St\",Springfield,\r\n"
                            "Ann,\"Flat 2\r\n10 High St\",,\"x\"\n"
                            "\n"
                            "  \"Bo\" ,Lane 3,\"Oslo\"\r\n"
                            "Short\n");
    ASSERT_EQ(t.Fields, (QStringList{"Name", "Street", "City", "Note"}));
    ASSERT_EQ(t.Records.size(), 4u); // the blank line is no record
    EXPECT_EQ(t.Records[0], (QStringList{"Smith, John", "1 \"Main\" St", "Springfield", ""}));
    EXPECT_EQ(t.Records[1], (QStringList{"Ann", "Flat 2\r\n10 High St", "", "x"}));
    EXPECT_EQ(t.Records[2], (QStringList{"Bo ", "Lane 3", "Oslo", ""}));
    EXPECT_EQ(t.Records[3], (QStringList{"Short", "", "", ""})); // a short row is filled up
    EXPECT_EQ(t.Delimiter, TCsvDelimiter::Comma);
    EXPECT_TRUE(t.Utf8);
    // A quote inside an unquoted field is text; a last row without a line end counts.
    const TCsvTable u = Csv("a,b\n5\" disk,x\"y");
    ASSERT_EQ(u.Records.size(), 1u);
    EXPECT_EQ(u.Records[0], (QStringList{"5\" disk", "x\"y"}));
}

TEST(CsvReader, DelimiterIsDetectedFromTheHeaderAndCanBeGiven)
{
    EXPECT_EQ(DetectCsvDelimiter("Name;Street;City\nA;B,C;D\n"), TCsvDelimiter::Semicolon);
    EXPECT_EQ(DetectCsvDelimiter("Name\tStreet\tCity\n"), TCsvDelimiter::Tab);
    // Delimiters inside a quoted header name do not count.
    EXPECT_EQ(DetectCsvDelimiter("\"a;b;c\",d,e\n"), TCsvDelimiter::Comma);
    EXPECT_EQ(DetectCsvDelimiter("Name\n"), TCsvDelimiter::Comma);

    const TCsvTable semi = Csv("\xEF\xBB\xBFName;City\nM\xC3\xBCller, K.;K\xC3\xB6ln\n");
    EXPECT_EQ(semi.Delimiter, TCsvDelimiter::Semicolon);
    EXPECT_EQ(semi.Fields, (QStringList{"Name", "City"})); // the byte-order mark is not in the name
    ASSERT_EQ(semi.Records.size(), 1u);
    EXPECT_EQ(semi.Records[0], (QStringList{QStringLiteral("M\u00fcller, K."), QStringLiteral("K\u00f6ln")}));

    const TCsvDelimiter comma = TCsvDelimiter::Comma;
    const TCsvTable forced = Csv("Name;City\nA;B,C\n", &comma);
    EXPECT_EQ(forced.Fields, (QStringList{"Name;City"}));
    EXPECT_EQ(forced.Records[0], (QStringList{"A;B"}));
    EXPECT_EQ(forced.WideRows, 1);
}

TEST(CsvReader, Utf8AndWindows1252AreToldApart)
{
    // Greek, Cyrillic and Chinese names stay as they are.
    const TCsvTable utf8 = Csv("Name\n\xCE\x91\xCE\xBB\xCF\x86\xCE\xB1\n\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n\xE5\xBC\xA0\xE4\xB8\x89\n");
    EXPECT_TRUE(utf8.Utf8);
    EXPECT_EQ(utf8.Records[0][0], QStringLiteral("\u0391\u03bb\u03c6\u03b1"));
    EXPECT_EQ(utf8.Records[1][0], QStringLiteral("\u0418\u0432\u0430\u043d"));
    EXPECT_EQ(utf8.Records[2][0], QStringLiteral("\u5f20\u4e09"));
    // Bytes that are not UTF-8 are Windows-1252, including its euro sign and quotes.
    const TCsvTable ansi = Csv("Name,Price\nJos\xE9 \x93Pep\x94,\x80 5\n");
    EXPECT_FALSE(ansi.Utf8);
    EXPECT_EQ(ansi.Records[0], (QStringList{QStringLiteral("Jos\u00e9 \u201cPep\u201d"), QStringLiteral("\u20ac 5")}));
}

TEST(CsvReader, AnUnterminatedQuoteNamesTheLineItOpenedOn)
{
    TCsvTable t;
    QString error;
    EXPECT_FALSE(ReadCsv("Name,City\nA,B\n\"C\nD\",E\nF,\"G\nH\n", nullptr, t, &error));
    EXPECT_EQ(error, QStringLiteral("a quote opened on line 5 is never closed"));
    EXPECT_TRUE(t.Records.empty());
    EXPECT_FALSE(ReadCsv("", nullptr, t, &error));
    EXPECT_EQ(error, QStringLiteral("there is no header row naming the fields"));
    EXPECT_FALSE(ReadCsv("\xEF\xBB\xBF\r\n\r\n", nullptr, t, &error));
    // A header alone is a source without records, not an error.
    EXPECT_TRUE(ReadCsv("Name,City\r\n", nullptr, t, &error));
    EXPECT_EQ(t.Fields.size(), 2);
    EXPECT_TRUE(t.Records.empty());
}

TEST(MergeSource, StoredAsKeyLinesBeforeTheFirstRecordWithARelativePathNextToTheTable)
{
    TMergeSource s;
    s.File = QStringLiteral("lists/addresses.csv");
    s.DelimiterFixed = true;
    s.Delimiter = TCsvDelimiter::Semicolon;
    const QStringList head = MergeSourceLines(s);
    EXPECT_EQ(head, (QStringList{"MERGEFILE=lists/addresses.csv", "MERGEFORMAT=CSV", "MERGEDELIMITER=SEMICOLON"}));
    QStringList text = head;
    text << "LABELITEM=TEXT" << "TEXT={Name}" << "MERGEFILE=not/this.csv";
    EXPECT_EQ(ReadMergeSource(text), s);
    EXPECT_EQ(WithoutMergeSource(text), (QStringList{"LABELITEM=TEXT", "TEXT={Name}", "MERGEFILE=not/this.csv"}));
    EXPECT_TRUE(MergeSourceLines(TMergeSource{}).isEmpty());
    EXPECT_FALSE(ReadMergeSource(QStringList{"LABELITEM=TEXT", "MERGEFILE=x.csv"}).IsSet());

    TMergeSource dbf;
    dbf.File = QStringLiteral("/srv/data/ADDR.DBF");
    dbf.Format = MergeFormatOf(dbf.File);
    EXPECT_EQ(dbf.Format, TMergeFormat::XBase);
    EXPECT_EQ(ReadMergeSource(MergeSourceLines(dbf)), dbf);
    // A path longer than the 99 characters other readers keep comes back whole.
    dbf.File = QStringLiteral("/") + QString(150, QLatin1Char('d')) + QStringLiteral("/ADDR.DBF");
    EXPECT_EQ(ReadMergeSource(MergeSourceLines(dbf)).File, dbf.File);

    EXPECT_EQ(StoredMergePath("/home/u/labels/a.csv", "/home/u/labels/"), QStringLiteral("a.csv"));
    EXPECT_EQ(StoredMergePath("/home/u/labels/sub/a.csv", "/home/u/labels"), QStringLiteral("sub/a.csv"));
    EXPECT_EQ(StoredMergePath("/home/u/other/a.csv", "/home/u/labels/"), QStringLiteral("/home/u/other/a.csv"));
    EXPECT_EQ(StoredMergePath("/home/u/labelsx/a.csv", "/home/u/labels/"), QStringLiteral("/home/u/labelsx/a.csv"));
    EXPECT_EQ(ResolvedMergePath("sub/a.csv", "/home/u/labels/"), QStringLiteral("/home/u/labels/sub/a.csv"));
    EXPECT_EQ(ResolvedMergePath("/x/a.csv", "/home/u/labels/"), QStringLiteral("/x/a.csv"));
}

TEST(MergeSource, XBaseTableGivesEveryFieldAndSkipsDeletedRecords)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ADDR.DBF");
    {
        using namespace sw::xbase;
        Table::create(path.toStdString(), {{"NAME", FieldType::Character, 20, 0},
                                           {"AMOUNT", FieldType::Numeric, 8, 2},
                                           {"PAID", FieldType::Logical, 1, 0},
                                           {"SINCE", FieldType::Date, 8, 0},
                                           {"ADDRESS", FieldType::Memo, 10, 0}});
        Table t(path.toStdString(), OpenMode::Exclusive);
        const auto add = [&t](const char* name, const char* memo, bool del) {
            t.appendBlank();
            t.putString("NAME", name);
            t.putNumber("AMOUNT", 12.5);
            t.putLogical("PAID", true);
            t.putString("SINCE", "20240229");
            t.putMemo("ADDRESS", memo);
            t.putRecord();
            if (del)
                t.deleteRecord();
        };
        add("Jos\xC3\xA9", "1 Main St\r\nSpringfield\r\n", false);
        add("Gone", "", true);
        add("Ann", "", false);
        t.close();
    }
    TMergeSource s;
    s.File = path;
    s.Format = TMergeFormat::XBase;
    TMergeData data;
    QString error;
    // Another program may keep the table open for its own work meanwhile.
    sw::xbase::Table holder(path.toStdString(), sw::xbase::OpenMode::Shared);
    ASSERT_TRUE(LoadMergeData(path, s, data, &error)) << error.toStdString();
    EXPECT_EQ(data.Fields, (QStringList{"NAME", "AMOUNT", "PAID", "SINCE", "ADDRESS"}));
    ASSERT_EQ(data.Records.size(), 2u);
    EXPECT_EQ(data.Records[0], (QStringList{QStringLiteral("Jos\u00e9"), "12.50", "T", "2024-02-29", "1 Main St\r\nSpringfield"}));
    EXPECT_EQ(data.Records[1][0], QStringLiteral("Ann"));
    EXPECT_EQ(data.FieldIndex("address"), 4);
    EXPECT_EQ(data.FieldIndex("Zip"), -1);
}

TEST(MergeSource, LoadingRefusesWhatCannotBeRead)
{
    QTemporaryDir dir;
    TMergeData data;
    QString error;
    TMergeSource csv;
    EXPECT_FALSE(LoadMergeData(dir.filePath("missing.csv"), csv, data, &error));
    EXPECT_EQ(error, QStringLiteral("The merge source %1 does not exist").arg(dir.filePath("missing.csv")));
    const QString broken = WriteFile(dir, "broken.csv", "Name\n\"open\n");
    EXPECT_FALSE(LoadMergeData(broken, csv, data, &error));
    EXPECT_EQ(error, QStringLiteral("The merge source %1 cannot be read: a quote opened on line 2 is never closed").arg(broken));
    const QString notTable = WriteFile(dir, "NOT.DBF", "Name\nA\n");
    TMergeSource dbf;
    dbf.Format = TMergeFormat::XBase;
    EXPECT_FALSE(LoadMergeData(notTable, dbf, data, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The table %1 cannot be read: ").arg(notTable))) << error.toStdString();

    // The stored delimiter is used instead of the detected one.
    const QString semi = WriteFile(dir, "semi.csv", "A;B\n1;2\n");
    csv.DelimiterFixed = true;
    csv.Delimiter = TCsvDelimiter::Tab;
    ASSERT_TRUE(LoadMergeData(semi, csv, data, &error));
    EXPECT_EQ(data.Fields, (QStringList{"A;B"}));
}

// dBase III and Clipper tables with a DBT memo file (here as Python's dbf module writes them),
// in the DOS code page their header names, and Visual FoxPro tables with binary number and
// date-time fields are sources as well.
TEST(MergeSource, DBaseTablesWithDbtMemosAndVisualFoxProNumberFieldsAreRead)
{
    if (!QFileInfo::exists("/usr/bin/python3") || QProcess::execute("/usr/bin/python3", {"-c", "import dbf"}) != 0)
        GTEST_SKIP() << "python3-dbf is not installed";
    QTemporaryDir dir;
    const QString script = WriteFile(dir, "make.py",
                                     "import dbf, datetime, decimal\n"
                                     "t = dbf.Table('people.dbf', 'name C(20); note M', dbf_type='db3', codepage='cp1252')\n"
                                     "t.open(dbf.READ_WRITE)\n"
                                     "t.append(('Jos\\u00e9', 'Stra\\u00dfe 1\\r\\n50667 K\\u00f6ln\\r\\n'))\n"
                                     "t.append(('Gone', 'x' * 900))\n"
                                     "t.append(('Ann', ''))\n"
                                     "t.append(('Long', 'z' * 1500))\n"
                                     "dbf.delete(t[1])\n"
                                     "t.close()\n"
                                     "t = dbf.Table('dos.dbf', 'name C(20); note M', dbf_type='clp', codepage='cp850')\n"
                                     "t.open(dbf.READ_WRITE)\n"
                                     "t.append(('M\\u00fcller', 'Stra\\u00dfe 5'))\n"
                                     "t.close()\n"
                                     "t = dbf.Table('numbers.dbf', 'id I null; price Y; ratio B; at T null; name C(8) null',"
                                     " dbf_type='vfp')\n"
                                     "t.open(dbf.READ_WRITE)\n"
                                     "t.append((7, decimal.Decimal('3.25'), 0.5, datetime.datetime(2024, 2, 29, 8, 5, 0), 'Ann'))\n"
                                     "t.append((None, decimal.Decimal('-1'), -2.0, None, None))\n"
                                     "t.close()\n");
    QProcess python;
    python.setWorkingDirectory(dir.path());
    python.start("/usr/bin/python3", {script});
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("people.dbt")));

    TMergeSource s;
    s.Format = TMergeFormat::XBase;
    TMergeData data;
    QString error;
    ASSERT_TRUE(LoadMergeData(dir.filePath("people.dbf"), s, data, &error)) << error.toStdString();
    EXPECT_EQ(data.Fields, (QStringList{"NAME", "NOTE"}));
    ASSERT_EQ(data.Records.size(), 3u);
    EXPECT_EQ(data.Records[0], (QStringList{QStringLiteral("Jos\u00e9"), QStringLiteral("Stra\u00dfe 1\r\n50667 K\u00f6ln")}));
    EXPECT_EQ(data.Records[1], (QStringList{"Ann", ""}));
    EXPECT_EQ(data.Records[2][1], QString(1500, QLatin1Char('z'))); // over three blocks

    // A Clipper table marked as holding the DOS code page 850.
    ASSERT_TRUE(LoadMergeData(dir.filePath("dos.dbf"), s, data, &error)) << error.toStdString();
    ASSERT_EQ(data.Records.size(), 1u);
    EXPECT_EQ(data.Records[0], (QStringList{QStringLiteral("M\u00fcller"), QStringLiteral("Stra\u00dfe 5")}));

    // Python's module never sets a null flag: the second record's flags (the last byte of a
    // record) are set here for the three fields that may be null.
    QFile numbers(dir.filePath("numbers.dbf"));
    ASSERT_TRUE(numbers.open(QIODevice::ReadWrite));
    const QByteArray head = numbers.read(12);
    const int headerSize = uchar(head[8]) | uchar(head[9]) << 8, recordSize = uchar(head[10]) | uchar(head[11]) << 8;
    ASSERT_TRUE(numbers.seek(headerSize + 2 * recordSize - 1));
    numbers.write("\x07", 1);
    numbers.close();
    ASSERT_TRUE(LoadMergeData(dir.filePath("numbers.dbf"), s, data, &error)) << error.toStdString();
    // The null flags field is no field of the list; a field without a value is empty.
    EXPECT_EQ(data.Fields, (QStringList{"ID", "PRICE", "RATIO", "AT", "NAME"}));
    ASSERT_EQ(data.Records.size(), 2u);
    EXPECT_EQ(data.Records[0], (QStringList{"7", "3.2500", "0.5", "2024-02-29 08:05:00", "Ann"}));
    EXPECT_EQ(data.Records[1], (QStringList{"", "-1.0000", "-2", "", ""}));
    numbers.open(QIODevice::ReadWrite);
    numbers.seek(headerSize + 2 * recordSize - 1);
    numbers.write("\x00", 1);
    numbers.close();
    ASSERT_TRUE(LoadMergeData(dir.filePath("numbers.dbf"), s, data, &error)) << error.toStdString();
    EXPECT_EQ(data.Records[1], (QStringList{"0", "-1.0000", "-2", "", ""}));

    // A memo pointer past the end of the DBT file: the table is refused with the reason, and
    // nothing is printed from half a list.
    QFile dbt(dir.filePath("people.dbt"));
    ASSERT_TRUE(dbt.open(QIODevice::ReadWrite));
    ASSERT_TRUE(dbt.resize(512));
    dbt.close();
    EXPECT_FALSE(LoadMergeData(dir.filePath("people.dbf"), s, data, &error));
    EXPECT_EQ(error, QStringLiteral("The table %1 cannot be read: %2: memo block 1 lies outside the file")
                         .arg(dir.filePath("people.dbf"), dir.filePath("people.dbt")));
    EXPECT_TRUE(data.Records.empty());
}

// FoxPro programs keep tags this engine does not (conditions, descending, other functions): the
// list is read in record order all the same.
TEST(MergeSource, ATableWhoseIndexTagsAreBeyondTheEngineIsReadInRecordOrder)
{
    using namespace sw::xbase;
    QTemporaryDir dir;
    const std::string path = dir.filePath("ADDR.DBF").toStdString();
    {
        Table::create(path, {{"NAME", FieldType::Character, 20, 0}});
        Table t(path);
        t.indexTag("NAME", "upper(NAME)");
        for (const char* name : {"Zoe", "Adam"}) {
            t.appendBlank();
            t.putString("NAME", name);
        }
    }
    QFile cdx(dir.filePath("ADDR.CDX"));
    ASSERT_TRUE(cdx.open(QIODevice::ReadWrite));
    QByteArray bytes = cdx.readAll();
    qsizetype at = bytes.indexOf("upper(NAME)");
    if (at < 0)
        at = bytes.indexOf("UPPER(NAME)");
    ASSERT_GE(at, 0);
    bytes.replace(at, 11, "lower(NAME)");
    cdx.seek(0);
    cdx.write(bytes);
    cdx.close();
    EXPECT_THROW(Table(path, OpenMode::ReadOnly), Error);
    EXPECT_THROW(Table(path, OpenMode::Shared, IndexUse::Closed), Error);

    TMergeSource s;
    s.Format = TMergeFormat::XBase;
    TMergeData data;
    QString error;
    ASSERT_TRUE(LoadMergeData(dir.filePath("ADDR.DBF"), s, data, &error)) << error.toStdString();
    ASSERT_EQ(data.Records.size(), 2u);
    EXPECT_EQ(data.Records[0], QStringList{"Zoe"});
    EXPECT_EQ(data.Records[1], QStringList{"Adam"});
}
