#pragma once

// What the program needs of the operating system for its task file and Qt does not offer:
// a lock that makes writers take turns and a sync to disk. Kept free of Qt, so that its Windows
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

// Sends what was written to the file on to the disk.
std::error_code syncFile(int fd);

// Makes a new entry in `folder` (a file just created there) last on disk.
std::error_code syncFolder(const std::filesystem::path &folder);

} // namespace platform::os
