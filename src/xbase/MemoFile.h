#pragma once

#include "xbase/File.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sw::xbase {

// The memo file of a table: a header and numbered blocks holding the memo texts. FoxPro's FPT
// is read and written; dBase's DBT (as dBase III and IV, Clipper and Harbour write it) is only
// read.
class MemoFile {
public:
    enum class Format {
        Fpt,
        Dbt3,  // dBase III: 512-byte blocks (whatever the header says)
        Dbt4,  // dBase IV: the block size in the header
    };

    static constexpr std::uint16_t kNewBlockSize = 64;

    // Writes an empty memo file (next free block just after the header).
    static void create(const std::string& path, std::uint16_t blockSize = kNewBlockSize, bool replace = false);

    MemoFile() = default;
    // A DBT file is opened for reading only (access is then ignored).
    MemoFile(const std::string& path, File::Access access, Format format = Format::Fpt);

    bool isOpen() const { return file_.isOpen(); }
    const std::string& path() const { return file_.path(); }
    std::uint16_t blockSize() const { return blockSize_; }
    std::uint32_t nextFree() const { return nextFree_; }
    Format format() const { return format_; }

    // The bytes of the memo that starts at block; throws Error (Damaged) for a pointer or a
    // length that leaves the file.
    std::string read(std::uint32_t block) const;
    // Length of the memo at block without reading it, same checks.
    std::uint32_t length(std::uint32_t block) const;
    // Stores text in new blocks at the end of the file and returns the first (0 for empty
    // text: no block); refused (Usage) for a DBT file. The blocks of a memo being replaced are never written over: until
    // its record is rewritten they still hold what that record says, so a process killed
    // in between leaves the record and its memo in agreement. pack() drops the dead blocks.
    std::uint32_t write(std::string_view text);
    // Re-reads the header (after another process may have appended).
    void refresh();
    void close() { file_.close(); }

private:
    std::uint32_t firstBlock() const { return (512 + blockSize_ - 1) / blockSize_; }
    // Length of the DBT memo at block; its bytes go to out when out is given.
    std::uint32_t dbtMemo(std::uint32_t block, std::string* out) const;

    File file_;
    Format format_ = Format::Fpt;
    std::uint16_t blockSize_ = kNewBlockSize;
    std::uint32_t nextFree_ = 0;
};

}  // namespace sw::xbase
