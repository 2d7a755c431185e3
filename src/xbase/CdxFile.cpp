#include "xbase/CdxFile.h"

#include "xbase/Error.h"

#include <algorithm>
#include <cstring>

namespace sw::xbase {

// CDX file and tag header, 1024 bytes (little-endian):
//   0   4  offset of the root node
//   4   4  head of the free node list (0 or -1: empty; file header only)
//   8   4  change counter (file header: odd while a writer has the index changed)
//  12   2  key length
//  14   1  options: 0x01 unique, 0x08 has a condition, 0x20 compact, 0x40 compound,
//          0x80 the file's own header (its tree is the tag directory)
//  15   1  signature (1)
// 502   2  0 ascending, 1 descending
// 504   2  length of the key expression with its NUL
// 506   2  length of the condition with its NUL
// 510   2  length of the key expression with its NUL
// 512 512  the key expression, then the condition, each ending with NUL
// The file header sits at offset 0; its tree (key length 10, tag names padded with blanks)
// maps each tag name to the offset of that tag's header, found in the "record number".
// Nodes are 512 bytes at offsets that are multiples of 512 (see CdxPage.cpp). A free node
// holds the offset of the next free node in its first 4 bytes.
namespace {

constexpr std::size_t kHeaderSize = 1024;
constexpr std::size_t kNameLength = 10;
constexpr int kMaxDepth = 32;

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

int compare(std::string_view a, std::uint32_t ra, std::string_view b, std::uint32_t rb) {
    const int c = a.compare(b);
    if (c != 0) return c < 0 ? -1 : 1;
    return ra < rb ? -1 : ra > rb ? 1 : 0;
}

std::string encodeHeader(std::uint32_t root, std::size_t keyLength, std::uint8_t options,
                         const std::string& expression) {
    std::string h(kHeaderSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(h.data());
    put32(p, root);
    put16(p + 12, static_cast<std::uint32_t>(keyLength));
    p[14] = options;
    p[15] = 1;
    const auto exprLen = static_cast<std::uint32_t>(expression.size() + 1);
    put16(p + 504, exprLen);
    put16(p + 506, 1);
    put16(p + 510, exprLen);
    std::memcpy(p + 512, expression.data(), expression.size());
    return h;
}

// Lays out a B-tree bottom-up from keys in order: full leaves, then each interior level,
// nodes numbered from first. Appends the pages to out and returns the root's offset.
struct TreeBuilder {
    std::size_t keyLength;
    char fill;
    std::string& out;
    std::uint32_t next;  // offset of the next page to place

    std::uint32_t place(CdxNode& n) {
        n.offset = next;
        next += CdxNode::kPageSize;
        return n.offset;
    }

    void emit(std::vector<CdxNode>& level, const std::string& path) {
        for (std::size_t i = 0; i < level.size(); ++i) {
            level[i].left = i ? level[i - 1].offset : CdxNode::kNone;
            level[i].right = i + 1 < level.size() ? level[i + 1].offset : CdxNode::kNone;
            if (level.size() == 1) level[i].attributes |= CdxNode::kRoot;
            const std::size_t at = out.size();
            out.resize(at + CdxNode::kPageSize);
            if (!level[i].encode(keyLength, fill, reinterpret_cast<unsigned char*>(out.data() + at)))
                throw Error(Error::Kind::Usage, path, "an index node overflowed while building");
        }
    }

    std::uint32_t build(const SortedKeys& keys, const std::string& path) {
        // Entry size from the highest record number: a leaf's own layout is never wider.
        const std::size_t entryBytes = [&] {
            CdxNode probe;
            probe.entries.push_back({std::string(keyLength, fill), keys.maxRecno, 0});
            return probe.bytesNeeded(keyLength, fill);
        }();
        // Leaves go out one by one as they fill, at consecutive offsets; what the level
        // above needs of each is kept in children.
        std::vector<CdxNode::Entry> children;
        CdxNode leaf;
        std::size_t count = 0;
        auto closeLeaf = [&](bool last) {
            leaf.entries.resize(count);
            leaf.attributes = CdxNode::kLeaf | (last && children.empty() ? CdxNode::kRoot : 0);
            leaf.offset = next;
            next += CdxNode::kPageSize;
            leaf.left = children.empty() ? CdxNode::kNone : leaf.offset - CdxNode::kPageSize;
            leaf.right = last ? CdxNode::kNone : leaf.offset + CdxNode::kPageSize;
            const std::size_t at = out.size();
            out.resize(at + CdxNode::kPageSize);
            if (!leaf.encode(keyLength, fill, reinterpret_cast<unsigned char*>(out.data() + at)))
                throw Error(Error::Kind::Usage, path, "an index node overflowed while building");
            if (count) children.push_back({leaf.entries.back().key, leaf.entries.back().recno, leaf.offset});
            count = 0;
        };
        std::size_t used = 0;
        std::string_view prev;
        for (std::uint32_t idx : keys.order) {
            std::string_view key(keys.keys.data() + static_cast<std::size_t>(idx) * keyLength, keyLength);
            std::size_t trail = 0;
            while (trail < keyLength && key[keyLength - 1 - trail] == fill) ++trail;
            std::size_t dup = 0;
            if (count)
                while (dup < keyLength - trail && prev[dup] == key[dup]) ++dup;
            std::size_t need = entryBytes + keyLength - trail - dup;
            if (used + need > CdxNode::leafCapacity()) {
                closeLeaf(false);
                used = 0;
                need = entryBytes + keyLength - trail;
            }
            if (count < leaf.entries.size()) {
                leaf.entries[count].key.assign(key);
                leaf.entries[count].recno = keys.recnos[idx];
            } else {
                leaf.entries.push_back({std::string(key), keys.recnos[idx], 0});
            }
            ++count;
            used += need;
            prev = key;
        }
        closeLeaf(true);
        if (children.size() <= 1) return leaf.offset;
        const std::size_t perInterior = CdxNode::interiorCapacity(keyLength);
        while (true) {
            std::vector<CdxNode> level;
            for (std::size_t i = 0; i < children.size(); i += perInterior) {
                CdxNode n;
                n.attributes = 0;
                n.entries.assign(children.begin() + static_cast<std::ptrdiff_t>(i),
                                 children.begin() + static_cast<std::ptrdiff_t>(std::min(children.size(), i + perInterior)));
                place(n);
                level.push_back(std::move(n));
            }
            emit(level, path);
            if (level.size() == 1) return level[0].offset;
            children.clear();
            for (const auto& n : level) children.push_back({n.entries.back().key, n.entries.back().recno, n.offset});
        }
    }
};

}  // namespace

void SortedKeys::sort() {
    const std::size_t n = recnos.size();
    // Sorting 16-byte big-endian prefixes held next to each other decides most comparisons
    // without touching the keys.
    struct Item {
        std::uint64_t a, b;
        std::uint32_t index, recno;
    };
    std::vector<Item> items(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto* k = reinterpret_cast<const unsigned char*>(keys.data() + i * keyLength);
        std::uint64_t a = 0, b = 0;
        for (std::size_t j = 0; j < 8; ++j) a = (a << 8) | (j < keyLength ? k[j] : 0);
        for (std::size_t j = 8; j < 16; ++j) b = (b << 8) | (j < keyLength ? k[j] : 0);
        items[i] = {a, b, static_cast<std::uint32_t>(i), recnos[i]};
    }
    const char* base = keys.data();
    const std::size_t len = keyLength;
    std::sort(items.begin(), items.end(), [&](const Item& x, const Item& y) {
        if (x.a != y.a) return x.a < y.a;
        if (x.b != y.b) return x.b < y.b;
        if (len > 16) {
            const int c = std::memcmp(base + x.index * len + 16, base + y.index * len + 16, len - 16);
            if (c != 0) return c < 0;
        }
        return x.recno < y.recno;
    });
    order.resize(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = items[i].index;
}

void CdxFile::build(const std::string& path, const std::vector<BuildTag>& tags) {
    std::vector<const BuildTag*> byName;
    for (const auto& t : tags) byName.push_back(&t);
    std::sort(byName.begin(), byName.end(), [](auto* a, auto* b) { return a->name < b->name; });

    // The directory's size depends on the header offsets it holds; lay it out once with a
    // worst-case offset to learn its size, then for real.
    auto directory = [&](std::uint32_t maxOffset, const std::vector<std::uint32_t>& offsets, std::string& out) {
        SortedKeys names;
        names.keyLength = kNameLength;
        for (std::size_t i = 0; i < byName.size(); ++i) {
            std::string n = byName[i]->name;
            n.resize(kNameLength, ' ');
            names.keys += n;
            names.recnos.push_back(offsets.empty() ? maxOffset : offsets[i]);
            names.order.push_back(static_cast<std::uint32_t>(i));
        }
        names.maxRecno = maxOffset;
        TreeBuilder b {kNameLength, ' ', out, static_cast<std::uint32_t>(kHeaderSize)};
        return b.build(names, path);
    };
    std::string probe;
    directory(0x7FFFFFFF, {}, probe);
    const std::size_t dirBytes = probe.size();

    std::string tagsOut;
    std::vector<std::uint32_t> offsets(byName.size());
    std::uint64_t at = kHeaderSize + dirBytes;
    for (std::size_t i = 0; i < byName.size(); ++i) {
        const BuildTag& t = *byName[i];
        offsets[i] = static_cast<std::uint32_t>(at);
        std::string pages;
        TreeBuilder b {t.keys.keyLength, t.fill, pages, static_cast<std::uint32_t>(at + kHeaderSize)};
        const std::uint32_t root = b.build(t.keys, path);
        tagsOut += encodeHeader(root, t.keys.keyLength, 0x60, t.expression);
        tagsOut += pages;
        at += kHeaderSize + pages.size();
        if (at > 0xFFFFFE00u) throw Error(Error::Kind::Usage, path, "the index would exceed 4 GB");
    }
    std::string dir;
    const std::uint32_t dirRoot =
        directory(offsets.empty() ? 0 : offsets.back(), offsets, dir);
    dir.resize(dirBytes, '\0');
    std::string image = encodeHeader(dirRoot, kNameLength, 0xE0, "");
    image += dir;
    image += tagsOut;

    const std::string tmp = path + ".new";
    {
        File f = File::create(tmp, true);
        // No fsync: an index can always be rebuilt from its table.
        f.writeAt(0, image);
        f.close();
    }
    renameFile(tmp, path);
}

CdxFile::CdxFile(const std::string& path, File::Access access) : file_(path, access) {
    fileEnd_ = file_.size();
    readDirectory();
}

void CdxFile::readDirectory() {
    const std::string& path = file_.path();
    if (fileEnd_ < kHeaderSize + CdxNode::kPageSize)
        throw Error(Error::Kind::Damaged, path, "too short to be a compound index");
    unsigned char h[kHeaderSize];
    file_.readAt(0, h, sizeof h);
    if (le16(h + 12) != kNameLength || !(h[14] & 0x40))
        throw Error(Error::Kind::Damaged, path, "not a compound index (no tag directory)");
    freeList_ = le32(h + 4);
    counter_ = le32(h + 8);
    TagInfo dir;
    dir.name = "(directory)";
    dir.root = le32(h);
    dir.keyLength = kNameLength;
    tags_.push_back(dir);
    std::vector<std::pair<std::string, std::uint32_t>> names;
    std::vector<std::string> problems;
    walk(0, names, problems);
    if (!problems.empty()) throw Error(Error::Kind::Damaged, path, "tag directory: " + problems.front());
    tags_.clear();
    cache_.clear();
    for (const auto& [rawName, offset] : names) {
        TagInfo t;
        t.name = rawName;
        while (!t.name.empty() && (t.name.back() == ' ' || t.name.back() == '\0')) t.name.pop_back();
        if (offset % CdxNode::kPageSize != 0 || offset < kHeaderSize || offset + kHeaderSize > fileEnd_)
            throw Error(Error::Kind::Damaged, path, "tag " + t.name + " has its header outside the file");
        file_.readAt(offset, h, sizeof h);
        t.header = offset;
        t.root = le32(h);
        t.keyLength = le16(h + 12);
        t.options = h[14];
        t.descending = le16(h + 502) != 0;
        if (t.keyLength < 1 || t.keyLength > 240)
            throw Error(Error::Kind::Damaged, path, "tag " + t.name + " has key length " + std::to_string(t.keyLength));
        const std::size_t exprLen = std::min<std::size_t>(le16(h + 510), 512);
        const char* pool = reinterpret_cast<const char*>(h + 512);
        t.expression.assign(pool, strnlen(pool, exprLen));
        if (exprLen < 512) {
            const std::size_t forLen = std::min<std::size_t>(le16(h + 506), 512 - exprLen);
            t.condition.assign(pool + exprLen, strnlen(pool + exprLen, forLen));
        }
        tags_.push_back(t);
    }
}

CdxNode& CdxFile::node(std::size_t tag, std::uint32_t offset) {
    if (auto it = cache_.find(offset); it != cache_.end()) {
        if (it->second.first != tag)
            throw Error(Error::Kind::Damaged, file_.path(), "index page at " + std::to_string(offset) +
                                                                " belongs to two tags");
        return it->second.second;
    }
    if (offset % CdxNode::kPageSize != 0 || offset < kHeaderSize || offset + CdxNode::kPageSize > fileEnd_)
        throw Error(Error::Kind::Damaged, file_.path(),
                    "tag " + tags_[tag].name + " points at " + std::to_string(offset) + ", outside the file");
    unsigned char page[CdxNode::kPageSize];
    file_.readAt(offset, page, sizeof page);
    CdxNode n = CdxNode::decode(page, tags_[tag].keyLength, tags_[tag].fill, offset, file_.path());
    return cache_.emplace(offset, std::make_pair(tag, std::move(n))).first->second.second;
}

std::uint32_t CdxFile::descend(std::size_t tag, std::string_view key, std::uint32_t recno, Path* path) {
    std::uint32_t offset = tags_[tag].root;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        CdxNode& n = node(tag, offset);
        if (n.leaf()) return offset;
        if (n.entries.empty())
            throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + ": empty interior node");
        auto it = std::lower_bound(n.entries.begin(), n.entries.end(), 0, [&](const CdxNode::Entry& e, int) {
            return compare(e.key, e.recno, key, recno) < 0;
        });
        if (it == n.entries.end()) --it;
        const auto i = static_cast<std::size_t>(it - n.entries.begin());
        if (path) path->push_back({offset, i});
        offset = it->child;
    }
    throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + " is deeper than any index can be");
}

