#include "xbase/File.h"

#include "xbase/Error.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sw::xbase {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw Error(Error::Kind::Io, path, what + ": " + std::strerror(errno));
}

}  // namespace

File::File(const std::string& path, Access access) : path_(path) {
    fd_ = ::open(path.c_str(), (access == Access::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0) fail(path, "cannot open");
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw Error(Error::Kind::Io, path, "not a regular file");
    }
}

File File::create(const std::string& path, bool replace) {
    File f;
    f.path_ = path;
    f.fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL), 0644);
    if (f.fd_ < 0) fail(path, errno == EEXIST ? "already exists" : "cannot create");
    return f;
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

File::File(File&& o) noexcept : fd_(o.fd_), path_(std::move(o.path_)) { o.fd_ = -1; }

File& File::operator=(File&& o) noexcept {
    if (this != &o) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = o.fd_;
        path_ = std::move(o.path_);
        o.fd_ = -1;
    }
    return *this;
}

bool File::tryLock(Lock lock) {
    const int op = lock == Lock::Exclusive ? LOCK_EX : lock == Lock::Shared ? LOCK_SH : LOCK_UN;
    if (::flock(fd_, op | LOCK_NB) == 0) return true;
    if (errno == EWOULDBLOCK) return false;
    fail(path_, "cannot lock");
}

std::uint64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) fail(path_, "cannot read the file size");
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::readSome(std::uint64_t offset, void* buf, std::size_t n) const {
    auto* p = static_cast<char*>(buf);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(path_, "read failed");
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void File::readAt(std::uint64_t offset, void* buf, std::size_t n) const {
    if (readSome(offset, buf, n) != n)
        throw Error(Error::Kind::Damaged, path_,
                    "the file is truncated (" + std::to_string(n) + " bytes expected at offset " +
                        std::to_string(offset) + ")");
}

void File::writeAt(std::uint64_t offset, const void* buf, std::size_t n) {
    const auto* p = static_cast<const char*>(buf);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(path_, "write failed");
        }
        done += static_cast<std::size_t>(r);
    }
}

void File::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) fail(path_, "cannot change the file size");
}

void File::sync() {
    if (::fsync(fd_) != 0) fail(path_, "cannot flush to disk");
}

void File::close() {
    if (fd_ >= 0) {
        const int r = ::close(fd_);
        fd_ = -1;
        if (r != 0) fail(path_, "close failed");
    }
}

std::string siblingPath(const std::string& tablePath, std::string_view upperExt) {
    const auto slash = tablePath.find_last_of('/');
    const auto dot = tablePath.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? tablePath.substr(0, dot) : tablePath) + std::string(upperExt);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string findSibling(const std::string& tablePath, std::string_view upperExt) {
    const std::string upper = siblingPath(tablePath, upperExt);
    std::string lower = upper;
    for (std::size_t i = upper.size() - upperExt.size(); i < lower.size(); ++i)
        if (lower[i] >= 'A' && lower[i] <= 'Z') lower[i] = static_cast<char>(lower[i] + 32);
    // Prefer the spelling whose case matches the table's own extension.
    const auto dot = tablePath.find_last_of('.');
    const bool tableLower = dot != std::string::npos && dot + 1 < tablePath.size() &&
                            tablePath[dot + 1] >= 'a' && tablePath[dot + 1] <= 'z';
    const std::string& first = tableLower ? lower : upper;
    const std::string& second = tableLower ? upper : lower;
    if (fileExists(first)) return first;
    if (fileExists(second)) return second;
    // Files copied from DOS disks often differ in the case of the name as well (ADDR.DBF beside
    // addr.dbt): any spelling of the whole name will do.
    const auto slash = upper.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : upper.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? upper : upper.substr(slash + 1);
    std::string found;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (::strcasecmp(e->d_name, name.c_str()) != 0) continue;
            const std::string path = slash == std::string::npos ? std::string(e->d_name) : dir + (dir == "/" ? "" : "/") + e->d_name;
            if (fileExists(path)) {
                found = path;
                break;
            }
        }
        ::closedir(d);
    }
    return found;
}

void removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) fail(path, "cannot delete");
}

void renameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) fail(to, "cannot replace");
}

}  // namespace sw::xbase
