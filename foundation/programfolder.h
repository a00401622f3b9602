#pragma once

#include <QString>

namespace ordwick {

// The program folder holds the templates, "Tessaline.ini", "err.txt" and the help.
// It is the folder of the executable, unless TESSALINE_APP_DIR names another one
// (for tests, and for installs whose program folder is read-only).
QString programFolder();

// Where per-user files go when the program folder cannot take them.
QString userDataFolder();

// Whether the templates of `programFolder` ("template" there) can be added
// to and deleted: the store is used in place then, otherwise each user works
// on a copy under userDataFolder().
bool programTemplateStoreWritable(const QString& programFolder);

// The folder whose "template" holds the templates this user works with: the
// program folder's when that store is used in place or no copy has been made
// yet, the per-user copy otherwise.
QString templateBaseFolder();

} // namespace ordwick
