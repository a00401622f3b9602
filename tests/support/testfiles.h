#pragma once

#include <QByteArray>
#include <QString>

namespace ordwick::test {

// Writes the bytes, making the folders on the way; a file that cannot be
// written fails the running test.
void writeTestFile(const QString& path, const QByteArray& bytes);
// The file's bytes, or "<missing>" when it cannot be read, so that a
// comparison names the problem.
QByteArray readTestFile(const QString& path);

} // namespace ordwick::test
