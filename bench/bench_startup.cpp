// Start-up of the real program: from starting the process to the first paint of its window
// (offscreen), and the process's peak memory, for task files as people keep them, beside
// the same start with an empty file and a bare Qt window with the same elements.
#include "taskfilegen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Sample {
    double ms = 0;
    long peakRssKb = 0;
};

struct Profile {
    const char *name;
    int records; // -1: the bare window, no task file
    int due;
    QByteArray exe;
    std::unique_ptr<QTemporaryDir> dir;
    std::vector<Sample> samples;
    Sample median;
};

// Runs `exe` once with the paint probe loaded; false when it never painted.
bool runOnce(const QByteArray &exe, Sample &sample)
{
    int out[2];
    if (::pipe(out) != 0)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        if (const int null = ::open("/dev/null", O_WRONLY); null >= 0)
            ::dup2(null, STDERR_FILENO); // Qt's notes about the offscreen platform
        ::close(out[0]);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("LD_PRELOAD", PAINT_PROBE, 1);
        ::execl(exe.constData(), exe.constData(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char line[16] = {};
    const ssize_t n = ::read(out[0], line, sizeof line - 1);
    const auto painted = std::chrono::steady_clock::now();
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    sample.ms = std::chrono::duration<double, std::milli>(painted - start).count();
    sample.peakRssKb = usage.ru_maxrss;
    return n > 0 && std::string(line).starts_with("painted");
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    Profile profiles[] = {
        {"bare Qt window", -1, 0, {}, {}, {}, {}},
        {"empty task file", 0, 0, {}, {}, {}, {}},
        {"100,000 records, 20 due", 100'000, 20, {}, {}, {}, {}},
        {"1,000,000 records, 20 due", 1'000'000, 20, {}, {}, {}, {}},
        {"100,000 records, 10,000 due", 100'000, 10'000, {}, {}, {}, {}},
    };
    for (Profile &p : profiles) {
        if (p.records < 0) {
            p.exe = BARE_WINDOW_EXE;
            continue;
        }
        // The task file lies beside the executable, so each profile gets a copy of the program.
        p.dir = std::make_unique<QTemporaryDir>();
        const QString exe = p.dir->filePath(QStringLiteral("dayvane"));
        if (!QFile::copy(QStringLiteral(DAYVANE_EXE), exe) ||
            !writeTaskFile(p.dir->filePath(QStringLiteral("dayvane.dat")), p.records, p.due,
                           QDate::currentDate())) {
            std::fprintf(stderr, "cannot prepare %s\n", qPrintable(p.dir->path()));
            return 1;
        }
        p.exe = QFile::encodeName(exe);
    }
    // The profiles take turns, so that a slow spell of a shared machine falls on all alike.
    for (int run = 0; run < runs; ++run) {
        for (Profile &p : profiles) {
            if (!runOnce(p.exe, p.samples.emplace_back())) {
                std::fprintf(stderr, "%s: the program never painted its window\n", p.name);
                return 1;
            }
        }
    }
    for (Profile &p : profiles) {
        std::sort(p.samples.begin(), p.samples.end(),
                  [](const Sample &a, const Sample &b) { return a.ms < b.ms; });
        p.median = p.samples[p.samples.size() / 2];
        for (const Sample &s : p.samples)
            p.median.peakRssKb = std::max(p.median.peakRssKb, s.peakRssKb);
    }
    const Sample &bare = profiles[0].median;
    const Sample &empty = profiles[1].median;
    const double targets[] = {0, 1.15, 1.25, 1.7, 2.0};
    std::printf("%-30s %12s %10s %12s %10s\n", "start-up to first paint", "median", "ratio",
                "peak RSS", "target");
    for (std::size_t i = 0; i < std::size(profiles); ++i) {
        const Sample &m = profiles[i].median;
        const double ratio = i == 1 ? m.ms / bare.ms : m.ms / empty.ms;
        std::printf("%-30s %9.1f ms %9.2f%s %9.1f MB", profiles[i].name, m.ms, i == 0 ? 1.0 : ratio,
                    i == 1 ? "b" : " ", m.peakRssKb / 1024.0);
        if (i > 0)
            std::printf(" %7s%.2f", "<= ", targets[i]);
        std::printf("\n");
    }
    std::printf("(ratios to the empty start; b: to the bare window)\n");
    std::printf("peak RSS, 1,000,000 records - empty: %+.1f MB (target <= +8 MB)\n",
                (profiles[3].median.peakRssKb - empty.peakRssKb) / 1024.0);
    return 0;
}
