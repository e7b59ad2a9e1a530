#include "seqfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Small enough to come from memory the process has already touched and to stay in the
// cache; reading in larger blocks saved nothing measurable.
constexpr qsizetype BlockSize = 64 * 1024;

QString systemReason(int error)
{
    return qt_error_string(error);
}

int retryOnInterrupt(auto call)
{
    int r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

} // namespace

qint16 FileNumbers::freeFile() const
{
    for (qint16 n = 1; n <= Highest; ++n) {
        if (!m_used.test(n))
            return n;
    }
    return 0;
}

TextFile::TextFile(FileNumbers &numbers, qint16 number, const QString &path, Mode mode)
    : m_numbers(numbers), m_number(number)
{
    if (number < 1 || number > FileNumbers::Highest || numbers.inUse(number)) {
        m_error = QStringLiteral("no free file number");
        return;
    }
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // Look before opening: opening a FIFO would block, and a device never reaches its end.
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_error = QStringLiteral("it is not a regular file");
        return;
    }
    const int flags = (mode == Mode::Input ? O_RDONLY : O_RDWR | O_APPEND | O_CREAT) | O_CLOEXEC |
                      O_NONBLOCK | O_NOCTTY;
    const int fd = retryOnInterrupt([&] { return ::open(name.constData(), flags, 0666); });
    if (fd < 0) {
        m_error = systemReason(errno);
        return;
    }
    // Check again on what was opened, in case the name was swapped in between.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error =
            S_ISREG(st.st_mode) ? systemReason(errno) : QStringLiteral("it is not a regular file");
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (mode == Mode::Append && retryOnInterrupt([&] { return ::flock(fd, LOCK_EX); }) != 0) {
        m_error = systemReason(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_numbers.m_used.set(m_number);
}

TextFile::~TextFile()
{
    close();
}

void TextFile::close()
{
    if (m_fd < 0)
        return;
    ::close(m_fd); // also releases the lock
    m_fd = -1;
    m_numbers.m_used.reset(m_number);
    m_buffer = QByteArray();
    m_begin = m_end = 0;
    restartWindow();
}

qint64 TextFile::length() const
{
    struct stat st {};
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? st.st_size : 0;
}

bool TextFile::fail(const QString &what)
{
    m_error = what;
    return false;
}

bool TextFile::fill()
{
    if (m_eof || m_fd < 0)
        return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
        restartWindow();
    }
    // Grown only for a line longer than what is left; a part line moved to the front
    // leaves nearly the whole buffer free.
    if (m_buffer.size() - m_end < BlockSize / 2)
        m_buffer.resize(std::max(m_buffer.size() * 2, BlockSize));
    const ssize_t n = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (n < 0) {
        if (errno == EINTR)
            return true;
        m_eof = true;
        return fail(systemReason(errno));
    }
    if (n == 0)
        m_eof = true;
    m_end += n;
    return n > 0;
}

bool TextFile::atEndOfInput()
{
    while (m_begin == m_end && !m_eof)
        fill();
    return m_begin == m_end;
}

std::optional<QByteArrayView> TextFile::readLineFromInput()
{
    for (;;) {
        const QByteArrayView pending(m_buffer.constData() + m_begin, m_end - m_begin);
        if (const auto end = findLineEnd(pending, m_eof)) {
            m_begin += end->next;
            restartWindow();
            return pending.first(end->length);
        }
        if (m_eof)
            return std::nullopt;
        fill();
    }
}

std::optional<bool> TextFile::endsWithLineBreak()
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        fail(systemReason(errno));
        return std::nullopt;
    }
    if (st.st_size == 0)
        return true;
    char tail[2] = {};
    const off_t from = st.st_size >= 2 ? st.st_size - 2 : 0;
    const ssize_t n = ::pread(m_fd, tail, st.st_size - from, from);
    if (n != st.st_size - from) {
        fail(n < 0 ? systemReason(errno) : QStringLiteral("could not read the end of the file"));
        return std::nullopt;
    }
    const char last = tail[n - 1];
    return last == '\r' || (last == '\n' && n == 2 && tail[0] == '\r');
}

bool TextFile::append(QByteArrayView bytes)
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return fail(systemReason(errno));
    const off_t before = st.st_size;
    qsizetype done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    if (error == 0 && ::fsync(m_fd) != 0)
        error = errno;
    if (error != 0) {
        // Nobody else writes while we hold the lock, so this cuts off only our own bytes.
        if (::ftruncate(m_fd, before) == 0)
            ::fsync(m_fd);
        return fail(systemReason(error));
    }
    return true;
}

bool TextFile::writeLine(QByteArrayView text)
{
    QByteArray line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    return append(line);
}

} // namespace platform
