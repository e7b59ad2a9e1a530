#include "tasklines.h"

#include "platform/textcodec.h"

#include <QtGlobal>

#include <algorithm>
#include <optional>
#include <sys/mman.h>
#include <utility>

namespace taskstore {
namespace {

constexpr qsizetype HugePage = 2 << 20;

// Where the line of `slot` lies in `bytes`, or nullopt when fewer lines are kept.
std::optional<QByteArrayView> lineAt(QByteArrayView bytes, qsizetype slot)
{
    for (; !bytes.isEmpty(); --slot) {
        const qsizetype end = bytes.indexOf('\r');
        if (slot == 0)
            return bytes.first(end);
        bytes = bytes.sliced(end + 1);
    }
    return std::nullopt;
}

} // namespace

void TaskLines::Unmap::operator()(char *mapping) const
{
    ::munmap(mapping, length);
}

QString TaskLines::operator[](qsizetype slot) const
{
    const auto line = lineAt(QByteArrayView(m_kept.data, m_kept.size), slot);
    return line ? platform::decodeLine(*line) : QString();
}

void TaskLines::beginScan(qint64 fileLength)
{
    // Room for the lines from the start, so that they are never copied to grow. The storage
    // of the scan before last is used again.
    constexpr qint64 MostReserved = 64 << 20;
    m_scan.size = 0;
    m_scan.lines = 0;
    if (m_scan.capacity < std::min(fileLength + 1, MostReserved))
        reserve(m_scan, qsizetype(std::min(fileLength + 1, MostReserved)));
}

void TaskLines::endScan()
{
    // Slots this scan did not reach keep their text from before.
    if (m_scan.lines < m_kept.lines) {
        const QByteArrayView before(m_kept.data, m_kept.size);
        qsizetype from = 0;
        for (qsizetype slot = 0; slot < m_scan.lines; ++slot)
            from = before.indexOf('\r', from) + 1;
        const QByteArrayView rest = before.sliced(from);
        grow(m_scan, rest.size());
        std::memcpy(m_scan.data + m_scan.size, rest.data(), std::size_t(rest.size()));
        m_scan.size += rest.size();
        m_scan.lines = m_kept.lines;
    }
    std::swap(m_kept, m_scan);
}

void TaskLines::reserve(Storage &storage, qsizetype capacity)
{
    // Mapped on a huge-page boundary: a long file's table is megabytes of fresh memory on
    // every start, and a 2 MB page costs the kernel far less to hand out than 512 small
    // ones. A short file's lines keep to small pages. Untouched pages cost nothing.
    const qsizetype length = (capacity + HugePage - 1) / HugePage * HugePage + HugePage;
    void *const mapping = ::mmap(nullptr, std::size_t(length), PROT_READ | PROT_WRITE,
                                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED)
        qBadAlloc();
    auto *const aligned = reinterpret_cast<char *>(
        (reinterpret_cast<quintptr>(mapping) + HugePage - 1) & ~quintptr(HugePage - 1));
#ifdef MADV_HUGEPAGE
    if (capacity >= HugePage)
        ::madvise(aligned, std::size_t(length - HugePage), MADV_HUGEPAGE);
#endif
    Storage grown{.mapping = {static_cast<char *>(mapping), Unmap{std::size_t(length)}},
                  .data = aligned,
                  .size = storage.size,
                  .lines = storage.lines,
                  .capacity = length - HugePage};
    if (storage.size > 0)
        std::memcpy(grown.data, storage.data, std::size_t(storage.size));
    storage = std::move(grown);
}

void TaskLines::grow(Storage &storage, qsizetype more)
{
    if (storage.size + more > storage.capacity)
        reserve(storage, std::max(storage.capacity * 2, storage.size + more));
}

} // namespace taskstore
