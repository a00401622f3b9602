#pragma once

#include "datasource/dataconnection.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace ordwick {

// What the readers of database files and folders share. None of these sources
// has an SQL engine of its own, so statements are checked against an empty
// copy of the schema in an in-memory SQLite database.

// Short text never holds more than kShortTextLength characters; long text
// (memo) reports kLongTextLength, so a length above 255 alone marks long text.
inline constexpr qint64 kShortTextLength = 255;
inline constexpr qint64 kLongTextLength = 1073741823;

struct TableSchema {
    QString name;
    std::vector<ColumnInfo> columns;
};

// Every table and view the connection lists, with its columns. One whose
// columns cannot be read is left out: a statement that uses it then fails as
// one naming an unknown table, while the others can still be checked.
std::vector<TableSchema> readSchema(DataConnection& connection);

// Prepares `sql`, written in the desktop drivers' SQL dialect, against an
// empty copy of `schema`, and throws as DataConnection::checkQuery documents.
void checkStatement(const std::vector<TableSchema>& schema, const QString& sql);

// A file or worksheet name as the desktop drivers list it. Their SQL reads "."
// as a qualifier, so the drivers show it as "#" ("prices.csv" is "prices#csv").
QString driverObjectName(const QString& name);

// Column names made from the cells of a header row the way the desktop drivers
// make them: a blank cell is named F and its 1-based position, characters the
// drivers refuse in names are replaced, and a name already taken (in any letter
// case) gets the lowest number that makes it unique.
QStringList headerColumnNames(const QStringList& cells);

// A field read as text turned into the value its column's ADO type stands
// for, in TableRows' terms. Dates are read as ISO (yyyy-mm-dd, with or
// without a time), else month first as the desktop drivers read them, else
// day first. A blank field, or text the type cannot hold, is null.
QVariant fieldValue(int adoType, const QString& text);

// A path as messages show it: absolute, in the platform's separators.
QString shownPath(const QString& path);

} // namespace ordwick
