#include "preview/odbcconnection.h"

#include <QDateTime>
#include <memory>
#include <sqlext.h>
#include <sqlucode.h>
#include <variant>
#include <vector>

namespace ordwick::preview {

namespace {

QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// The driver's messages for a handle, as ADO shows them.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    QStringList messages;
    for (SQLSMALLINT record = 1; record < 10; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, message,
                                            static_cast<SQLSMALLINT>(std::size(message)), &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        messages.append(fromWide(message, qMin<qsizetype>(length, std::size(message) - 1)));
    }
    return messages.isEmpty() ? QStringLiteral("The ODBC driver reported an error.")
                              : messages.join(QLatin1Char(' '));
}

int adoTypeOf(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_BIT:
        return adotype::Boolean;
    case SQL_TINYINT:
        return adotype::TinyInt;
    case SQL_SMALLINT:
        return adotype::SmallInt;
    case SQL_INTEGER:
        return adotype::Integer;
    case SQL_BIGINT:
        return adotype::BigInt;
    case SQL_REAL:
        return adotype::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return adotype::Double;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return adotype::Numeric;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return adotype::DbDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return adotype::DbTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return adotype::DbTimeStamp;
    case SQL_GUID:
        return adotype::Guid;
    case SQL_BINARY:
        return adotype::Binary;
    case SQL_VARBINARY:
        return adotype::VarBinary;
    case SQL_LONGVARBINARY:
        return adotype::LongVarBinary;
    case SQL_CHAR:
    case SQL_WCHAR:
        return adotype::WChar;
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
        return adotype::LongVarWChar;
    default:
        return adotype::VarWChar;
    }
}

