#include "tasklines.h"

#include "platform/textfile.h"

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
    const qsizetype from = lineStart(m_lines, slot);
    if (from < 0)
        return {};
    return platform::decodeLine(
        QByteArrayView(m_lines).sliced(from, m_lines.indexOf('\r', from) - from));
}

void TaskLines::beginScan(qint64 fileSize)
{
    // The lines take no more room than the file (a CR for each terminator), so the scan
    // never copies them to grow.
    constexpr qint64 MostReserved = 64 << 20;
    m_scan.resize(0); // keeps the room of the scan before last
    m_scan.reserve(qsizetype(std::min(fileSize + 1, MostReserved)));
    m_scanned = 0;
}

void TaskLines::endScan()
{
    // Slots this scan did not reach keep their text from before.
    if (m_scanned < m_count) {
        m_scan.append(QByteArrayView(m_lines).sliced(lineStart(m_lines, m_scanned)));
        m_scanned = m_count;
    }
    std::swap(m_lines, m_scan);
    m_count = m_scanned;
}

} // namespace taskstore
