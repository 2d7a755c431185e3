#include "WriteStops.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::int64_t changesLeft = -1;
bool tearing = false;

template <class Fn>
Fn Real(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

// True when the change about to be made is the one to stop before.
bool StopDue()
{
    return changesLeft >= 0 && changesLeft-- == 0;
}

[[noreturn]] void Stop()
{
    _exit(sw::test::kStoppedExit);
}

} // namespace

namespace sw::test {

void StopBeforeChange(std::int64_t change, bool torn)
{
    changesLeft = change;
    tearing = torn;
}

void NeverStop()
{
    changesLeft = -1;
}

} // namespace sw::test

extern "C" ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset)
{
    using Fn = ssize_t (*)(int, const void*, size_t, off_t);
    static const Fn real = Real<Fn>("pwrite");
    if (StopDue()) {
        constexpr off_t kPage = 4096;
        const auto head = static_cast<size_t>(kPage - offset % kPage);
        if (tearing && head < n)
            (void)real(fd, buf, head, offset);
        Stop();
    }
    return real(fd, buf, n, offset);
}

extern "C" int ftruncate(int fd, off_t size) noexcept
{
    using Fn = int (*)(int, off_t);
    static const Fn real = Real<Fn>("ftruncate");
    if (StopDue())
        Stop();
    return real(fd, size);
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    using Fn = int (*)(const char*, const char*);
    static const Fn real = Real<Fn>("rename");
    if (StopDue())
        Stop();
    return real(from, to);
}

extern "C" int unlink(const char* path) noexcept
{
    using Fn = int (*)(const char*);
    static const Fn real = Real<Fn>("unlink");
    if (StopDue())
        Stop();
    return real(path);
}