CdxFile::Pos CdxFile::lowerBound(std::size_t tag, std::string_view key, std::uint32_t recno) {
    const std::uint32_t leaf = descend(tag, key, recno, nullptr);
    CdxNode& n = node(tag, leaf);
    auto it = std::lower_bound(n.entries.begin(), n.entries.end(), 0, [&](const CdxNode::Entry& e, int) {
        return compare(e.key, e.recno, key, recno) < 0;
    });
    if (it != n.entries.end()) return {leaf, static_cast<std::size_t>(it - n.entries.begin())};
    if (n.entries.empty()) return n.right == CdxNode::kNone ? Pos {} : next(tag, {leaf, 0});
    return next(tag, {leaf, n.entries.size() - 1});
}

CdxFile::Pos CdxFile::seekPrefix(std::size_t tag, std::string_view prefix) {
    // Every key at or above the prefix padded with NULs starts with something >= prefix.
    std::string low(prefix);
    if (low.size() > tags_[tag].keyLength) low.resize(tags_[tag].keyLength);
    low.resize(tags_[tag].keyLength, '\0');
    return lowerBound(tag, low, 0);
}

CdxFile::Pos CdxFile::first(std::size_t tag) { return lowerBound(tag, std::string(tags_[tag].keyLength, '\0'), 0); }

