#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <cstring>
#include <optional>

namespace taskstore {

inline constexpr auto TaskFileName = QLatin1StringView("dayvane.dat");

// The task file lies directly in the program's folder, with exactly one separator between
// (the root folder already ends in one).
QString taskFilePath(const QString &programDir);

// A calendar day taken apart once, since the scan compares every line against it.
struct Day {
    int day;
    int month;
    int year;
    // The eight bytes "ddmmyyyy" that a record of this day typed in full starts with, as
    // digitsFallOn() loads them; 0 for a year with no four-digit form.
    quint64 digits = 0;
    Day(QDate date);
};

// A record is one line: day (characters 1-2), month (3-4), year (5-8 when typed in full) and
// then the message. The date is read leniently, so "5 " and "05" are both the 5th.
bool recordFallsOn(QStringView line, Day date);

// The same test on a line as it lies in the file. Most records start with eight ASCII digits,
// which are compared directly; anything else is decoded and goes through recordFallsOn().
bool lineFallsOn(QByteArrayView line, Day date);

// The quick part of lineFallsOn(), for the scan's inner loop: nullopt when the line does not
// start with eight ASCII digits.
inline std::optional<bool> digitsFallOn(QByteArrayView line, Day date)
{
    if (line.size() < 8)
        return std::nullopt;
    // All eight bytes at once: each must be 0x30-0x39.
    quint64 bytes;
    std::memcpy(&bytes, line.data(), 8);
    constexpr quint64 High = 0xF0F0F0F0F0F0F0F0ull;
    constexpr quint64 Zeros = 0x3030303030303030ull;
    if (bytes == date.digits)
        return true;
    if ((bytes & High) != Zeros || ((bytes + 0x0606060606060606ull) & High) != Zeros)
        return std::nullopt;
    return false; // eight digits spell one date only
}

// Characters 9 to the end of the line.
QStringView recordMessage(QStringView line);

// A one-character day or month gets a leading "0"; anything else stays as it is.
QString padDateField(const QString &field);

// The bytes of one record, terminator included. A line break pasted into the message would
// split the record, so each CR or LF in it is written as a blank.
QByteArray buildRecord(const QString &day, const QString &month, const QString &year,
                       const QString &message);

} // namespace taskstore
