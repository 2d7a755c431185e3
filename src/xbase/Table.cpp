#include "xbase/Table.h"

#include "xbase/CdxFile.h"
#include "xbase/Codepage.h"
#include "xbase/DbfHeader.h"
#include "xbase/File.h"
#include "xbase/KeyExpr.h"
#include "xbase/MemoFile.h"
#include "xbase/Record.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>

namespace sw::xbase {

// Write ordering. A process may be killed between any two writes. A kill inside a write
// can leave a prefix of it (the kernel stops copying between pages), so a write that must
// land whole is one that fits in a page or one whose target nothing points at yet. The
// order keeps these true:
//  1. A memo block is written, and the memo header's next-free pointer moved past it,
//     before any record points at it. Killed in between: a dead block, never a bad pointer.
//  2. A new record is written (with the end-of-file mark after it) before the header count
//     that makes it part of the table. Killed in between: the record is simply not there.
//  3. An edited record is rewritten in one write. A changed memo always goes to new
//     blocks, so the old record and its old memo stay together until that write. (This is
//     the one write that rule above does not cover: an edited record that crosses a page
//     boundary, killed inside its write, keeps its old bytes past the boundary.)
//  4. Index pages are written after the record, and the index is marked in use (7) before
//     the first write of a session's first change. Killed anywhere after that mark: the
//     next exclusive open rebuilds the index. New index pages are written before the pages
//     and headers that point at them.
//  5. pack() marks the index in use, builds the new memo file and the new table image
//     beside the originals; the rename of the memo file is the point of no return; after it
//     the table image is copied over the table. Opening the table finishes or discards an
//     interrupted pack, and the mark has the index rebuilt for the renumbered records.
//  6. Index files are rebuilt in a temporary file that then replaces the old one.
//  7. The mark is a bit in the index file's header, cleared at close; an exclusive open
//     that finds it set rebuilds the index from the table. Readers that share the table
//     take the index as it is.

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr std::size_t kMaxChunks = 1024;  // 64 MB of records in memory at most

std::string upperName(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

std::string typeText(const FieldDef& f) {
    std::string t(1, static_cast<char>(f.type));
    t += "(" + std::to_string(f.width);
    if (f.decimals) t += "," + std::to_string(f.decimals);
    return t + ")";
}

}  // namespace

struct Table::Impl {
    std::string path;
    OpenMode mode = OpenMode::Exclusive;
    File dbf;
    DbfHeader hdr;
    std::string damage;
    std::optional<MemoFile> memo;
    std::unique_ptr<CdxFile> cdx;
    std::vector<KeyExpr> keys;
    int order = 0;
    bool skipDeleted = false;
    bool dateTouched = false;
    bool indexMarked = false;  // the index file says a writer has it changed

    std::unordered_map<std::uint32_t, std::string> chunks;
    std::uint32_t perChunk = 1;

    std::uint32_t recno = 0;
    bool atEof = true;
    bool atBof = false;
    std::string rec;
    bool dirty = false;
    bool appending = false;
    std::map<std::size_t, std::string> memos;

    CdxFile::Pos pos;
    std::uint64_t posGeneration = ~0ull;
    bool posValid = false;

    // ---- errors ----
    [[noreturn]] void usage(const std::string& what) const { throw Error(Error::Kind::Usage, path, what); }
    [[noreturn]] void damaged(const std::string& what) const { throw Error(Error::Kind::Damaged, path, what); }

    std::size_t field(std::string_view name) const {
        const std::string n = upperName(record::trim(name));
        for (std::size_t i = 0; i < hdr.fields.size(); ++i)
            if (hdr.fields[i].name == n) return i;
        usage("the table has no field " + std::string(name));
    }

    void requireWritable() const {
        if (mode == OpenMode::ReadOnly) usage("the table is open read-only");
        if (mode == OpenMode::Shared) usage("the table is open shared; changes need exclusive use");
        // A new or changed record would need values this engine never writes.
        for (const FieldDef& f : hdr.fields)
            if (record::binaryType(f.type))
                usage("field " + f.name + " is of type " + std::string(1, static_cast<char>(f.type)) +
                      ", which is only read: the table cannot be changed");
    }

    // Whether the field's null flag is set in the current record.
    bool isNull(std::size_t f) const {
        const int bit = hdr.nullBits[f];
        if (bit < 0) return false;
        const auto flags = static_cast<std::size_t>(hdr.nullFlags);
        return (static_cast<unsigned char>(rec[hdr.offsets[flags] + static_cast<std::size_t>(bit / 8)]) >> (bit % 8)) & 1;
    }
    void requireExclusive(const char* what) const {
        if (mode != OpenMode::Exclusive) usage(std::string(what) + " needs the table open for exclusive use");
    }
    void requireCurrent() const {
        if (atEof) usage("there is no current record (end of file)");
    }

    // ---- records ----
    std::uint64_t recordOffset(std::uint32_t r) const {
        return hdr.headerSize + static_cast<std::uint64_t>(r - 1) * hdr.recordSize;
    }

    const char* recordBytes(std::uint32_t r) {
        const std::uint32_t c = (r - 1) / perChunk;
        auto it = chunks.find(c);
        if (it == chunks.end()) {
            if (chunks.size() >= kMaxChunks) chunks.clear();
            const std::uint32_t first = c * perChunk + 1;
            const std::uint32_t n = std::min(perChunk, hdr.recordCount - first + 1);
            std::string buf(static_cast<std::size_t>(n) * hdr.recordSize, '\0');
            dbf.readAt(recordOffset(first), buf.data(), buf.size());
            it = chunks.emplace(c, std::move(buf)).first;
        }
        const std::size_t at = static_cast<std::size_t>((r - 1) % perChunk) * hdr.recordSize;
        if (at + hdr.recordSize > it->second.size()) {
            // The chunk was read before this record was appended.
            chunks.erase(it);
            return recordBytes(r);
        }
        return it->second.data() + at;
    }