CdxFile::Pos CdxFile::last(std::size_t tag) {
    std::uint32_t offset = tags_[tag].root;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        CdxNode& n = node(tag, offset);
        if (n.leaf()) {
            if (!n.entries.empty()) return {offset, n.entries.size() - 1};
            return n.left == CdxNode::kNone ? Pos {} : prev(tag, {offset, 0});
        }
        if (n.entries.empty())
            throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + ": empty interior node");
        offset = n.entries.back().child;
    }
    throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + " is deeper than any index can be");
}

const CdxNode::Entry& CdxFile::at(std::size_t tag, Pos pos) { return node(tag, pos.leaf).entries.at(pos.index); }

CdxFile::Pos CdxFile::next(std::size_t tag, Pos pos) {
    CdxNode* n = &node(tag, pos.leaf);
    if (pos.index + 1 < n->entries.size()) return {pos.leaf, pos.index + 1};
    // Copy: loading the neighbour may not move cached nodes, but keep the key independent.
    const CdxNode::Entry cur = pos.index < n->entries.size() ? n->entries[pos.index] : CdxNode::Entry {};
    const bool haveCur = pos.index < n->entries.size();
    std::uint32_t from = pos.leaf;
    for (std::size_t hops = 0; hops <= fileEnd_ / CdxNode::kPageSize; ++hops) {
        if (n->right == CdxNode::kNone) return {};
        const std::uint32_t to = n->right;
        CdxNode& m = node(tag, to);
        if (!m.leaf() || m.left != from)
            throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + ": broken leaf chain at " +
                                                                std::to_string(to) + "; rebuild the index");
        if (!m.entries.empty()) {
            if (haveCur && compare(m.entries[0].key, m.entries[0].recno, cur.key, cur.recno) <= 0)
                throw Error(Error::Kind::Damaged, file_.path(),
                            "tag " + tags_[tag].name + ": keys out of order; rebuild the index");
            return {to, 0};
        }
        from = to;
        n = &m;
    }
    throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + ": the leaf chain loops");
}

