#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace taskstore {

// The lines read by the last scan, one to a slot: the first 64,001 lines of the task file.
// A slot keeps its text until a later scan overwrites it. Plain ASCII lines, nearly all of
// them, share large blocks of storage rather than one allocation each, which keeps a scan
// of a long file quick and small.
class TaskLines {
public:
    static constexpr qsizetype Slots = 64001;

    TaskLines() : m_slots(Slots) {}

    qsizetype size() const { return qsizetype(m_slots.size()); }
    const QString &operator[](qsizetype slot) const { return m_slots[slot]; }

    // Call around each scan: a scan stores lines from slot 0 upward into `used` slots.
    void beginScan();
    const QString &store(qsizetype slot, QByteArrayView line);
    void endScan(qsizetype used);

private:
    QChar *reserve(qsizetype length);
    void keep(qsizetype slot, QStringView text);

    std::vector<QString> m_slots;
    std::vector<QString> m_blocks;   // the storage shared by this scan's slots
    std::vector<QString> m_previous; // the last scan's, until slots it still backs are kept
    qsizetype m_blockUsed = 0;
};

} // namespace taskstore
