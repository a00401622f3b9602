#include "datasource/connections.h"
#include "datasource/connectionstring.h"
#include "foundation/runtimeerror.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <map>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

namespace ordwick {

namespace {

// unixODBC's wide characters are UTF-16 code units, the same as QString's, so
// names cross the driver manager without any conversion (and without the
// driver manager guessing at a narrow character set).
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

SQLWCHAR* wide(const QString& text) {
    // The ODBC prototypes take non-const pointers for input strings they never change.
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

struct Diagnostics {
    QStringList states;
    QStringList messages;

    bool hasState(const char* state) const { return states.contains(QLatin1String(state)); }
    QString text(const QString& fallback) const {
        return messages.isEmpty() ? fallback : messages.join(QLatin1Char('\n'));
    }
};

Diagnostics diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle) {
    Diagnostics result;
    if (handle == SQL_NULL_HANDLE)
        return result;
    for (SQLSMALLINT record = 1; record < 100; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, message.data(),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<std::size_t>(length) + 1);
            rc = SQLGetDiagRecW(type, handle, record, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        length = std::clamp<SQLSMALLINT>(length, 0, static_cast<SQLSMALLINT>(message.size() - 1));
        result.states.append(fromWide(state, 5));
        result.messages.append(fromWide(message.data(), length).trimmed());
    }
    return result;
}

// One ODBC handle, freed on every way out. Freeing a connection handle that is
// still connected fails, so the connection disconnects first. A statement is
// closed first: PostgreSQL's driver keeps the description of a statement that
// was prepared and described but never run, and frees it only on closing.
template <SQLSMALLINT Type> class Handle {
public:
    Handle() = default;
    ~Handle() {
        if (m_handle == SQL_NULL_HANDLE)
            return;
        if constexpr (Type == SQL_HANDLE_DBC) {
            if (m_connected)
                SQLDisconnect(m_handle);
        }
        if constexpr (Type == SQL_HANDLE_STMT)
            SQLFreeStmt(m_handle, SQL_CLOSE);
        SQLFreeHandle(Type, m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLRETURN allocate(SQLHANDLE parent) { return SQLAllocHandle(Type, parent, &m_handle); }
    SQLHANDLE get() const { return m_handle; }
    void setConnected() { m_connected = true; }

    // Throws RuntimeError(number) with the handle's diagnostics unless `rc` succeeded.
    void check(SQLRETURN rc, int number, const QString& what) const {
        if (SQL_SUCCEEDED(rc))
            return;
        const Diagnostics diagnostics = diagnosticsOf(Type, m_handle);
        throw RuntimeError(
            number,
            diagnostics.text(QStringLiteral("%1 failed (ODBC return code %2).").arg(what).arg(rc)));
    }
    Diagnostics diagnostics() const { return diagnosticsOf(Type, m_handle); }

private:
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
    bool m_connected = false;
};

using Environment = Handle<SQL_HANDLE_ENV>;
using Connection = Handle<SQL_HANDLE_DBC>;

// A statement on the connection that reads one catalog result row by row.
// `narrow` is the connection's knowledge that its driver delivers text only in
// bytes (drivers without Unicode support refuse SQL_C_WCHAR).
class Statement : public Handle<SQL_HANDLE_STMT> {
public:
    Statement(const Connection& connection, bool& narrow) : m_narrow(narrow) {
        connection.check(allocate(connection.get()), DataError::GeneralFailure,
                         QStringLiteral("Allocating a statement"));
    }

    void check(SQLRETURN rc, const char* what) const {
        Handle::check(rc, DataError::GeneralFailure, QLatin1String(what));
    }

    bool fetch() {
        const SQLRETURN rc = SQLFetch(get());
        if (rc == SQL_NO_DATA)
            return false;
        check(rc, "Reading the catalog");
        return true;
    }

    // Columns must be read in increasing order: drivers need not allow going back.
    std::optional<QString> text(SQLUSMALLINT column) {
        SQLLEN indicator = 0;
        if (!m_narrow) {
            const SQLRETURN rc =
                SQLGetData(get(), column, SQL_C_WCHAR, m_wide, sizeof m_wide, &indicator);
            if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
                return wideText(column, rc, indicator);
            // Nothing was read, so the same value can be asked for as bytes.
            const SQLRETURN narrowRc = narrowPart(column, indicator);
            if (!SQL_SUCCEEDED(narrowRc) && narrowRc != SQL_NO_DATA)
                check(rc, "Reading a catalog value");
            m_narrow = true;
            return narrowText(column, narrowRc, indicator);
        }
        const SQLRETURN rc = narrowPart(column, indicator);
        return narrowText(column, rc, indicator);
    }

    std::optional<qint64> integer(SQLUSMALLINT column) {
        SQLBIGINT value = 0;
        SQLLEN indicator = 0;
        check(SQLGetData(get(), column, SQL_C_SBIGINT, &value, sizeof value, &indicator),
              "Reading a catalog value");
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        return static_cast<qint64>(value);
    }

private:
    static constexpr SQLLEN kCapacity = 256; // characters, the terminator included

    static SQLLEN partLength(SQLLEN indicator, SQLLEN bufferBytes, SQLLEN unit) {
        const bool whole = indicator != SQL_NO_TOTAL && indicator < bufferBytes;
        return whole ? indicator / unit : kCapacity - 1;
    }

    // Long values come in parts; SQL_SUCCESS marks the last one.
    std::optional<QString> wideText(SQLUSMALLINT column, SQLRETURN rc, SQLLEN indicator) {
        QString result;
        while (rc != SQL_NO_DATA) {
            check(rc, "Reading a catalog value");
            if (indicator == SQL_NULL_DATA)
                return std::nullopt;
            result.append(fromWide(m_wide, partLength(indicator, sizeof m_wide,
                                                      static_cast<SQLLEN>(sizeof(SQLWCHAR)))));
            if (rc == SQL_SUCCESS)
                break;
            rc = SQLGetData(get(), column, SQL_C_WCHAR, m_wide, sizeof m_wide, &indicator);
        }
        return result;
    }

    SQLRETURN narrowPart(SQLUSMALLINT column, SQLLEN& indicator) {
        return SQLGetData(get(), column, SQL_C_CHAR, m_bytes, sizeof m_bytes, &indicator);
    }

    // The bytes of a driver without Unicode support are taken as UTF-8, the
    // encoding this system uses everywhere else.
    std::optional<QString> narrowText(SQLUSMALLINT column, SQLRETURN rc, SQLLEN indicator) {
        QByteArray bytes;
        while (rc != SQL_NO_DATA) {
            check(rc, "Reading a catalog value");
            if (indicator == SQL_NULL_DATA)
                return std::nullopt;
            bytes.append(reinterpret_cast<const char*>(m_bytes),
                         partLength(indicator, sizeof m_bytes, 1));
            if (rc == SQL_SUCCESS)
                break;
            rc = narrowPart(column, indicator);
        }
        return QString::fromUtf8(bytes);
    }

    bool& m_narrow;
    SQLWCHAR m_wide[kCapacity];
    SQLCHAR m_bytes[kCapacity];
};

// Turns automatic commit off for as long as it lives and rolls back whatever
// happened meanwhile. A driver that executes a statement in order to describe
// it then still changes nothing that stays.
class RolledBack {
public:
    explicit RolledBack(const Connection& connection) : m_connection(connection) {
        m_active = SQL_SUCCEEDED(SQLSetConnectAttrW(
            m_connection.get(), SQL_ATTR_AUTOCOMMIT,
            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_OFF)),
            SQL_IS_UINTEGER));
    }
    ~RolledBack() {
        if (!m_active)
            return;
        SQLEndTran(SQL_HANDLE_DBC, m_connection.get(), SQL_ROLLBACK);
        SQLSetConnectAttrW(m_connection.get(), SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON)),
                           SQL_IS_UINTEGER);
    }
    RolledBack(const RolledBack&) = delete;
    RolledBack& operator=(const RolledBack&) = delete;

private:
    const Connection& m_connection;
    bool m_active = false;
};

