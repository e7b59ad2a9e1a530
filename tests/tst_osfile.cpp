// The operating-system seam on its own, without Qt: natively its POSIX branch, and in the
// Windows build its Windows branch, under Wine.
// Usage: tst_osfile FOLDER   (a folder to make its test file in)
//        tst_osfile hold FILE SECONDS
//        tst_osfile codepage   (prints the system's ANSI code page, 0 where it has none)
#include "platform/osfile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

using namespace std::chrono;
using platform::os::lockFile;

int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    failures += ok ? 0 : 1;
}

std::FILE *openFile(const std::filesystem::path &path, const char *mode)
{
    std::FILE *f = std::fopen(path.string().c_str(), mode);
    if (!f) {
        std::printf("FAIL: cannot open %s\n", path.string().c_str());
        std::exit(1);
    }
    return f;
}

// What a failed save does through Qt: cut the file back to a length.
bool cutBack(int fd, long length)
{
#ifdef _WIN32
    return _chsize_s(fd, length) == 0;
#else
    return ::ftruncate(fd, length) == 0;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // "tst_osfile hold FILE SECONDS": another program holding the task file, for the tests of
    // the whole program.
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0) {
        std::FILE *held = openFile(argv[2], "a+b");
        if (lockFile(fileno(held), 0ms))
            return 1;
        std::puts("held");
        std::fflush(stdout);
        std::this_thread::sleep_for(seconds(std::atoi(argv[3])));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "codepage") == 0) {
        std::printf("%u\n", platform::os::ansiCodePage());
        return 0;
    }
    const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
    const std::filesystem::path path = folder / "osfile-test.dat";
    std::filesystem::remove(path);
    std::FILE *writer = openFile(path, "a+b");
    std::FILE *other = openFile(path, "a+b");
    const int fd = fileno(writer);

    check(!lockFile(fd, 0ms), "the first writer takes the lock");
    const auto start = steady_clock::now();
    const std::error_code busy = lockFile(fileno(other), 300ms);
    const auto waited = steady_clock::now() - start;
    check(busy == std::errc::timed_out, "a second opener cannot take it while it is held");
    check(waited >= 250ms && waited < 2s, "a bounded wait gives up in time");

    // The holder writes; a reader is not held up by the lock.
    const char record[] = "05032026Pay rent\r\n";
    check(std::fwrite(record, 1, std::strlen(record), writer) == std::strlen(record) &&
              std::fflush(writer) == 0,
          "the holder writes");
    check(!platform::os::syncFile(fd), "sync succeeds");
    std::FILE *reader = openFile(path, "rb");
    char back[64] = {};
    check(std::fread(back, 1, sizeof back, reader) == std::strlen(record) &&
              std::strcmp(back, record) == 0,
          "a reader reads while the lock is held");
    std::fclose(reader);

    check(cutBack(fd, 8) && !platform::os::syncFile(fd) && std::filesystem::file_size(path) == 8,
          "a cut-back restores the length");
    check(!platform::os::syncFolder(folder), "the folder syncs");

    platform::os::unlockFile(fd);
    check(!lockFile(fileno(other), 0ms), "once let go, the lock can be taken again");
    std::fclose(other);
    std::fclose(writer);
    std::filesystem::remove(path);
    return failures == 0 ? 0 : 1;
}
