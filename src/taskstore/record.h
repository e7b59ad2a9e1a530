#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

namespace taskstore {

inline constexpr auto TaskFileName = QLatin1StringView("dayvane.dat");

// The task file lies directly in the program's folder, with exactly one separator between
// (the root folder already ends in one).
QString taskFilePath(const QString &programDir);

// A record is one line: day (characters 1-2), month (3-4), year (5-8 when typed in full) and
// then the message. The date is read leniently, so "5 " and "05" are both the 5th.
bool recordFallsOn(QStringView line, QDate date);

// The same test on a line as it lies in the file. Most records start with eight ASCII digits,
// which are compared directly; anything else is decoded and goes through recordFallsOn().
bool lineFallsOn(QByteArrayView line, QDate date);

// Characters 9 to the end of the line.
QStringView recordMessage(QStringView line);

// A one-character day or month gets a leading "0"; anything else stays as it is.
QString padDateField(const QString &field);

// The bytes of one record, terminator included. A line break pasted into the message would
// split the record, so each CR or LF in it is written as a blank.
QByteArray buildRecord(const QString &day, const QString &month, const QString &year,
                       const QString &message);

} // namespace taskstore
