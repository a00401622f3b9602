// Where a file of a site really is, once links are followed, and the places
// of a site that are never served or included.
#pragma once

#include <QString>

namespace ordwick::preview {

// The path from the site's root ("/images/a.png") of the file a path names
// after every link is followed, or empty when that file is outside the site
// or does not exist. root is the site's canonical folder.
QString realSitePath(const QString& root, const QString& file);

// Whether a site path lies in a place the site never hands out: the db folder,
// a hidden name, or a folder whose web.config lets no file through (as the
// generated db folder's does).
bool closedPlace(const QString& root, const QString& sitePath);

} // namespace ordwick::preview
