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

// What tryLock() and tryShare() give while another program holds the file.
const std::error_code Busy = std::make_error_code(std::errc::resource_unavailable_try_again);

// Makes `attempt` again while it gives Busy, for at most `wait`; then gives up.
template <typename Attempt>
std::error_code whileBusy(Attempt attempt, std::chrono::milliseconds wait)
{
    const auto giveUp = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (const std::error_code error = attempt(); error != Busy)
            return error;
        if (std::chrono::steady_clock::now() >= giveUp)
            return std::make_error_code(std::errc::timed_out);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

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

// Opens the file as Qt does, and shuts it again: Busy while another program's share mode
// keeps us out. Anything else is for the real open to report.
std::error_code tryShare(const std::filesystem::path &file, bool write)
{
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | (write ? GENERIC_WRITE : 0),
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION
               ? Busy
               : std::error_code();
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

unsigned ansiCodePage()
{
    return GetACP();
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

// Files here have no share modes: nobody keeps us out of one for a while.
std::error_code tryShare(const std::filesystem::path &, bool)
{
    return {};
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

unsigned ansiCodePage()
{
    return 0;
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
    return whileBusy([fd] { return tryLock(fd); }, wait);
}

std::error_code waitForSharing(const std::filesystem::path &file, bool write,
                               std::chrono::milliseconds wait)
{
    return whileBusy([&] { return tryShare(file, write); }, wait);
}

} // namespace platform::os
