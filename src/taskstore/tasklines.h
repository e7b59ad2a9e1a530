#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstring>
#include <memory>

namespace taskstore {

// The lines read by the last scan, one to a slot: the first 64,001 lines of the task file.
// A slot keeps its text until a later scan overwrites it. The lines are kept as the file
// has them, each followed by a CR (which no line can contain), and decoded when a slot is
// read: nothing but the tests reads them, while every start fills them.
class TaskLines {
public:
    static constexpr qsizetype Slots = 64001;

    qsizetype size() const { return Slots; }
    QString operator[](qsizetype slot) const;

    // A scan stores its lines from slot 0 upward, each into the next slot, between these
    // two calls. `fileLength` bounds what the lines can take.
    void beginScan(qint64 fileLength);
    void store(QByteArrayView line)
    {
        if (m_scan.size + line.size() + 1 > m_scan.capacity)
            grow(m_scan, line.size() + 1);
        std::memcpy(m_scan.data + m_scan.size, line.data(), std::size_t(line.size()));
        m_scan.size += line.size();
        m_scan.data[m_scan.size++] = '\r';
        ++m_scan.lines;
    }
    void endScan();

private:
    // Bytes in memory of their own, reserved ahead and only touched as they fill.
    struct Unmap {
        std::size_t length;
        void operator()(char *mapping) const;
    };
    struct Storage {
        std::unique_ptr<char, Unmap> mapping;
        char *data = nullptr;
        qsizetype size = 0;
        qsizetype lines = 0;
        qsizetype capacity = 0;
    };
    static void reserve(Storage &storage, qsizetype capacity);
    static void grow(Storage &storage, qsizetype more);

    Storage m_kept; // the slots' lines, in slot order
    Storage m_scan; // the lines of the scan under way
};

} // namespace taskstore
