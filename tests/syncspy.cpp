// Loaded into the program by a test (LD_PRELOAD, Linux) to watch its syncs to disk: each
// fsync() is logged to the file named by SYNCSPY_LOG as the synced path and its size then.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    char link[64];
    char path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    struct stat st {};
    if (::readlink(link, path, sizeof path - 1) > 0 && ::fstat(fd, &st) == 0) {
        if (const char *name = std::getenv("SYNCSPY_LOG")) {
            if (std::FILE *log = std::fopen(name, "a")) {
                std::fprintf(log, "%s %lld\n", path, static_cast<long long>(st.st_size));
                std::fclose(log);
            }
        }
    }
    return real(fd);
}