// Statement handle freed however execute() ends, known to the connection's
// live statements while it is open.
class Statement {
public:
    Statement(SQLHDBC connection, LiveStatements& live) : m_live(live) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle)))
            m_handle = SQL_NULL_HSTMT;
        else
            m_live.add(m_handle);
    }
    ~Statement() {
        if (m_handle == SQL_NULL_HSTMT)
            return;
        m_live.remove(m_handle);
        // Closed first, as PostgreSQL's driver frees a described statement's
        // result only on closing.
        SQLFreeStmt(m_handle, SQL_CLOSE);
        SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT handle() const { return m_handle; }

private:
    LiveStatements& m_live;
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

// A parameter's value in the C type it is bound as; alive until the statement ran.
struct BoundValue {
    std::u16string text;
    QByteArray bytes;
    SQLBIGINT integer = 0;
    double real = 0;
    unsigned char bit = 0;
    SQL_TIMESTAMP_STRUCT timestamp{};
    SQLLEN indicator = 0;
};

SQLRETURN bind(SQLHSTMT statement, SQLUSMALLINT index, const QueryParameter& parameter,
               BoundValue& bound) {
    const QVariant& value = parameter.value;
    const bool null = value.isNull() || !value.isValid();
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLPOINTER data = nullptr;
    SQLLEN capacity = 0;
    switch (parameter.type) {
    case adotype::Boolean:
        cType = SQL_C_BIT;
        sqlType = SQL_BIT;
        bound.bit = !null && value.toBool() ? 1 : 0;
        data = &bound.bit;
        break;
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::TinyInt:
        cType = SQL_C_SBIGINT;
        sqlType = SQL_INTEGER;
        bound.integer = null ? 0 : static_cast<SQLBIGINT>(value.toDouble());
        data = &bound.integer;
        break;
    case adotype::BigInt:
        cType = SQL_C_SBIGINT;
        sqlType = SQL_BIGINT;
        bound.integer = null ? 0 : static_cast<SQLBIGINT>(value.toDouble());
        data = &bound.integer;
        break;
    case adotype::Single:
    case adotype::Double:
        cType = SQL_C_DOUBLE;
        sqlType = SQL_DOUBLE;
        bound.real = null ? 0 : value.toDouble();
        data = &bound.real;
        break;
    case adotype::Currency:
    case adotype::Numeric: {
        // As text: exact, and every driver converts it to its decimal type.
        cType = SQL_C_WCHAR;
        sqlType = SQL_NUMERIC;
        size = 28;
        digits = 4;
        bound.text =
            null ? std::u16string() : QString::number(value.toDouble(), 'f', 4).toStdU16String();
        data = bound.text.data();
        capacity = static_cast<SQLLEN>(bound.text.size() * sizeof(char16_t));
        break;
    }
    case adotype::Date:
    case adotype::DbDate:
    case adotype::DbTime:
    case adotype::DbTimeStamp:
        if (null || value.metaType().id() == QMetaType::QDateTime) {
            cType = SQL_C_TYPE_TIMESTAMP;
            sqlType = SQL_TYPE_TIMESTAMP;
            size = 19;
            if (!null) {
                const QDateTime when = value.toDateTime().toLocalTime();
                bound.timestamp.year = static_cast<SQLSMALLINT>(when.date().year());
                bound.timestamp.month = static_cast<SQLUSMALLINT>(when.date().month());
                bound.timestamp.day = static_cast<SQLUSMALLINT>(when.date().day());
                bound.timestamp.hour = static_cast<SQLUSMALLINT>(when.time().hour());
                bound.timestamp.minute = static_cast<SQLUSMALLINT>(when.time().minute());
                bound.timestamp.second = static_cast<SQLUSMALLINT>(when.time().second());
            }
            data = &bound.timestamp;
            break;
        }
        [[fallthrough]];
    default: {
        const bool longText =
            parameter.type == adotype::LongVarWChar || parameter.type == adotype::LongVarChar;
        if (parameter.type == adotype::Binary || parameter.type == adotype::VarBinary ||
            parameter.type == adotype::LongVarBinary) {
            cType = SQL_C_BINARY;
            sqlType = SQL_LONGVARBINARY;
            bound.bytes = value.toByteArray();
            data = bound.bytes.data();
            capacity = bound.bytes.size();
            size = static_cast<SQLULEN>(qMax<qsizetype>(1, bound.bytes.size()));
            break;
        }
        bound.text = null ? std::u16string() : value.toString().toStdU16String();
        sqlType = longText ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        data = bound.text.data();
        capacity = static_cast<SQLLEN>(bound.text.size() * sizeof(char16_t));
        size = static_cast<SQLULEN>(qMax<std::size_t>(1, bound.text.size()));
        break;
    }
    }
    bound.indicator =
        null ? SQL_NULL_DATA
             : (capacity > 0 || cType == SQL_C_WCHAR || cType == SQL_C_BINARY ? capacity : 0);
    return SQLBindParameter(statement, index, SQL_PARAM_INPUT, cType, sqlType, size, digits, data,
                            capacity, &bound.indicator);
}

QVariant fetchValue(SQLHSTMT statement, SQLUSMALLINT column, int adoType, bool& ok) {
    SQLLEN indicator = 0;
    ok = true;
    switch (adoType) {
    case adotype::Boolean: {
        unsigned char bit = 0;
        ok = SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_BIT, &bit, sizeof bit, &indicator));
        return indicator == SQL_NULL_DATA ? QVariant::fromValue(nullptr) : QVariant(bit != 0);
    }
    case adotype::TinyInt:
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::BigInt: {
        SQLBIGINT number = 0;
        ok = SQL_SUCCEEDED(
            SQLGetData(statement, column, SQL_C_SBIGINT, &number, sizeof number, &indicator));
        if (indicator == SQL_NULL_DATA)
            return QVariant::fromValue(nullptr);
        if (number >= INT_MIN && number <= INT_MAX)
            return static_cast<int>(number);
        return static_cast<double>(number);
    }
    case adotype::Single:
    case adotype::Double:
    case adotype::Numeric:
    case adotype::Currency: {
        double number = 0;
        ok = SQL_SUCCEEDED(
            SQLGetData(statement, column, SQL_C_DOUBLE, &number, sizeof number, &indicator));
        return indicator == SQL_NULL_DATA ? QVariant::fromValue(nullptr) : QVariant(number);
    }
    case adotype::DbDate:
    case adotype::DbTime:
    case adotype::DbTimeStamp: {
        SQL_TIMESTAMP_STRUCT ts{};
        ok = SQL_SUCCEEDED(
            SQLGetData(statement, column, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator));
        if (indicator == SQL_NULL_DATA)
            return QVariant::fromValue(nullptr);
        QDate day(ts.year, ts.month, ts.day);
        if (adoType == adotype::DbTime || !day.isValid())
            day = QDate(1899, 12, 30);
        return QDateTime(
            day, QTime(ts.hour, ts.minute, ts.second, static_cast<int>(ts.fraction / 1000000)));
    }
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::LongVarBinary: {
        QByteArray bytes;
        char chunk[4096];
        for (;;) {
            const SQLRETURN rc =
                SQLGetData(statement, column, SQL_C_BINARY, chunk, sizeof chunk, &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc)) {
                ok = false;
                break;
            }
            if (indicator == SQL_NULL_DATA)
                return QVariant::fromValue(nullptr);
            const qsizetype got = indicator == SQL_NO_TOTAL || indicator > SQLLEN(sizeof chunk)
                                      ? qsizetype(sizeof chunk)
                                      : qsizetype(indicator);
            bytes.append(chunk, got);
            if (rc == SQL_SUCCESS)
                break;
        }
        return bytes;
    }
    default: {
        QString text;
        SQLWCHAR chunk[2048];
        for (;;) {
            const SQLRETURN rc =
                SQLGetData(statement, column, SQL_C_WCHAR, chunk, sizeof chunk, &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc)) {
                ok = false;
                break;
            }
            if (indicator == SQL_NULL_DATA)
                return QVariant::fromValue(nullptr);
            const qsizetype capacity = qsizetype(std::size(chunk)) - 1;
            const qsizetype got =
                indicator == SQL_NO_TOTAL ? capacity : qMin<qsizetype>(capacity, indicator / 2);
            text += fromWide(chunk, got);
            if (rc == SQL_SUCCESS)
                break;
        }
        return text;
    }
    }
}

} // namespace