CdxFile::Pos CdxFile::prev(std::size_t tag, Pos pos) {
    CdxNode* n = &node(tag, pos.leaf);
    if (pos.index > 0 && pos.index - 1 < n->entries.size()) return {pos.leaf, pos.index - 1};
    const bool haveCur = pos.index < n->entries.size();
    const CdxNode::Entry cur = haveCur ? n->entries[pos.index] : CdxNode::Entry {};
    std::uint32_t from = pos.leaf;
    for (std::size_t hops = 0; hops <= fileEnd_ / CdxNode::kPageSize; ++hops) {
        if (n->left == CdxNode::kNone) return {};
        const std::uint32_t to = n->left;
        CdxNode& m = node(tag, to);
        if (!m.leaf() || m.right != from)
            throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + ": broken leaf chain at " +
                                                                std::to_string(to) + "; rebuild the index");
        if (!m.entries.empty()) {
            const auto& e = m.entries.back();
            if (haveCur && compare(e.key, e.recno, cur.key, cur.recno) >= 0)
                throw Error(Error::Kind::Damaged, file_.path(),
                            "tag " + tags_[tag].name + ": keys out of order; rebuild the index");
            return {to, m.entries.size() - 1};
        }
        from = to;
        n = &m;
    }
    throw Error(Error::Kind::Damaged, file_.path(), "tag " + tags_[tag].name + ": the leaf chain loops");
}

