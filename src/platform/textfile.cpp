#include "textfile.h"

#include "osfile.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <cstring>

namespace platform {
namespace {

// Read in blocks of this size; a line longer than that grows the buffer.
constexpr qsizetype BlockSize = 64 * 1024;

constexpr QLatin1StringView NotRegular("it is not a regular file");
// Said alike of another copy's lock and of another program's share mode.
constexpr QLatin1StringView Busy("another program is using it");

QString reasonOf(const std::error_code &error)
{
    return QString::fromStdString(error.message());
}

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; its five unassigned bytes keep
// their C1 control code points, as web browsers do.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar(Cp1252High[c.unicode() - 0x80]);
    }
    return text;
}

} // namespace

QString decodeLine(QByteArrayView bytes)
{
    if (isAscii(bytes)) // nearly every line, and the quickest to decode
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // The ANSI code page, double-byte ones too; but where it is UTF-8, which this line is not,
    // it says nothing of how older files were written.
    const unsigned codePage = os::ansiCodePage();
    if (codePage != 0 && codePage != os::Utf8CodePage)
        return QString::fromLocal8Bit(bytes);
    return decodeCp1252(bytes);
}

qint16 FileNumbers::freeFile() const
{
    for (qint16 n = 1; n <= Highest; ++n) {
        if (!m_used.test(n))
            return n;
    }
    return 0;
}

TextFile::TextFile(FileNumbers &numbers, qint16 number, const QString &path, Mode mode,
                   std::chrono::milliseconds wait)
    : m_numbers(numbers), m_number(number), m_file(path)
{
    if (number < 1 || number > FileNumbers::Highest || numbers.m_used.test(number)) {
        m_error = QStringLiteral("no free file number");
        return;
    }
    // Look before opening: opening a pipe would block.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        m_error = NotRegular;
        return;
    }
    const QIODevice::OpenMode how =
        (mode == Mode::Input ? QIODevice::ReadOnly : QIODevice::ReadWrite | QIODevice::Append) |
        QIODevice::Unbuffered;
    bool opened = m_file.open(how);
    if (!opened) {
        const std::error_code shared =
            os::waitForSharing(m_file.filesystemFileName(), mode == Mode::Append, wait);
        if (shared == std::errc::timed_out) {
            m_error = Busy;
            return;
        }
        opened = !shared && m_file.open(how);
    }
    if (!opened) {
        m_error = m_file.errorString();
        return;
    }
    // Look again at what was opened, in case the name changed hands in between.
    if (m_file.isSequential()) {
        m_file.close();
        m_error = NotRegular;
        return;
    }
    m_numbers.m_used.set(m_number);
    readByteOrderMark();
}

void TextFile::readByteOrderMark()
{
    m_encoding = QStringConverter::Utf8;
    m_textStart = 0;
    char head[4];
    const qint64 n = m_file.seek(0) ? m_file.read(head, sizeof head) : 0;
    if (const auto marked =
            QStringConverter::encodingForData(QByteArrayView(head, std::max<qint64>(n, 0)))) {
        m_encoding = *marked;
        m_textStart = encode(u"\uFEFF").size(); // the mark is that character, encoded
    }
    if (m_encoding != QStringConverter::Utf8) {
        m_decoder = QStringDecoder(m_encoding);
        m_toUtf8 = QStringEncoder(QStringConverter::Utf8);
    }
    // A failure here shows at the first read or write.
    m_file.seek(m_textStart);
}

void TextFile::close()
{
    if (!m_file.isOpen())
        return;
    if (m_locked)
        os::unlockFile(m_file.handle());
    m_locked = false;
    m_file.close();
    m_numbers.m_used.reset(m_number);
    m_buffer = QByteArray();
    m_begin = m_end = 0;
}

bool TextFile::fail(const QString &why)
{
    m_error = why;
    return false;
}

