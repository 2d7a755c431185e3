#include "xbase/MemoFile.h"

#include "xbase/Error.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace sw::xbase {

// FPT memo file (big-endian numbers):
// Header, 512 bytes:
//   0   4  next free block: the first block after the last one in use
//   4   2  unused
//   6   2  block size in bytes (64 for new files)
//   8 504  unused (zero)
// Blocks are numbered from the start of the file in units of the block size; the header
// occupies the first 512 bytes. A memo starts at a block boundary:
//   0   4  type: 1 text, 0 picture
//   4   4  length of the data in bytes
//   8   n  data; the rest of the last block is padding
// A record's memo field holds the number of the first block (blank or 0: no memo).
//
// DBT memo file (little-endian numbers), read only:
// Header, block 0:
//   0   4  next free block
//   4  16  unused (dBase IV: the table's name from offset 8)
//  20   2  block size in bytes (dBase IV; 0 means 512); dBase III blocks are always 512 bytes
// A dBase IV memo starts at a block boundary:
//   0   4  FF FF 08 00
//   4   4  length in bytes, these 8 included
//   8   n  data
// A dBase III memo (also written by Clipper and Harbour) is bare text from the start of its block
// to a 0x1A byte (written twice). A block is taken as dBase IV when it starts with the 4-byte
// mark, whatever the table's version byte says: texts never start with those bytes.
namespace {

constexpr unsigned char kDbt4Mark[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr std::size_t kDbtScan = 4096;

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint32_t be32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
void putBe32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (24 - 8 * i));
}

std::string encodeHeader(std::uint32_t nextFree, std::uint16_t blockSize) {
    std::string h(512, '\0');
    putBe32(h.data(), nextFree);
    h[6] = static_cast<char>(blockSize >> 8);
    h[7] = static_cast<char>(blockSize);
    return h;
}

}  // namespace

void MemoFile::create(const std::string& path, std::uint16_t blockSize, bool replace) {
    File f = File::create(path, replace);
    const std::uint32_t first = (512 + blockSize - 1) / blockSize;
    std::string h = encodeHeader(first, blockSize);
    h.resize(static_cast<std::size_t>(first) * blockSize, '\0');
    f.writeAt(0, h);
    f.close();
}

MemoFile::MemoFile(const std::string& path, File::Access access, Format format)
    : file_(path, format == Format::Fpt ? access : File::Access::Read), format_(format) {
    refresh();
}

void MemoFile::refresh() {
    if (format_ != Format::Fpt) {
        unsigned char h[22];
        if (file_.size() < sizeof h) throw Error(Error::Kind::Damaged, file_.path(), "the memo file has no header");
        file_.readAt(0, h, sizeof h);
        const std::uint16_t size = static_cast<std::uint16_t>(h[20] | (h[21] << 8));
        blockSize_ = format_ == Format::Dbt4 && size != 0 ? size : 512;
        // Only check() looks at the next free block, and older writers leave it stale: the end
        // of the file serves when it names a block inside the header.
        nextFree_ = le32(h);
        if (nextFree_ < firstBlock())
            nextFree_ = static_cast<std::uint32_t>(std::min<std::uint64_t>((file_.size() + blockSize_ - 1) / blockSize_, 0xFFFFFFFFu));
        return;
    }
    unsigned char h[8];
    if (file_.size() < 8) throw Error(Error::Kind::Damaged, file_.path(), "the memo file has no header");
    file_.readAt(0, h, sizeof h);
    nextFree_ = be32(h);
    blockSize_ = static_cast<std::uint16_t>((h[6] << 8) | h[7]);
    if (blockSize_ == 0) throw Error(Error::Kind::Damaged, file_.path(), "the memo block size is 0");
    if (nextFree_ < firstBlock())
        throw Error(Error::Kind::Damaged, file_.path(), "the next free block " + std::to_string(nextFree_) +
                                                            " lies inside the header");
}

