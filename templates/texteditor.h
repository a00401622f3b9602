#pragma once

#include <QString>

namespace ordwick {

// Opens a file in the user's text editor without waiting for it: the program
// named by $VISUAL or else $EDITOR, or the desktop's default application for
// the file. False when none could be started.
bool openInTextEditor(const QString& path);

} // namespace ordwick