std::uint32_t CdxFile::allocate() {
    if (fileEnd_ + CdxNode::kPageSize > 0xFFFFFE00u) throw Error(Error::Kind::Io, file_.path(), "the index is full");
    const auto offset = static_cast<std::uint32_t>(fileEnd_);
    fileEnd_ += CdxNode::kPageSize;
    fresh_.insert(offset);
    return offset;
}

void CdxFile::fixSeparators(std::size_t tag, Path& path, const CdxNode::Entry& last) {
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        CdxNode& p = node(tag, it->first);
        auto& e = p.entries[it->second];
        if (e.key == last.key && e.recno == last.recno) break;
        e.key = last.key;
        e.recno = last.recno;
        markDirty(it->first);
        if (it->second + 1 != p.entries.size()) break;
    }
}

void CdxFile::split(std::size_t tag, Path& path, std::uint32_t offset) {
    const TagInfo& t = tags_[tag];
    CdxNode& n = node(tag, offset);
    std::size_t cut;
    if (n.right == CdxNode::kNone) {
        // Rightmost node: keys arriving in order land here, so keep it as full as possible.
        CdxNode probe;
        probe.attributes = n.attributes;
        probe.entries = n.entries;
        while (probe.entries.size() > 1 &&
               probe.bytesNeeded(t.keyLength, t.fill) > (n.leaf() ? CdxNode::leafCapacity()
                                                                  : CdxNode::interiorCapacity(t.keyLength) * (t.keyLength + 8)))
            probe.entries.pop_back();
        cut = probe.entries.size();
    } else {
        cut = n.entries.size() / 2;
    }
    const std::uint32_t newOffset = allocate();
    CdxNode fresh;
    fresh.offset = newOffset;
    fresh.attributes = n.leaf() ? CdxNode::kLeaf : 0;
    fresh.entries.assign(std::make_move_iterator(n.entries.begin() + static_cast<std::ptrdiff_t>(cut)),
                         std::make_move_iterator(n.entries.end()));
    n.entries.resize(cut);
    fresh.left = offset;
    fresh.right = n.right;
    if (n.right != CdxNode::kNone) {
        node(tag, n.right).left = newOffset;
        markDirty(n.right);
    }
    n.right = newOffset;
    markDirty(offset);
    const CdxNode::Entry lastLeft {n.entries.back().key, n.entries.back().recno, offset};
    const CdxNode::Entry lastRight {fresh.entries.back().key, fresh.entries.back().recno, newOffset};
    const bool wasRoot = n.root() || path.empty();  // a root without its mark is still the root
    n.attributes &= static_cast<std::uint16_t>(~CdxNode::kRoot);
    cache_.emplace(newOffset, std::make_pair(tag, std::move(fresh)));
    markDirty(newOffset);
    if (wasRoot) {
        const std::uint32_t rootOffset = allocate();
        CdxNode root;
        root.offset = rootOffset;
        root.attributes = CdxNode::kRoot;
        root.entries = {lastLeft, lastRight};
        cache_.emplace(rootOffset, std::make_pair(tag, std::move(root)));
        markDirty(rootOffset);
        tags_[tag].root = rootOffset;
        headersDirty_.insert(tag);
        return;
    }
    const auto [parentOffset, index] = path.back();
    path.pop_back();
    CdxNode& p = node(tag, parentOffset);
    p.entries[index] = lastLeft;
    p.entries.insert(p.entries.begin() + static_cast<std::ptrdiff_t>(index) + 1, lastRight);
    markDirty(parentOffset);
    if (p.entries.size() > CdxNode::interiorCapacity(t.keyLength)) split(tag, path, parentOffset);
}

