#pragma once

#include "project/project.h"

#include <QString>

namespace ordwick {

// The SELECT text of the "Query Customization" step.
namespace QueryText {

// Whether every name is written in square brackets: Access and Excel sources,
// except an Access-family DSN or connection string that leads to Oracle.
bool useBracketedNames(const Project& project);

// The SELECT over the included columns. A bracketed table name follows two
// blanks ("FROM  [Staff List]"): stored projects and the engine expect it.
QString generatedSelect(const Project& project);

// "Add/Remove Brackets": a stored query comes back unchanged; otherwise the
// generated query with brackets only where needed (when `shown` has any) or
// around every name (when it has none).
QString toggledBrackets(const Project& project, const QString& shown);

// What the SELECT box shows when the step is entered or restored.
QString shownSelect(const Project& project);

// The WHERE text as it is stored: every double quote becomes an apostrophe.
QString storedWhere(const QString& where);

// The statement checked against the data source, or empty when the SELECT box
// is empty (which is accepted without a check).
QString checkedStatement(const QString& select, const QString& where);

// The two-line message for a statement the data source refuses.
QString invalidQueryMessage();

} // namespace QueryText

} // namespace ordwick
