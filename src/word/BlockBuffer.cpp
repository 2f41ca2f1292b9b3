#include "word/BlockBuffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr qsizetype kBlockSize = qsizetype(8) << 20;

void adviseHugePages(const QByteArray &block)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto address = reinterpret_cast<std::uintptr_t>(block.constData());
    const std::uintptr_t begin = (address + huge - 1) & ~(huge - 1);
    const std::uintptr_t end = (address + std::uintptr_t(block.capacity())) & ~(huge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(block);
#endif
}

} // namespace

QByteArray &BlockBuffer::blockFor(qsizetype bytes)
{
    if (m_blocks.isEmpty() || m_blocks.last().capacity() - m_blocks.last().size() < bytes) {
        // Small documents stay small: the first block grows with the need.
        const qsizetype capacity =
            m_blocks.isEmpty() ? std::max<qsizetype>(bytes, 64 << 10) : std::max(bytes, kBlockSize);
        if (!m_blocks.isEmpty() && m_blocks.last().capacity() < kBlockSize && m_blocks.size() == 1) {
            // Still the small first block: grow it while that is cheap.
            QByteArray &first = m_blocks.last();
            if (first.size() + bytes <= kBlockSize) {
                first.reserve(std::min(kBlockSize, std::max(first.capacity() * 2, first.size() + bytes)));
                if (first.capacity() >= kBlockSize)
                    adviseHugePages(first);
                return first;
            }
        }
        m_blocks.append(QByteArray());
        m_blocks.last().reserve(capacity);
        if (capacity >= kBlockSize)
            adviseHugePages(m_blocks.last());
    }
    return m_blocks.last();
}

QList<QByteArrayView> BlockBuffer::views() const
{
    QList<QByteArrayView> views;
    views.reserve(m_blocks.size());
    for (const QByteArray &block : m_blocks)
        views.append(block);
    return views;
}

qsizetype BlockBuffer::capacity() const
{
    qsizetype total = 0;
    for (const QByteArray &block : m_blocks)
        total += block.capacity();
    return total;
}
