#pragma once

#include "platform/textfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <chrono>

namespace taskstore {

inline constexpr QLatin1StringView TaskFileName("dayvane.dat");

// The task file lies directly in the program's folder.
QString taskFilePath(const QString &programDir);

// How long another program may keep the task file from us. Another copy saving, or a backup
// reading the file, takes a moment; one that holds it longer is not waited for, so that the
// window never hangs.
inline constexpr std::chrono::milliseconds BusyFileWait(2000);

// The message for a task file that failed us: what we tried, where, and the reason.
QString fileProblem(const QString &path, const QString &what, const QString &reason);

// The day the scan compares records with, taken apart once.
struct Day {
    explicit Day(QDate date);
    int day;
    int month;
    int year;
    QByteArray key; // "ddmmyyyy": how a record of this day typed in full begins
};

// A record is one line: day (characters 1-2), month (3-4), year (5-8 when typed in full) and
// then the message. The date is read leniently, so "5 " and "05" are both the 5th.
bool recordFallsOn(QStringView line, const Day &date);

// The same for a line as it lies in the file, decoding no more of it than the date needs.
// The scan runs it on every line; most begin with eight digits, which spell one date only.
bool lineFallsOn(QByteArrayView line, const Day &date);

// Characters 9 to the end of the line.
QStringView recordMessage(QStringView line);

// A one-character day or month gets a leading "0"; anything else stays as it is.
QString padDateField(const QString &field);

// One record, terminator included. A line break pasted into the message would split the
// record, so each CR or LF in it is written as a blank.
QString buildRecord(const QString &day, const QString &month, const QString &year,
                    const QString &message);

// Appends a record (terminator included) to the task file open for appending, once no other
// copy of the program is writing to it, in the file's own encoding. A file whose last line
// lacks its CR LF (edited by another program) gets one first, so the record never joins that
// line. All or nothing: false, with the file as it was, on any failure.
bool appendRecord(platform::TextFile &file, const QString &record);

} // namespace taskstore
