#include "record.h"

#include "platform/lenient.h"
#include "platform/textcodec.h"

#include <QDir>

#include <cstring>

namespace taskstore {
namespace {

bool sliceIs(QStringView line, qsizetype from, qsizetype length, int value)
{
    return platform::val(line.mid(from, length)) == value;
}

} // namespace

Day::Day(QDate date) : day(date.day()), month(date.month()), year(date.year())
{
    if (year >= 1 && year <= 9999) {
        const QByteArray text = QByteArray::number(day).rightJustified(2, '0') +
                                QByteArray::number(month).rightJustified(2, '0') +
                                QByteArray::number(year).rightJustified(4, '0');
        std::memcpy(&digits, text.constData(), sizeof digits);
    }
}

QString taskFilePath(const QString &programDir)
{
    const QString dir = QDir::fromNativeSeparators(programDir);
    const QString path = dir.endsWith(u'/') ? dir + TaskFileName : dir + u'/' + TaskFileName;
    return QDir::toNativeSeparators(path);
}

bool recordFallsOn(QStringView line, Day date)
{
    // Nested on purpose: the month is only looked at when the day matched, and so on.
    return sliceIs(line, 0, 2, date.day) && sliceIs(line, 2, 2, date.month) &&
           sliceIs(line, 4, 4, date.year);
}

bool lineFallsOn(QByteArrayView line, Day date)
{
    if (const auto quick = digitsFallOn(line, date))
        return *quick;
    // ASCII reads the same in every character set we accept, so the first eight bytes will do.
    const QByteArrayView head = line.first(std::min<qsizetype>(line.size(), 8));
    if (std::all_of(head.begin(), head.end(), [](char c) { return (c & 0x80) == 0; }))
        return recordFallsOn(QString::fromLatin1(head), date);
    return recordFallsOn(platform::decodeLine(line), date);
}

QStringView recordMessage(QStringView line)
{
    return line.size() > 8 ? line.sliced(8) : QStringView();
}

QString padDateField(const QString &field)
{
    return field.size() == 1 ? u'0' + field : field;
}

QByteArray buildRecord(const QString &day, const QString &month, const QString &year,
                       const QString &message)
{
    QString text = day + month + year + message;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return platform::encodeLine(text).append("\r\n");
}

} // namespace taskstore
