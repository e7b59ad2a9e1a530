#include "tasklines.h"

#include "platform/textcodec.h"

namespace taskstore {
namespace {

constexpr qsizetype BlockChars = 128 * 1024;

} // namespace

void TaskLines::beginScan()
{
    m_previous = std::move(m_blocks);
    m_blocks.clear();
    m_blockUsed = 0;
}

QChar *TaskLines::reserve(qsizetype length)
{
    if (m_blocks.empty() || m_blockUsed + length > BlockChars) {
        m_blocks.emplace_back(BlockChars, Qt::Uninitialized);
        m_blockUsed = 0;
    }
    QChar *const at = m_blocks.back().data() + m_blockUsed;
    m_blockUsed += length;
    return at;
}

void TaskLines::keep(qsizetype slot, QStringView text)
{
    if (text.size() > BlockChars / 16) {
        m_slots[slot] = text.toString(); // a long line gets storage of its own
        return;
    }
    QChar *const at = reserve(text.size());
    std::copy(text.begin(), text.end(), at);
    m_slots[slot] = QString::fromRawData(at, text.size());
}

const QString &TaskLines::store(qsizetype slot, QByteArrayView line)
{
    QString &target = m_slots[slot];
    if (line.size() <= BlockChars / 16) {
        // Widen ASCII straight into the shared block; anything else goes through the decoder.
        QChar *const at = reserve(line.size());
        unsigned char seen = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const auto b = static_cast<unsigned char>(line[i]);
            seen |= b;
            at[i] = QChar(b);
        }
        if ((seen & 0x80) == 0) {
            target = QString::fromRawData(at, line.size());
            return target;
        }
        m_blockUsed -= line.size();
    }
    target = platform::decodeLine(line);
    return target;
}

void TaskLines::endScan(qsizetype used)
{
    // Slots this scan did not reach keep their text, even where it lay in the last scan's
    // storage, which goes now.
    for (qsizetype slot = used; slot < Slots && !m_previous.empty(); ++slot) {
        if (!m_slots[slot].isEmpty())
            keep(slot, QString(m_slots[slot]));
    }
    m_previous.clear();
}

} // namespace taskstore
