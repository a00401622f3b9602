#include "datasource/schemadiscovery.h"

#include "datasource/connectionbuilder.h"
#include "foundation/paths.h"

#include <algorithm>

namespace ordwick {

namespace {

const QString kCheck = QStringLiteral("CHECK");
const QString kUncheck = QStringLiteral("UNCHECK");
const QString kKey = QStringLiteral("KEY");
constexpr qint64 kLongestText = 255;

bool isAccessDriver(const QString& driver) {
    return driver == QLatin1String("Microsoft Access Driver (*.mdb)");
}

bool isServerDriver(const QString& driver) {
    return driver == QLatin1String("SQL Server") || driver.left(10) == QLatin1String("MySQL ODBC");
}

} // namespace

std::optional<TypeDisplay> typeDisplay(int dataType, std::optional<qint64> maxLength) {
    const QString number = QStringLiteral("NUMBER");
    switch (dataType) {
    case adSmallInt:
    case adInteger:
    case adBigInt:
    case adVarNumeric:
        return TypeDisplay{number, QStringLiteral("Number")};
    case adTinyInt:
        return TypeDisplay{number, QStringLiteral("Byte")};
    case adDouble:
        return TypeDisplay{number, QStringLiteral("Double")};
    case adSingle:
        return TypeDisplay{number, QStringLiteral("Single")};
    case adChar:
    case adWChar:
        return TypeDisplay{QStringLiteral("TEXT"), maxLength.value_or(0) > kLongestText
                                                       ? QStringLiteral("Memo")
                                                       : QStringLiteral("Text")};
    case adBoolean:
        return TypeDisplay{QStringLiteral("BOOLEAN"), QStringLiteral("Boolean")};
    case adNumeric:
        return TypeDisplay{QStringLiteral("CURRENCY"), QStringLiteral("Currency")};
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
        return TypeDisplay{QStringLiteral("DATETIME"), QStringLiteral("Date/Time")};
    case adBinary:
        return TypeDisplay{QStringLiteral("OLE"), QStringLiteral("OLE")};
    default:
        return std::nullopt;
    }
}

std::vector<TableItem> listedTables(const std::vector<TableInfo>& tables,
                                    bool includeSystemTables) {
    std::vector<TableItem> items;
    for (const TableInfo& table : tables) {
        if (table.type == QLatin1String("TABLE"))
            items.push_back({table.name, QStringLiteral("TABLE")});
        else if (table.type == QLatin1String("VIEW"))
            items.push_back({table.name, QStringLiteral("VIEW")});
        else if (table.type == QLatin1String("SYSTEM TABLE") && includeSystemTables)
            items.push_back({table.name, QStringLiteral("SYSTEMTABLE")});
    }
    return items;
}

int selectedTable(const std::vector<TableItem>& items, const QString& projectTable,
                  const QString& onScreen) {
    int selected = -1;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].name == projectTable)
            selected = static_cast<int>(i);
        if (!onScreen.isEmpty() && items[i].name == onScreen)
            selected = static_cast<int>(i);
    }
    return selected;
}

namespace {

// Whether a stored column name stands for a column of the source. Earlier
// versions stored names with their outer blanks cut off.
bool storedAs(const QString& sourceName, const QString& storedName) {
    if (sourceName == storedName)
        return true;
    QString trimmed = sourceName;
    while (trimmed.startsWith(QLatin1Char(' ')))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(QLatin1Char(' ')))
        trimmed.chop(1);
    return trimmed != sourceName && trimmed == storedName;
}

} // namespace

std::vector<ColumnRow> columnRows(const std::vector<ColumnInfo>& columns, const Project& project,
                                  int projectOrigin) {
    std::vector<ColumnRow> rows;
    for (const ColumnInfo& column : columns) {
        // The check trims blanks off its copy; the grid keeps the name the
        // source gives, or the pages would ask for a column that is not there.
        const QString name = column.name;
        if (QString checked = name; !IsValidColumn(checked))
            continue;
        const std::optional<TypeDisplay> display = typeDisplay(column.dataType, column.maxLength);
        if (!display)
            continue;
        bool included = true;
        // An opened or saved project shows the columns it holds.
        if (projectOrigin != 0) {
            included =
                std::any_of(project.Columns.cbegin(), project.Columns.cend(),
                            [&](const ColumnSettings& c) { return storedAs(name, c.ColumnName); });
        }
        if (column.dataType == adBinary)
            included = false;
        rows.push_back({kUncheck, included ? kCheck : kUncheck, name, display->iconKey,
                        display->text,
                        column.maxLength ? QString::number(*column.maxLength) : QString()});
    }
    return rows;
}

bool markStoredKeys(std::vector<ColumnRow>& rows, const Project& project, int projectOrigin) {
    if (projectOrigin == 0 && project.UniqueKey.isEmpty())
        return false;
    for (const ColumnSettings& column : project.Columns) {
        if (!project.UniqueKey.contains(column.ColumnName))
            continue;
        for (ColumnRow& row : rows) {
            if (storedAs(row.name, column.ColumnName))
                row.uniqueMarker = kCheck;
        }
    }
    return true;
}

void markDetectedKeys(std::vector<ColumnRow>& rows, const std::vector<KeyColumn>& keys,
                      const QString& tableName) {
    for (const KeyColumn& key : keys) {
        if (key.table != tableName)
            continue;
        for (ColumnRow& row : rows) {
            // A key the user has confirmed stays confirmed: asking the
            // database again (back to the features and on) must not undo it.
            if (row.name == key.column && row.uniqueMarker != kCheck) {
                row.uniqueMarker = kKey;
                row.includeMarker = kCheck;
            }
        }
    }
}

std::optional<KeyQuery> keyQuery(const Project& project, const QString& dsnDriver,
                                 const QString& dsnDatabaseFile, const QString& table) {
    if (project.DatasourceStatus == DatasourceFile) {
        if (project.DatasourceType == FamilyAccess)
            return KeyQuery{
                jetKeyConnectionString(project.DatabaseName, project.DBLogin, project.DBPassword),
                {}};
        // SQLite files carry their keys too, and are the platform's own default.
        if (project.DatasourceType == FamilySqlite)
            return KeyQuery{project.ConnectionString, table};
        return std::nullopt;
    }
    if (project.DatasourceStatus != DatasourceDsn)
        return std::nullopt;
    if (isAccessDriver(dsnDriver))
        return KeyQuery{
            jetKeyConnectionString(dsnDatabaseFile, project.DBLogin, project.DBPassword), {}};
    if (isServerDriver(dsnDriver))
        return KeyQuery{project.ConnectionString, table};
    return std::nullopt;
}

} // namespace ordwick
