// Merge runs drawn into a report stream: records to positions, copies, chosen positions, sheets,
// the counter, and the refusals that come before anything is drawn.
#include "PrintSupport.h"

#include "model/ItemText.h"
#include "print/LabelItemObject.h"
#include "print/MergeRun.h"

#include <gtest/gtest.h>

using namespace sw;
using namespace sw::test;

namespace {

TMergeRun Records(int n)
{
    TMergeRun m;
    m.Data.Fields = {"Name", "City"};
    for (int i = 1; i <= n; ++i)
        m.Data.Records.push_back({QStringLiteral("N%1").arg(i), QStringLiteral("C%1").arg(i)});
    m.ChooseAll();
    return m;
}

TPrintJob MergeJob(const QStringList& items, TMergeRun merge, TSheetLayout sheet = LetterSheet(2, 2))
{
    TPrintJob job = Job(items, 1, sheet);
    job.Merge = std::move(merge);
    return job;
}

std::vector<Drawn> TextsDrawn(const Replayed& out)
{
    std::vector<Drawn> t = out.OfCode(rps::TextLeft);
    for (const Drawn& d : out.OfCode(rps::TextSpan))
        t.push_back(d);
    return t;
}

} // namespace

TEST(MergeRun, RecordsFillThePositionsInOrderWithCopiesAndTheCounterOverAsManySheetsAsNeeded)
{
    auto device = PdfOnlyDevice();
    TMergeRun merge = Records(5);
    merge.Copies = 2;
    QString problem;
    const Replayed out = ReadStream(
        StreamOf(*device, MergeJob(TextItem("{name}/{CITY} {{x}") + CounterItem(7, 1, 1.5), merge), &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    // 5 records x 2 copies on a 2 x 2 sheet: three sheets, the last half full.
    EXPECT_EQ(out.pages, 3);
    EXPECT_EQ(out.Texts(1), QStringList({"N1/C1 {x}", "7", "N1/C1 {x}", "8", "N2/C2 {x}", "9", "N2/C2 {x}", "10"}));
    EXPECT_EQ(out.Texts(3), QStringList({"N5/C5 {x}", "15", "N5/C5 {x}", "16"}));
    const std::vector<Drawn> texts = TextsDrawn(out);
    ASSERT_EQ(texts.size(), 20u);
    // The third label (row 2, column 1) of the first sheet.
    EXPECT_NEAR(texts[4].at.x(), 0.1875 + 0.2, 1e-3);
    EXPECT_GT(texts[4].at.y(), 1.5 + 0.1);

    // Chosen positions and chosen records: only row 1, column 2, records 4 and 2 in that order.
    TPrintJob some = MergeJob(TextItem("{Name}"), Records(5));
    some.Merge->Records = {3, 1};
    some.Positions.SpecificPositionsOnly = true;
    some.Positions.Set(1, true);
    const Replayed two = ReadStream(StreamOf(*device, some, &problem));
    EXPECT_EQ(two.pages, 2);
    EXPECT_EQ(two.Texts(1), QStringList({"N4"}));
    EXPECT_EQ(two.Texts(2), QStringList({"N2"}));
    ASSERT_EQ(TextsDrawn(two).size(), 2u);
    EXPECT_NEAR(TextsDrawn(two)[1].at.x(), 0.1875 + 2.75 + 0.2, 1e-3);

    // A preview shows the first sheet only.
    TPrintJob preview = MergeJob(TextItem("{Name}"), Records(9));
    preview.Merge->FirstSheetOnly = true;
    EXPECT_EQ(ReadStream(StreamOf(*device, preview)).Texts(), QStringList({"N1", "N2", "N3", "N4"}));
}

TEST(MergeRun, FieldValuesPrintWhatTheTableCouldNotHoldAndLineBreaksMakeLines)
{
    auto device = PdfOnlyDevice();
    TMergeRun merge;
    merge.Data.Fields = {"Name", "Address"};
    merge.Data.Records.push_back({QStringLiteral("\u5f20\u4e09 \u0418\u0432\u0430\u043d"),
                                  QStringLiteral("Flat 2\r\n10 High St\nOslo")});
    merge.ChooseAll();
    QString problem;
    const Replayed out = ReadStream(StreamOf(*device, MergeJob(TextItem("{Name}") + TextItem("{Address}"), merge), &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(out.Texts(), QStringList({QStringLiteral("\u5f20\u4e09 \u0418\u0432\u0430\u043d"), "Flat 2", "10 High St", "Oslo"}));
    const std::vector<Drawn> t = TextsDrawn(out);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_NEAR(t[1].at.x(), t[3].at.x(), 1e-6);
    EXPECT_GT(t[2].at.y(), t[1].at.y() + 0.1);
    EXPECT_NEAR(t[3].at.y() - t[2].at.y(), t[2].at.y() - t[1].at.y(), 1e-6);
}

TEST(MergeRun, RefusalsComeBeforeAnythingIsDrawn)
{
    auto device = PdfOnlyDevice();
    QString problem;
    QByteArray stream = StreamOf(*device, MergeJob(Rectangle(0.1, 0.1) + TextItem("Dear {Nmae}"), Records(3)), &problem);
    EXPECT_EQ(problem, QStringLiteral("The field {Nmae} of text item 2 (\"Dear {Nmae}\") is not in the merge source; "
                                      "its fields are: Name, City"));
    EXPECT_TRUE(stream.isEmpty());
    StreamOf(*device, MergeJob(TextItem("{Name}"), Records(0)), &problem);
    EXPECT_EQ(problem, QStringLiteral("No records to print"));
    // A label without a source prints braces as they are.
    EXPECT_EQ(ReadStream(StreamOf(*device, Job(TextItem("{Name} {{")))).Texts().first(), QStringLiteral("{Name} {{"));
}

// What a program without merge sources does with a label that has one: the print reader passes
// over the key lines before the first record (no item is added, nothing of them prints) and the
// label prints as it is, its field names as written.
TEST(MergeRun, OlderReadersPrintTheLabelWithoutItsSource)
{
    TMergeSource source;
    source.File = QStringLiteral("/data/addresses.dbf");
    source.Format = TMergeFormat::XBase;
    const QStringList items = Rectangle(0.1, 0.1) + TextItem("Dear {Name}");
    TItemsList plain, withSource;
    EXPECT_EQ(MakeItemsStringList(items, plain), 1);
    EXPECT_EQ(MakeItemsStringList(MergeSourceLines(source) + items, withSource), 1);
    EXPECT_EQ(withSource.Items[0].ItemKind, ikRectangle);
    EXPECT_EQ(withSource.Items[1].Text, QStringLiteral("Dear {Name}"));

    auto device = PdfOnlyDevice();
    const Replayed out = ReadStream(StreamOf(*device, Job(MergeSourceLines(source) + items)));
    EXPECT_EQ(out.Texts(), QStringList(30, QStringLiteral("Dear {Name}")));
    EXPECT_EQ(out.OfCode(rps::Rectangle).size(), 30u);
}

// A code's data takes the record's fields with the counter, in one pass: a brace in a value stays
// a brace. A field the source lacks is refused before anything prints, naming the code.
TEST(MergeRun, CodesCarryTheRecordsFieldsWithTheCounter)
{
    auto device = PdfOnlyDevice();
    TMergeRun merge;
    merge.Data.Fields = {"Zip", "Name"};
    merge.Data.Records = {{"1001", "A{b}"}, {"2002", "C"}};
    merge.ChooseAll();
    QString problem;
    const Replayed out = ReadStream(
        StreamOf(*device, MergeJob(BarcodeItem("CODE128", "{zip}-{COUNTER:3}-{Name}"), merge), &problem));
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(out.Texts(), QStringList({"1001-001-A{b}", "2002-002-C"}));

    StreamOf(*device, MergeJob(TextItem("{Name}") + BarcodeItem("CODE128", "{City}"), merge), &problem);
    EXPECT_EQ(problem, QStringLiteral("The field {City} of barcode item 2 (\"{City}\") is not in the merge source; "
                                      "its fields are: Zip, Name"));
}
