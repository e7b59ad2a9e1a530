#include "scan.h"

#include "record.h"

#include <QFileInfo>

#include <optional>

namespace taskstore {

QString creditsBlock()
{
    return QStringLiteral("\r\nProgram Developed By:\r\nTarnwick\r\ndayvane@example.org");
}

ScanResult scanTaskFile(platform::FileNumbers &numbers, qint16 filenum, const QString &path,
                        const platform::Clock &clock, TaskLines &tasklines)
{
    using platform::TextFile;
    // The date is asked for afresh every this many lines, so a scan running over midnight
    // switches to the new day without paying for the clock on every line.
    constexpr int LinesPerClockRead = 4096;
    ScanResult result;
    const auto finish = [&](const QString &what, const QString &reason) {
        if (!reason.isEmpty())
            result.error = fileProblem(path, what, reason);
        result.listText += creditsBlock();
        return result;
    };

    {
        const TextFile create(numbers, filenum, path, TextFile::Mode::Append);
        // A file we may read but not write still has today's tasks to show; the save will
        // say why it can't write.
        const QFileInfo existing(path);
        if (!create.isOpen() && !existing.isFile())
            return finish(existing.exists() ? QStringLiteral("opened") : QStringLiteral("created"),
                          create.errorString());
    }
    TextFile file(numbers, filenum, path, TextFile::Mode::Input, BusyFileWait);
    if (!file.isOpen())
        return finish(QStringLiteral("opened for reading"), file.errorString());

    tasklines.beginScan(file.size());
    qsizetype lineno = 0; // slot of the line being examined; lines past the last slot aren't kept
    int untilClock = 0;
    std::optional<Day> today;
    while (const auto line = file.readLine()) {
        if (untilClock-- == 0) {
            today.emplace(clock());
            untilClock = LinesPerClockRead - 1;
        }
        if (lineno < TaskLines::Slots) {
            tasklines.store(*line);
            ++lineno;
        }
        if (lineFallsOn(*line, *today)) {
            result.listText += recordMessage(platform::decodeLine(*line));
            result.listText += platform::LineBreak;
            ++result.matches;
        }
    }
    tasklines.endScan();
    return finish(QStringLiteral("read"), file.errorString());
}

} // namespace taskstore
