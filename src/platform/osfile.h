#pragma once

// What the program needs of the operating system for its task file and Qt does not offer:
// a lock that makes writers take turns, patience with other programs that have the file open,
// a sync to disk, and the code page of older 8-bit text. Kept free of Qt, so that its Windows
// branch can be built and tested on its own. Files are named by C runtime file descriptors, as
// QFileDevice::handle() gives them.

#include <chrono>
#include <filesystem>
#include <system_error>

namespace platform::os {

// Takes the exclusive lock that writers of the file hold while they write. Readers are never
// held up by it. Waits at most `wait` for another holder to let go; then gives up with
// std::errc::timed_out. The lock goes with unlock() or when the file is closed.
std::error_code lockFile(int fd, std::chrono::milliseconds wait);
void unlockFile(int fd);

// Waits at most `wait` while another program has the file open without sharing what we would
// do with it (`write`, or only read), as a backup or sync client on Windows does for a moment;
// then gives up with std::errc::timed_out. Returns at once where files are never held so.
std::error_code waitForSharing(const std::filesystem::path &file, bool write,
                               std::chrono::milliseconds wait);

// Sends what was written to the file on to the disk.
std::error_code syncFile(int fd);

// Makes a new entry in `folder` (a file just created there) last on disk.
std::error_code syncFolder(const std::filesystem::path &folder);

// Windows' ANSI code page, in which its older programs wrote 8-bit text: 1251 on a Russian
// system, for example, or 65001 (UTF-8) where the user chose Unicode for worldwide language
// support. 0 elsewhere: systems without one.
unsigned ansiCodePage();
inline constexpr unsigned Utf8CodePage = 65001;

} // namespace platform::os
