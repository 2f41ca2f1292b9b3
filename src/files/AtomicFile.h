#pragma once

#include "files/Status.h"

#include <QByteArrayView>
#include <QString>

// Replaces a file's content atomically: the bytes go to a temporary file in the
// same folder, are flushed to disk, and the temporary file is renamed over the
// target. Any failure leaves the old file byte-for-byte whole and removes the
// temporary file. A target whose write permission bits are all clear counts as
// write-protected ("File access denied"), also for root.
namespace AtomicFile {

Status write(const QString &path, QByteArrayView bytes);

// Test seam: the next write() fails with errnoValue after afterBytes bytes have
// reached the temporary file (the rename then never happens).
void injectWriteFailureForTests(qint64 afterBytes, int errnoValue);

} // namespace AtomicFile
