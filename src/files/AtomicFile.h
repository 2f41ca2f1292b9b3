#pragma once

#include "files/Status.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

// Replaces a file's content atomically: the bytes go to a temporary file in the
// same folder, are flushed to disk, and the temporary file is renamed over the
// target. Any failure leaves the old file byte-for-byte whole and removes the
// temporary file. A target whose write permission bits are all clear counts as
// write-protected ("File access denied"), also for root.
namespace AtomicFile {

Status write(const QString &path, QByteArrayView bytes);

// The same with the content handed over in pieces: nextChunk is called until
// it returns an empty view, so a large file never needs to exist in memory
// whole.
using ChunkSource = std::function<QByteArrayView()>;
Status write(const QString &path, const ChunkSource &nextChunk);

// Creates a file of that name with the same all-or-nothing guarantee, only if
// no file (nor folder, nor symbolic link) of that name exists: an existing one
// is never touched, and the failure then carries std::errc::file_exists.
Status create(const QString &path, QByteArrayView bytes);

// Test seam: the next write() or create() fails with errnoValue after afterBytes bytes have
// reached the temporary file (the rename then never happens).
void injectWriteFailureForTests(qint64 afterBytes, int errnoValue);

} // namespace AtomicFile
