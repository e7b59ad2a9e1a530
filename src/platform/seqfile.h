#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <bit>
#include <bitset>
#include <cstring>
#include <optional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

// The table of file numbers in use. A file is known by the lowest number that was free
// when it was opened, from 1 upward, until it is closed.
class FileNumbers {
public:
    static constexpr qint16 Highest = 511;

    // The lowest number not in use; 0 when all are taken.
    qint16 freeFile() const;
    bool inUse(qint16 number) const { return m_used.test(number); }

private:
    friend class TextFile;
    std::bitset<Highest + 1> m_used;
};

// Where the first line of `bytes` ends: it runs to a CR LF or a lone CR, which is not part of
// the line; a lone LF stays inside the line. `final` says that no more bytes follow, so that
// a last line without a terminator counts. nullopt when there is no line yet (need more bytes).
struct LineEnd {
    qsizetype length; // of the line itself
    qsizetype next;   // where the following line starts
};
inline std::optional<LineEnd> findLineEnd(QByteArrayView bytes, bool final)
{
    const char *const data = bytes.data();
    const auto *cr = static_cast<const char *>(std::memchr(data, '\r', bytes.size()));
    if (cr) {
        const qsizetype at = cr - data;
        if (at + 1 < bytes.size())
            return LineEnd{at, at + (data[at + 1] == '\n' ? 2 : 1)};
        if (final)
            return LineEnd{at, at + 1};
        return std::nullopt; // a LF may follow in the next block
    }
    if (final && !bytes.isEmpty())
        return LineEnd{bytes.size(), bytes.size()};
    return std::nullopt;
}

// A sequential text file open under a file number; closed when it goes out of scope.
// Only regular files are opened: a device or a pipe would never end or would block.
class TextFile {
public:
    enum class Mode { Input, Append };

    TextFile(FileNumbers &numbers, qint16 number, const QString &path, Mode mode);
    ~TextFile();
    TextFile(const TextFile &) = delete;
    TextFile &operator=(const TextFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // The system's reason for the last failure, empty when nothing failed.
    const QString &errorString() const { return m_error; }
    void close();
    // The file's length in bytes, 0 when it is not open.
    qint64 length() const;

    // Input. True once every line has been read (or reading failed: see errorString()).
    bool atEnd() { return m_begin == m_end && atEndOfInput(); }
    // The next line, without its terminator. The view stays valid until the next call.
    std::optional<QByteArrayView> readLine()
    {
#if defined(__SSE2__)
        // Inline for the common case, where the CRs of the 64 bytes ahead are bits of a mask:
        // a task file's lines are short, and finding each line's end with a call of its own
        // cost more than all else the scan does with the line.
        while (m_crs == 0) {
            if (m_end - m_window <= 2 * WindowSize) // leaves a byte after the next window
                return readLineFromInput();
            m_window += WindowSize;
            m_crs = carriageReturns(m_buffer.constData() + m_window);
        }
        const qsizetype cr = m_window + std::countr_zero(m_crs);
        m_crs &= m_crs - 1;
        const char *const data = m_buffer.constData();
        const QByteArrayView line(data + m_begin, cr - m_begin);
        m_begin = cr + (data[cr + 1] == '\n' ? 2 : 1);
        return line;
#else
        return readLineFromInput();
#endif
    }

    // Append. Writers of the same file take turns: the file is locked while it is open.
    // Whether the file's last line has its terminator (an empty file needs none).
    std::optional<bool> endsWithLineBreak();
    // Writes all of `bytes` at the end of the file and syncs them to disk. On any failure the
    // file is cut back to its length before the call, so it never holds part of `bytes`.
    bool append(QByteArrayView bytes);
    // `text` followed by CR LF.
    bool writeLine(QByteArrayView text);

private:
    bool fail(const QString &what);
    bool fill();
    bool atEndOfInput();
    std::optional<QByteArrayView> readLineFromInput();

    FileNumbers &m_numbers;
    qint16 m_number;
    int m_fd = -1;
    QString m_error;
    QByteArray m_buffer;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    bool m_eof = false;
#if defined(__SSE2__)
    static constexpr qsizetype WindowSize = 64;
    // One bit for each CR not yet passed in the 64 bytes from m_window; no CR lies between
    // m_begin and m_window.
    static quint64 carriageReturns(const char *window)
    {
        const __m128i cr = _mm_set1_epi8('\r');
        quint64 bits = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(window) + i);
            bits |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)))) << (16 * i);
        }
        return bits;
    }
    void restartWindow()
    {
        m_window = m_begin - WindowSize;
        m_crs = 0;
    }
    qsizetype m_window = -WindowSize;
    quint64 m_crs = 0;
#else
    void restartWindow() {}
#endif
};

} // namespace platform
