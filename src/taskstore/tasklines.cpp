#include "tasklines.h"

#include "platform/osfile.h"
#include "platform/textcodec.h"

#include <cstring>
#include <utility>

namespace taskstore {
namespace {

// Where the line of `slot` begins in `lines`; -1 when fewer lines are kept.
qsizetype lineStart(QByteArrayView lines, qsizetype slot)
{
    qsizetype from = 0;
    for (; slot > 0 && from >= 0; --slot) {
        from = lines.indexOf('\r', from);
        from = from < 0 ? -1 : from + 1;
    }
    return from < lines.size() ? from : -1;
}

} // namespace

QString TaskLines::operator[](qsizetype slot) const
{
    const QByteArrayView lines = m_lines.view();
    const qsizetype from = lineStart(lines, slot);
    return from < 0 ? QString()
                    : platform::decodeLine(lines.sliced(from, lines.indexOf('\r', from) - from));
}

void TaskLines::beginScan(qint64 fileSize)
{
    // The lines take no more room than the file (a CR for each terminator). Room not filled
    // costs nothing, and the storage of the scan before last is used again.
    constexpr qint64 MostReserved = 64 << 20;
    m_scan.size = 0;
    m_scan.reserve(qsizetype(std::min(fileSize + 1, MostReserved)));
    m_scanned = 0;
}

void TaskLines::endScan()
{
    // Slots this scan did not reach keep their text from before.
    if (m_scanned < m_count) {
        m_scan.append(m_lines.view().sliced(lineStart(m_lines.view(), m_scanned)));
        m_scanned = m_count;
    }
    std::swap(m_lines, m_scan);
    m_count = m_scanned;
}

void TaskLines::Bytes::reserve(qsizetype room)
{
    using platform::os::LargePage;
    if (room <= capacity)
        return;
    const bool large = std::size_t(room) >= LargePage;
    const auto alignment = std::align_val_t(large ? LargePage : alignof(std::max_align_t));
    std::unique_ptr<char[], Free> grown(
        static_cast<char *>(::operator new[](std::size_t(room), alignment)), Free{alignment});
    if (large)
        platform::os::preferLargePages(grown.get(), std::size_t(room));
    if (size > 0)
        std::memcpy(grown.get(), data.get(), std::size_t(size));
    data = std::move(grown);
    capacity = room;
}

} // namespace taskstore
