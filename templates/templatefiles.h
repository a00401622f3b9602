#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace ordwick {

// File work of the template store that carries on past a failure: each failed
// step adds one line, saying what and why, to `failures`, and the caller shows
// them together once everything that could be done is done.

// Called after each file copied by a folder copy: files done, files in all.
using CopyProgress = std::function<void(int done, int total)>;

// Copies one file; an existing target is replaced only when `replace` is true
// and otherwise left as it is, and only once the copy is whole. Copying a
// file onto itself changes nothing. False when the copy failed.
bool copyFile(const QString& from, const QString& to, bool replace, QStringList& failures);
// Copies a folder's whole contents below `to`, replacing existing files.
void copyFolder(const QString& from, const QString& to, QStringList& failures,
                const CopyProgress& progress = {});
// The number of files below a folder, for progress.
int countFiles(const QString& folder);
// Deletes a file, read-only or not.
bool removeFile(const QString& path, QStringList& failures);
// Deletes a folder with everything in it, read-only files too.
bool removeFolder(const QString& path, QStringList& failures);
bool makeFolder(const QString& path, QStringList& failures);
bool renameFolder(const QString& from, const QString& to, QStringList& failures);
// Writes a whole file through a temporary one, so a failure leaves the old one.
bool writeFile(const QString& path, const QByteArray& bytes, QStringList& failures);

} // namespace ordwick
