#pragma once

#include <QString>

namespace ordwick {

// The program folder holds the templates, "Tessaline.ini", "err.txt" and the help.
// It is the folder of the executable, unless TESSALINE_APP_DIR names another one
// (for tests, and for installs whose program folder is read-only).
QString programFolder();

// Where per-user files go when the program folder cannot take them.
QString userDataFolder();

} // namespace ordwick
