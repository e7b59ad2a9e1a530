// The scan of today's tasks over generated task files, beside two baselines over the same
// bytes (counting lines, and an 8-byte prefix match per line as grep does), the same scan over
// the same records in UTF-16, and the save of one record into an empty and into a large file.
#include "platform/textfile.h"
#include "taskfilegen.h"
#include "taskstore/record.h"
#include "taskstore/scan.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

const QDate Today(2026, 3, 5);
constexpr int Sizes[] = {10'000, 100'000, 1'000'000};

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// One generated file for each size, made once.
QString taskFile(int records)
{
    static std::map<int, QString> files;
    auto &path = files[records];
    if (path.isEmpty()) {
        path = workDir().filePath(QStringLiteral("tasks-%1.dat").arg(records));
        if (!writeTaskFile(path, records, records / 100, Today))
            qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// The same records as Notepad saves them in UTF-16.
QString utf16TaskFile(int records)
{
    static std::map<int, QString> files;
    auto &path = files[records];
    if (path.isEmpty()) {
        path = workDir().filePath(QStringLiteral("tasks-%1-utf16.dat").arg(records));
        QFile in(taskFile(records));
        QFile out(path);
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
            out.write(utf16.encode(QString::fromUtf8(in.readAll()))) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// Reads the whole file in the scan's block size and hands each block to `perBlock`.
template <typename F> void readBlocks(const QString &path, F perBlock)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    static char buffer[256 * 1024];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        perBlock(buffer, std::size_t(n));
    ::close(fd);
}

void setBytes(benchmark::State &state, const QString &path)
{
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void scan(benchmark::State &state, const QString &path)
{
    platform::FileNumbers numbers;
    taskstore::TaskLines lines;
    for (auto _ : state) {
        const auto result = taskstore::scanTaskFile(
            numbers, 1, path, [] { return Today; }, lines);
        benchmark::DoNotOptimize(result.listText.size());
    }
    setBytes(state, path);
}

void BM_Scan(benchmark::State &state)
{
    scan(state, taskFile(int(state.range(0))));
}

void BM_ScanUtf16(benchmark::State &state)
{
    scan(state, utf16TaskFile(int(state.range(0))));
}

void BM_CountLines(benchmark::State &state)
{
    const QString path = taskFile(int(state.range(0)));
    for (auto _ : state) {
        std::size_t count = 0;
        readBlocks(path, [&](const char *p, std::size_t n) {
            const char *end = p + n;
            while ((p = static_cast<const char *>(std::memchr(p, '\n', end - p)))) {
                ++count;
                ++p;
            }
        });
        benchmark::DoNotOptimize(count);
    }
    setBytes(state, path);
}

void BM_PrefixMatch(benchmark::State &state)
{
    const QString path = taskFile(int(state.range(0)));
    for (auto _ : state) {
        std::size_t count = 0;
        bool atLineStart = true;
        readBlocks(path, [&](const char *p, std::size_t n) {
            const char *end = p + n;
            while (p < end) {
                if (atLineStart && end - p >= 8 && std::memcmp(p, "05032026", 8) == 0)
                    ++count;
                const char *nl = static_cast<const char *>(std::memchr(p, '\n', end - p));
                atLineStart = nl != nullptr;
                p = nl ? nl + 1 : end;
            }
        });
        benchmark::DoNotOptimize(count);
    }
    setBytes(state, path);
}

void BM_Save(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString path = workDir().filePath(QStringLiteral("save-%1.dat").arg(records));
    if (!writeTaskFile(path, records, records / 100, Today))
        qFatal("cannot write %s", qPrintable(path));
    platform::FileNumbers numbers;
    const QString record = taskstore::buildRecord("05", "03", "2026", "Pay rent");
    for (auto _ : state) {
        platform::TextFile file(numbers, 1, path, platform::TextFile::Mode::Append);
        if (!taskstore::appendRecord(file, record))
            state.SkipWithError("save failed");
    }
}

// The console table, then each scan's time as a multiple of its baselines' at the same size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %14s %14s\n", "records", "scan/lines", "scan/prefix");
        for (const int n : Sizes) {
            const auto t = [&](const char *name) {
                return m_times[std::string(name) + "/" + std::to_string(n)];
            };
            if (t("BM_Scan") > 0 && t("BM_CountLines") > 0 && t("BM_PrefixMatch") > 0)
                std::printf("%-10d %14.2f %14.2f\n", n, t("BM_Scan") / t("BM_CountLines"),
                            t("BM_Scan") / t("BM_PrefixMatch"));
        }
        if (m_times["BM_ScanUtf16/100000"] > 0)
            std::printf("\nscan of 100,000 records in UTF-16 / in 8 bits: %.2f\n",
                        m_times["BM_ScanUtf16/100000"] / m_times["BM_Scan/100000"]);
        if (m_times["BM_Save/0"] > 0)
            std::printf("\nsave into 1,000,000 records / save into an empty file: %.2f\n",
                        m_times["BM_Save/1000000"] / m_times["BM_Save/0"]);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

BENCHMARK(BM_CountLines)
    ->Arg(Sizes[0])
    ->Arg(Sizes[1])
    ->Arg(Sizes[2])
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrefixMatch)
    ->Arg(Sizes[0])
    ->Arg(Sizes[1])
    ->Arg(Sizes[2])
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan)->Arg(Sizes[0])->Arg(Sizes[1])->Arg(Sizes[2])->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanUtf16)->Arg(Sizes[1])->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