struct OdbcColumnType {
    int dataType = adEmpty;
    std::optional<qint64> maxLength;
};

// What a source reports as a long text without saying how long (ADO's length
// of a long Unicode text).
constexpr qint64 kUnknownLength = 1073741823;

qint64 characterLength(const std::optional<qint64>& size) {
    return size && *size > 0 ? *size : kUnknownLength;
}

// The SQL types as the ODBC-to-ADO mapping turns them into ADO codes, except
// that every character type is one of the two fixed-length codes, because the
// program's column grid knows text only by those two; the length tells long
// text (more than 255 characters) from short. A type without an ADO code of its
// own (intervals, driver-specific types) reports adEmpty, which the grid leaves out.
OdbcColumnType odbcColumnType(int sqlType, const std::optional<qint64>& size,
                              const QString& typeName) {
    const bool isBoolName = typeName.compare(QLatin1String("bool"), Qt::CaseInsensitive) == 0 ||
                            typeName.compare(QLatin1String("boolean"), Qt::CaseInsensitive) == 0;
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        // psqlODBC shows booleans as text by default (its BoolsAsChar option);
        // the type name still says what the column holds.
        if (isBoolName)
            return {adBoolean, {}};
        break;
    default:
        break;
    }
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
        return {adChar, characterLength(size)};
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return {adWChar, characterLength(size)};
    case SQL_SMALLINT:
        return {adSmallInt, {}};
    case SQL_INTEGER:
        return {adInteger, {}};
    case SQL_TINYINT:
        return {adTinyInt, {}};
    case SQL_BIGINT:
        return {adBigInt, {}};
    case SQL_REAL:
        return {adSingle, {}};
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return {adDouble, {}};
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return {adNumeric, {}};
    case SQL_BIT:
        return {adBoolean, {}};
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return {adDBDate, {}};
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return {adDBTime, {}};
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return {adDBTimeStamp, {}};
    case SQL_BINARY:
        return {adBinary, {}};
    case SQL_VARBINARY:
        return {adVarBinary, {}};
    case SQL_LONGVARBINARY:
        return {adLongVarBinary, {}};
    case SQL_GUID:
        return {adGUID, {}};
    default:
        return {adEmpty, {}};
    }
}