    void cacheRecord(std::uint32_t r, const std::string& bytes) {
        const std::uint32_t c = (r - 1) / perChunk;
        auto it = chunks.find(c);
        if (it == chunks.end()) return;
        const std::size_t at = static_cast<std::size_t>((r - 1) % perChunk) * hdr.recordSize;
        if (at + hdr.recordSize > it->second.size()) {
            if (at != it->second.size()) {
                chunks.erase(it);
                return;
            }
            it->second.resize(at + hdr.recordSize);
        }
        std::memcpy(it->second.data() + at, bytes.data(), hdr.recordSize);
    }

    bool isDeleted(std::uint32_t r) { return recordBytes(r)[0] == '*'; }
    bool visible(std::uint32_t r) { return !skipDeleted || !isDeleted(r); }

    std::string blankRecord() const { return std::string(hdr.recordSize, ' '); }

    void setCurrent(std::uint32_t r) {
        recno = r;
        rec.assign(recordBytes(r), hdr.recordSize);
        atEof = false;
        atBof = false;
    }
    void setEof() {
        recno = hdr.recordCount + 1;
        rec = blankRecord();
        atEof = true;
        posValid = false;
    }

    void writeCountAndDate() {
        if (!dateTouched) {
            hdr.touch();
            dateTouched = true;
        }
        char b[7];
        b[0] = static_cast<char>(hdr.year);
        b[1] = static_cast<char>(hdr.month);
        b[2] = static_cast<char>(hdr.day);
        for (int i = 0; i < 4; ++i) b[3 + i] = static_cast<char>(hdr.recordCount >> (8 * i));
        dbf.writeAt(1, b, sizeof b);
    }

    void writeFlags() {
        const char f = static_cast<char>(hdr.flags);
        dbf.writeAt(DbfHeader::kFlagsOffset, &f, 1);
    }

    // ---- memo ----
    std::uint32_t memoBlockOf(const std::string& r, std::size_t f) const {
        std::uint32_t block = 0;
        const std::string_view stored(r.data() + hdr.offsets[f], static_cast<std::size_t>(hdr.fields[f].width));
        if (!record::memoBlock(stored, block))
            damaged("record " + std::to_string(recno) + ": field " + hdr.fields[f].name + " holds a bad memo pointer");
        return block;
    }

    std::string memoBytes(std::size_t f) const {
        if (auto it = memos.find(f); it != memos.end()) return it->second;
        const std::uint32_t block = memoBlockOf(rec, f);
        if (block == 0) return {};
        if (!memo) damaged("record " + std::to_string(recno) + " points into a memo file that is missing");
        return memo->read(block);
    }

    // ---- tags ----
    std::size_t tagIndex() const { return static_cast<std::size_t>(order - 1); }

    void openIndex(const std::string& cdxPath) {
        cdx = std::make_unique<CdxFile>(cdxPath, mode == OpenMode::ReadOnly || mode == OpenMode::Shared
                                                     ? File::Access::Read
                                                     : File::Access::ReadWrite);
        keys.clear();
        for (std::size_t t = 0; t < cdx->tags().size(); ++t) {
            const auto& info = cdx->tags()[t];
            if (!info.condition.empty())
                throw Error(Error::Kind::Usage, cdxPath, "tag " + info.name + " has a condition, which this engine does not keep");
            if (info.descending)
                throw Error(Error::Kind::Usage, cdxPath, "tag " + info.name + " is descending, which this engine does not keep");
            KeyExpr k(info.expression, hdr, cdxPath);
            if (k.keyLength() != info.keyLength)
                throw Error(Error::Kind::Damaged, cdxPath, "tag " + info.name + " has key length " +
                                                               std::to_string(info.keyLength) + " but its expression gives " +
                                                               std::to_string(k.keyLength()));
            cdx->setFill(t, k.fill());
            keys.push_back(std::move(k));
        }
        posValid = false;
    }

    // Where the current record sits in the controlling tag. exact is false when the tag
    // lacks it; pos is then the first entry after where it belongs.
    CdxFile::Pos tagPos(bool& exact) {
        exact = true;
        if (posValid && posGeneration == cdx->generation()) return pos;
        std::string key;
        keys[tagIndex()].eval(rec.data(), key);
        CdxFile::Pos p = cdx->lowerBound(tagIndex(), key, recno);
        exact = p.valid() && cdx->at(tagIndex(), p).recno == recno && cdx->at(tagIndex(), p).key == key;
        return p;
    }

    void setTagPos(CdxFile::Pos p) {
        pos = p;
        posGeneration = cdx->generation();
        posValid = true;
    }

    // Moves along the tag from p in direction dir to the first entry that can be shown.
    CdxFile::Pos scanTag(CdxFile::Pos p, int dir) {
        const std::size_t t = tagIndex();
        while (p.valid()) {
            const std::uint32_t r = cdx->at(t, p).recno;
            if (r >= 1 && r <= hdr.recordCount && visible(r)) return p;
            p = dir > 0 ? cdx->next(t, p) : cdx->prev(t, p);
        }
        return p;
    }

    std::uint32_t scanNatural(std::int64_t from, int dir) {
        for (; from >= 1 && from <= static_cast<std::int64_t>(hdr.recordCount); from += dir)
            if (visible(static_cast<std::uint32_t>(from))) return static_cast<std::uint32_t>(from);
        return 0;
    }

