// The data behind the pages' ADO objects: a connection opened from the very
// connection string a page holds, commands with positional parameters, and
// their rows fetched whole or a batch at a time.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace ordwick::preview {

class SourceCopies;

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

// The rows of a statement that is still running, read a batch at a time: a
// forward-only recordset holds only the batch it stands in.
class RowStream {
public:
    virtual ~RowStream() = default;
    // The next rows, at most max of them; none at the end. error says why
    // reading stopped early.
    virtual QList<QVariantList> next(int max, QString& error) = 0;
};

class DataConnection {
public:
    virtual ~DataConnection() = default;
    virtual QueryResult execute(const QString& sql, const QList<QueryParameter>& parameters) = 0;
    // Runs a statement whose rows are read when they are wanted: head gets
    // the columns and types (or the error, or the rows a statement without a
    // result changed) and no rows. Null when there are no rows to read. The
    // stream must go before its connection does.
    virtual std::unique_ptr<RowStream>
    stream(const QString& sql, const QList<QueryParameter>& parameters, QueryResult& head) = 0;
    // "begin", "commit" or "rollback"; an error text, empty on success.
    virtual QString transaction(const QString& step) = 0;
    // Makes the connection what a newly opened one is for the next page (an
    // open transaction rolled back) and says whether it can still serve one.
    // A connection that says no is closed rather than kept.
    virtual bool readyForReuse() { return false; }
    // Stops the statement running on this connection, if any, from another
    // thread: the statement fails. Connections whose statements cannot be
    // stopped leave it running.
    virtual void interrupt() {}
};

// Reads the rest of a stream into result.rows; a failure leaves no rows and
// sets result.error.
void readAllRows(RowStream& rows, QueryResult& result);

// A stream over rows already read, taken out of result; null when result
// holds an error or no result set, as DataConnection::stream() gives it.
std::unique_ptr<RowStream> heldRows(QueryResult& result);

// The connection a connection string names: data source names and driver
// strings through unixODBC, SQLite files directly. error says why when
// nothing opens.
// Desktop files are read through the site's copies of them.
std::unique_ptr<DataConnection> openDataConnection(const QString& connectionString,
                                                   SourceCopies& copies, QString& error);

// The value of a key of a connection string ("Driver", "DSN"), braces removed.
QString connectionStringValue(const QString& connectionString, const QString& key);

} // namespace ordwick::preview
