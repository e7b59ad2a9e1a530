#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace taskstore {

// The lines read by the last scan, one to a slot: the first 64,001 lines of the task file.
// A slot keeps its text until a later scan overwrites it. Nothing but the tests reads them
// while every start fills them, so they are kept as the file's bytes, each line followed by
// a CR (which no line can hold), and decoded only when a slot is read.
class TaskLines {
public:
    static constexpr qsizetype Slots = 64001;

    QString operator[](qsizetype slot) const;

    // A scan stores its lines from slot 0 upward, each into the next slot, between these.
    void beginScan(qint64 fileSize);
    void store(QByteArrayView line)
    {
        m_scan.append(line).append('\r');
        ++m_scanned;
    }
    void endScan();

private:
    QByteArray m_lines; // the slots' lines, in slot order
    qsizetype m_count = 0;
    QByteArray m_scan; // the lines of the scan under way
    qsizetype m_scanned = 0;
};

} // namespace taskstore
