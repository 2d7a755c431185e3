#include "xbase/MemoFile.h"

#include "xbase/Error.h"

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
namespace {

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

MemoFile::MemoFile(const std::string& path, File::Access access) : file_(path, access) { refresh(); }

void MemoFile::refresh() {
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

std::uint32_t MemoFile::length(std::uint32_t block) const {
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
    const std::uint32_t len = length(block);
    std::string out(len, '\0');
    if (len) file_.readAt(static_cast<std::uint64_t>(block) * blockSize_ + 8, out.data(), len);
    return out;
}

std::uint32_t MemoFile::write(std::string_view text) {
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