std::uint32_t MemoFile::dbtMemo(std::uint32_t block, std::string* out) const {
    const std::uint64_t size = file_.size();
    const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
    if (block < firstBlock() || offset >= size)
        throw Error(Error::Kind::Damaged, file_.path(), "memo block " + std::to_string(block) + " lies outside the file");
    unsigned char head[8];
    const std::size_t got = file_.readSome(offset, head, sizeof head);
    if (got == sizeof head && std::equal(kDbt4Mark, kDbt4Mark + 4, head)) {
        const std::uint32_t len = le32(head + 4);
        if (len < 8 || len - 8 > size - offset - 8)
            throw Error(Error::Kind::Damaged, file_.path(), "the memo at block " + std::to_string(block) + " claims " +
                                                                std::to_string(len) + " bytes, which the file does not hold");
        if (out) {
            out->assign(len - 8, '\0');
            if (len > 8) file_.readAt(offset + 8, out->data(), len - 8);
        }
        return len - 8;
    }
    // Up to the end mark, or to the end of the file when the mark is missing (a memo cut short
    // keeps what is there, without the zero padding of its last block).
    const std::uint64_t limit = std::min<std::uint64_t>(size - offset, 0xFFFFFFF0u);
    std::uint64_t len = 0, padding = 0;
    char chunk[kDbtScan];
    while (len < limit) {
        const std::size_t n = file_.readSome(offset + len, chunk, static_cast<std::size_t>(std::min<std::uint64_t>(kDbtScan, limit - len)));
        if (n == 0) break;
        const char* end = static_cast<const char*>(std::memchr(chunk, 0x1A, n));
        const std::size_t take = end ? static_cast<std::size_t>(end - chunk) : n;
        if (out) out->append(chunk, take);
        len += take;
        if (end) return static_cast<std::uint32_t>(len);
        std::size_t zeros = 0;
        while (zeros < take && chunk[take - 1 - zeros] == '\0') ++zeros;
        padding = zeros == take ? padding + zeros : zeros;
    }
    if (len == 0xFFFFFFF0u)
        throw Error(Error::Kind::Damaged, file_.path(), "the memo at block " + std::to_string(block) + " has no end");
    if (out) out->resize(static_cast<std::size_t>(len - padding));
    return static_cast<std::uint32_t>(len - padding);
}

std::uint32_t MemoFile::length(std::uint32_t block) const {
    if (format_ != Format::Fpt) return dbtMemo(block, nullptr);
    const std::uint64_t size = file_.size();
    const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
    if (block < firstBlock() || offset + 8 > size)
        throw Error(Error::Kind::Damaged, file_.path(), "memo block " + std::to_string(block) + " lies outside the file");
    unsigned char h[8];
    file_.readAt(offset, h, sizeof h);
    const std::uint32_t len = be32(h + 4);
    if (len > size - offset - 8)
        throw Error(Error::Kind::Damaged, file_.path(), "the memo at block " + std::to_string(block) + " claims " +
                                                            std::to_string(len) + " bytes, more than the file holds");
    return len;
}

std::string MemoFile::read(std::uint32_t block) const {
    if (format_ != Format::Fpt) {
        std::string out;
        dbtMemo(block, &out);
        return out;
    }
    const std::uint32_t len = length(block);
    std::string out(len, '\0');
    if (len) file_.readAt(static_cast<std::uint64_t>(block) * blockSize_ + 8, out.data(), len);
    return out;
}

std::uint32_t MemoFile::write(std::string_view text) {
    if (format_ != Format::Fpt)
        throw Error(Error::Kind::Usage, file_.path(), "a dBase memo file (DBT) is only read, never written");
    if (text.empty()) return 0;
    if (text.size() > 0xFFFFFFF0u - 8)
        throw Error(Error::Kind::Encoding, file_.path(), "the memo text is too long");
    const auto blocksFor = [&](std::uint64_t n) { return (n + 8 + blockSize_ - 1) / blockSize_; };
    std::string data(8, '\0');
    putBe32(data.data(), 1);
    putBe32(data.data() + 4, static_cast<std::uint32_t>(text.size()));
    data.append(text);
    const std::uint64_t blocks = blocksFor(text.size());
    if (nextFree_ + blocks > 0xFFFFFFFFu)
        throw Error(Error::Kind::Io, file_.path(), "the memo file is full");
    const std::uint32_t block = nextFree_;
    data.resize(static_cast<std::size_t>(blocks) * blockSize_, '\0');
    // The block goes out before the header that makes it live, and the header before the
    // record that points at it.
    file_.writeAt(static_cast<std::uint64_t>(block) * blockSize_, data);
    nextFree_ = static_cast<std::uint32_t>(block + blocks);
    char h[4];
    putBe32(h, nextFree_);
    file_.writeAt(0, h, 4);
    return block;
}

}  // namespace sw::xbase