std::optional<QByteArrayView> TextFile::readLine()
{
    for (;;) {
        const QByteArrayView pending(m_buffer.constData() + m_begin, m_end - m_begin);
        if (const auto end = findLineEnd(pending, m_eof)) {
            m_begin += end->next;
            return pending.first(end->length);
        }
        if (m_eof || !isOpen())
            return std::nullopt;
        // More of the file into the buffer. It grows only for a line longer than what is
        // left, and then doubles, so that even a line of many megabytes takes few steps.
        std::memmove(m_buffer.data(), pending.data(), std::size_t(pending.size()));
        m_begin = 0;
        m_end = pending.size();
        if (m_buffer.size() - m_end < BlockSize / 2)
            m_buffer.resize(std::max(2 * m_buffer.size(), BlockSize));
        m_eof = !readMore();
        if (!m_error.isEmpty())
            return std::nullopt;
    }
}

// Reads the next block of the file into the buffer after m_end, as UTF-8 where the file is in
// UTF-16 or UTF-32. false at the end of the file or when reading failed.
bool TextFile::readMore()
{
    char *const to = m_buffer.data() + m_end;
    const qint64 room = m_buffer.size() - m_end;
    if (m_encoding == QStringConverter::Utf8) {
        const qint64 n = m_file.read(to, room);
        if (n < 0)
            return fail(m_file.errorString());
        m_end += n;
        return n > 0;
    }
    // Two bytes of UTF-16 make at most three of UTF-8, four of UTF-32 at most four; a
    // character held over from the block before takes a few more.
    m_wide.resize(room / 3 * 2 - 8);
    const qint64 n = m_file.read(m_wide.data(), m_wide.size());
    if (n < 0)
        return fail(m_file.errorString());
    const QString text = m_decoder.decode(QByteArrayView(m_wide).first(n));
    Q_ASSERT(m_toUtf8.requiredSpace(text.size()) <= room);
    m_end = m_toUtf8.appendToBuffer(to, text) - m_buffer.constData();
    return n > 0;
}

QByteArray TextFile::encode(QStringView text) const
{
    return QStringEncoder(m_encoding).encode(text);
}

bool TextFile::lock(std::chrono::milliseconds wait)
{
    const std::error_code error = os::lockFile(m_file.handle(), wait);
    if (error == std::errc::timed_out)
        return fail(Busy);
    if (error)
        return fail(reasonOf(error));
    m_locked = true;
    // Another program may have saved the file in another encoding since we opened it.
    readByteOrderMark();
    return true;
}

std::optional<bool> TextFile::endsWithLineBreak()
{
    const qint64 size = m_file.size();
    if (size <= m_textStart)
        return true;
    const QByteArray cr = encode(u"\r");
    const QByteArray crlf = encode(u"\r\n");
    if ((size - m_textStart) % cr.size() != 0) {
        // Anything added now would be out of step with every character before it.
        fail(QStringLiteral("it ends in part of a character"));
        return std::nullopt;
    }
    const qint64 from = std::max(size - crlf.size(), m_textStart);
    QByteArray tail;
    if (m_file.seek(from))
        tail = m_file.read(size - from);
    if (tail.size() != size - from) {
        fail(m_file.errorString());
        return std::nullopt;
    }
    return tail.endsWith(cr) || tail == crlf;
}

bool TextFile::writeAll(QByteArrayView bytes)
{
    // A disk that takes only part of the bytes says why at the next try.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = m_file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool TextFile::append(QByteArrayView bytes)
{
    const qint64 before = m_file.size();
    QString why;
    if (!m_file.seek(before) || !writeAll(bytes))
        why = m_file.errorString();
    else if (const std::error_code error = os::syncFile(m_file.handle()))
        why = reasonOf(error);
    if (!why.isEmpty()) {
        // Writers take turns, so this cuts off only our own bytes.
        if (m_file.resize(before))
            os::syncFile(m_file.handle());
        return fail(why);
    }
    // The first record of a new file: its name must last as well as its bytes. The record
    // itself is safe by now, so a folder that can't be synced is no reason to report failure.
    if (before == 0)
        os::syncFolder(QFileInfo(m_file.fileName()).absoluteDir().filesystemAbsolutePath());
    return true;
}

} // namespace platform
