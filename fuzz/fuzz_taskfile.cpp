// Feeds arbitrary bytes to the code that reads task files: the line splitter, the file reader
// (which must give the same lines, as UTF-8 for a file in UTF-16 or UTF-32), the date test on each
// line (both the quick one on raw bytes and the full one on decoded text, which must agree) and the
// lenient number conversion.
#include "platform/lenient.h"
#include "platform/textfile.h"
#include "taskstore/record.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The first two bytes pick the day and month to test against, so matches are reachable.
    if (size < 2)
        return 0;
    const QDate date(2026, data[1] % 12 + 1, data[0] % 28 + 1);
    const taskstore::Day day(date);
    QByteArrayView rest(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));

    static const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dayvane.dat"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(rest.data(), rest.size()) != rest.size())
        std::abort();
    out.close();
    platform::FileNumbers numbers;
    platform::TextFile file(numbers, 1, path, platform::TextFile::Mode::Input);

    // A byte-order mark is not part of the text, and a wide file reads as UTF-8.
    QByteArray text = rest.toByteArray();
    if (const auto marked = QStringConverter::encodingForData(rest)) {
        text.remove(0, QByteArray(QStringEncoder(*marked).encode(u"\uFEFF")).size());
        if (*marked != QStringConverter::Utf8)
            text = QStringEncoder(QStringConverter::Utf8)
                       .encode(QString(QStringDecoder(*marked).decode(text)));
    }
    rest = text;
    while (const auto end = platform::findLineEnd(rest, true)) {
        if (end->length < 0 || end->length > rest.size() || end->next < end->length ||
            end->next == 0 || end->next > rest.size())
            std::abort();
        const QByteArrayView line = rest.first(end->length);
        if (file.readLine() != line)
            std::abort();
        const QString text = platform::decodeLine(line);
        if (taskstore::lineFallsOn(line, day) != taskstore::recordFallsOn(text, day))
            std::abort();
        (void)platform::val(text);
        (void)taskstore::recordMessage(text);
        rest = rest.sliced(end->next);
    }
    if (!rest.isEmpty())
        std::abort(); // with nothing more to come, every byte belongs to a line
    if (file.readLine())
        std::abort();
    return 0;
}
