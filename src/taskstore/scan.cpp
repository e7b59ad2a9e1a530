#include "scan.h"

#include "platform/textcodec.h"
#include "record.h"

#include <QFileInfo>

namespace taskstore {
namespace {

// The date is asked for afresh every this many lines, so a scan running over midnight
// switches to the new day without paying for the clock on every line.
constexpr quint32 LinesPerClockRead = 4096;

} // namespace

QString creditsBlock()
{
    return QStringLiteral("\r\nProgram Developed By:\r\nTarnwick\r\ndayvane@example.org");
}

QString fileProblem(const QString &path, const QString &what, const QString &reason)
{
    return QStringLiteral("The task file could not be %1.\n\n%2\n\nReason: %3.")
        .arg(what, path, reason);
}

ScanResult scanTaskFile(platform::FileNumbers &numbers, qint16 filenum, const QString &path,
                        const platform::Clock &clock, TaskLines &tasklines)
{
    using platform::TextFile;
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
        if (!create.isOpen() && !existing.isFile()) {
            return finish(existing.exists() ? QStringLiteral("opened") : QStringLiteral("created"),
                          create.errorString());
        }
    }
    TextFile file(numbers, filenum, path, TextFile::Mode::Input);
    if (!file.isOpen())
        return finish(QStringLiteral("opened for reading"), file.errorString());

    tasklines.beginScan(file.length());
    quint16 lineno = 0; // slot of the line being examined; lines past the last slot aren't kept
    quint32 untilClock = 0;
    std::optional<Day> today;
    while (!file.atEnd()) {
        const auto raw = file.readLine();
        if (!raw)
            break;
        if (untilClock-- == 0) {
            today.emplace(clock());
            untilClock = LinesPerClockRead - 1;
        }
        if (lineno < TaskLines::Slots) {
            tasklines.store(*raw); // into slot `lineno`
            ++lineno;
        }
        // Most lines are decided by their first eight bytes; only a matching line is
        // decoded whole.
        const auto quick = digitsFallOn(*raw, *today);
        if (!(quick ? *quick : lineFallsOn(*raw, *today)))
            continue;
        result.listText += recordMessage(platform::decodeLine(*raw));
        result.listText += QLatin1StringView("\r\n");
        result.matched = true;
    }
    tasklines.endScan();
    return finish(QStringLiteral("read"), file.errorString());
}

} // namespace taskstore
