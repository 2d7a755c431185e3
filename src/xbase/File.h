#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sw::xbase {

// A file opened with POSIX calls; every failure throws Error naming the path.
class File {
public:
    enum class Access { Read, ReadWrite };
    enum class Lock { None, Shared, Exclusive };

    File() = default;
    File(const std::string& path, Access access);
    ~File();
    File(File&& o) noexcept;
    File& operator=(File&& o) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Creates a new file; refuses to replace an existing one unless replace is set.
    static File create(const std::string& path, bool replace = false);

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

    // Takes an advisory whole-file lock without waiting; false when another process holds one
    // that conflicts.
    bool tryLock(Lock lock);

    std::uint64_t size() const;
    // Reads exactly n bytes at offset; fewer available is a damaged file.
    void readAt(std::uint64_t offset, void* buf, std::size_t n) const;
    // Reads up to n bytes; returns how many were there.
    std::size_t readSome(std::uint64_t offset, void* buf, std::size_t n) const;
    void writeAt(std::uint64_t offset, const void* buf, std::size_t n);
    void writeAt(std::uint64_t offset, std::string_view bytes) { writeAt(offset, bytes.data(), bytes.size()); }
    void truncate(std::uint64_t size);
    void sync();
    void close();

private:
    int fd_ = -1;
    std::string path_;
};

// Finds dir/base.ext where the extension matches in either case (EXT or ext), preferring
// the case of the table's own extension, else any spelling of base.ext ignoring case.
// Returns "" when there is none.
std::string findSibling(const std::string& tablePath, std::string_view upperExt);
// tablePath with its extension replaced by upperExt (".CDX"), or appended when it has none.
std::string siblingPath(const std::string& tablePath, std::string_view upperExt);

bool fileExists(const std::string& path);
void removeFile(const std::string& path);
void renameFile(const std::string& from, const std::string& to);

}  // namespace sw::xbase
