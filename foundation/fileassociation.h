#pragma once

#include <QString>

namespace ordwick {

// Makes project files (`extension`, e.g. ".pjx") open with this program for the
// current user, the way freedesktop desktops look it up:
//   $XDG_DATA_HOME/applications/tessaline-ordwick.desktop   the program's desktop entry
//   $XDG_DATA_HOME/mime/packages/tessaline-project.xml      the file type and its pattern
//   $XDG_CONFIG_HOME/mimeapps.list                          the program as the type's default
// and refreshes the desktop's caches when their tools are installed. An installed
// program whose package put its own desktop entry and file type where the desktop
// looks only sets that entry as the default: no second entry is written. The same
// association also goes into the HKEY_CLASSES_ROOT settings store, where the
// program has always kept it. Registering again rewrites the same files.
//
// Returns true when every file was written; failures go to the central error handler.
bool CreateAssociation(const QString& applicationName, const QString& description,
                       const QString& executablePath, const QString& extension);

} // namespace ordwick
