#pragma once

#include "datasource/dataconnection.h"
#include "project/project.h"

#include <QString>
#include <optional>
#include <vector>

namespace ordwick {

// How the table step shows a column's data type.
struct TypeDisplay {
    QString iconKey; // "NUMBER", "TEXT", "BOOLEAN", "CURRENCY", "DATETIME", "OLE"
    QString text;    // "Number", "Byte", "Double", "Single", "Text", "Memo", ...
};
// The display of a type, or nothing for a type the pages cannot use.
std::optional<TypeDisplay> typeDisplay(int dataType, std::optional<qint64> maxLength);

// An entry of the table list with its icon key.
struct TableItem {
    QString name;
    QString iconKey; // "TABLE", "VIEW", "SYSTEMTABLE"
};
// The tables and views the list offers; system tables only when asked for.
std::vector<TableItem> listedTables(const std::vector<TableInfo>& tables, bool includeSystemTables);
// The entry to select: the one showing on screen before wins over the project's
// own table; -1 when neither is listed.
int selectedTable(const std::vector<TableItem>& items, const QString& projectTable,
                  const QString& onScreen);

// One row of the table step's column grid.
struct ColumnRow {
    QString uniqueMarker;  // "UNCHECK", "CHECK" (chosen as unique key), "KEY" (detected)
    QString includeMarker; // "CHECK" (included in the pages) or "UNCHECK"
    QString name;
    QString typeIcon;
    QString typeText;
    QString length; // the character length as read; empty for other types

    bool operator==(const ColumnRow&) const = default;
};

// The rows for a table's columns: columns with unusable names or types are
// left out; in an opened project only the stored columns start included.
std::vector<ColumnRow> columnRows(const std::vector<ColumnInfo>& columns, const Project& project,
                                  int projectOrigin);

// Marks the stored unique keys. Returns false when the keys must be detected
// from the database instead (a new project without stored keys).
bool markStoredKeys(std::vector<ColumnRow>& rows, const Project& project, int projectOrigin);
// Marks the detected primary-key columns of the project's table as "KEY" and
// includes them.
void markDetectedKeys(std::vector<ColumnRow>& rows, const std::vector<KeyColumn>& keys,
                      const QString& tableName);

// How to read the primary keys of the project's source: the connection string
// and the table to ask about (empty: all tables). Nothing when the source offers
// no key detection. `dsnDriver` is the ODBC driver of a DSN source,
// `dsnDatabaseFile` the file an Access DSN points at, `table` the table whose keys
// are wanted.
struct KeyQuery {
    QString connectionString;
    QString table;
};
std::optional<KeyQuery> keyQuery(const Project& project, const QString& dsnDriver,
                                 const QString& dsnDatabaseFile, const QString& table);

} // namespace ordwick