void CdxFile::insert(std::size_t tag, const std::string& key, std::uint32_t recno) {
    ++generation_;
    Path path;
    const std::uint32_t leafOffset = descend(tag, key, recno, &path);
    CdxNode& leaf = node(tag, leafOffset);
    auto it = std::lower_bound(leaf.entries.begin(), leaf.entries.end(), 0, [&](const CdxNode::Entry& e, int) {
        return compare(e.key, e.recno, key, recno) < 0;
    });
    const bool atEnd = it == leaf.entries.end();
    leaf.entries.insert(it, {key, recno, 0});
    markDirty(leafOffset);
    if (atEnd) fixSeparators(tag, path, leaf.entries.back());
    if (leaf.bytesNeeded(tags_[tag].keyLength, tags_[tag].fill) > CdxNode::leafCapacity())
        split(tag, path, leafOffset);
}

void CdxFile::unlink(std::size_t tag, Path& path, std::uint32_t offset) {
    CdxNode& n = node(tag, offset);
    if (path.empty()) {
        // The root lacked its mark: it stays, as an empty leaf.
        n.attributes = CdxNode::kRoot | CdxNode::kLeaf;
        markDirty(offset);
        return;
    }
    const std::uint32_t left = n.left, right = n.right;
    if (left != CdxNode::kNone) {
        node(tag, left).right = right;
        markDirty(left);
    }
    if (right != CdxNode::kNone) {
        node(tag, right).left = left;
        markDirty(right);
    }
    cache_.erase(offset);
    dirty_.erase(offset);
    if (fresh_.erase(offset) == 0) freed_.push_back(offset);
    const auto [parentOffset, index] = path.back();
    path.pop_back();
    CdxNode& p = node(tag, parentOffset);
    p.entries.erase(p.entries.begin() + static_cast<std::ptrdiff_t>(index));
    markDirty(parentOffset);
    if (p.entries.empty()) {
        if (p.root())
            p.attributes = CdxNode::kRoot | CdxNode::kLeaf;
        else
            unlink(tag, path, parentOffset);
    } else if (index == p.entries.size()) {
        fixSeparators(tag, path, p.entries.back());
    }
}

