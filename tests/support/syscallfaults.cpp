#include "syscallfaults.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// What the stand-ins below must do: shared with them, as the C library's calls have no context.
std::atomic<int> writesToFail {0};
std::atomic<int> writeErrno {0};
std::atomic<int> syncErrno {0};

template<typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

void SyscallFaults::failWrites(int count, int errnum)
{
    writeErrno = errnum;
    writesToFail = count;
}

void SyscallFaults::failNextSync(int errnum)
{
    syncErrno = errnum;
}

extern "C" ssize_t write(int fd, const void *buffer, size_t size)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    for (int left = writesToFail; left > 0;) {
        if (writesToFail.compare_exchange_weak(left, left - 1)) {
            errno = writeErrno;
            return -1;
        }
    }
    return real(fd, buffer, size);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    const int result = real(fd);
    if (const int errnum = syncErrno.exchange(0)) {
        errno = errnum;
        return -1;
    }
    return result;
}
