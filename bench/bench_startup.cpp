// Start-up of the real program: from starting the process to the first paint of its window
// (offscreen), and the process's peak memory, with an empty task file and with large ones.
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

int main()
{
    // The runs of the three sizes take turns, so that a slow spell of this shared machine
    // falls on all of them alike rather than on one size's runs.
    constexpr int Runs = 15;
    const int sizes[] = {0, 100'000, 1'000'000};
    constexpr std::size_t Sizes = std::size(sizes);
    std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    std::vector<QByteArray> exes;
    for (const int records : sizes) {
        // The task file lies beside the executable, so each size gets a copy of the program.
        auto &dir = *dirs.emplace_back(std::make_unique<QTemporaryDir>());
        const QString exe = dir.filePath(QStringLiteral("dayvane"));
        if (!QFile::copy(QStringLiteral(DAYVANE_EXE), exe) ||
            !writeTaskFile(dir.filePath(QStringLiteral("dayvane.dat")), records,
                           QDate::currentDate())) {
            std::fprintf(stderr, "cannot prepare %s\n", qPrintable(dir.path()));
            return 1;
        }
        exes.push_back(QFile::encodeName(exe));
    }
    std::vector<std::vector<Sample>> samples(Sizes, std::vector<Sample>(Runs));
    for (int run = 0; run < Runs; ++run) {
        for (std::size_t size = 0; size < Sizes; ++size) {
            if (!runOnce(exes[size], samples[size][run])) {
                std::fprintf(stderr, "the program never painted its window\n");
                return 1;
            }
        }
    }
    std::printf("%-22s %12s %14s\n", "start-up, records", "first paint", "peak RSS");
    std::vector<Sample> medians;
    for (std::size_t size = 0; size < Sizes; ++size) {
        auto &runs = samples[size];
        std::sort(runs.begin(), runs.end(),
                  [](const Sample &a, const Sample &b) { return a.ms < b.ms; });
        Sample median = runs[Runs / 2];
        for (const Sample &s : runs)
            median.peakRssKb = std::max(median.peakRssKb, s.peakRssKb);
        medians.push_back(median);
        std::printf("%-22d %9.1f ms %11.1f MB\n", sizes[size], median.ms,
                    median.peakRssKb / 1024.0);
    }
    std::printf("\nstart-up with 1,000,000 records / empty: %.2f (target <= 1.5)\n",
                medians[2].ms / medians[0].ms);
    std::printf("peak RSS with 1,000,000 records - empty: %+.1f MB (target <= +8 MB)\n",
                (medians[2].peakRssKb - medians[0].peakRssKb) / 1024.0);
    return 0;
}