bool CdxFile::remove(std::size_t tag, const std::string& key, std::uint32_t recno) {
    ++generation_;
    Path path;
    const std::uint32_t leafOffset = descend(tag, key, recno, &path);
    CdxNode& leaf = node(tag, leafOffset);
    auto it = std::lower_bound(leaf.entries.begin(), leaf.entries.end(), 0, [&](const CdxNode::Entry& e, int) {
        return compare(e.key, e.recno, key, recno) < 0;
    });
    if (it != leaf.entries.end() && it->key == key && it->recno == recno) {
        const auto index = static_cast<std::size_t>(it - leaf.entries.begin());
        leaf.entries.erase(it);
        markDirty(leafOffset);
        if (leaf.entries.empty() && !leaf.root() && !path.empty())
            unlink(tag, path, leafOffset);
        else if (!leaf.entries.empty() && index == leaf.entries.size())
            fixSeparators(tag, path, leaf.entries.back());
        return true;
    }
    // Equal keys in an order other than by record number (written by another program):
    // look along the run of equal keys and take the entry out where it is.
    for (Pos p = lowerBound(tag, key, 0); p.valid(); p = next(tag, p)) {
        const auto& e = at(tag, p);
        if (e.key != key) break;
        if (e.recno == recno) {
            CdxNode& n = node(tag, p.leaf);
            n.entries.erase(n.entries.begin() + static_cast<std::ptrdiff_t>(p.index));
            markDirty(p.leaf);
            return true;
        }
    }
    return false;
}

void CdxFile::markInUse(bool inUse) {
    counter_ = inUse ? (counter_ | 1u) : (counter_ | 1u) + 1u;
    unsigned char c[4];
    put32(c, counter_);
    file_.writeAt(8, c, 4);
}

