#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The markup of appended paragraphs: bytes kept in large blocks that are never
// moved, so that growing to tens of megabytes copies nothing. Each block is
// asked for huge pages, which makes touching fresh memory cheaper.
class BlockBuffer
{
public:
    // The block to append up to bytes more to without it reallocating.
    QByteArray &blockFor(qsizetype bytes);

    QList<QByteArrayView> views() const;
    // The bytes reserved by all blocks.
    qsizetype capacity() const;

private:
    QList<QByteArray> m_blocks;
};
