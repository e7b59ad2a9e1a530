#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <bitset>
#include <chrono>
#include <optional>

namespace platform {

// Lines end in CR LF, in files as in the list on screen.
inline constexpr QLatin1StringView LineBreak("\r\n");

// Plain ASCII reads the same in every character set a task file may be in.
inline bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

// An 8-bit text file carries no marker of its character set. A line is read as UTF-8 when it
// is valid UTF-8, and otherwise in the system's code page (on Windows its ANSI code page,
// elsewhere, and where that is UTF-8, Windows-1252), so files written on an 8-bit system still
// read right. Lines are written in UTF-8.
QString decodeLine(QByteArrayView bytes);

// The table of file numbers in use. A file is known by the lowest number that was free
// when it was opened, from 1 upward, until it is closed.
class FileNumbers {
public:
    static constexpr qint16 Highest = 511;

    // The lowest number not in use; 0 when all are taken.
    qint16 freeFile() const;

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
// Inline, as it runs for every line of the task file.
inline std::optional<LineEnd> findLineEnd(QByteArrayView bytes, bool final)
{
    const qsizetype at = bytes.indexOf('\r');
    if (at >= 0 && at + 1 < bytes.size())
        return LineEnd{at, at + (bytes[at + 1] == '\n' ? 2 : 1)};
    // No CR, or one at the end, where a LF may follow in the next block.
    if (!final || bytes.isEmpty())
        return std::nullopt;
    return at < 0 ? LineEnd{bytes.size(), bytes.size()} : LineEnd{at, at + 1};
}

// A text file open under a file number, closed when it goes out of scope. Only regular files
// are opened: a pipe would block and a device would never end. Another program that has the
// file open without sharing it is waited for, at most `wait`.
//
// A file that begins with a byte-order mark is in that encoding: UTF-16, as Notepad and
// PowerShell write it, or UTF-8. The reader hands out the lines of every file as 8-bit text,
// those of UTF-16 (or UTF-32) as UTF-8, and the writer adds text in the file's own encoding.
class TextFile {
public:
    enum class Mode { Input, Append };

    TextFile(FileNumbers &numbers, qint16 number, const QString &path, Mode mode,
             std::chrono::milliseconds wait = {});
    ~TextFile() { close(); }
    TextFile(const TextFile &) = delete;
    TextFile &operator=(const TextFile &) = delete;

    bool isOpen() const { return m_file.isOpen(); }
    // Why the last step failed, for the user; empty when nothing failed.
    const QString &errorString() const { return m_error; }
    void close();
    qint64 size() const { return m_file.size(); }

    // Input: the next line without its terminator, valid until the next call; nullopt at the
    // end of the file, or when reading failed (errorString() then says why).
    std::optional<QByteArrayView> readLine();

    // Append: `text` in the file's encoding, as append() takes it; under the lock, as the
    // encoding may change until then.
    QByteArray encode(QStringView text) const;

    // Append. Writers take turns: lock() waits up to `wait` for another to finish, then reads
    // the file's byte-order mark again, as another program may have saved it anew meanwhile.
    bool lock(std::chrono::milliseconds wait);
    // Whether the file's last line has its terminator (an empty file needs none). nullopt,
    // saying why, when reading failed or the file ends in part of a character.
    std::optional<bool> endsWithLineBreak();
    // Writes all of `bytes` at the end of the file and syncs them to disk. On any failure the
    // file is cut back to its length before the call, so it never holds part of `bytes`.
    bool append(QByteArrayView bytes);

private:
    void readByteOrderMark();
    bool readMore();
    bool fail(const QString &why);
    bool writeAll(QByteArrayView bytes);

    FileNumbers &m_numbers;
    const qint16 m_number;
    QFile m_file;
    QString m_error;
    bool m_locked = false;
    // The file's encoding, and where its text starts, after any byte-order mark. A file
    // without one is 8-bit text, which is written in UTF-8.
    QStringConverter::Encoding m_encoding = QStringConverter::Utf8;
    qint64 m_textStart = 0;
    // Input from a UTF-16 or UTF-32 file: its bytes as read, and the text as it is turned
    // into UTF-8, a character cut by the end of a block kept for the next.
    QByteArray m_wide;
    QStringDecoder m_decoder;
    QStringEncoder m_toUtf8;
    // Input: bytes read and not yet handed out lie in m_buffer from m_begin to m_end.
    QByteArray m_buffer;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    bool m_eof = false;
};

} // namespace platform