    void toEnd(bool top) {
        commit();
        atBof = false;
        if (order > 0) {
            const std::size_t t = tagIndex();
            CdxFile::Pos p = top ? scanTag(cdx->first(t), +1) : scanTag(cdx->last(t), -1);
            if (!p.valid()) {
                setEof();
                atBof = true;
                return;
            }
            setCurrent(cdx->at(t, p).recno);
            setTagPos(p);
            return;
        }
        const std::uint32_t r = top ? scanNatural(1, +1) : scanNatural(hdr.recordCount, -1);
        if (r == 0) {
            setEof();
            atBof = true;
            return;
        }
        setCurrent(r);
    }

    // One step; false when it ran off an end (eof or bof is then set).
    bool step(int dir) {
        if (atEof) {
            if (dir > 0) return false;
            toEnd(false);
            return !atEof;
        }
        if (order > 0) {
            const std::size_t t = tagIndex();
            bool exact = true;
            const CdxFile::Pos here = tagPos(exact);
            CdxFile::Pos p;
            if (dir > 0)
                p = exact ? cdx->next(t, here) : here;
            else
                p = here.valid() ? cdx->prev(t, here) : cdx->last(t);
            p = scanTag(p, dir);
            if (!p.valid()) {
                if (dir > 0) {
                    setEof();
                } else {
                    atBof = true;
                }
                return false;
            }
            setCurrent(cdx->at(t, p).recno);
            setTagPos(p);
            return true;
        }
        const std::uint32_t r = scanNatural(static_cast<std::int64_t>(recno) + dir, dir);
        if (r == 0) {
            if (dir > 0)
                setEof();
            else
                atBof = true;
            return false;
        }
        setCurrent(r);
        return true;
    }

    // ---- posting ----
    void markIndexInUse() {
        if (!cdx || indexMarked) return;
        cdx->markInUse(true);
        indexMarked = true;
    }

    void commit() {
        if (!dirty) return;
        markIndexInUse();
        for (auto& [f, text] : memos) {
            if (!memo) damaged("the table has no memo file");
            memoBlockOf(rec, f);  // refuses to replace a pointer that is already damaged
            const std::uint32_t block = memo->write(text);
            const std::string ptr = record::memoPointer(block, static_cast<std::size_t>(hdr.fields[f].width));
            std::memcpy(rec.data() + hdr.offsets[f], ptr.data(), ptr.size());
        }
        memos.clear();
        std::string oldRec;
        if (!appending) oldRec.assign(recordBytes(recno), hdr.recordSize);
        if (appending) {
            std::string out = rec;
            out += '\x1A';
            dbf.writeAt(recordOffset(recno), out);
            hdr.recordCount = recno;
            writeCountAndDate();
        } else {
            dbf.writeAt(recordOffset(recno), rec);
            if (!dateTouched) writeCountAndDate();
        }
        cacheRecord(recno, rec);
        const bool wasAppend = appending;
        dirty = false;
        appending = false;
        if (cdx) {
            std::string oldKey, newKey;
            for (std::size_t t = 0; t < keys.size(); ++t) {
                keys[t].eval(rec.data(), newKey);
                if (wasAppend) {
                    cdx->insert(t, newKey, recno);
                } else {
                    keys[t].eval(oldRec.data(), oldKey);
                    if (oldKey == newKey) continue;
                    cdx->remove(t, oldKey, recno);
                    cdx->insert(t, newKey, recno);
                }
            }
            cdx->flush();
        }
    }

    void setBytes(std::size_t f, std::string_view bytes) {
        std::memcpy(rec.data() + hdr.offsets[f], bytes.data(), bytes.size());
        dirty = true;
    }

    void put(std::size_t f, std::string_view value, bool transcode) {
        requireWritable();
        requireCurrent();
        const FieldDef& def = hdr.fields[f];
        const auto width = static_cast<std::size_t>(def.width);
        std::string bytes;
        if (transcode && (def.type == FieldType::Character || def.type == FieldType::Memo)) {
            std::string bad;
            if (!cp1252::fromUtf8(value, bytes, bad))
                throw Error(Error::Kind::Encoding, path,
                            bad == "invalid UTF-8" ? "field " + def.name + ": the text is not valid UTF-8"
                                                   : "field " + def.name + ": the character \"" + bad +
                                                         "\" cannot be stored (the table holds Windows-1252 text)");
        } else {
            bytes.assign(value);
        }
        if (record::binaryType(def.type)) usage("field " + def.name + " is only read, never written");
        switch (def.type) {
        case FieldType::Character:
            if (bytes.size() > width)
                throw Error(Error::Kind::Encoding, path, "field " + def.name + " holds at most " + std::to_string(width) +
                                                             " characters");
            bytes.resize(width, ' ');
            setBytes(f, bytes);
            return;
        case FieldType::Memo:
            if (!memo) damaged("the table has no memo file");
            memos[f] = bytes;
            dirty = true;
            return;
        case FieldType::Numeric: {
            if (record::trim(bytes).empty()) {
                setBytes(f, std::string(width, ' '));
                return;
            }
            double v = 0;
            if (!record::parseNumber(bytes, v))
                throw Error(Error::Kind::Encoding, path, "field " + def.name + ": \"" + bytes + "\" is not a number");
            putNumber(f, v);
            return;
        }
        case FieldType::Logical: {
            const std::string_view t = record::trim(bytes);
            char c;
            if (t.empty())
                c = ' ';
            else if (t.size() == 1 && std::string_view("TtYy").find(t[0]) != std::string_view::npos)
                c = 'T';
            else if (t.size() == 1 && std::string_view("FfNn").find(t[0]) != std::string_view::npos)
                c = 'F';
            else
                throw Error(Error::Kind::Encoding, path, "field " + def.name + ": \"" + bytes + "\" is not T or F");
            setBytes(f, std::string_view(&c, 1));
            return;
        }
        case FieldType::Date: {
            const std::string_view t = record::trim(bytes);
            bool ok = t.empty() || (t.size() == 8 && t.find_first_not_of("0123456789") == std::string_view::npos);
            if (!ok) throw Error(Error::Kind::Encoding, path, "field " + def.name + ": \"" + bytes + "\" is not a date YYYYMMDD");
            setBytes(f, t.empty() ? std::string(8, ' ') : std::string(t));
            return;
        }
        default: return;
        }
    }

