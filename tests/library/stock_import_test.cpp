// Label stocks from template files: reading the XML, what the catalogue can hold and why not,
// importing all or nothing, the installed glabels-data folder, the makers' published sizes.
#include "support/Fakes.h"
#include "library/ImportTemplates.h"
#include "library/StockImport.h"
#include "library/TemplateCatalogue.h"
#include "xbase/Codepage.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

using namespace sw::library;
using sw::xbase::Table;

namespace {

const QString kInstalled = QStringLiteral("/usr/share/libglabels-3.0/templates");

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray Templates(const QByteArray& body)
{
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + body + "</Glabels-templates>\n";
}

QByteArray Rect(const QByteArray& attrs, const QByteArray& size, const QByteArray& layout,
                const QByteArray& paper = "US-Letter")
{
    return "<Template " + attrs + " size=\"" + paper + "\"><Meta category=\"label\"/>"
           "<Label-rectangle id=\"0\" " + size + "><Markup-margin size=\"5\"/><Layout " + layout +
           "/></Label-rectangle></Template>\n";
}

struct Ran {
    int status = -1;
    QString out, err;
};

Ran Command(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(300000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The one candidate whose name starts with the text.
const TStockCandidate& Named(const std::vector<TStockCandidate>& stocks, const QString& start)
{
    const TStockCandidate* found = nullptr;
    for (const auto& c : stocks)
        if (c.Values.Description.startsWith(start)) {
            EXPECT_EQ(found, nullptr) << "two stocks start with " << start.toStdString();
            found = &c;
        }
    if (!found)
        ADD_FAILURE() << "no stock starts with " << start.toStdString();
    static const TStockCandidate none;
    return found ? *found : none;
}

int Visible(Table& t)
{
    int n = 0;
    for (t.goTop(); !t.eof(); t.skip(1))
        ++n;
    return n;
}

std::array<int, kSkipReasonCount> Counted(const std::vector<TStockCandidate>& stocks, int* usable)
{
    std::array<int, kSkipReasonCount> by{};
    *usable = 0;
    for (const auto& c : stocks) {
        if (c.Skip == TSkipReason::None)
            ++*usable;
        else
            ++by[size_t(c.Skip)];
    }
    return by;
}

std::vector<TTemplateValues> Usable(const std::vector<TStockCandidate>& stocks)
{
    std::vector<TTemplateValues> out;
    for (const auto& c : stocks)
        if (c.Skip == TSkipReason::None)
            out.push_back(c.Values);
    return out;
}

} // namespace

TEST(StockFile, LengthsInEveryUnitTheFilesUse)
{
    const std::pair<const char*, double> good[] = {{"2.5in", 2.5},  {"25.4mm", 1},   {"2.54cm", 1},
                                                   {"72pt", 1},     {"72", 1},       {"6pc", 1},
                                                   {" 1.5 in ", 1.5}, {"-36pt", -0.5}, {"1e1mm", 10 / 25.4}};
    for (const auto& [text, inches] : good) {
        const auto v = LengthInInches(QString::fromLatin1(text));
        ASSERT_TRUE(v) << text;
        EXPECT_NEAR(*v, inches, 1e-12) << text;
    }
    QString unit;
    LengthInInches(u"70mm", &unit);
    EXPECT_EQ(unit, "mm");
    LengthInInches(u"70", &unit);
    EXPECT_EQ(unit, "pt");
    for (const char* text : {"5furlongs", "2px", "1 inch", "3MM"}) {
        bool unknown = false;
        EXPECT_FALSE(LengthInInches(QString::fromLatin1(text), nullptr, &unknown)) << text;
        EXPECT_TRUE(unknown) << text;
    }
    for (const char* text : {"in", "", " mm"})
        EXPECT_EQ(LengthInInches(QString::fromLatin1(text)), 0.0) << "a unit alone is 0: " << text;
    for (const char* text : {"abc", "1e999mm", "nan", "inf", "1,5mm", "1.2.3in", "-"}) {
        bool unknown = false;
        EXPECT_FALSE(LengthInInches(QString::fromLatin1(text), nullptr, &unknown)) << text;
        EXPECT_FALSE(unknown) << text;
    }
}

TEST(StockFile, AFaultNamesTheFileAndTheFileGivesNothing)
{
    const QByteArray good = Rect("brand=\"A\" part=\"1\"", "width=\"2in\" height=\"1in\"", "nx=\"1\" ny=\"1\"");
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* says;
    };
    const Case cases[] = {
        {"unclosed.xml", "<Glabels-templates>" + good, "line 2: the XML is malformed"},
        {"garbage.xml", Templates(good + "<Template brand=\"A\" part=\"2\"><oops</Template>"), "the XML is malformed"},
        {"paper-sizes.xml", "<Glabels-paper-sizes><Paper-size id=\"A4\"/></Glabels-paper-sizes>",
         "is not a file of label templates"},
        {"notes.txt", "just some words", "the XML is malformed"},
        {"empty.xml", "", "the XML is malformed"},
        {"unit.xml", Templates(good + Rect("brand=\"A\" part=\"2\"", "width=\"2furlongs\" height=\"1in\"", "nx=\"1\" ny=\"1\"")),
         "unknown unit in width=\"2furlongs\""},
        {"layout-unit.xml", Templates(Rect("brand=\"A\" part=\"2\"", "width=\"2in\" height=\"1in\"", "nx=\"1\" ny=\"1\" x0=\"3px\"")),
         "unknown unit in x0=\"3px\""},
        {"missing.xml", Templates(Rect("brand=\"A\" part=\"2\"", "width=\"2in\"", "nx=\"1\" ny=\"1\"")),
         "<Label-rectangle> has no height"},
        {"count.xml", Templates(Rect("brand=\"A\" part=\"2\"", "width=\"2in\" height=\"1in\"", "nx=\"two\" ny=\"1\"")),
         "nx=\"two\" is not a whole number"},
    };
    for (const Case& c : cases) {
        const TStockFile f = ReadStockFile(c.bytes, QString::fromLatin1(c.name));
        EXPECT_TRUE(f.Templates.empty()) << c.name;
        EXPECT_TRUE(f.Error.startsWith(QString::fromLatin1(c.name))) << f.Error.toStdString();
        EXPECT_TRUE(f.Error.contains(QString::fromLatin1(c.says))) << f.Error.toStdString();
    }
    // A sound file next to a bad one: the import reads neither.
    QTemporaryDir dir;
    WriteFile(dir, "a-templates.xml", Templates(good));
    WriteFile(dir, "b-templates.xml", Templates(good + "<Template"));
    WriteFile(dir, "paper-sizes.xml", "<Glabels-paper-sizes/>");  // not a template file name: passed over
    const QStringList files = StockFiles({dir.path()});
    ASSERT_EQ(files.size(), 2);
    const TStockSet set = ReadStocks(files, {});
    EXPECT_TRUE(set.Stocks.empty());
    EXPECT_TRUE(set.Error.startsWith(dir.filePath("b-templates.xml"))) << set.Error.toStdString();
    EXPECT_EQ(ReadStockFile(dir.filePath("none.xml")).Error.left(dir.filePath("none.xml").size()), dir.filePath("none.xml"));
}

TEST(StockImport, ShapesPapersLimitsAndEquivalents)
{
    const QByteArray body =
        Rect("brand=\"Avery\" part=\"5160\" _description=\"Address Labels\"", "width=\"2.625in\" height=\"1in\" round=\"0.0625in\"",
             "nx=\"3\" ny=\"10\" x0=\"0.1875in\" y0=\"0.5in\" dx=\"2.75in\" dy=\"1in\"") +
        "<Template brand=\"Avery\" part=\"8160\" equiv=\"5160\"/>\n"
        "<Template brand=\"Avery\" part=\"9160\" equiv=\"8160\"/>\n"  // an equivalent of an equivalent
        "<Template brand=\"Avery\" part=\"1\" equiv=\"2\"/><Template brand=\"Avery\" part=\"2\" equiv=\"1\"/>\n"
        "<Template brand=\"Other\" part=\"8160\" equiv=\"5160\"/>\n"  // the same maker's parts only
        + Rect("brand=\"Herma\" part=\"4283\" _description=\"Arch File Labels\"", "width=\"544.252\" height=\"110.551\" round=\"0\"",
               "nx=\"1\" ny=\"6\" x0=\"25.5118\" y0=\"32.5984\" dx=\"0\" dy=\"133.228\"", "A4") +
        "<Template brand=\"M\" part=\"round\" size=\"A5\" description=\"Dots\"><Label-round id=\"0\" radius=\"2.54cm\">"
        "<Layout nx=\"2\" ny=\"3\" x0=\"1pc\" y0=\"1pc\" dx=\"3in\" dy=\"3in\"/></Label-round></Template>\n"
        "<Template brand=\"M\" part=\"oval\" size=\"A3\"><Label-ellipse id=\"0\" width=\"3in\" height=\"2in\">"
        "<Layout nx=\"1\" ny=\"1\"/></Label-ellipse></Template>\n"
        "<Template brand=\"M\" part=\"cd\" size=\"A4\"><Label-cd id=\"0\" radius=\"58mm\" hole=\"18mm\">"
        "<Layout nx=\"1\" ny=\"2\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"/></Label-cd></Template>\n"
        "<Template brand=\"M\" part=\"roll\" size=\"Other\"><Label-continuous id=\"0\" width=\"62mm\"/></Template>\n"
        "<Template brand=\"M\" part=\"path\" size=\"A4\"><Label-path id=\"0\"><Layout nx=\"1\" ny=\"1\"/></Label-path></Template>\n"
        "<Template brand=\"M\" part=\"twolayouts\" size=\"A4\"><Label-rectangle id=\"0\" width=\"2in\" height=\"1in\">"
        "<Layout nx=\"1\" ny=\"1\"/><Layout nx=\"1\" ny=\"1\" x0=\"3in\"/></Label-rectangle></Template>\n"
        "<Template brand=\"M\" part=\"twoframes\" size=\"A4\"><Label-rectangle id=\"0\" width=\"2in\" height=\"1in\">"
        "<Layout nx=\"1\" ny=\"1\"/></Label-rectangle><Label-rectangle id=\"1\" width=\"2in\" height=\"1in\">"
        "<Layout nx=\"1\" ny=\"1\" x0=\"3in\"/></Label-rectangle></Template>\n"
        "<Template brand=\"M\" part=\"nolayout\" size=\"A4\"><Label-rectangle id=\"0\" width=\"2in\" height=\"1in\"/></Template>\n" +
        Rect("brand=\"M\" part=\"eleven\"", "width=\"1in\" height=\"1in\"", "nx=\"11\" ny=\"1\" dx=\"1in\"") +
        Rect("brand=\"M\" part=\"thirtyone\"", "width=\"1in\" height=\"0.3in\"", "nx=\"1\" ny=\"31\" dy=\"0.3in\"") +
        Rect("brand=\"M\" part=\"ten-thirty\"", "width=\"1in\" height=\"0.3in\"", "nx=\"10\" ny=\"30\" dx=\"1in\" dy=\"0.3in\"") +
        Rect("brand=\"M\" part=\"narrow\"", "width=\"0.999in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
        Rect("brand=\"M\" part=\"low\"", "width=\"26mm\" height=\"7mm\"", "nx=\"1\" ny=\"1\"") +
        Rect("brand=\"M\" part=\"overlap\"", "width=\"2in\" height=\"1in\"", "nx=\"2\" ny=\"1\" dx=\"1.5in\"") +
        Rect("brand=\"M\" part=\"hair\"", "width=\"2in\" height=\"1.01in\"", "nx=\"2\" ny=\"2\" dx=\"2in\" dy=\"1in\"") +
        Rect("brand=\"M\" part=\"huge\"", "width=\"120in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
        Rect("brand=\"M\" part=\"negative\"", "width=\"2in\" height=\"1in\"", "nx=\"1\" ny=\"1\" x0=\"-1mm\"") +
        Rect("brand=\"Caf\xc3\xa9\" part=\"\xe2\x84\x96" "1\" _description=\"Etiketten \xe2\x80\x94 \xe6\xbc\xa2 very long description that runs on and on\"",
             "width=\"2in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
        Rect("brand=\"AVERY\" part=\"5160\" _description=\"address labels\"", "width=\"2.625in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
        Rect("brand=\"Kept\" part=\"1\" _description=\"Labels\"", "width=\"2in\" height=\"1in\"", "nx=\"1\" ny=\"1\"");
    QTemporaryDir dir;
    const QString file = WriteFile(dir, "m-templates.xml", Templates(body));
    const TStockSet set = ReadStocks({file}, {QStringLiteral("KEPT 1 LABELS 2\" X 1\"")});
    ASSERT_TRUE(set.Error.isEmpty()) << set.Error.toStdString();
    const auto& s = set.Stocks;

    const TStockCandidate& avery = Named(s, "Avery 5160 ");
    EXPECT_EQ(avery.Values.Description, "Avery 5160 Address Labels 2.625\" x 1\"");
    EXPECT_EQ(avery.Skip, TSkipReason::None);
    EXPECT_EQ(avery.Values.LblShape, "RR");
    EXPECT_EQ(avery.Values.PaperSize, "LTR");
    EXPECT_TRUE(avery.Values.UserDef);
    EXPECT_EQ(avery.File, file);
    for (const char* part : {"Avery 8160 ", "Avery 9160 "}) {
        const TStockCandidate& eq = Named(s, part);
        EXPECT_EQ(eq.Skip, TSkipReason::None) << part;
        EXPECT_EQ(eq.Values.Description, QString::fromLatin1(part) + "Address Labels 2.625\" x 1\"");
        TTemplateValues same = eq.Values;
        same.Description = avery.Values.Description;
        EXPECT_FLOAT_EQ(same.HorizPitch, avery.Values.HorizPitch);
        EXPECT_FLOAT_EQ(same.LeftMarg, avery.Values.LeftMarg);
        EXPECT_EQ(same.NbrDown, 10);
    }
    EXPECT_EQ(Named(s, "Avery 1").Skip, TSkipReason::UnknownEquivalent) << "a loop of equivalents";
    EXPECT_EQ(Named(s, "Other 8160").Skip, TSkipReason::UnknownEquivalent);

    // Points without a unit; one across with no horizontal pitch: the pitch is the width.
    const TTemplateValues& herma = Named(s, "Herma 4283 ").Values;
    EXPECT_EQ(herma.Description, "Herma 4283 Arch File Labels 192 x 39 mm");
    EXPECT_FLOAT_EQ(herma.LblWidth, 7.559f);
    EXPECT_FLOAT_EQ(herma.HorizPitch, 7.559f);
    EXPECT_FLOAT_EQ(herma.LblHeight, 1.535f);
    EXPECT_FLOAT_EQ(herma.VertPitch, 1.850f);
    EXPECT_FLOAT_EQ(herma.TopMarg, 0.453f);
    EXPECT_FLOAT_EQ(herma.LeftMarg, 0.354f);
    EXPECT_EQ(herma.LblShape, "SR");
    EXPECT_EQ(herma.PaperSize, "A4");

    const TStockCandidate& round = Named(s, "M round ");
    EXPECT_EQ(round.Skip, TSkipReason::None);
    EXPECT_EQ(round.Values.Description, "M round Dots 50.8 x 50.8 mm");
    EXPECT_FLOAT_EQ(round.Values.LblWidth, 2.0f);
    EXPECT_FLOAT_EQ(round.Values.LblHeight, 2.0f);
    EXPECT_FLOAT_EQ(round.Values.LeftMarg, 0.167f);
    EXPECT_EQ(round.Values.LblShape, "RE");
    EXPECT_EQ(round.Values.PaperSize, "A5");
    const TStockCandidate& oval = Named(s, "M oval ");
    EXPECT_EQ(oval.Skip, TSkipReason::None);
    EXPECT_EQ(oval.Values.LblShape, "RE");
    EXPECT_EQ(oval.Values.PaperSize, "USER");
    // A label a hair larger than its pitch (within half a millimetre) is taken as its pitch.
    const TStockCandidate& hair = Named(s, "M hair ");
    EXPECT_EQ(hair.Skip, TSkipReason::None);
    EXPECT_EQ(hair.Values.Description, "M hair 2\" x 1.01\"");
    EXPECT_FLOAT_EQ(hair.Values.LblHeight, 1.0f);
    EXPECT_EQ(Named(s, "M cd ").Values.Description, "M cd 116 x 116 mm");
    EXPECT_EQ(Named(s, "M roll").Values.Description, "M roll") << "no size to tell";
    EXPECT_EQ(Named(s, "M ten-thirty ").Skip, TSkipReason::None) << "10 across, 30 down, 1 x 0.3 inch still fit";

    const std::pair<const char*, TSkipReason> skipped[] = {
        {"M cd", TSkipReason::CdDvd},          {"M roll", TSkipReason::Continuous},
        {"M path", TSkipReason::OtherOutline}, {"M twolayouts", TSkipReason::SeveralLayouts},
        {"M twoframes", TSkipReason::SeveralLayouts}, {"M nolayout", TSkipReason::NoLayout},
        {"M eleven", TSkipReason::TooMany},    {"M thirtyone", TSkipReason::TooMany},
        {"M narrow", TSkipReason::TooSmall},   {"M low", TSkipReason::TooSmall},
        {"M overlap", TSkipReason::Overlapping}, {"M huge", TSkipReason::OutOfRange},
        {"M negative", TSkipReason::OutOfRange}, {"AVERY 5160", TSkipReason::AlreadyThere},
        {"Kept 1", TSkipReason::AlreadyThere},
    };
    for (const auto& [name, reason] : skipped)
        EXPECT_EQ(Named(s, QString::fromLatin1(name)).Skip, reason) << name;

    // What Windows-1252 cannot hold becomes '?'; the name is cut to the field's 60 characters.
    const TTemplateValues& foreign = Named(s, QString::fromUtf8("Caf\xc3\xa9 ")).Values;
    EXPECT_EQ(foreign.Description, QString::fromUtf8("Caf\xc3\xa9 ?1 Etiketten \xe2\x80\x94 ? very long description that runs on and"));
    EXPECT_EQ(foreign.Description.size(), 60);

    int usable = 0;
    const auto by = Counted(s, &usable);
    EXPECT_EQ(usable, 9);
    EXPECT_EQ(ImportSummary(usable, by).section(u'\n', 0, 2),
              QStringLiteral("Imported 9 label stocks.\n\nSkipped 18:"));
    EXPECT_TRUE(ImportSummary(usable, by).contains("    2  several layouts on one sheet"));
    EXPECT_EQ(ImportSummary(1, {}), "Imported 1 label stock.");
}

TEST(StockImport, AnImportIsWholeOrNothing)
{
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    auto table = OpenTemplateTable(dir);
    const int before = Visible(*table);
    std::vector<TTemplateValues> stocks(5);
    for (int i = 0; i < 5; ++i) {
        stocks[size_t(i)].Description = QStringLiteral("Stock %1").arg(i);
        stocks[size_t(i)].LblWidth = 2;
        stocks[size_t(i)].LblHeight = 1;
        stocks[size_t(i)].PaperSize = "LTR";
        stocks[size_t(i)].LblShape = "SR";
    }
    // A value the table refuses part-way: the three already appended go again.
    stocks[3].NbrAcross = 100;
    TAppendResult r = AppendStocks(*table, stocks);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.Error.isEmpty());
    EXPECT_EQ(r.Appended, 0);
    EXPECT_EQ(Visible(*table), before);
    EXPECT_TRUE(table->check().ok());

    // Stopped from the progress window: the same.
    stocks[3].NbrAcross = 1;
    int calls = 0;
    r = AppendStocks(*table, std::vector<TTemplateValues>(40, stocks[0]), [&](int done, int) { return ++calls < 3 || done == 0; });
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(Visible(*table), before);

    r = AppendStocks(*table, stocks);
    ASSERT_TRUE(r.ok()) << r.Error.toStdString();
    EXPECT_EQ(r.Appended, 5);
    EXPECT_EQ(Visible(*table), before + 5);
    table->go(r.LastRecNo);
    EXPECT_EQ(ReadTemplate(*table).Description, "Stock 4");
    EXPECT_TRUE(ReadTemplate(*table).UserDef);
    EXPECT_TRUE(table->check().ok());
}

// The makers' published sizes of ten well-known stocks (inches; A4 stocks from millimetres),
// against what importing the installed glabels-data gives. Where the data differs from what
// the maker publishes, the data's value is listed beside it: the import keeps the file's value.
TEST(StockImport, TheInstalledGlabelsDataAndTenWellKnownStocks)
{
    ASSERT_TRUE(QDir(kInstalled).exists()) << "glabels-data is not installed (scripts/install-deps.sh)";
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    auto table = OpenTemplateTable(dir);
    const int before = Visible(*table);
    const TStockSet set = ReadStocks(StockFiles({kInstalled}), CatalogueNames(*table));
    ASSERT_TRUE(set.Error.isEmpty()) << set.Error.toStdString();
    int usable = 0;
    const auto by = Counted(set.Stocks, &usable);
    std::cout << "glabels-data: " << set.Stocks.size() << " templates\n"
              << ImportSummary(usable, by).toStdString() << "\n";
    EXPECT_GT(usable, 900);
    EXPECT_GT(by[size_t(TSkipReason::CdDvd)], 0);
    EXPECT_GT(by[size_t(TSkipReason::SeveralLayouts)], 0);
    EXPECT_EQ(by[size_t(TSkipReason::UnknownEquivalent)], 0);

    const TAppendResult r = AppendStocks(*table, Usable(set.Stocks));
    ASSERT_TRUE(r.ok()) << r.Error.toStdString();
    EXPECT_EQ(r.Appended, usable);
    EXPECT_EQ(Visible(*table), before + usable);
    EXPECT_TRUE(table->check().ok());

    const double mm = 1 / 25.4;
    struct Want {
        const char* name;
        double h, w;
        int across, down;
        double top, left, hpitch, vpitch;
        const char* paper;
        const char* shape;
        std::map<std::string, double> data;  // where glabels-data differs from the maker
    };
    const Want wanted[] = {
        {"Avery 5160 Address Labels 2.625\" x 1\"", 1, 2.625, 3, 10, 0.5, 0.1875, 2.75, 1, "LTR", "RR",
         {{"left", 0.15625}, {"hpitch", 2.78125}}},
        {"Avery 8160 Address Labels 2.625\" x 1\"", 1, 2.625, 3, 10, 0.5, 0.1875, 2.75, 1, "LTR", "RR",
         {{"left", 0.15625}, {"hpitch", 2.78125}}},
        {"Avery 5161 Address Labels 4\" x 1\"", 1, 4, 2, 10, 0.5, 0.15625, 4.1875, 1, "LTR", "RR", {}},
        {"Avery 5163 Shipping Labels 4\" x 2\"", 2, 4, 2, 5, 0.5, 0.15625, 4.1875, 2, "LTR", "RR", {{"left", 0.1625}}},
        {"Avery 5167 Return Address Labels 1.75\" x 0.5\"", 0.5, 1.75, 4, 20, 0.5, 0.28125, 2.0625, 0.5, "LTR", "RR", {}},
        {"Avery 5371 Business Cards 3.5\" x 2\"", 2, 3.5, 2, 5, 0.5, 0.75, 3.5, 2, "LTR", "SR", {}},
        {"Avery L7160 ", 38.1 * mm, 63.5 * mm, 3, 7, 15.15 * mm, 7.21 * mm, 66.04 * mm, 38.1 * mm, "A4", "RR",
         {{"w", 181.4 / 72}, {"top", 43.9 / 72}, {"left", 21.2 / 72}}},
        {"Avery L7163 ", 38.1 * mm, 99.1 * mm, 2, 7, 15.15 * mm, 4.65 * mm, 101.6 * mm, 38.1 * mm, "A4", "RR",
         {{"left", 9.5 / 72}, {"hpitch", 292.0 / 72}}},
        {"Online Labels OL2682 Round labels 2\" x 2\"", 2, 2, 3, 4, 0.6, 0.625, 2.625, 2.6, "LTR", "RE", {}},
        {"Dymo 99012 Large Address Labels 36 x 89 mm", 89 * mm, 36 * mm, 1, 1, 0, 0, 36 * mm, 89 * mm, "USER", "SR", {}},
    };
    std::map<QString, TTemplateValues> stored;
    for (table->goTop(); !table->eof(); table->skip(1)) {
        const TTemplateValues v = ReadTemplate(*table);
        if (v.UserDef)
            stored.emplace(v.Description, v);
    }
    for (const Want& w : wanted) {
        const auto at = std::find_if(stored.begin(), stored.end(),
                                     [&](const auto& e) { return e.first.startsWith(QString::fromLatin1(w.name)); });
        ASSERT_NE(at, stored.end()) << w.name;
        const TTemplateValues& v = at->second;
        auto expect = [&](const char* field, float got, double published) {
            const auto d = w.data.find(field);
            const double want = d == w.data.end() ? published : d->second;
            EXPECT_NEAR(got, want, 0.0006 + 1e-6) << w.name << " " << field;
        };
        expect("h", v.LblHeight, w.h);
        expect("w", v.LblWidth, w.w);
        expect("top", v.TopMarg, w.top);
        expect("left", v.LeftMarg, w.left);
        expect("hpitch", v.HorizPitch, w.hpitch);
        expect("vpitch", v.VertPitch, w.vpitch);
        EXPECT_EQ(v.NbrAcross, w.across) << w.name;
        EXPECT_EQ(v.NbrDown, w.down) << w.name;
        EXPECT_EQ(v.PaperSize, w.paper) << w.name;
        EXPECT_EQ(v.LblShape, w.shape) << w.name;
        EXPECT_TRUE(v.UserDef) << w.name;
    }

    // Importing again adds nothing: every name is there already.
    const TStockSet again = ReadStocks(StockFiles({kInstalled}), CatalogueNames(*table));
    int usableAgain = 0;
    const auto byAgain = Counted(again.Stocks, &usableAgain);
    EXPECT_EQ(usableAgain, 0);
    EXPECT_EQ(byAgain[size_t(TSkipReason::AlreadyThere)], by[size_t(TSkipReason::AlreadyThere)] + usable);

    // Independent xBase readers take the catalogue: every name, in the same order as the index.
    QStringList names;
    for (table->goTop(); !table->eof(); table->skip(1))
        names << FieldText(*table, "TEMPLATE");
    table->close();
    const QString path = dir + QStringLiteral("QXLTPL.DBF");
    const Ran dump = Command(QStringLiteral("dbf_dump"), {QStringLiteral("--fields"), QStringLiteral("TEMPLATE"), path});
    ASSERT_EQ(dump.status, 0) << dump.err.toStdString();
    EXPECT_EQ(dump.out.split(u'\n', Qt::SkipEmptyParts).size(), names.size());

    const QString script = QStringLiteral(
        "import dbf, sys\n"
        "t = dbf.Table(sys.argv[1], codepage='cp1252'); t.open()\n"
        "rows = [r for r in t if not dbf.is_deleted(r)]\n"
        "rows.sort(key=lambda r: r.template.rstrip().upper())\n"
        "user = sum(1 for r in rows if r.userdef)\n"
        "print(len(rows), user)\n"
        "for r in rows:\n"
        "    if r.template.startswith('Avery 5160 '):\n"
        "        print('%s|%.3f|%.3f|%d|%d|%.3f|%.3f|%.3f|%.3f|%s|%s' % (r.template.rstrip(), r.lblheight, r.lblwidth,"
        " r.nbracross, r.nbrdown, r.topmarg, r.leftmarg, r.horizpitch, r.vertpitch, r.papersize.rstrip(), r.lblshape))\n");
    const QString py = WriteFile(tmp, "read.py", script.toUtf8());
    const Ran python = Command(QStringLiteral("/usr/bin/python3"), {py, path});
    ASSERT_EQ(python.status, 0) << python.err.toStdString();
    EXPECT_EQ(python.out, QStringLiteral("%1 %2\nAvery 5160 Address Labels 2.625\" x 1\"|1.000|2.625|3|10|0.500|0.156|2.781|1.000|LTR|RR\n")
                              .arg(names.size())
                              .arg(usable));
}

TEST(StockImport, TheBatchCommandImportsAllOrReportsTheFile)
{
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    const QString table = dir + QStringLiteral("QXLTPL.DBF");
    const QString batch = QStringLiteral(STICKWELL_BIN_DIR "/stickwell-batch");
    const QString good = WriteFile(tmp, "good.xml", Templates(Rect("brand=\"B\" part=\"1\" _description=\"Tags\"",
                                                                      "width=\"70mm\" height=\"36mm\"",
                                                                      "nx=\"3\" ny=\"8\" dx=\"70mm\" dy=\"36mm\"", "A4")));
    const QString bad = WriteFile(tmp, "bad.xml", Templates(Rect("brand=\"B\" part=\"2\"", "width=\"7zz\" height=\"3mm\"", "nx=\"1\" ny=\"1\"")));
    const int before = [&] {
        Table t(table.toStdString());
        t.setDeleted(true);
        return Visible(t);
    }();

    Ran r = Command(batch, {QStringLiteral("import-templates"), QStringLiteral("--table"), table, good, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(bad + ", line ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("nothing was imported")) << r.err.toStdString();
    {
        Table t(table.toStdString());
        t.setDeleted(true);
        EXPECT_EQ(Visible(t), before);
    }
    r = Command(batch, {QStringLiteral("import-templates"), QStringLiteral("--table"), table, good});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Imported 1 label stock.\n");
    r = Command(batch, {QStringLiteral("import-templates"), QStringLiteral("--table"), table, good});
    EXPECT_EQ(r.out, "Imported 0 label stocks.\n\nSkipped 1:\n    1  name already in the catalogue\n");
    Table t(table.toStdString());
    t.setDeleted(true);
    EXPECT_EQ(Visible(t), before + 1);
    EXPECT_TRUE(t.check().ok());
    EXPECT_EQ(Command(batch, {QStringLiteral("import-templates"), good}).status, 2);
}

TEST(ImportDialog, ListsFiltersChecksAndImportsTheCheckedStocks)
{
    QTemporaryDir tmp;
    const QString dir = NewDataDirectory(tmp);
    auto table = OpenTemplateTable(dir);
    const int before = Visible(*table);
    FakeServices services;
    const QString file = WriteFile(
        tmp, "x-templates.xml",
        Templates(Rect("brand=\"B\" part=\"10\" _description=\"Tags\"", "width=\"2in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
                  Rect("brand=\"B\" part=\"11\" _description=\"Tags\"", "width=\"3in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
                  Rect("brand=\"C\" part=\"12\" _description=\"Dots\"", "width=\"3in\" height=\"1in\"", "nx=\"1\" ny=\"1\"") +
                  Rect("brand=\"C\" part=\"13\" _description=\"Tiny\"", "width=\"0.5in\" height=\"1in\"", "nx=\"1\" ny=\"1\"")));
    TImportTemplates d(services, *table);
    ASSERT_TRUE(d.ReadFrom({file}));
    QAbstractItemModel& m = *d.Stocks();
    ASSERT_EQ(m.rowCount(), 4);
    EXPECT_EQ(m.index(3, 4).data().toString(), "narrower than 1 inch or lower than 0.3 inch");
    EXPECT_FALSE(m.flags(m.index(3, 0)) & Qt::ItemIsEnabled);
    EXPECT_FALSE(d.ImportButton->isEnabled());

    // The filter hides rows, checking acts on the rows shown, checks survive the filter.
    d.FilterEdit->setText(QStringLiteral("b tags"));
    ASSERT_EQ(m.rowCount(), 2);
    d.CheckAllButtonClick();
    d.FilterEdit->setText(QStringLiteral("11"));
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_TRUE(m.setData(m.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    d.FilterEdit->clear();
    ASSERT_EQ(m.rowCount(), 4);
    EXPECT_EQ(m.index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(m.index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(m.setData(m.index(3, 0), Qt::Checked, Qt::CheckStateRole)) << "a stock that cannot be imported";
    EXPECT_TRUE(d.CountLabel->text().contains("3 can be imported, 1 checked")) << d.CountLabel->text().toStdString();

    d.ImportButtonClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0],
              "Imported 1 label stock.\n\nSkipped 1:\n    1  narrower than 1 inch or lower than 0.3 inch");
    ASSERT_NE(d.LastImported(), 0u);
    table->go(d.LastImported());
    EXPECT_EQ(ReadTemplate(*table).Description, "B 10 Tags 2\" x 1\"");
    EXPECT_EQ(Visible(*table), before + 1);

    // A file that cannot be read: named in the message, nothing listed.
    TImportTemplates again(services, *table);
    const QString bad = WriteFile(tmp, "bad-templates.xml", "<Glabels-templates><Template");
    EXPECT_FALSE(again.ReadFrom({file, bad}));
    EXPECT_EQ(again.Stocks()->rowCount(), 0);
    EXPECT_TRUE(services.messages.last().startsWith(bad + ", line 1: the XML is malformed"))
        << services.messages.last().toStdString();
}
