#pragma once

#include <QStringList>

namespace ordwick {

// The project file named on the command line, or the empty text. The arguments
// are taken as one command line: a path in double quotation marks ends at the
// second mark (text after it is ignored); otherwise the whole line is the path,
// so a path with blanks works quoted or not. When the shell has already removed
// the quotation marks and extra words follow, the first argument is taken if it
// names an existing file.
QString projectPathFromCommandLine(const QStringList& arguments);

} // namespace ordwick