    void putNumber(std::size_t f, double v) {
        requireWritable();
        requireCurrent();
        const FieldDef& def = hdr.fields[f];
        if (def.type != FieldType::Numeric) usage("field " + def.name + " is not numeric");
        std::string text;
        if (!record::formatNumber(v, def.width, def.decimals, text)) {
            std::string shown;
            record::formatNumber(v, 40, def.decimals, shown);
            throw Error(Error::Kind::Encoding, path, "the value " + std::string(record::trim(shown)) +
                                                         " does not fit field " + def.name + " " + typeText(def));
        }
        setBytes(f, text);
    }

    // ---- whole-table work ----
    // Calls fn(recno, bytes) for every record, reading the file in large pieces.
    template <class Fn>
    void scanAll(Fn fn) {
        const std::uint32_t per = std::max<std::uint32_t>(1, static_cast<std::uint32_t>((1u << 20) / hdr.recordSize));
        std::string buf;
        for (std::uint32_t first = 1; first <= hdr.recordCount; first += per) {
            const std::uint32_t n = std::min(per, hdr.recordCount - first + 1);
            buf.resize(static_cast<std::size_t>(n) * hdr.recordSize);
            dbf.readAt(recordOffset(first), buf.data(), buf.size());
            for (std::uint32_t i = 0; i < n; ++i) fn(first + i, buf.data() + static_cast<std::size_t>(i) * hdr.recordSize);
        }
    }

    // Rebuilds the index file with the given tags (name, expression) from the table.
    void rebuild(const std::vector<std::pair<std::string, std::string>>& defs, const std::string cdxPath) {
        std::vector<KeyExpr> exprs;
        std::vector<CdxFile::BuildTag> tags(defs.size());
        for (std::size_t i = 0; i < defs.size(); ++i) {
            exprs.emplace_back(defs[i].second, hdr, path);
            tags[i].name = defs[i].first;
            tags[i].expression = defs[i].second;
            tags[i].fill = exprs[i].fill();
            tags[i].keys.keyLength = exprs[i].keyLength();
            tags[i].keys.keys.resize(static_cast<std::size_t>(hdr.recordCount) * exprs[i].keyLength());
            tags[i].keys.recnos.resize(hdr.recordCount);
            tags[i].keys.maxRecno = hdr.recordCount;
        }
        scanAll([&](std::uint32_t r, const char* bytes) {
            for (std::size_t i = 0; i < tags.size(); ++i) {
                exprs[i].eval(bytes, tags[i].keys.keys.data() + static_cast<std::size_t>(r - 1) * exprs[i].keyLength());
                tags[i].keys.recnos[r - 1] = r;
            }
        });
        for (auto& t : tags) t.keys.sort();
        cdx.reset();
        keys.clear();
        indexMarked = false;
        CdxFile::build(cdxPath, tags);
        openIndex(cdxPath);
        if (!(hdr.flags & DbfHeader::kFlagCdx)) {
            hdr.flags |= DbfHeader::kFlagCdx;
            writeFlags();
        }
    }

    std::vector<std::pair<std::string, std::string>> tagDefinitions() const {
        std::vector<std::pair<std::string, std::string>> defs;
        if (cdx)
            for (const auto& t : cdx->tags()) defs.emplace_back(t.name, t.expression);
        return defs;
    }

    // Finishes or discards a pack that was interrupted (see the write ordering above).
    void recoverPack() {
        const std::string dbfPack = path + ".pack";
        const std::string memoPath = findSibling(path, ".FPT");
        const std::string memoPack = (memoPath.empty() ? siblingPath(path, ".FPT") : memoPath) + ".pack";
        removeFile(dbfPack + ".tmp");
        if (fileExists(dbfPack) && !fileExists(memoPack)) {
            File image(dbfPack, File::Access::Read);
            std::string bytes(image.size(), '\0');
            image.readAt(0, bytes.data(), bytes.size());
            dbf.writeAt(0, bytes);
            dbf.truncate(bytes.size());
            dbf.sync();
            image.close();
            removeFile(dbfPack);
            return;
        }
        removeFile(memoPack);
        removeFile(dbfPack);
    }

