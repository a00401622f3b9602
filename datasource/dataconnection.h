#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ordwick {

// Data type codes as the schema rowsets report them (the ADO DataTypeEnum), so
// that every kind of source is described in one vocabulary.
enum AdoType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBoolean = 11,
    adTinyInt = 16,
    adBigInt = 20,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarNumeric = 139,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// Failure numbers of the data access layer (the provider's HRESULTs as 32-bit
// integers), carried by RuntimeError.
namespace DataError {
// The source could not be opened: missing or damaged file, refused login,
// unreachable server.
constexpr int GeneralFailure = static_cast<std::int32_t>(0x80004005u);
// The statement is not valid SQL for this source.
constexpr int ErrorsInCommand = static_cast<std::int32_t>(0x80040E14u);
// The statement names something the source does not have, so it would need a
// parameter value.
constexpr int ParameterNotOptional = static_cast<std::int32_t>(0x80040E10u);
} // namespace DataError

struct TableInfo {
    QString name;
    QString type; // "TABLE", "VIEW", "SYSTEM TABLE", or the source's own word
};

struct ColumnInfo {
    QString name;
    int dataType = adEmpty;          // AdoType
    std::optional<qint64> maxLength; // CHARACTER_MAXIMUM_LENGTH; empty for non-character types
};

struct KeyColumn {
    QString table;
    QString column;
};

// The rows of a table with its columns, each value as the column's type
// gives it: whole numbers as qint64, other numbers as double, dates as QDate
// (date-only columns) or QDateTime, booleans as bool, text as QString, binary
// data as QByteArray and an empty field as a null QVariant.
struct TableRows {
    std::vector<ColumnInfo> columns;
    std::vector<QVariantList> rows;
};

// One open connection to a data source. Each schema read is fresh: nothing is
// cached between calls, so the source is always the only copy.
// Every member throws RuntimeError on failure.
class DataConnection {
public:
    virtual ~DataConnection() = default;

    // Tables and views in the source's order.
    virtual std::vector<TableInfo> tables() = 0;
    // The columns of one table in their ordinal order.
    virtual std::vector<ColumnInfo> columns(const QString& table) = 0;
    // Primary-key columns; of every table when `table` is empty.
    virtual std::vector<KeyColumn> primaryKeys(const QString& table) = 0;
    // Prepares the statement without reading rows. Throws RuntimeError with
    // DataError::ErrorsInCommand for an invalid statement and
    // DataError::ParameterNotOptional for one that names what the source lacks.
    virtual void checkQuery(const QString& sql) = 0;
    // Every row of a table, read by the program itself. Only the sources
    // without an SQL engine of their own (the file and folder readers) can;
    // the others throw RuntimeError (GeneralFailure) and are asked with SQL.
    virtual TableRows readRows(const QString& table);
    // The database product the source says it is ("PostgreSQL", "MySQL",
    // "Microsoft SQL Server", "SQLite", ...); empty when it does not say.
    virtual QString databaseName() const { return {}; }
};

struct ConnectOptions {
    int timeoutSeconds = 15;
};

// Opens the connection string (any of the strings the wizard builds, or any
// ODBC connection string). Throws RuntimeError with DataError::GeneralFailure
// when the source cannot be opened.
std::unique_ptr<DataConnection> openConnection(const QString& connectionString,
                                               const ConnectOptions& options = {});

} // namespace ordwick