std::unique_ptr<DataConnection> OdbcConnection::open(const QString& connectionString,
                                                     QString& error) {
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
        error = QStringLiteral("The ODBC driver manager could not be started.");
        return nullptr;
    }
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);
    SQLHDBC connection = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection);
    SQLSetConnectAttr(connection, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
    std::u16string text = connectionString.toStdU16String();
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(
        connection, nullptr, reinterpret_cast<SQLWCHAR*>(text.data()),
        static_cast<SQLSMALLINT>(text.size()), out, static_cast<SQLSMALLINT>(std::size(out)),
        &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        error = diagnostics(SQL_HANDLE_DBC, connection);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        SQLFreeHandle(SQL_HANDLE_ENV, environment);
        return nullptr;
    }
    return std::unique_ptr<DataConnection>(new OdbcConnection(environment, connection));
}

OdbcConnection::~OdbcConnection() {
    SQLDisconnect(m_connection);
    SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
    SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
}

namespace {

// The rows of an executed statement, fetched as they are asked for.
class OdbcRowStream final : public RowStream {
public:
    OdbcRowStream(std::unique_ptr<Statement> statement, QList<int> types)
        : m_statement(std::move(statement)), m_types(std::move(types)) {}

    QList<QVariantList> next(int max, QString& error) override {
        QList<QVariantList> rows;
        const SQLHSTMT handle = m_statement->handle();
        while (!m_done && rows.size() < max) {
            const SQLRETURN rc = SQLFetch(handle);
            if (!SQL_SUCCEEDED(rc)) {
                m_done = true;
                if (rc != SQL_NO_DATA)
                    error = diagnostics(SQL_HANDLE_STMT, handle);
                break;
            }
            QVariantList row;
            row.reserve(m_types.size());
            for (qsizetype c = 0; c < m_types.size(); ++c) {
                bool ok = true;
                row.append(fetchValue(handle, static_cast<SQLUSMALLINT>(c + 1), m_types.at(c), ok));
                if (!ok) {
                    m_done = true;
                    error = diagnostics(SQL_HANDLE_STMT, handle);
                    return rows;
                }
            }
            rows.append(std::move(row));
        }
        return rows;
    }

private:
    std::unique_ptr<Statement> m_statement;
    const QList<int> m_types;
    bool m_done = false;
};

} // namespace