    void pack() {
        std::string memoImage;
        std::string memoPath;
        std::uint16_t bs = MemoFile::kNewBlockSize;
        std::string oldMemo;
        std::vector<std::size_t> memoFields;
        for (std::size_t f = 0; f < hdr.fields.size(); ++f)
            if (hdr.fields[f].type == FieldType::Memo) memoFields.push_back(f);
        if (memo) {
            memoPath = memo->path();
            bs = memo->blockSize();
            memoImage.assign(static_cast<std::size_t>((512 + bs - 1) / bs) * bs, '\0');
        }
        DbfHeader out = hdr;
        std::string image = hdr.encode();
        std::uint32_t live = 0;
        std::string r;
        scanAll([&](std::uint32_t n, const char* bytes) {
            if (bytes[0] == '*') return;
            r.assign(bytes, hdr.recordSize);
            for (std::size_t f : memoFields) {
                std::uint32_t block = 0;
                const std::string_view stored(r.data() + hdr.offsets[f], static_cast<std::size_t>(hdr.fields[f].width));
                if (!record::memoBlock(stored, block))
                    damaged("record " + std::to_string(n) + ": field " + hdr.fields[f].name + " holds a bad memo pointer");
                std::uint32_t fresh = 0;
                if (block != 0) {
                    if (!memo) damaged("record " + std::to_string(n) + " points into a memo file that is missing");
                    const std::string text = memo->read(block);
                    if (!text.empty()) {
                        fresh = static_cast<std::uint32_t>(memoImage.size() / bs);
                        std::string head(8, '\0');
                        head[3] = 1;
                        for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<char>(text.size() >> (24 - 8 * i));
                        memoImage += head;
                        memoImage += text;
                        memoImage.resize((memoImage.size() + bs - 1) / bs * bs, '\0');
                    }
                }
                const std::string ptr = record::memoPointer(fresh, static_cast<std::size_t>(hdr.fields[f].width));
                std::memcpy(r.data() + hdr.offsets[f], ptr.data(), ptr.size());
            }
            image += r;
            ++live;
        });
        image += '\x1A';
        out.recordCount = live;
        out.touch();
        const std::string head = out.encode();
        std::memcpy(image.data(), head.data(), head.size());
        if (memo) {
            const std::uint32_t nextFree = static_cast<std::uint32_t>(memoImage.size() / bs);
            for (int i = 0; i < 4; ++i) memoImage[static_cast<std::size_t>(i)] = static_cast<char>(nextFree >> (24 - 8 * i));
            memoImage[6] = static_cast<char>(bs >> 8);
            memoImage[7] = static_cast<char>(bs);
            File m = File::create(memoPath + ".pack", true);
            m.writeAt(0, memoImage);
            m.sync();
            m.close();
        }
        {
            File t = File::create(path + ".pack.tmp", true);
            t.writeAt(0, image);
            t.sync();
            t.close();
            renameFile(path + ".pack.tmp", path + ".pack");
        }
        if (memo) {
            memo->close();
            memo.reset();
            renameFile(memoPath + ".pack", memoPath);
            memo.emplace(memoPath, File::Access::ReadWrite);
        }
        dbf.writeAt(0, image);
        dbf.truncate(image.size());
        dbf.sync();
        removeFile(path + ".pack");
        hdr = out;
        damage.clear();
        chunks.clear();
        dateTouched = true;
    }
};

// ---------------------------------------------------------------------------------------

void Table::create(const std::string& path, const std::vector<FieldDef>& fields) {
    DbfHeader h = DbfHeader::forFields(path, fields);
    if (fileExists(path)) throw Error(Error::Kind::Io, path, "already exists");
    // A stale index or memo file of an earlier table of that name would be taken for ours.
    for (const char* ext : {".CDX", ".FPT"})
        if (const std::string old = findSibling(path, ext); !old.empty()) removeFile(old);
    if (h.hasMemoField()) MemoFile::create(siblingPath(path, ".FPT"), MemoFile::kNewBlockSize, true);
    std::string image = h.encode();
    image += '\x1A';
    const std::string tmp = path + ".new";
    File f = File::create(tmp, true);
    f.writeAt(0, image);
    f.close();
    renameFile(tmp, path);
}

Table::Table(const std::string& path, OpenMode mode, IndexUse index) : d_(std::make_unique<Impl>()) {
    Impl& d = *d_;
    if (index == IndexUse::Closed && mode != OpenMode::ReadOnly)
        throw Error(Error::Kind::Usage, path, "only a table opened read-only may leave its index closed");
    d.path = path;
    d.mode = mode;
    d.dbf = File(path, mode == OpenMode::ReadOnly ? File::Access::Read : File::Access::ReadWrite);
    if (!d.dbf.tryLock(mode == OpenMode::Exclusive ? File::Lock::Exclusive : File::Lock::Shared))
        throw Error(Error::Kind::Locked, path, "the table is in use by another program");
    if (mode == OpenMode::Exclusive)
        d.recoverPack();
    else if (fileExists(path + ".pack"))
        throw Error(Error::Kind::Damaged, path, "an interrupted pack must be finished: open the table for exclusive use");
    d.hdr = DbfHeader::read(d.dbf, d.damage);
    d.dateTouched = mode != OpenMode::Exclusive;
    d.perChunk = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(kChunkBytes / d.hdr.recordSize));
    const File::Access access = mode == OpenMode::Exclusive ? File::Access::ReadWrite : File::Access::Read;
    if (d.hdr.hasMemoField()) {
        // dBase tables keep their memos in a DBT file, FoxPro tables in an FPT file; a table
        // whose version byte names the other kind is read with the file that is there.
        const bool dBase4 = d.hdr.version == 0x8B || d.hdr.version == 0xCB;
        const bool dBase = dBase4 || d.hdr.version == 0x83;
        const std::string fpt = findSibling(path, ".FPT"), dbt = findSibling(path, ".DBT");
        const std::string memoPath = dBase ? (dbt.empty() ? fpt : dbt) : (fpt.empty() ? dbt : fpt);
        if (memoPath.empty())
            throw Error(Error::Kind::Damaged, path, "the memo file " + siblingPath(path, dBase ? ".DBT" : ".FPT") +
                                                        " is missing");
        if (memoPath == fpt) {
            d.memo.emplace(memoPath, access);
        } else {
            if (mode == OpenMode::Exclusive)
                throw Error(Error::Kind::Usage, path, "the memo file " + memoPath +
                                                          " is a dBase memo file, which is only read: open the table read-only");
            d.memo.emplace(memoPath, File::Access::Read, dBase4 ? MemoFile::Format::Dbt4 : MemoFile::Format::Dbt3);
        }
    }
    if (const std::string cdxPath = findSibling(path, ".CDX"); !cdxPath.empty() && index == IndexUse::Open) {
        d.openIndex(cdxPath);
        // The last writer died before it closed the index: it may lack its last change.
        if (mode == OpenMode::Exclusive && d.cdx->leftInUse()) d.rebuild(d.tagDefinitions(), cdxPath);
    }
    d.toEnd(true);
}

