#pragma once

#include <QByteArray>
#include <QString>

namespace ordwick {

// Replaces the file with the bytes, or leaves it as it was: the bytes go into a
// new file beside it, which is renamed over the old one only when every byte
// has reached the disk. A new file takes the permissions the user's umask gives;
// an existing one keeps its own. Throws RuntimeError (75) on failure.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace ordwick
