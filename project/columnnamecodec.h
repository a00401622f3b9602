#pragma once

#include <QString>

namespace ordwick {

// Column names stand in the project file as keys of "Columns" and as values of
// "UniqueKey". A name the INI format cannot carry as it is (empty, starting
// with a comment sign, a bracket or a blank, ending in a blank, holding "=" or
// a control character) is stored as "]" and the name with each of "%", "=",
// "[", "]", ";", "#", blanks and control characters percent-encoded (UTF-8).
// Every other name is stored as it is, so the files written so far keep their
// text, and no name stored as it is starts with "]".
QString storedColumnName(const QString& name);

// The column name a stored key or value stands for. A text that starts with
// "]" but is not exactly what storedColumnName() writes is taken as it is.
QString columnNameFromStored(const QString& stored);

} // namespace ordwick
