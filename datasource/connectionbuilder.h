#pragma once

#include "project/project.h"

#include <QString>
#include <optional>

namespace ordwick {

// Driver families of a data source.
enum DatasourceFamily : std::int32_t {
    FamilyAccess = 1,
    FamilyExcel = 2,
    FamilyText = 3,
    FamilyDbase = 4,
    FamilySqlServer = 5,
    FamilyMySql = 6,
    // SQLite files, which this platform offers beside the desktop formats.
    FamilySqlite = 7,
    // The program's own codes for servers known by their driver's name.
    FamilyPostgres = 8,
    FamilyOracle = 9,
    // A SQL database of no family known here: names in standard double
    // quotes, pages read through a cursor; never Access's ways.
    FamilyOtherSql = 10,
};

// The family of a data file by its extension, ignoring case; an extension that
// names no family (.asc, .tab, anything else) keeps `current`.
std::int32_t classifyDataFile(const QString& path, std::int32_t current);
// The family of a data source by its ODBC driver name: the six classic names
// as they are written, then the words of a driver's name whatever their case
// ("PostgreSQL Unicode", "SQLite3", "MariaDB Unicode", "ODBC Driver 18 for SQL
// Server", "Microsoft Access Driver (*.mdb, *.accdb)"). Any other name, or
// none, is FamilyOtherSql.
std::int32_t classifyDriver(const QString& driverName);
// The family of the database product a reachable source reports
// (DataConnection::databaseName), or nothing for a product not known here.
std::optional<std::int32_t> classifyDatabaseName(const QString& productName);

// The connection string for the project's source. A project opened or saved
// with a working string keeps it; otherwise it is built from the record.
// `typedConnectionString` is the connection-string box of the first step, used
// as it stands for an external database.
QString BuildConnectionString(const Project& project, std::int32_t projectOrigin,
                              const QString& typedConnectionString);

// The string that reads the primary keys of an Access database file.
QString jetKeyConnectionString(const QString& databaseFile, const QString& login,
                               const QString& password);

} // namespace ordwick
