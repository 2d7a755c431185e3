#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sw::xbase {

// One 512-byte node of a CDX B-tree, decoded. Keys are always held at full key length,
// padded with the tree's fill byte (blank for text keys, NUL for binary ones).
struct CdxNode {
    static constexpr std::size_t kPageSize = 512;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    static constexpr std::uint16_t kRoot = 0x01;
    static constexpr std::uint16_t kLeaf = 0x02;

    struct Entry {
        std::string key;
        std::uint32_t recno = 0;  // in a tag directory: the offset of the tag header
        std::uint32_t child = 0;  // interior nodes only: offset of the node below
    };

    std::uint32_t offset = 0;
    std::uint16_t attributes = kLeaf;
    std::uint32_t left = kNone;
    std::uint32_t right = kNone;
    std::vector<Entry> entries;

    bool leaf() const { return (attributes & kLeaf) != 0; }
    bool root() const { return (attributes & kRoot) != 0; }

    // Throws Error (Damaged) naming path when the page contradicts the format.
    static CdxNode decode(const unsigned char* page, std::size_t keyLength, char fill, std::uint32_t offset,
                          const std::string& path);
    // Returns false when the entries do not fit in one page.
    bool encode(std::size_t keyLength, char fill, unsigned char* page) const;
    // Bytes a leaf with these entries needs out of the 488 available; interior: entries * (key + 8).
    std::size_t bytesNeeded(std::size_t keyLength, char fill) const;
    static std::size_t leafCapacity() { return kPageSize - 24; }
    static std::size_t interiorCapacity(std::size_t keyLength) { return (kPageSize - 12) / (keyLength + 8); }
};

}  // namespace sw::xbase
