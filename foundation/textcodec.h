#pragma once

#include <QByteArray>
#include <QString>

namespace ordwick {

// Files written by this program are UTF-8. Files from the Windows program are in
// the old single-byte code page (Windows-1252); bytes that are not valid UTF-8
// are read in that code page instead, so both kinds open correctly.
QString decodeText(const QByteArray& bytes);
QString decodeWindows1252(const QByteArray& bytes);

} // namespace ordwick
