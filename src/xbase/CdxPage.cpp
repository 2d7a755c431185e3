#include "xbase/CdxPage.h"

#include "xbase/Error.h"

#include <algorithm>
#include <cstring>

namespace sw::xbase {

// CDX node, 512 bytes (little-endian unless noted):
//   0   2  attributes: 0 interior, 1 root, 2 leaf, 3 root leaf
//   2   2  number of keys
//   4   4  offset of the left sibling (-1: none)
//   8   4  offset of the right sibling (-1: none)
// Interior node, from 12: per key the full key, the record number (big-endian, 4) and the
//   offset of the child node (big-endian, 4). The key is the highest key of that child.
// Leaf node:
//  12   2  free bytes in the key area
//  14   4  record number mask
//  18   1  duplicate count mask
//  19   1  trailing count mask
//  20   1  bits of the record number
//  21   1  bits of the duplicate count
//  22   1  bits of the trailing count
//  23   1  bytes per entry (record number, duplicates, trailing packed little-endian,
//          record number in the low bits)
//  24 488  entries from the front; key bytes from the back, each key without its first
//          "duplicate" bytes (shared with the key before) and its "trailing" fill bytes.
namespace {

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint32_t be32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void putBe32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

int bitsFor(std::uint64_t v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

struct LeafLayout {
    int recBits, dupBits, trailBits, bytes;
};

LeafLayout layoutFor(std::size_t keyLength, std::uint32_t maxRecno) {
    LeafLayout l {};
    l.dupBits = l.trailBits = std::max(1, bitsFor(keyLength));
    const int need = std::max(1, bitsFor(maxRecno)) + l.dupBits + l.trailBits;
    l.bytes = std::max(3, (need + 7) / 8);
    l.recBits = l.bytes * 8 - l.dupBits - l.trailBits;
    return l;
}

std::size_t trailing(const std::string& key, char fill) {
    std::size_t n = 0;
    while (n < key.size() && key[key.size() - 1 - n] == fill) ++n;
    return n;
}

std::size_t shared(const std::string& a, const std::string& b, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

[[noreturn]] void damaged(const std::string& path, std::uint32_t offset, const std::string& what) {
    throw Error(Error::Kind::Damaged, path, "index page at " + std::to_string(offset) + ": " + what);
}

}  // namespace

std::size_t CdxNode::bytesNeeded(std::size_t keyLength, char fill) const {
    if (!leaf()) return entries.size() * (keyLength + 8);
    std::uint32_t maxRecno = 0;
    for (const auto& e : entries) maxRecno = std::max(maxRecno, e.recno);
    const LeafLayout l = layoutFor(keyLength, maxRecno);
    std::size_t total = entries.size() * static_cast<std::size_t>(l.bytes);
    const std::string* prev = nullptr;
    for (const auto& e : entries) {
        const std::size_t trail = trailing(e.key, fill);
        const std::size_t dup = prev ? shared(*prev, e.key, keyLength - trail) : 0;
        total += keyLength - trail - dup;
        prev = &e.key;
    }
    return total;
}

bool CdxNode::encode(std::size_t keyLength, char fill, unsigned char* page) const {
    std::memset(page, 0, kPageSize);
    put16(page, attributes);
    put16(page + 2, static_cast<std::uint32_t>(entries.size()));
    put32(page + 4, left);
    put32(page + 8, right);
    if (!leaf()) {
        if (entries.size() > interiorCapacity(keyLength)) return false;
        unsigned char* p = page + 12;
        for (const auto& e : entries) {
            std::memcpy(p, e.key.data(), keyLength);
            putBe32(p + keyLength, e.recno);
            putBe32(p + keyLength + 4, e.child);
            p += keyLength + 8;
        }
        return true;
    }
    std::uint32_t maxRecno = 0;
    for (const auto& e : entries) maxRecno = std::max(maxRecno, e.recno);
    const LeafLayout l = layoutFor(keyLength, maxRecno);
    std::size_t front = 24;
    std::size_t back = kPageSize;
    const std::string* prev = nullptr;
    for (const auto& e : entries) {
        const std::size_t trail = trailing(e.key, fill);
        const std::size_t dup = prev ? shared(*prev, e.key, keyLength - trail) : 0;
        const std::size_t fresh = keyLength - trail - dup;
        if (front + static_cast<std::size_t>(l.bytes) + fresh > back) return false;
        back -= fresh;
        std::memcpy(page + back, e.key.data() + dup, fresh);
        const std::uint64_t packed = e.recno | (static_cast<std::uint64_t>(dup) << l.recBits) |
                                     (static_cast<std::uint64_t>(trail) << (l.recBits + l.dupBits));
        for (int i = 0; i < l.bytes; ++i) page[front + i] = static_cast<unsigned char>(packed >> (8 * i));
        front += static_cast<std::size_t>(l.bytes);
        prev = &e.key;
    }
    put16(page + 12, static_cast<std::uint32_t>(back - front));
    put32(page + 14, l.recBits >= 32 ? 0xFFFFFFFFu : ((1u << l.recBits) - 1));
    page[18] = static_cast<unsigned char>((1u << l.dupBits) - 1);
    page[19] = static_cast<unsigned char>((1u << l.trailBits) - 1);
    page[20] = static_cast<unsigned char>(l.recBits);
    page[21] = static_cast<unsigned char>(l.dupBits);
    page[22] = static_cast<unsigned char>(l.trailBits);
    page[23] = static_cast<unsigned char>(l.bytes);
    return true;
}

CdxNode CdxNode::decode(const unsigned char* page, std::size_t keyLength, char fill, std::uint32_t offset,
                        const std::string& path) {
    CdxNode n;
    n.offset = offset;
    n.attributes = static_cast<std::uint16_t>(page[0] | (page[1] << 8));
    if (n.attributes > 3) damaged(path, offset, "unknown node type " + std::to_string(n.attributes));
    const std::size_t count = page[2] | (page[3] << 8);
    n.left = le32(page + 4);
    n.right = le32(page + 8);
    n.entries.resize(count);
    if (!n.leaf()) {
        if (count > interiorCapacity(keyLength)) damaged(path, offset, "too many keys for an interior node");
        const unsigned char* p = page + 12;
        for (auto& e : n.entries) {
            e.key.assign(reinterpret_cast<const char*>(p), keyLength);
            e.recno = be32(p + keyLength);
            e.child = be32(p + keyLength + 4);
            p += keyLength + 8;
        }
        return n;
    }
    const int recBits = page[20], dupBits = page[21], trailBits = page[22], bytes = page[23];
    if (bytes < 1 || bytes > 8 || recBits < 1 || recBits > 32 || dupBits > 16 || trailBits > 16 ||
        recBits + dupBits + trailBits > bytes * 8)
        damaged(path, offset, "impossible leaf entry layout");
    if (count * static_cast<std::size_t>(bytes) > leafCapacity()) damaged(path, offset, "too many keys for a leaf");
    const std::uint64_t recMask = recBits == 32 ? 0xFFFFFFFFull : ((1ull << recBits) - 1);
    const std::uint64_t dupMask = (1ull << dupBits) - 1;
    const std::uint64_t trailMask = (1ull << trailBits) - 1;
    const std::size_t front = 24 + count * static_cast<std::size_t>(bytes);
    std::size_t back = kPageSize;
    std::string prev(keyLength, fill);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t packed = 0;
        for (int b = 0; b < bytes; ++b) packed |= static_cast<std::uint64_t>(page[24 + i * bytes + b]) << (8 * b);
        auto& e = n.entries[i];
        e.recno = static_cast<std::uint32_t>(packed & recMask);
        const std::size_t dup = (packed >> recBits) & dupMask;
        const std::size_t trail = (packed >> (recBits + dupBits)) & trailMask;
        if (dup + trail > keyLength) damaged(path, offset, "a key is longer than the key length");
        const std::size_t fresh = keyLength - dup - trail;
        if (back < front + fresh) damaged(path, offset, "the keys overlap the entries");
        back -= fresh;
        e.key.resize(keyLength);
        std::memcpy(e.key.data(), prev.data(), dup);
        std::memcpy(e.key.data() + dup, page + back, fresh);
        std::memset(e.key.data() + dup + fresh, fill, trail);
        prev = e.key;
    }
    return n;
}

}  // namespace sw::xbase
