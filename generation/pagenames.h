#pragma once

#include <QString>

namespace ordwick {

// Page file names that every file system of a web server can hold. Windows
// refuses the characters " < > | ? * : \ / and control characters, names
// ending in a dot or a blank, and device names such as CON or NUL (with any
// extension); a "%" cannot reach a page through a URL on IIS either.

// True when a page can be written under this name as it is.
bool isSafePageFileName(const QString& name);

// The name with every refused character replaced by "_", each dot or blank
// at its end replaced by "_", and "_" added to a device name before its
// extension ("con.asp" becomes "con_.asp"). A safe name comes back unchanged.
QString safePageFileName(const QString& name);

// True when the two names would be one file on a server that ignores letter
// case.
bool sameFileName(const QString& a, const QString& b);

} // namespace ordwick