Table::~Table() {
    try {
        close();
    } catch (...) {
        // Nothing can be reported from a destructor; close() reports the same failure.
    }
}

Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&& o) noexcept {
    if (this != &o) {
        try {
            close();
        } catch (...) {
        }
        d_ = std::move(o.d_);
    }
    return *this;
}

void Table::close() {
    if (!d_ || !d_->dbf.isOpen()) return;
    Impl& d = *d_;
    d.commit();
    if (d.cdx && d.indexMarked) d.cdx->markInUse(false);
    if (d.cdx) d.cdx->close();
    d.cdx.reset();
    if (d.memo) d.memo->close();
    d.memo.reset();
    d.dbf.close();
}

bool Table::isOpen() const { return d_ && d_->dbf.isOpen(); }
const std::string& Table::path() const { return d_->path; }
OpenMode Table::mode() const { return d_->mode; }
const std::vector<FieldDef>& Table::fields() const { return d_->hdr.fields; }

int Table::fieldIndex(std::string_view name) const {
    const std::string n = upperName(record::trim(name));
    for (std::size_t i = 0; i < d_->hdr.fields.size(); ++i)
        if (d_->hdr.fields[i].name == n) return static_cast<int>(i);
    return -1;
}

bool Table::hasMemoFile() const { return d_->memo.has_value(); }
std::uint8_t Table::codepage() const { return d_->hdr.codepage; }
void Table::setDeleted(bool skipDeleted) { d_->skipDeleted = skipDeleted; }
bool Table::deletedSkipped() const { return d_->skipDeleted; }

