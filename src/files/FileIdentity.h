#pragma once

#include "files/Status.h"

#include <QString>

#include <cstdint>
#include <optional>

// Which file a name designates: two names that reach the same file (links, a
// folder reached two ways, names the file system takes for one) have the same
// identity.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool regular = false; // a plain file, not a folder, device or pipe

    bool sameFileAs(const FileIdentity &other) const
    {
        return device == other.device && inode == other.inode;
    }

    // The identity of the file at path, following links; nothing when there is
    // no such file.
    static std::optional<FileIdentity> of(const QString &path);

    // Opens the existing file at path for appending (never creating it) and
    // closes it again: the failure appending would meet, or the identity.
    static Result<FileIdentity> checkAppendable(const QString &path);
};

// True when the two names designate the same file: by identity when both
// exist, by absolute cleaned path otherwise.
bool isSameFile(const QString &a, const QString &b);
