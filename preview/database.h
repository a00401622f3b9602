// The data behind the pages' ADO objects: a connection opened from the very
// connection string a page holds, commands with positional parameters, and
// their rows fetched whole.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace ordwick::preview {

// ADO's data type numbers, as the pages and their fields use them.
namespace adotype {
constexpr int SmallInt = 2;
constexpr int Integer = 3;
constexpr int Single = 4;
constexpr int Double = 5;
constexpr int Currency = 6;
constexpr int Date = 7;
constexpr int Boolean = 11;
constexpr int TinyInt = 16;
constexpr int BigInt = 20;
constexpr int Guid = 72;
constexpr int Binary = 128;
constexpr int Char = 129;
constexpr int WChar = 130;
constexpr int Numeric = 131;
constexpr int DbDate = 133;
constexpr int DbTime = 134;
constexpr int DbTimeStamp = 135;
constexpr int VarChar = 200;
constexpr int LongVarChar = 201;
constexpr int VarWChar = 202;
constexpr int LongVarWChar = 203;
constexpr int VarBinary = 204;
constexpr int LongVarBinary = 205;
} // namespace adotype

struct QueryParameter {
    int type = adotype::VarWChar;
    QVariant value; // null for SQL NULL
};

struct QueryResult {
    QStringList columns;
    QList<int> types; // ADO type of each column
    QList<QVariantList> rows;
    qint64 affected = -1;
    QString error; // the driver's message when the statement failed
};

class DataConnection {
public:
    virtual ~DataConnection() = default;
    virtual QueryResult execute(const QString& sql, const QList<QueryParameter>& parameters) = 0;
    // "begin", "commit" or "rollback"; an error text, empty on success.
    virtual QString transaction(const QString& step) = 0;
};

// The connection a connection string names: data source names and driver
// strings through unixODBC, SQLite files directly. error says why when
// nothing opens.
std::unique_ptr<DataConnection> openDataConnection(const QString& connectionString, QString& error);

// The value of a key of a connection string ("Driver", "DSN"), braces removed.
QString connectionStringValue(const QString& connectionString, const QString& key);

} // namespace ordwick::preview