std::unique_ptr<RowStream> OdbcConnection::stream(const QString& sql,
                                                  const QList<QueryParameter>& parameters,
                                                  QueryResult& head) {
    auto statement = std::make_unique<Statement>(m_connection, m_live);
    if (statement->handle() == SQL_NULL_HSTMT) {
        head.error = diagnostics(SQL_HANDLE_DBC, m_connection);
        return nullptr;
    }
    std::u16string text = sql.toStdU16String();
    SQLRETURN rc = SQLPrepareW(statement->handle(), reinterpret_cast<SQLWCHAR*>(text.data()),
                               static_cast<SQLINTEGER>(text.size()));
    if (!SQL_SUCCEEDED(rc)) {
        head.error = diagnostics(SQL_HANDLE_STMT, statement->handle());
        return nullptr;
    }
    std::vector<BoundValue> bound(static_cast<std::size_t>(parameters.size()));
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        rc = bind(statement->handle(), static_cast<SQLUSMALLINT>(i + 1), parameters.at(i),
                  bound[static_cast<std::size_t>(i)]);
        if (!SQL_SUCCEEDED(rc)) {
            head.error = diagnostics(SQL_HANDLE_STMT, statement->handle());
            return nullptr;
        }
    }
    rc = SQLExecute(statement->handle());
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        head.error = diagnostics(SQL_HANDLE_STMT, statement->handle());
        return nullptr;
    }
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement->handle(), &columns);
    if (columns == 0) {
        SQLLEN affected = 0;
        SQLRowCount(statement->handle(), &affected);
        head.affected = affected;
        return nullptr;
    }
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        SQLDescribeColW(statement->handle(), c, name, static_cast<SQLSMALLINT>(std::size(name)),
                        &nameLength, &type, &size, &digits, &nullable);
        head.columns.append(fromWide(name, qMin<qsizetype>(nameLength, std::size(name) - 1)));
        head.types.append(adoTypeOf(type));
    }
    return std::make_unique<OdbcRowStream>(std::move(statement), head.types);
}

void LiveStatements::add(SQLHSTMT statement) {
    const std::lock_guard lock(m_mutex);
    m_statements.insert(statement);
}

void LiveStatements::remove(SQLHSTMT statement) {
    const std::lock_guard lock(m_mutex);
    m_statements.erase(statement);
}

void LiveStatements::cancelAll() {
    const std::lock_guard lock(m_mutex);
    for (const SQLHSTMT statement : m_statements)
        SQLCancel(statement);
}

void OdbcConnection::interrupt() {
    m_live.cancelAll();
}

QueryResult OdbcConnection::execute(const QString& sql, const QList<QueryParameter>& parameters) {
    QueryResult result;
    const std::unique_ptr<RowStream> rows = stream(sql, parameters, result);
    if (!rows)
        return result;
    readAllRows(*rows, result);
    return result;
}

QString OdbcConnection::transaction(const QString& step) {
    if (step == QLatin1String("begin")) {
        const SQLRETURN rc = SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
                                               reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
        m_inTransaction = m_inTransaction || SQL_SUCCEEDED(rc);
        return SQL_SUCCEEDED(rc) ? QString() : diagnostics(SQL_HANDLE_DBC, m_connection);
    }
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_connection,
                                    step == QLatin1String("commit") ? SQL_COMMIT : SQL_ROLLBACK);
    // Back in autocommit even when the end failed, as ADO leaves it; a failed
    // end keeps the connection from serving another page.
    const QString error = SQL_SUCCEEDED(rc) ? QString() : diagnostics(SQL_HANDLE_DBC, m_connection);
    const SQLRETURN reset = SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
                                              reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    m_inTransaction = !SQL_SUCCEEDED(rc) || !SQL_SUCCEEDED(reset);
    return error;
}

bool OdbcConnection::readyForReuse() {
    if (m_inTransaction)
        transaction(QStringLiteral("rollback"));
    if (m_inTransaction)
        return false;
    // Drivers that cannot tell answer with an error; they are taken at their word.
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc =
        SQLGetConnectAttr(m_connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return !SQL_SUCCEEDED(rc) || dead == SQL_CD_FALSE;
}

} // namespace ordwick::preview
