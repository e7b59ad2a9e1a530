#include "record.h"

#include "platform/lenient.h"

#include <QDir>

#include <algorithm>
#include <cstring>

namespace taskstore {

Day::Day(QDate date)
    : day(date.day()), month(date.month()), year(date.year()),
      key(date.toString(u"ddMMyyyy").toLatin1())
{
}

QString taskFilePath(const QString &programDir)
{
    return QDir::toNativeSeparators(QDir(programDir).filePath(TaskFileName));
}

QString fileProblem(const QString &path, const QString &what, const QString &reason)
{
    // Windows' own texts end in a full stop already; the message should end in one only.
    QStringView because = QStringView(reason).trimmed();
    if (because.endsWith(u'.'))
        because.chop(1);
    return QStringLiteral("The task file could not be %1.\n\n%2\n\nReason: %3.")
        .arg(what, path, because);
}

bool recordFallsOn(QStringView line, const Day &date)
{
    const auto fieldReads = [line](qsizetype from, qsizetype length, int value) {
        return platform::val(line.mid(from, length)) == value;
    };
    // Nested on purpose: the month is only looked at when the day matched, and so on.
    return fieldReads(0, 2, date.day) && fieldReads(2, 2, date.month) &&
           fieldReads(4, 4, date.year);
}

bool lineFallsOn(QByteArrayView line, const Day &date)
{
    const QByteArrayView head = line.first(std::min<qsizetype>(line.size(), 8));
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (head.size() == 8 && std::all_of(head.begin(), head.end(), isDigit))
        return date.key.size() == 8 && std::memcmp(head.data(), date.key.data(), 8) == 0;
    // ASCII reads the same in every character set a task file may be in.
    return recordFallsOn(
        platform::isAscii(head) ? QString::fromLatin1(head) : platform::decodeLine(line), date);
}

QStringView recordMessage(QStringView line)
{
    return line.size() > 8 ? line.sliced(8) : QStringView();
}

QString padDateField(const QString &field)
{
    return field.size() == 1 ? u'0' + field : field;
}

QString buildRecord(const QString &day, const QString &month, const QString &year,
                    const QString &message)
{
    QString text = day + month + year + message;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text + platform::LineBreak;
}

bool appendRecord(platform::TextFile &file, const QString &record)
{
    if (!file.lock(BusyFileWait))
        return false;
    const std::optional<bool> terminated = file.endsWithLineBreak();
    if (!terminated)
        return false;
    return file.append(file.encode(*terminated ? record : platform::LineBreak + record));
}

} // namespace taskstore