int Table::indexTag(const std::string& tag, const std::string& expression) {
    Impl& d = *d_;
    d.requireExclusive("creating an index tag");
    d.commit();
    const std::string name = upperName(record::trim(tag));
    if (name.empty() || name.size() > 10 || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") != std::string::npos)
        d.usage("tag name \"" + tag + "\": 1 to 10 letters, digits or _");
    KeyExpr check(expression, d.hdr, d.path);  // refuses a bad expression before anything changes
    auto defs = d.tagDefinitions();
    std::erase_if(defs, [&](const auto& s) { return s.first == name; });
    defs.emplace_back(name, std::string(record::trim(expression)));
    const std::string cdxPath = d.cdx ? d.cdx->path() : siblingPath(d.path, ".CDX");
    d.rebuild(defs, cdxPath);
    d.order = tagArea(name);
    d.toEnd(true);
    return d.order;
}

int Table::tagArea(std::string_view tag) const {
    if (!d_->cdx) return 0;
    const std::string name = upperName(record::trim(tag));
    const auto& tags = d_->cdx->tags();
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (tags[i].name == name) return static_cast<int>(i + 1);
    return 0;
}

void Table::setOrder(int order) {
    Impl& d = *d_;
    const int tags = d.cdx ? static_cast<int>(d.cdx->tags().size()) : 0;
    if (order < 0 || order > tags) d.usage("there is no index order " + std::to_string(order));
    d.commit();
    d.order = order;
    d.posValid = false;
}

int Table::indexOrd() const { return d_->order; }

std::vector<std::string> Table::tagNames() const {
    std::vector<std::string> out;
    if (d_->cdx)
        for (const auto& t : d_->cdx->tags()) out.push_back(t.name);
    return out;
}

std::string Table::tagExpression(int order) const {
    if (!d_->cdx || order < 1 || order > static_cast<int>(d_->cdx->tags().size())) return {};
    return d_->cdx->tags()[static_cast<std::size_t>(order - 1)].expression;
}

std::string Table::indexName() const { return d_->cdx ? d_->cdx->path() : std::string(); }

void Table::closeIndexes() {
    Impl& d = *d_;
    d.commit();
    if (!d.cdx) return;
    if (d.indexMarked) d.cdx->markInUse(false);
    d.indexMarked = false;
    d.cdx->close();
    d.cdx.reset();
    d.keys.clear();
    d.order = 0;
    d.posValid = false;
    if (d.mode == OpenMode::Exclusive && (d.hdr.flags & DbfHeader::kFlagCdx)) {
        d.hdr.flags &= static_cast<std::uint8_t>(~DbfHeader::kFlagCdx);
        d.writeFlags();
    }
}

void Table::goTop() { d_->toEnd(true); }
void Table::goBottom() { d_->toEnd(false); }

void Table::skip(std::int64_t count) {
    Impl& d = *d_;
    d.commit();
    if (count == 0) {
        if (!d.atEof) d.setCurrent(d.recno);
        return;
    }
    d.atBof = false;
    const int dir = count > 0 ? 1 : -1;
    for (std::int64_t i = 0; i < (count > 0 ? count : -count); ++i)
        if (!d.step(dir)) break;
}

void Table::go(std::uint32_t recno) {
    Impl& d = *d_;
    d.commit();
    if (recno < 1 || recno > d.hdr.recordCount) d.usage("there is no record " + std::to_string(recno));
    d.setCurrent(recno);
    d.posValid = false;
}

bool Table::seek(std::string_view key) {
    Impl& d = *d_;
    d.commit();
    if (d.order == 0) d.usage("seeking needs a controlling index tag");
    const std::size_t t = d.tagIndex();
    CdxFile::Pos p;
    std::string bytes;
    if (d.keys[t].binary()) {
        double v = 0;
        if (!record::parseNumber(key, v)) d.usage("\"" + std::string(key) + "\" is not a number to seek");
        bytes.resize(8);
        numericKey(v, bytes.data());
        p = d.cdx->lowerBound(t, bytes, 0);
    } else {
        std::string bad;
        if (!cp1252::fromUtf8(key, bytes, bad))
            throw Error(Error::Kind::Encoding, d.path, "the key holds text the table cannot hold");
        p = d.cdx->seekPrefix(t, bytes);
    }
    d.atBof = false;
    p = d.scanTag(p, +1);
    if (!p.valid()) {
        d.setEof();
        return false;
    }
    const std::string found = d.cdx->at(t, p).key;
    d.setCurrent(d.cdx->at(t, p).recno);
    d.setTagPos(p);
    return found.compare(0, bytes.size(), bytes) == 0;
}

bool Table::eof() const { return d_->atEof; }
bool Table::bof() const { return d_->atBof; }
std::uint32_t Table::recNo() const { return d_->atEof ? recCount() + 1 : d_->recno; }
std::uint32_t Table::recCount() const { return d_->hdr.recordCount + (d_->appending ? 1 : 0); }

std::string Table::getRaw(std::string_view name) const {
    const Impl& d = *d_;
    const std::size_t f = d.field(name);
    if (d.hdr.fields[f].type == FieldType::Memo) return d.memoBytes(f);
    return d.rec.substr(d.hdr.offsets[f], static_cast<std::size_t>(d.hdr.fields[f].width));
}

std::string Table::getString(std::string_view name) const {
    const Impl& d = *d_;
    const std::size_t f = d.field(name);
    const FieldDef& def = d.hdr.fields[f];
    const std::string_view raw(d.rec.data() + d.hdr.offsets[f], static_cast<std::size_t>(def.width));
    if (d.isNull(f)) return {};
    switch (def.type) {
    case FieldType::Character: return cp1252::toUtf8(record::trimRight(raw));
    case FieldType::Memo: return cp1252::toUtf8(d.memoBytes(f));
    case FieldType::Numeric:
    case FieldType::Date: return std::string(record::trim(raw));
    case FieldType::Logical: {
        const char c = raw[0];
        if (c == ' ' || c == '?' || c == '\0') return {};
        return std::string_view("TtYy").find(c) != std::string_view::npos ? "T" : "F";
    }
    case FieldType::Integer:
    case FieldType::Currency:
    case FieldType::Double:
    case FieldType::DateTime:
    case FieldType::NullFlags: return record::binaryText(def, raw);
    }
    return {};
}

std::string Table::getTrimString(std::string_view name) const {
    const std::string s = getString(name);
    return std::string(record::trim(s));
}

double Table::getNumber(std::string_view name) const {
    const Impl& d = *d_;
    const std::size_t f = d.field(name);
    const FieldType type = d.hdr.fields[f].type;
    if (type == FieldType::Integer || type == FieldType::Currency || type == FieldType::Double)
        return record::readNumber(getString(name));
    if (type != FieldType::Numeric) d.usage("field " + d.hdr.fields[f].name + " is not numeric");
    return record::readNumber(std::string_view(d.rec.data() + d.hdr.offsets[f], static_cast<std::size_t>(d.hdr.fields[f].width)));
}

bool Table::getLogical(std::string_view name) const { return getString(name) == "T"; }
std::string Table::getMemo(std::string_view name) const { return getString(name); }

bool Table::isBlank(std::string_view name) const {
    const Impl& d = *d_;
    const std::size_t f = d.field(name);
    if (d.isNull(f)) return true;
    if (d.hdr.fields[f].type == FieldType::Memo) return d.memoBytes(f).empty();
    if (record::binaryType(d.hdr.fields[f].type)) return getString(name).empty();
    return record::trim(std::string_view(d.rec.data() + d.hdr.offsets[f], static_cast<std::size_t>(d.hdr.fields[f].width))).empty();
}

bool Table::deleted() const { return !d_->atEof && d_->rec[0] == '*'; }

void Table::appendBlank() {
    Impl& d = *d_;
    d.requireWritable();
    d.commit();
    if (d.hdr.recordCount == 0xFFFFFFFEu) d.usage("the table is full");
    d.recno = d.hdr.recordCount + 1;
    d.rec = d.blankRecord();
    d.atEof = d.atBof = false;
    d.appending = d.dirty = true;
    d.posValid = false;
}

void Table::putString(std::string_view field, std::string_view value) { d_->put(d_->field(field), value, true); }
void Table::putRaw(std::string_view field, std::string_view bytes) { d_->put(d_->field(field), bytes, false); }
void Table::putNumber(std::string_view field, double value) { d_->putNumber(d_->field(field), value); }

void Table::putLogical(std::string_view field, bool value) {
    const std::size_t f = d_->field(field);
    if (d_->hdr.fields[f].type != FieldType::Logical) d_->usage("field " + d_->hdr.fields[f].name + " is not logical");
    d_->put(f, value ? "T" : "F", false);
}

void Table::putMemo(std::string_view field, std::string_view text) {
    const std::size_t f = d_->field(field);
    if (d_->hdr.fields[f].type != FieldType::Memo) d_->usage("field " + d_->hdr.fields[f].name + " is not a memo");
    d_->put(f, text, true);
}

void Table::putRecord() { d_->commit(); }

void Table::cancel() {
    Impl& d = *d_;
    if (!d.dirty) return;
    d.memos.clear();
    d.dirty = false;
    if (d.appending) {
        d.appending = false;
        d.setEof();
    } else {
        d.setCurrent(d.recno);
    }
}

void Table::deleteRecord() {
    Impl& d = *d_;
    d.requireWritable();
    d.requireCurrent();
    d.rec[0] = '*';
    if (d.dirty) {
        d.commit();
        return;
    }
    d.dbf.writeAt(d.recordOffset(d.recno), "*", 1);
    d.cacheRecord(d.recno, d.rec);
}

void Table::recall() {
    Impl& d = *d_;
    d.requireWritable();
    d.requireCurrent();
    d.rec[0] = ' ';
    if (d.dirty) {
        d.commit();
        return;
    }
    d.dbf.writeAt(d.recordOffset(d.recno), " ", 1);
    d.cacheRecord(d.recno, d.rec);
}

void Table::pack() {
    Impl& d = *d_;
    d.requireExclusive("packing");
    d.commit();
    d.markIndexInUse();
    d.pack();
    if (d.cdx) d.rebuild(d.tagDefinitions(), d.cdx->path());
    d.toEnd(true);
}

void Table::reindex() {
    Impl& d = *d_;
    d.requireExclusive("rebuilding the index");
    d.commit();
    if (!d.cdx) return;
    const int order = d.order;
    d.rebuild(d.tagDefinitions(), d.cdx->path());
    d.order = order;
    d.toEnd(true);
}

CheckResult Table::check() const {
    Impl& d = *d_;
    d.commit();
    CheckResult result;
    result.records = d.hdr.recordCount;
    if (!d.damage.empty()) result.problems.push_back(d.damage);
    std::map<std::string, std::size_t> counts;
    auto problem = [&](const std::string& kind, const std::string& text) {
        if (++counts[kind] <= 20) result.problems.push_back(text);
    };
    std::vector<std::size_t> memoFields;
    for (std::size_t f = 0; f < d.hdr.fields.size(); ++f)
        if (d.hdr.fields[f].type == FieldType::Memo) memoFields.push_back(f);
    std::vector<std::string> expected(d.keys.size() * d.hdr.recordCount);
    try {
        d.scanAll([&](std::uint32_t r, const char* bytes) {
            if (bytes[0] != ' ' && bytes[0] != '*')
                problem("mark", "record " + std::to_string(r) + " has an unknown delete mark");
            for (std::size_t f : memoFields) {
                std::uint32_t block = 0;
                const std::string_view stored(bytes + d.hdr.offsets[f], static_cast<std::size_t>(d.hdr.fields[f].width));
                if (!record::memoBlock(stored, block)) {
                    problem("memo", "record " + std::to_string(r) + ": field " + d.hdr.fields[f].name +
                                        " holds a bad memo pointer");
                    continue;
                }
                if (block == 0) continue;
                if (!d.memo) {
                    problem("memo", "record " + std::to_string(r) + " points into a missing memo file");
                    continue;
                }
                try {
                    if (block >= d.memo->nextFree())
                        problem("memo", "record " + std::to_string(r) + ": memo block " + std::to_string(block) +
                                            " lies past the memo file's end of data");
                    else
                        d.memo->length(block);
                } catch (const Error& e) {
                    problem("memo", "record " + std::to_string(r) + ": " + e.what());
                }
            }
            for (std::size_t t = 0; t < d.keys.size(); ++t)
                d.keys[t].eval(bytes, expected[t * d.hdr.recordCount + (r - 1)]);
        });
    } catch (const Error& e) {
        result.problems.push_back(e.what());
        return result;
    }
    for (std::size_t t = 0; t < d.keys.size(); ++t) {
        const std::string& name = d.cdx->tags()[t].name;
        std::vector<std::pair<std::string, std::uint32_t>> entries;
        std::vector<std::string> structure;
        d.cdx->walk(t, entries, structure);
        for (const auto& s : structure) problem("tag" + name, "tag " + name + ": " + s);
        // Moves follow the chain of leaves, not the tree: both must give the same keys.
        try {
            std::size_t i = 0;
            bool same = true;
            for (CdxFile::Pos p = d.cdx->first(t); p.valid() && same; p = d.cdx->next(t, p), ++i) {
                const auto& e = d.cdx->at(t, p);
                same = i < entries.size() && entries[i].second == e.recno && entries[i].first == e.key;
            }
            if (!same || i != entries.size())
                problem("tag" + name, "tag " + name + ": the chain of leaves disagrees with the tree");
        } catch (const Error& e) {
            problem("tag" + name, "tag " + name + ": " + e.what());
        }
        std::vector<std::uint8_t> seen(d.hdr.recordCount + 1, 0);
        for (const auto& [key, r] : entries) {
            if (r < 1 || r > d.hdr.recordCount) {
                problem("tag" + name, "tag " + name + " holds record " + std::to_string(r) + ", which does not exist");
                continue;
            }
            if (seen[r] < 2) ++seen[r];
            if (seen[r] == 2) {
                problem("tag" + name, "tag " + name + " holds record " + std::to_string(r) + " twice");
                seen[r] = 3;
            }
            if (key != expected[t * d.hdr.recordCount + (r - 1)])
                problem("tag" + name, "tag " + name + " holds a wrong key for record " + std::to_string(r));
        }
        for (std::uint32_t r = 1; r <= d.hdr.recordCount; ++r)
            if (seen[r] == 0) problem("tag" + name, "tag " + name + " lacks record " + std::to_string(r));
    }
    for (const auto& [kind, n] : counts)
        if (n > 20) result.problems.push_back("... and " + std::to_string(n - 20) + " more problems of this kind");
    return result;
}

void Table::flush() { d_->commit(); }

}  // namespace sw::xbase
