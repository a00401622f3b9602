#pragma once

#include <QByteArray>
#include <QString>

namespace ordwick {

// Replaces the file with the bytes, or leaves it as it was: the bytes go into a
// new file beside it, which is renamed over the old one only when every byte
// has reached the disk. A new file takes the permissions the user's umask gives;
// an existing one keeps its own. Throws RuntimeError (75) on failure. Readers
// never see a half-written file either way; Durability::Deferred only leaves
// the new bytes to be flushed later, which saves a disk flush per file.
enum class Durability {
    Flushed,  // on disk before the rename
    Deferred, // the caller flushes many files at once with flushFileSystemOf()
};
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         Durability durability = Durability::Flushed);

// Puts everything written to the file system that holds `folder` on disk: one
// flush for a batch of files written with Durability::Deferred. Throws
// RuntimeError (75) on failure.
void flushFileSystemOf(const QString& folder);

} // namespace ordwick
