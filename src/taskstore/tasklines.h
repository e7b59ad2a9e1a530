#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstring>
#include <memory>
#include <new>

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
        m_scan.append(line);
        m_scan.append("\r");
        ++m_scanned;
    }
    void endScan();

private:
    // Bytes reserved ahead, so that a scan never copies them to grow. A large reservation
    // lies on large pages where the system offers them: a long file's lines are megabytes of
    // new memory at every start, and taking them a small page at a time costs more than the
    // rest of the start on some machines (see bench/).
    struct Bytes {
        struct Free {
            std::align_val_t alignment;
            void operator()(char *bytes) const { ::operator delete[](bytes, alignment); }
        };
        std::unique_ptr<char[], Free> data{nullptr, Free{std::align_val_t(1)}};
        qsizetype size = 0;
        qsizetype capacity = 0;

        QByteArrayView view() const { return {data.get(), size}; }
        void reserve(qsizetype room);
        void append(QByteArrayView bytes) // inline: it runs twice for every line kept
        {
            if (size + bytes.size() > capacity)
                reserve(std::max(2 * capacity, size + bytes.size()));
            std::memcpy(data.get() + size, bytes.data(), std::size_t(bytes.size()));
            size += bytes.size();
        }
    };

    Bytes m_lines; // the slots' lines, in slot order
    qsizetype m_count = 0;
    Bytes m_scan; // the lines of the scan under way
    qsizetype m_scanned = 0;
};

} // namespace taskstore
