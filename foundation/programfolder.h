#pragma once

#include <QString>

namespace ordwick {

// Where the programs find what ships with them and where they keep what each user
// makes. The shipped files are found relative to the running program, so one tree
// works from the build folder, from /usr and unpacked anywhere; they are only ever
// read. Everything written goes to the user's XDG folders.

// The shipped data (templates in "template", the help, the sample database):
// share/tessaline beside the program's bin folder. TESSALINE_APP_DIR names
// another folder (tests).
QString shippedDataFolder();

// The folder of the private engine library: lib/<multiarch>/tessaline beside
// the program's bin folder.
QString engineFolder();

// Per-user data: the template store and the error log ($XDG_DATA_HOME/Tessaline).
QString userDataFolder();

// Per-user settings: the recent projects list ($XDG_CONFIG_HOME/Tessaline).
QString userConfigFolder();

// The folder whose "template" holds the templates this user works with: the
// per-user store once it has been made, the shipped templates before that.
QString templateBaseFolder();

} // namespace ordwick
