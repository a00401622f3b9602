#pragma once

#include <QString>

namespace ordwick {

// Folder and column-name helpers. Paths use this platform's separator "/".
// Failures go to the central error handler under the names the log uses.

// The path ending in exactly one separator when it did not end in one already.
QString QualityPath(const QString& path);
// The path without one trailing separator.
QString UnQualifyPath(const QString& path);
// Everything before the last separator of a file path, without a trailing separator.
QString GetFolderPath(const QString& filePath);
// The text up to its first NUL character.
QString TrimAtNull(const QString& text);

// Shell special folders; the program asks only for the desktop.
enum SpecialFolder : int { CSIDL_DESKTOP = 0 };
// The folder's path, or the empty text when the platform has none.
QString GetSpecialFolderLocation(int folderId);

// True when the name can be used as a column of a project. The caller's name is
// stripped of surrounding blanks whatever the answer.
bool IsValidColumn(QString& name);
// True when the name can stand in SQL text without square brackets.
bool IsValidColumn1(QString& name);

} // namespace ordwick
