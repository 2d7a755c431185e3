#pragma once

#include "xbase/CdxPage.h"
#include "xbase/File.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sw::xbase {

// Keys of one tag ready for a bulk build: key i is keys[i*keyLength, keyLength), its record
// recnos[i]; order lists the indices in key order (equal keys by record number).
struct SortedKeys {
    std::size_t keyLength = 0;
    std::string keys;
    std::vector<std::uint32_t> recnos;
    std::vector<std::uint32_t> order;
    std::uint32_t maxRecno = 0;
    // Fills order from keys and recnos.
    void sort();
};

// A compound CDX file: a directory of tags, each a B-tree of 512-byte nodes.
class CdxFile {
public:
    struct TagInfo {
        std::string name;
        std::string expression;
        std::string condition;
        std::uint32_t header = 0;  // offset of the tag header
        std::uint32_t root = 0;
        std::size_t keyLength = 0;
        std::uint8_t options = 0;
        bool descending = false;
        char fill = ' ';  // byte that pads keys: blank for text, NUL for binary keys
    };
    struct BuildTag {
        std::string name;
        std::string expression;
        char fill = ' ';
        SortedKeys keys;
    };
    // A place in a tag: a leaf and an entry in it. leaf 0 means before the first or past the
    // last key.
    struct Pos {
        std::uint32_t leaf = 0;
        std::size_t index = 0;
        bool valid() const { return leaf != 0; }
    };

    // Writes a complete new index file with these tags (through a temporary file that then
    // replaces path, so a failure leaves the old file as it was).
    static void build(const std::string& path, const std::vector<BuildTag>& tags);

    CdxFile(const std::string& path, File::Access access);

    const std::string& path() const { return file_.path(); }
    const std::vector<TagInfo>& tags() const { return tags_; }
    void setFill(std::size_t tag, char fill) { tags_[tag].fill = fill; }

    Pos first(std::size_t tag);
    Pos last(std::size_t tag);
    // The next or previous place; invalid at the ends. Keys that do not increase along the
    // leaves are reported as damage, which also ends any loop in a damaged file.
    Pos next(std::size_t tag, Pos pos);
    Pos prev(std::size_t tag, Pos pos);
    const CdxNode::Entry& at(std::size_t tag, Pos pos);
    // The first entry at or after (key, recno).
    Pos lowerBound(std::size_t tag, std::string_view key, std::uint32_t recno);
    // The first entry whose first prefix.size() bytes are >= prefix.
    Pos seekPrefix(std::size_t tag, std::string_view prefix);

    void insert(std::size_t tag, const std::string& key, std::uint32_t recno);
    // False when the tag did not hold (key, recno).
    bool remove(std::size_t tag, const std::string& key, std::uint32_t recno);
    // Writes changed nodes: new nodes first, then changed ones, then the headers that point
    // at them, so a reader never meets a pointer to a node that is not written yet.
    void flush();
    // Changes with every insert or remove; places taken before a change are stale.
    std::uint64_t generation() const { return generation_; }

    // Walks a tag from its root, collecting every (key, record) in order and describing
    // what is structurally wrong.
    void walk(std::size_t tag, std::vector<std::pair<std::string, std::uint32_t>>& out,
              std::vector<std::string>& problems);
    // The change counter of the file header is odd while a writer has changed the index and
    // not yet closed it: found odd at open, the last writer died mid-way.
    bool leftInUse() const { return (counter_ & 1) != 0; }
    void markInUse(bool inUse);
    void close() { file_.close(); }

private:
    using Path = std::vector<std::pair<std::uint32_t, std::size_t>>;

    CdxNode& node(std::size_t tag, std::uint32_t offset);
    std::uint32_t descend(std::size_t tag, std::string_view key, std::uint32_t recno, Path* path);
    std::uint32_t allocate();
    void markDirty(std::uint32_t offset) { dirty_.insert(offset); }
    void split(std::size_t tag, Path& path, std::uint32_t offset);
    void unlink(std::size_t tag, Path& path, std::uint32_t offset);
    void fixSeparators(std::size_t tag, Path& path, const CdxNode::Entry& last);
    void readDirectory();
    void walkNode(std::size_t tag, std::uint32_t offset, int depth, int& leafDepth, std::set<std::uint32_t>& seen,
                  std::vector<std::pair<std::string, std::uint32_t>>& out, std::vector<std::string>& problems,
                  const CdxNode::Entry* bound);

    File file_;
    std::uint64_t fileEnd_ = 0;
    std::uint32_t freeList_ = 0;
    std::uint32_t counter_ = 0;
    std::vector<TagInfo> tags_;
    std::unordered_map<std::uint32_t, std::pair<std::size_t, CdxNode>> cache_;
    std::set<std::uint32_t> dirty_, fresh_;
    std::vector<std::uint32_t> freed_;
    std::set<std::size_t> headersDirty_;
    bool freeListDirty_ = false;
    std::uint64_t generation_ = 0;
};

}  // namespace sw::xbase
