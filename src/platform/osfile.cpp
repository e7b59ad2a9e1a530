#include "osfile.h"

#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace platform::os {
namespace {

// What tryLock() gives while another holds the lock.
const std::error_code Busy = std::make_error_code(std::errc::resource_unavailable_try_again);

#ifdef _WIN32

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

std::error_code lastError()
{
    return {int(GetLastError()), std::system_category()};
}

// Windows locks bytes, and a locked byte can't be read by anyone else. So writers lock one
// byte far past any real end of file, where no reader ever looks.
OVERLAPPED lockedByte()
{
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFE;
    at.OffsetHigh = 0x7FFFFFFF;
    return at;
}

std::error_code tryLock(int fd)
{
    OVERLAPPED at = lockedByte();
    if (LockFileEx(handleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return {};
    const DWORD error = GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Busy : lastError();
}

} // namespace

void unlockFile(int fd)
{
    OVERLAPPED at = lockedByte();
    UnlockFileEx(handleOf(fd), 0, 1, 0, &at);
}

std::error_code syncFile(int fd)
{
    return FlushFileBuffers(handleOf(fd)) ? std::error_code() : lastError();
}

std::error_code syncFolder(const std::filesystem::path &)
{
    // Windows has no sync for a folder; as with other programs there, the file's own flush
    // is what there is.
    return {};
}

#else

// What a system call gave: no error, or errno's. A call broken off by a signal is made again.
template <typename Call> std::error_code retried(Call call)
{
    while (call() != 0) {
        if (errno != EINTR)
            return {errno, std::generic_category()};
    }
    return {};
}

std::error_code tryLock(int fd)
{
    const std::error_code error = retried([fd] { return ::flock(fd, LOCK_EX | LOCK_NB); });
    return error == std::errc::operation_would_block ? Busy : error;
}

} // namespace

void unlockFile(int fd)
{
    ::flock(fd, LOCK_UN);
}

std::error_code syncFile(int fd)
{
#ifdef F_FULLFSYNC
    // macOS: fsync() stops at the drive's cache; this goes through it where the disk allows.
    if (::fcntl(fd, F_FULLFSYNC) == 0)
        return {};
#endif
    return retried([fd] { return ::fsync(fd); });
}

std::error_code syncFolder(const std::filesystem::path &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {errno, std::generic_category()};
    const std::error_code error = syncFile(fd);
    ::close(fd);
    return error;
}

#endif

std::error_code lockFile(int fd, std::chrono::milliseconds wait)
{
    using Clock = std::chrono::steady_clock;
    const auto giveUp = Clock::now() + wait;
    for (;;) {
        if (const std::error_code error = tryLock(fd); error != Busy)
            return error;
        if (Clock::now() >= giveUp)
            return std::make_error_code(std::errc::timed_out);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace platform::os