void CdxFile::flush() {
    if (dirty_.empty() && freed_.empty() && headersDirty_.empty()) return;
    unsigned char page[CdxNode::kPageSize];
    auto writeNode = [&](std::uint32_t offset) {
        auto it = cache_.find(offset);
        if (it == cache_.end()) return;
        const TagInfo& t = tags_[it->second.first];
        if (!it->second.second.encode(t.keyLength, t.fill, page))
            throw Error(Error::Kind::Usage, file_.path(), "an index node overflowed");
        file_.writeAt(offset, page, sizeof page);
    };
    for (std::uint32_t offset : fresh_)
        if (dirty_.count(offset)) writeNode(offset);
    for (std::uint32_t offset : dirty_)
        if (!fresh_.count(offset)) writeNode(offset);
    for (std::uint32_t offset : freed_) {
        std::memset(page, 0, sizeof page);
        put32(page, freeList_ == 0xFFFFFFFFu ? 0 : freeList_);
        file_.writeAt(offset, page, sizeof page);
        freeList_ = offset;
        freeListDirty_ = true;
    }
    for (std::size_t tag : headersDirty_) {
        unsigned char root[4];
        put32(root, tags_[tag].root);
        file_.writeAt(tags_[tag].header, root, 4);
    }
    if (freeListDirty_) {
        unsigned char head[4];
        put32(head, freeList_);
        file_.writeAt(4, head, 4);
    }
    dirty_.clear();
    fresh_.clear();
    freed_.clear();
    headersDirty_.clear();
    freeListDirty_ = false;
}

void CdxFile::walkNode(std::size_t tag, std::uint32_t offset, int depth, int& leafDepth, std::set<std::uint32_t>& seen,
                       std::vector<std::pair<std::string, std::uint32_t>>& out, std::vector<std::string>& problems,
                       const CdxNode::Entry* bound) {
    const std::string where = "node " + std::to_string(offset);
    if (depth > kMaxDepth) {
        problems.push_back("the tree is deeper than any index can be");
        return;
    }
    if (!seen.insert(offset).second) {
        problems.push_back(where + " is reached twice");
        return;
    }
    CdxNode* n;
    try {
        n = &node(tag, offset);
    } catch (const Error& e) {
        problems.push_back(e.what());
        return;
    }
    if (n->root() != (depth == 0)) problems.push_back(where + " has a wrong root mark");
    for (std::size_t i = 1; i < n->entries.size(); ++i)
        if (compare(n->entries[i - 1].key, n->entries[i - 1].recno, n->entries[i].key, n->entries[i].recno) > 0 &&
            n->entries[i - 1].key > n->entries[i].key)
            problems.push_back(where + " holds keys out of order");
    if (bound && !n->entries.empty() && n->entries.back().key > bound->key)
        problems.push_back(where + " holds keys above its entry in the parent");
    if (n->leaf()) {
        if (leafDepth < 0) leafDepth = depth;
        if (depth != leafDepth) problems.push_back(where + " is a leaf at another depth than the others");
        if (n->entries.empty() && depth > 0) problems.push_back(where + " is an empty leaf");
        for (const auto& e : n->entries) out.emplace_back(e.key, e.recno);
        return;
    }
    if (n->entries.empty()) problems.push_back(where + " is an empty interior node");
    const std::vector<CdxNode::Entry> entries = n->entries;  // the walk may load more nodes
    for (const auto& e : entries) walkNode(tag, e.child, depth + 1, leafDepth, seen, out, problems, &e);
}

void CdxFile::walk(std::size_t tag, std::vector<std::pair<std::string, std::uint32_t>>& out,
                   std::vector<std::string>& problems) {
    std::set<std::uint32_t> seen;
    int leafDepth = -1;
    const std::size_t before = out.size();
    walkNode(tag, tags_[tag].root, 0, leafDepth, seen, out, problems, nullptr);
    for (std::size_t i = before + 1; i < out.size(); ++i)
        if (out[i - 1].first > out[i].first) {
            problems.push_back("keys out of order between leaves");
            break;
        }
}

}  // namespace sw::xbase