QString tableType(const QString& reported) {
    if (reported.compare(QLatin1String("BASE TABLE"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TABLE");
    if (reported.compare(QLatin1String("SYSTEM VIEW"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("SYSTEM TABLE");
    return reported;
}

// Catalog functions may answer for tables of the same name in several schemas
// (or catalogs); the first one the driver lists is the one a bare name means.
class FirstOwner {
public:
    bool accepts(const std::optional<QString>& catalog, const std::optional<QString>& schema) {
        const QString owner =
            catalog.value_or(QString()) + QChar(u'\0') + schema.value_or(QString());
        if (!m_owner)
            m_owner = owner;
        return *m_owner == owner;
    }

private:
    std::optional<QString> m_owner;
};

QString profileString(const QString& section, const char* entry, const char* file) {
    char buffer[1024] = {};
    SQLGetPrivateProfileString(section.toUtf8().constData(), entry, "", buffer,
                               static_cast<int>(sizeof buffer), file);
    return QString::fromUtf8(buffer);
}

// The driver library a connection string leads to, found the way the driver
// manager finds it: the named driver, or the driver of the named data source.
QString driverLibrary(const ConnectionString& parts) {
    QString driver = parts.value(QStringLiteral("DRIVER"));
    if (driver.isEmpty()) {
        const QString dataSource = parts.value(QStringLiteral("DSN"));
        if (dataSource.isEmpty())
            return {};
        driver = profileString(dataSource, "Driver", "odbc.ini");
    }
    if (driver.isEmpty() || driver.contains(QLatin1Char('/')))
        return driver;
    const QString library = profileString(driver, "Driver64", "odbcinst.ini");
    return library.isEmpty() ? profileString(driver, "Driver", "odbcinst.ini") : library;
}

// MariaDB's driver takes no notice of SQL_ATTR_LOGIN_TIMEOUT: a server that
// accepts the connection and never answers would hold it for good. It has
// keywords of its own for the same limits; a value the user wrote stays.
QString withDriverTimeLimits(const QString& connectionString, int seconds) {
    const ConnectionString parts(connectionString);
    if (seconds <= 0 ||
        !QFileInfo(driverLibrary(parts)).fileName().contains(QLatin1String("maodbc")))
        return connectionString;
    QString result = connectionString.trimmed();
    while (result.endsWith(QLatin1Char(';')))
        result.chop(1);
    for (const char* keyword : {"CONN_TIMEOUT", "READ_TIMEOUT", "WRITE_TIMEOUT"}) {
        if (!parts.has(QLatin1String(keyword)))
            result += QStringLiteral(";%1=%2").arg(QLatin1String(keyword)).arg(seconds);
    }
    return result;
}

class OdbcSource final : public DataConnection {
public:
    OdbcSource(const QString& connectionString, const ConnectOptions& options) {
        if (!SQL_SUCCEEDED(m_environment.allocate(SQL_NULL_HANDLE)))
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("The ODBC driver manager could not be started."));
        m_environment.check(
            SQLSetEnvAttr(m_environment.get(), SQL_ATTR_ODBC_VERSION,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0),
            DataError::GeneralFailure, QStringLiteral("Choosing ODBC 3"));
        m_environment.check(m_connection.allocate(m_environment.get()), DataError::GeneralFailure,
                            QStringLiteral("Allocating a connection"));

        // Both limits, so that neither an unreachable server nor one that
        // accepts and then stays silent holds the wizard for long.
        const int seconds = std::max(options.timeoutSeconds, 0);
        for (const SQLINTEGER attribute : {SQL_ATTR_LOGIN_TIMEOUT, SQL_ATTR_CONNECTION_TIMEOUT}) {
            const SQLRETURN rc = SQLSetConnectAttrW(
                m_connection.get(), attribute,
                reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), SQL_IS_UINTEGER);
            // A driver without the feature still connects, only without the limit.
            if (!SQL_SUCCEEDED(rc) && !m_connection.diagnostics().hasState("HYC00"))
                m_connection.check(rc, DataError::GeneralFailure,
                                   QStringLiteral("Setting the connection time limits"));
        }

        const QString text = withDriverTimeLimits(connectionString, seconds);
        SQLWCHAR completed[1024];
        SQLSMALLINT completedLength = 0;
        const SQLRETURN rc =
            SQLDriverConnectW(m_connection.get(), nullptr, wide(text), SQL_NTS, completed, 1024,
                              &completedLength, SQL_DRIVER_NOPROMPT);
        m_connection.check(rc, DataError::GeneralFailure, QStringLiteral("Connecting"));
        m_connection.setConnected();

        m_escape = info(SQL_SEARCH_PATTERN_ESCAPE);
        // Drivers of servers with several databases (MariaDB) list the tables of
        // all of them for an empty catalog; the wizard means the one connected to.
        if (info(SQL_CATALOG_NAME) == QLatin1String("Y"))
            m_catalog = currentCatalog();
    }

    QString databaseName() const override { return info(SQL_DBMS_NAME); }

    std::vector<TableInfo> tables() override {
        Statement statement(m_connection, m_narrow);
        const QString types = QStringLiteral("TABLE,VIEW,SYSTEM TABLE");
        const QString all = QStringLiteral("%");
        statement.check(SQLTablesW(statement.get(), catalog(), catalogLength(), nullptr, 0,
                                   wide(all), SQL_NTS, wide(types), SQL_NTS),
                        "Listing the tables");
        std::vector<TableInfo> result;
        while (statement.fetch()) {
            const std::optional<QString> tableCatalog = statement.text(1);
            statement.text(2);
            const QString name = statement.text(3).value_or(QString());
            const QString type = statement.text(4).value_or(QString());
            // The catalog argument may be taken as a pattern ("_" matching any letter).
            if (!m_catalog.isEmpty() && tableCatalog && !tableCatalog->isEmpty() &&
                *tableCatalog != m_catalog)
                continue;
            result.push_back({name, tableType(type)});
        }
        return result;
    }

    std::vector<ColumnInfo> columns(const QString& table) override {
        Statement statement(m_connection, m_narrow);
        const QString pattern = escapedPattern(table);
        statement.check(SQLColumnsW(statement.get(), catalog(), catalogLength(), nullptr, 0,
                                    wide(pattern), SQL_NTS, nullptr, 0),
                        "Reading the columns");
        struct Row {
            ColumnInfo column;
            qint64 ordinal = 0;
        };
        std::vector<Row> exact;
        std::vector<Row> caseless;
        FirstOwner exactOwner;
        FirstOwner caselessOwner;
        while (statement.fetch()) {
            const std::optional<QString> tableCatalog = statement.text(1);
            const std::optional<QString> schema = statement.text(2);
            const QString tableName = statement.text(3).value_or(QString());
            const QString name = statement.text(4).value_or(QString());
            const auto sqlType = static_cast<int>(statement.integer(5).value_or(0));
            const QString typeName = statement.text(6).value_or(QString());
            const std::optional<qint64> size = statement.integer(7);
            const qint64 ordinal = statement.integer(17).value_or(0);
            const OdbcColumnType type = odbcColumnType(sqlType, size, typeName);
            // A pattern can match more than the one table asked for (drivers
            // that do not escape, or schemas that repeat the name).
            if (tableName == table) {
                if (exactOwner.accepts(tableCatalog, schema))
                    exact.push_back({{name, type.dataType, type.maxLength}, ordinal});
            } else if (tableName.compare(table, Qt::CaseInsensitive) == 0) {
                if (caselessOwner.accepts(tableCatalog, schema))
                    caseless.push_back({{name, type.dataType, type.maxLength}, ordinal});
            }
        }
        std::vector<Row>& rows = exact.empty() ? caseless : exact;
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Row& a, const Row& b) { return a.ordinal < b.ordinal; });
        std::vector<ColumnInfo> result;
        result.reserve(rows.size());
        for (Row& row : rows)
            result.push_back(std::move(row.column));
        return result;
    }

    std::vector<KeyColumn> primaryKeys(const QString& table) override {
        if (!table.isEmpty())
            return keysOf(table);
        std::vector<KeyColumn> result;
        for (const TableInfo& info : tables()) {
            if (info.type != QLatin1String("TABLE"))
                continue;
            std::vector<KeyColumn> keys = keysOf(info.name);
            result.insert(result.end(), std::make_move_iterator(keys.begin()),
                          std::make_move_iterator(keys.end()));
        }
        return result;
    }

    void checkQuery(const QString& sql) override {
        const RolledBack transaction(m_connection);
        Statement statement(m_connection, m_narrow);
        SQLSMALLINT columnCount = 0;
        SQLRETURN rc = SQLPrepareW(statement.get(), wide(sql), SQL_NTS);
        // Preparing may be done entirely by the driver; describing the result
        // makes the server look at the statement.
        if (SQL_SUCCEEDED(rc))
            rc = SQLNumResultCols(statement.get(), &columnCount);
        if (!SQL_SUCCEEDED(rc)) {
            const Diagnostics diagnostics = statement.diagnostics();
            // An unknown column (ODBC's and PostgreSQL's word for it), or a name
            // the driver took for a parameter without a value.
            const bool unknownName = diagnostics.hasState("42S22") ||
                                     diagnostics.hasState("42703") || diagnostics.hasState("07002");
            throw RuntimeError(unknownName ? DataError::ParameterNotOptional
                                           : DataError::ErrorsInCommand,
                               diagnostics.text(QStringLiteral("The query is not valid.")));
        }
        // Only a statement with a result can be the rows of the application;
        // drivers that cannot prepare other statements on the server (MariaDB's)
        // also accept misspelt ones this way.
        if (columnCount <= 0)
            throw RuntimeError(DataError::ErrorsInCommand,
                               QStringLiteral("The statement returns no rows."));
    }

private:
    QString info(SQLUSMALLINT type) const {
        SQLWCHAR value[64] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetInfoW(m_connection.get(), type, value, sizeof value, &length)))
            return {};
        return fromWide(value, std::clamp<SQLSMALLINT>(length, 0, sizeof value - 2) / 2);
    }

    QString currentCatalog() const {
        SQLWCHAR value[256] = {};
        SQLINTEGER length = 0;
        if (!SQL_SUCCEEDED(SQLGetConnectAttrW(m_connection.get(), SQL_ATTR_CURRENT_CATALOG, value,
                                              sizeof value, &length)))
            return {};
        return fromWide(value, std::clamp<SQLINTEGER>(length, 0, sizeof value - 2) / 2);
    }

    SQLWCHAR* catalog() const { return m_catalog.isEmpty() ? nullptr : wide(m_catalog); }
    SQLSMALLINT catalogLength() const { return m_catalog.isEmpty() ? 0 : SQL_NTS; }

    QString escapedPattern(const QString& name) const {
        if (m_escape.isEmpty())
            return name;
        QString result;
        result.reserve(name.size() * 2);
        for (const QChar c : name) {
            if (c == u'_' || c == u'%' || m_escape.contains(c))
                result.append(m_escape);
            result.append(c);
        }
        return result;
    }

    std::vector<KeyColumn> keysOf(const QString& table) {
        struct Row {
            KeyColumn column;
            qint64 sequence = 0;
        };
        std::vector<Row> rows;
        QString keyName;
        {
            Statement statement(m_connection, m_narrow);
            statement.check(SQLPrimaryKeysW(statement.get(), catalog(), catalogLength(), nullptr, 0,
                                            wide(table), SQL_NTS),
                            "Reading the primary key");
            FirstOwner owner;
            while (statement.fetch()) {
                const std::optional<QString> tableCatalog = statement.text(1);
                const std::optional<QString> schema = statement.text(2);
                const QString tableName = statement.text(3).value_or(QString());
                const QString column = statement.text(4).value_or(QString());
                const qint64 sequence = statement.integer(5).value_or(0);
                const QString name = statement.text(6).value_or(QString());
                if (!owner.accepts(tableCatalog, schema))
                    continue;
                rows.push_back({{tableName, column}, sequence});
                keyName = name;
            }
        }
        // MariaDB's driver gives the columns' places in the table as their key
        // sequence. The key's own index knows the true order, so a key of
        // several columns takes it from there when the driver lists that index.
        const std::map<QString, qint64> indexOrder =
            rows.size() > 1 ? indexColumnOrder(table, keyName) : std::map<QString, qint64>();
        const bool sameColumns = indexOrder.size() == rows.size() &&
                                 std::all_of(rows.begin(), rows.end(), [&](const Row& row) {
                                     return indexOrder.count(row.column.column) == 1;
                                 });
        if (sameColumns) {
            for (Row& row : rows)
                row.sequence = indexOrder.at(row.column.column);
        }
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Row& a, const Row& b) { return a.sequence < b.sequence; });
        std::vector<KeyColumn> result;
        result.reserve(rows.size());
        for (Row& row : rows)
            result.push_back(std::move(row.column));
        return result;
    }

    // Column name to position in the unique index `index` of `table`.
    std::map<QString, qint64> indexColumnOrder(const QString& table, const QString& index) {
        std::map<QString, qint64> order;
        if (index.isEmpty())
            return order;
        Statement statement(m_connection, m_narrow);
        const SQLRETURN rc = SQLStatisticsW(statement.get(), catalog(), catalogLength(), nullptr, 0,
                                            wide(table), SQL_NTS, SQL_INDEX_UNIQUE, SQL_QUICK);
        // Without index information the driver's own sequence stands.
        if (!SQL_SUCCEEDED(rc))
            return order;
        FirstOwner owner;
        while (statement.fetch()) {
            const std::optional<QString> tableCatalog = statement.text(1);
            const std::optional<QString> schema = statement.text(2);
            statement.text(3);
            statement.integer(4);
            statement.text(5);
            const std::optional<QString> indexName = statement.text(6);
            statement.integer(7);
            const std::optional<qint64> position = statement.integer(8);
            const std::optional<QString> column = statement.text(9);
            if (owner.accepts(tableCatalog, schema) && indexName == index && position && column)
                order[*column] = *position;
        }
        return order;
    }

    // Declared in this order so that the connection goes before its environment.
    Environment m_environment;
    Connection m_connection;
    QString m_escape;
    QString m_catalog;
    bool m_narrow = false;
};

} // namespace

std::unique_ptr<DataConnection> openOdbc(const QString& connectionString,
                                         const ConnectOptions& options) {
    return std::make_unique<OdbcSource>(connectionString, options);
}

} // namespace ordwick
