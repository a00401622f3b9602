#pragma once

#include <QString>

namespace ordwick {

// The template manager's path helpers. "/" separates the parts of a path; a
// text holding "../" points into the template store (the store's own path
// replaced by it). Each strips the caller's path of surrounding blanks first.

// The text after the last separator (all of it without one, empty after a
// trailing one): a file's name.
QString GetFile(QString& path);
// Likewise, for a folder's name.
QString GetFolder(QString& path);
// Everything up to and including the last separator (empty without one).
QString GetPath(QString& path);

inline QString relativeMarker() {
    return QStringLiteral("../");
}
inline bool isRelativeToStore(const QString& text) {
    return text.contains(relativeMarker());
}

// Why `name` cannot be the name of a file or folder inside a template (it would
// land outside it, or the file system refuses it); empty when it can.
QString unusableFileName(const QString& name);
// The same for a template: also not "no template", which means none.
QString unusableTemplateName(const QString& name);

} // namespace ordwick
