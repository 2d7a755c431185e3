#include "LabelDamage.h"

#include "library/TableLayouts.h"
#include "xbase/Table.h"

#include <QFile>
#include <random>

namespace damage {

namespace {

QString Path(const QString& dir, const char* name)
{
    return dir + QLatin1String(name);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void Truncate(const QString& path, qint64 size)
{
    QFile f(path);
    f.resize(std::max<qint64>(0, size));
}

void Overwrite(const QString& path, qint64 at, const QByteArray& bytes)
{
    QByteArray all = ReadAll(path);
    if (at < 0 || at >= all.size())
        return;
    all.replace(at, std::min<qint64>(bytes.size(), all.size() - at), bytes.left(all.size() - at));
    WriteAll(path, all);
}

unsigned Le16(const QByteArray& b, int at)
{
    return std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8;
}

unsigned Be32(const QByteArray& b, qint64 at)
{
    return unsigned(std::uint8_t(b[at])) << 24 | std::uint8_t(b[at + 1]) << 16 | std::uint8_t(b[at + 2]) << 8 |
           std::uint8_t(b[at + 3]);
}

// DBF layout: header size at 8, record size at 10 (little-endian); record n (1-based) after
// the header; the OBJECTS memo pointer is the last 10 bytes of a record (ASCII block number).
struct Layout {
    qint64 headerSize = 0, recordSize = 0, memoBlockSize = 64;
    qint64 Record(std::uint32_t n) const { return headerSize + (n - 1) * recordSize; }
    qint64 MemoPointer(std::uint32_t n) const { return Record(n) + recordSize - 10; }
};

Layout LayoutOf(const QString& dir)
{
    const QByteArray dbf = ReadAll(Path(dir, "QXLBLS.DBF"));
    const QByteArray fpt = ReadAll(Path(dir, "QXLBLS.FPT"));
    Layout l;
    l.headerSize = Le16(dbf, 8);
    l.recordSize = Le16(dbf, 10);
    l.memoBlockSize = (std::uint8_t(fpt[6]) << 8) | std::uint8_t(fpt[7]);
    return l;
}

// Where record n's memo starts in the FPT, and its length (with the 8-byte block head).
std::pair<qint64, qint64> MemoOf(const QString& dir, std::uint32_t n)
{
    const Layout l = LayoutOf(dir);
    const QByteArray dbf = ReadAll(Path(dir, "QXLBLS.DBF"));
    const qint64 block = dbf.mid(l.MemoPointer(n), 10).trimmed().toLongLong();
    const QByteArray fpt = ReadAll(Path(dir, "QXLBLS.FPT"));
    const qint64 at = block * l.memoBlockSize;
    return {at, 8 + qint64(Be32(fpt, at + 4))};
}

QByteArray Garbage(std::mt19937& rng, int n)
{
    QByteArray b(n, '\0');
    for (char& c : b)
        c = char(rng());
    return b;
}

std::string Items(int i)
{
    std::string items;
    for (int k = 0; k <= i; ++k)
        items += "LABELITEM=TEXT\r\nTEXT=Line " + std::to_string(k) + " of label " + std::to_string(i) +
                 "\r\nTOP=0.104\r\nLEFT=0.104\r\nWIDTH=2.000\r\nHEIGHT=0.200\r\n";
    items += "LABELITEM=RECTANGLE\r\nTOP=0.300\r\nLEFT=0.200\r\nWIDTH=1.000\r\nHEIGHT=0.400\r\n";
    return items;
}

} // namespace

std::string Description(std::uint32_t record)
{
    // Record order differs from description order.
    return "Label " + std::string(1, char('A' + kLabels - record)) + " number " + std::to_string(record);
}

void MakeLabelTable(const QString& dir)
{
    const std::string path = Path(dir, "QXLBLS.DBF").toStdString();
    sw::xbase::Table::create(path, sw::library::LabelTableFields());
    sw::xbase::Table t(path);
    for (int i = 0; i < kLabels; ++i) {
        t.appendBlank();
        t.putString("DESCRIPT", Description(std::uint32_t(i + 1)));
        t.putString("TEMPLATE", "Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet");
        t.putNumber("LBLHEIGHT", 1);
        t.putNumber("LBLWIDTH", 2.625);
        t.putNumber("NBRACROSS", 3);
        t.putNumber("NBRDOWN", 10);
        t.putNumber("TOPMARG", 0.5);
        t.putNumber("LEFTMARG", 0.188);
        t.putNumber("HORIZPITCH", 2.75);
        t.putNumber("VERTPITCH", 1);
        t.putString("PAPERSIZE", "LTR");
        t.putString("LBLSHAPE", "RR");
        t.putMemo("OBJECTS", Items(i));
        t.putRecord();
    }
    t.indexTag(sw::library::kDescriptTag, sw::library::kDescriptKey);
    t.close();
}

std::map<std::string, StoredLabel> ReadLabels(const QString& dir)
{
    std::map<std::string, StoredLabel> out;
    try {
        sw::xbase::Table t(Path(dir, "QXLBLS.DBF").toStdString(), sw::xbase::OpenMode::ReadOnly);
        t.setDeleted(true);
        t.setOrder(0);
        for (t.goTop(); !t.eof(); t.skip(1)) {
            try {
                StoredLabel label;
                for (const auto& f : t.fields())
                    label[f.name] = t.getString(f.name);
                out[label["DESCRIPT"]] = label;
            } catch (const std::exception&) {
            }
        }
    } catch (const std::exception&) {
    }
    return out;
}

std::vector<std::string> LostLabels(const std::map<std::string, StoredLabel>& before, const QString& dir,
                                    const Damage& damage)
{
    std::vector<std::string> lost;
    if (damage.all)
        return lost;
    const auto after = ReadLabels(dir);
    for (std::uint32_t n = 1; n <= kLabels; ++n) {
        const std::string description = Description(n);
        if (damage.hurt.count(n))
            continue;
        const auto found = after.find(description);
        if (found == after.end())
            lost.push_back(description + " is missing");
        else if (found->second != before.at(description))
            lost.push_back(description + " changed");
    }
    return lost;
}

void CopyTable(const QString& from, const QString& to)
{
    for (const char* name : {"QXLBLS.DBF", "QXLBLS.FPT", "QXLBLS.CDX"}) {
        QFile::remove(Path(to, name));
        QFile::copy(Path(from, name), Path(to, name));
        QFile::setPermissions(Path(to, name), QFile::ReadOwner | QFile::WriteOwner);
    }
}

std::vector<Damage> Damages(std::uint32_t seed)
{
    std::vector<Damage> out;
    auto rng = std::make_shared<std::mt19937>(seed);
    const auto all = [] {
        std::set<std::uint32_t> s;
        for (std::uint32_t n = 1; n <= kLabels; ++n)
            s.insert(n);
        return s;
    }();
    // Records from n on, for a file cut inside record n.
    const auto from = [](std::uint32_t n) {
        std::set<std::uint32_t> s;
        for (; n <= kLabels; ++n)
            s.insert(n);
        return s;
    };

    // Truncated DBF: inside the header (nothing can be read), inside a record, before the end marker.
    for (qint64 size : {0, 31, 300}) {
        out.push_back({"DBF cut to " + std::to_string(size) + " bytes", 0, all, true,
                       [size](const QString& d) { Truncate(Path(d, "QXLBLS.DBF"), size); }});
    }
    for (std::uint32_t n : {1u, 4u, 6u}) {
        out.push_back({"DBF cut inside record " + std::to_string(n), n, from(n), false, [n](const QString& d) {
                           const Layout l = LayoutOf(d);
                           Truncate(Path(d, "QXLBLS.DBF"), l.Record(n) + l.recordSize / 2);
                       }});
    }
    // Truncated FPT: no header, inside the header, inside the memo of record n.
    for (qint64 size : {0, 5}) {
        out.push_back({"FPT cut to " + std::to_string(size) + " bytes", 0, all, true,
                       [size](const QString& d) { Truncate(Path(d, "QXLBLS.FPT"), size); }});
    }
    out.push_back({"FPT cut to its header", 3, all, false,
                   [](const QString& d) { Truncate(Path(d, "QXLBLS.FPT"), 512); }});
    for (std::uint32_t n : {2u, std::uint32_t(kLabels)}) {
        // Memos follow each other in record order: every later one goes with the cut.
        out.push_back({"FPT cut inside the memo of record " + std::to_string(n), n, from(n), false,
                       [n](const QString& d) {
                           const auto [at, length] = MemoOf(d, n);
                           Truncate(Path(d, "QXLBLS.FPT"), at + length / 2);
                       }});
    }
    // Truncated CDX: the index holds no label, so every label survives.
    for (qint64 size : {0, 100, 512, 1000}) {
        out.push_back({"CDX cut to " + std::to_string(size) + " bytes", 1, {}, false,
                       [size](const QString& d) { Truncate(Path(d, "QXLBLS.CDX"), size); }});
    }
    // Garbage in a record.
    for (std::uint32_t n : {1u, 3u, 5u}) {
        out.push_back({"garbage in record " + std::to_string(n), n, {n}, false, [n, rng](const QString& d) {
                           const Layout l = LayoutOf(d);
                           Overwrite(Path(d, "QXLBLS.DBF"), l.Record(n), Garbage(*rng, int(l.recordSize)));
                       }});
    }
    // Garbage in a memo block: its head (type and length) or its text.
    out.push_back({"garbage in the head of the memo of record 2", 2, {2}, false, [rng](const QString& d) {
                       const auto [at, length] = MemoOf(d, 2);
                       Overwrite(Path(d, "QXLBLS.FPT"), at, QByteArray::fromHex("7f3ac102ffffff00"));
                   }});
    out.push_back({"garbage in the text of the memo of record 4", 4, {4}, false, [rng](const QString& d) {
                       const auto [at, length] = MemoOf(d, 4);
                       Overwrite(Path(d, "QXLBLS.FPT"), at + 8, Garbage(*rng, int(length - 8)));
                   }});
    out.back().silent = true;
    // Garbage in an index page: the header page, the tag's root and a leaf.
    for (qint64 page : {0, 1, 2}) {
        out.push_back({"garbage in index page " + std::to_string(page), 2, {}, false,
                       [page, rng](const QString& d) { Overwrite(Path(d, "QXLBLS.CDX"), page * 512, Garbage(*rng, 512)); }});
    }
    // Absurd memo pointers: far past the end, inside the FPT header, not a number.
    const std::pair<const char*, QByteArray> pointers[] = {
        {"past the end", "4000000000"}, {"inside the header", "         1"}, {"not a number", "12ab!?x   "}};
    std::uint32_t n = 1;
    for (const auto& [what, bytes] : pointers) {
        const std::uint32_t record = n++ * 2 - 1;
        out.push_back({std::string("memo pointer of record ") + std::to_string(record) + " " + what, record, {record},
                       false, [record, bytes](const QString& d) {
                           Overwrite(Path(d, "QXLBLS.DBF"), LayoutOf(d).MemoPointer(record), bytes);
                       }});
    }
    // A header record count past the end of the file.
    for (std::uint32_t count : {7u, 1000u, 0xFFFFFFFFu}) {
        out.push_back({"header counts " + std::to_string(count) + " records", 6, {}, false,
                       [count](const QString& d) {
                           QByteArray b(4, '\0');
                           for (int i = 0; i < 4; ++i)
                               b[i] = char(count >> (8 * i));
                           Overwrite(Path(d, "QXLBLS.DBF"), 4, b);
                       }});
    }
    return out;
}

} // namespace damage
