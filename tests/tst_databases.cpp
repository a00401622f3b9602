#include "datasource/connectionbuilder.h"
#include "datasource/connections.h"
#include "datasource/dataconnection.h"
#include "foundation/runtimeerror.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <optional>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace ordwick;
using ordwick::test::TestEnvironment;

namespace {

const QString kSample = QStringLiteral(ORDWICK_SAMPLE_DATABASE);

template <typename Action> std::optional<RuntimeError> failureOf(Action&& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    return std::nullopt;
}

// "name code" or "name code (length)"; lengths of a thousand and more are all
// just long text, whatever size the source gives it.
QStringList describe(const std::vector<ColumnInfo>& columns) {
    QStringList result;
    for (const ColumnInfo& column : columns) {
        QString line = column.name + QLatin1Char(' ') + QString::number(column.dataType);
        if (column.maxLength)
            line += *column.maxLength >= 1000 ? QStringLiteral(" long")
                                              : QStringLiteral(" (%1)").arg(*column.maxLength);
        result.append(line);
    }
    return result;
}

QStringList describe(const std::vector<TableInfo>& tables) {
    QStringList result;
    for (const TableInfo& table : tables)
        result.append(table.name + QStringLiteral(" [") + table.type + QLatin1Char(']'));
    return result;
}

QStringList describe(const std::vector<KeyColumn>& keys) {
    QStringList result;
    for (const KeyColumn& key : keys)
        result.append(key.table + QLatin1Char('.') + key.column);
    return result;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes an SQLite database the way any other program would.
QString writeDatabase(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const QString error = rc == SQLITE_OK ? QString() : QString::fromUtf8(message);
    sqlite3_free(message);
    sqlite3_close(db);
    return error;
}

// --- The test servers -------------------------------------------------------

enum class Dialect { PostgreSQL, MariaDB };

bool servicesStarted() {
    return qEnvironmentVariableIsSet("TESSALINE_TEST_SERVICES");
}

QString serviceValue(const char* name) {
    return qEnvironmentVariable(name);
}

// A connection string of the test services with the test user's login.
QString withLogin(const QString& connection, const QString& password = {}) {
    return connection +
           QStringLiteral(";UID=%1;PWD=%2")
               .arg(serviceValue("TESSALINE_TEST_USER"),
                    password.isEmpty() ? serviceValue("TESSALINE_TEST_PASSWORD") : password);
}

QString withPort(const QString& driverConnection, quint16 port) {
    QString result = driverConnection;
    result.replace(QRegularExpression(QStringLiteral("PORT=\\d+")),
                   QStringLiteral("PORT=%1").arg(port));
    return result;
}

#define REQUIRE_SERVICES()                                                                         \
    do {                                                                                           \
        if (!servicesStarted())                                                                    \
            QSKIP("No test database servers: run scripts/test.sh, or eval the output of "          \
                  "`scripts/test-services.sh start` before ctest.");                               \
    } while (false)

// Setting up tables through the driver manager directly, as another program would.
class SqlSession {
public:
    explicit SqlSession(const QString& connection) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_environment);
        SQLSetEnvAttr(m_environment, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_environment, &m_connection);
        QByteArray text = connection.toUtf8();
        const SQLRETURN rc =
            SQLDriverConnect(m_connection, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                             SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (SQL_SUCCEEDED(rc))
            m_connected = true;
        else
            m_error = diagnostics(SQL_HANDLE_DBC, m_connection);
    }
    ~SqlSession() {
        if (m_connected)
            SQLDisconnect(m_connection);
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
        SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
    }
    SqlSession(const SqlSession&) = delete;
    SqlSession& operator=(const SqlSession&) = delete;

    const QString& connectError() const { return m_error; }

    // The driver's complaint, or the empty text when every statement ran.
    QString run(const QStringList& statements) {
        for (const QString& sql : statements) {
            const QString error = execute(sql, nullptr);
            if (!error.isEmpty())
                return sql + QStringLiteral(": ") + error;
        }
        return {};
    }

    qint64 count(const QString& table) {
        qint64 value = -1;
        const QString error = execute(QStringLiteral("SELECT COUNT(*) FROM ") + table, &value);
        return error.isEmpty() ? value : -1;
    }

private:
    static QString diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
        SQLCHAR state[6] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
        return QString::fromUtf8(reinterpret_cast<const char*>(message));
    }

    QString execute(const QString& sql, qint64* firstValue) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &statement);
        QByteArray text = sql.toUtf8();
        SQLRETURN rc = SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        QString error;
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            error = diagnostics(SQL_HANDLE_STMT, statement);
        } else if (firstValue) {
            SQLBIGINT value = 0;
            SQLLEN indicator = 0;
            rc = SQLFetch(statement);
            if (SQL_SUCCEEDED(rc))
                rc = SQLGetData(statement, 1, SQL_C_SBIGINT, &value, sizeof value, &indicator);
            if (SQL_SUCCEEDED(rc))
                *firstValue = value;
            else
                error = QStringLiteral("no value");
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return error;
    }

    SQLHENV m_environment = SQL_NULL_HENV;
    SQLHDBC m_connection = SQL_NULL_HDBC;
    bool m_connected = false;
    QString m_error;
};

// A port on 127.0.0.1 that nothing listens on.
quint16 closedPort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

// A server that takes connections and then never says a word.
class SilentServer {
public:
    SilentServer() {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 8);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(m_socket); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    quint16 port() const { return m_port; }

private:
    int m_socket = -1;
    quint16 m_port = 0;
};

} // namespace

// Opens a connection of the test services, failing the test with the driver's
// words when the servers the environment announces do not answer.
#define OPEN_SERVER(variable, connection)                                                          \
    std::unique_ptr<DataConnection> variable;                                                      \
    do {                                                                                           \
        try {                                                                                      \
            variable = openConnection(connection);                                                 \
        } catch (const RuntimeError& error) {                                                      \
            QFAIL(qPrintable(QStringLiteral("The test services are said to be running, but %1 "    \
                                            "does not answer: %2")                                 \
                                 .arg(connection, error.description())));                          \
        }                                                                                          \
    } while (false)

#define SETUP(session, statements)                                                                 \
    do {                                                                                           \
        QVERIFY2((session).connectError().isEmpty(),                                               \
                 qPrintable(QStringLiteral("The test services are said to be running, but do "     \
                                           "not answer: ") +                                       \
                            (session).connectError()));                                            \
        const QString setupError = (session).run(statements);                                      \
        QVERIFY2(setupError.isEmpty(), qPrintable(setupError));                                    \
    } while (false)

class DatabasesTest : public QObject {
    Q_OBJECT

private:
    static void serverRows() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<Dialect>("dialect");
        const auto row = [](const char* name, const char* variable, Dialect dialect) {
            const QString value = serviceValue(variable);
            const bool named = !value.contains(QLatin1Char('='));
            QTest::newRow(name) << withLogin(named ? QStringLiteral("DSN=") + value : value)
                                << dialect;
        };
        row("PostgreSQL data source", "TESSALINE_TEST_PG_DSN", Dialect::PostgreSQL);
        row("PostgreSQL driver", "TESSALINE_TEST_PG_DRIVER", Dialect::PostgreSQL);
        row("MariaDB data source", "TESSALINE_TEST_MARIA_DSN", Dialect::MariaDB);
        row("MariaDB driver", "TESSALINE_TEST_MARIA_DRIVER", Dialect::MariaDB);
        row("MySQL driver name, data source", "TESSALINE_TEST_MYSQL_DSN", Dialect::MariaDB);
        row("MySQL driver name, driver", "TESSALINE_TEST_MYSQL_DRIVER", Dialect::MariaDB);
    }

private Q_SLOTS:
    // --- SQLite ---------------------------------------------------------------

    void sampleListsTablesViewsAndSystemTables() {
        const auto db = openSqliteFile(kSample);
        QCOMPARE(describe(db->tables()),
                 (QStringList{
                     QStringLiteral("sqlite_sequence [SYSTEM TABLE]"),
                     QStringLiteral("Customers [TABLE]"), QStringLiteral("Order Details [TABLE]"),
                     QStringLiteral("Orders [TABLE]"), QStringLiteral("Products [TABLE]"),
                     QStringLiteral("Users [TABLE]"), QStringLiteral("Order Totals [VIEW]")}));
        // The wizard's own connection strings for SQLite lead to the same reader.
        const auto routed = openConnection(QStringLiteral("DRIVER={SQLite3};Database=") + kSample);
        QCOMPARE(routed->tables().size(), db->tables().size());
    }

    void sampleColumnsCarryTypesAndLengths() {
        const auto db = openSqliteFile(kSample);
        QCOMPARE(
            describe(db->columns(QStringLiteral("Customers"))),
            (QStringList{QStringLiteral("CustomerID 3"), QStringLiteral("CompanyName 130 (255)"),
                         QStringLiteral("ContactName 130 (60)"), QStringLiteral("Email 130 (120)"),
                         QStringLiteral("Website 130 (256)"), QStringLiteral("CountryCode 130 (2)"),
                         QStringLiteral("CreditLimit 131"), QStringLiteral("Notes 130 long"),
                         QStringLiteral("CreatedAt 135")}));
        QCOMPARE(
            describe(db->columns(QStringLiteral("Products"))),
            (QStringList{QStringLiteral("ProductID 3"), QStringLiteral("ProductName 130 (80)"),
                         QStringLiteral("Barcode 20"), QStringLiteral("UnitsInStock 2"),
                         QStringLiteral("Rating 16"), QStringLiteral("UnitPrice 131"),
                         QStringLiteral("WeightKg 5"), QStringLiteral("VolumeLitres 5"),
                         QStringLiteral("Discontinued 11"), QStringLiteral("Description 130 long"),
                         QStringLiteral("Photo 128")}));
        QCOMPARE(describe(db->columns(QStringLiteral("Orders"))),
                 (QStringList{QStringLiteral("OrderID 3"), QStringLiteral("CustomerID 3"),
                              QStringLiteral("OrderDate 133"), QStringLiteral("DeliveryTime 134"),
                              QStringLiteral("ShippedAt 135"), QStringLiteral("Freight 131"),
                              QStringLiteral("ShipCity 130 (60)"),
                              QStringLiteral("Reference 130 long")}));
        QCOMPARE(describe(db->columns(QStringLiteral("Order Details"))),
                 (QStringList{QStringLiteral("OrderID 3"), QStringLiteral("ProductID 3"),
                              QStringLiteral("Unit Price 131"), QStringLiteral("Quantity 2"),
                              QStringLiteral("Discount 5")}));
        QCOMPARE(
            describe(db->columns(QStringLiteral("Users"))),
            (QStringList{QStringLiteral("UserID 3"), QStringLiteral("LoginName 130 (50)"),
                         QStringLiteral("Password 130 (50)"), QStringLiteral("FullName 130 (100)"),
                         QStringLiteral("IsAdmin 11"), QStringLiteral("LastLogin 135")}));
        // A view's columns take the types of what they show; a computed one has none.
        QCOMPARE(describe(db->columns(QStringLiteral("Order Totals"))),
                 (QStringList{QStringLiteral("OrderID 3"), QStringLiteral("CompanyName 130 (255)"),
                              QStringLiteral("OrderDate 133"), QStringLiteral("Total 130 long")}));
        QVERIFY(db->columns(QStringLiteral("No Such Table")).empty());
    }

    void sampleKeysIncludeTheCompositeOne() {
        const auto db = openSqliteFile(kSample);
        QCOMPARE(describe(db->primaryKeys(QStringLiteral("order details"))),
                 (QStringList{QStringLiteral("Order Details.OrderID"),
                              QStringLiteral("Order Details.ProductID")}));
        QCOMPARE(
            describe(db->primaryKeys({})),
            (QStringList{
                QStringLiteral("Customers.CustomerID"), QStringLiteral("Order Details.OrderID"),
                QStringLiteral("Order Details.ProductID"), QStringLiteral("Orders.OrderID"),
                QStringLiteral("Products.ProductID"), QStringLiteral("Users.UserID")}));
        QVERIFY(db->primaryKeys(QStringLiteral("Order Totals")).empty());
    }

    void declaredTypesFollowSqliteAffinity() {
        TestEnvironment env;
        const QString path = env.path(QStringLiteral("types.db"));
        QCOMPARE(writeDatabase(path,
                               "CREATE TABLE t (a INT, b MEDIUMINT, c INT8, d UNSIGNED BIG INT, "
                               "e INT2, f CHARACTER(20), g VARYING CHARACTER(255), "
                               "h NATIVE CHARACTER(70), i varchar( 30 ), j VARCHAR, k CLOB, "
                               "l DOUBLE PRECISION, m FLOAT, n DECIMAL(10,5), o BOOL, p datetime, "
                               "q STRING, r FLOATING POINT, s TEXT(40), "
                               "u INTEGER GENERATED ALWAYS AS (a + 1))"),
                 QString());
        const auto db = openSqliteFile(path);
        QCOMPARE(describe(db->columns(QStringLiteral("t"))),
                 (QStringList{QStringLiteral("a 3"), QStringLiteral("b 3"), QStringLiteral("c 20"),
                              QStringLiteral("d 20"), QStringLiteral("e 2"),
                              QStringLiteral("f 130 (20)"), QStringLiteral("g 130 (255)"),
                              QStringLiteral("h 130 (70)"), QStringLiteral("i 130 (30)"),
                              QStringLiteral("j 130 long"), QStringLiteral("k 130 long"),
                              QStringLiteral("l 5"), QStringLiteral("m 5"), QStringLiteral("n 131"),
                              QStringLiteral("o 11"), QStringLiteral("p 135"),
                              // SQLite's own rules: no known word is numeric, and
                              // "INT" anywhere makes an integer.
                              QStringLiteral("q 131"), QStringLiteral("r 3"),
                              QStringLiteral("s 130 long"), QStringLiteral("u 3")}));
    }

    void queriesAreCheckedWithoutRunning() {
        TestEnvironment env;
        const QString copy = env.path(QStringLiteral("shop.db"));
        QVERIFY(QFile::copy(kSample, copy));
        const auto db = openSqliteFile(copy);
        db->checkQuery(QStringLiteral("SELECT c.CompanyName, o.OrderDate FROM Customers AS c "
                                      "JOIN Orders AS o ON o.CustomerID = c.CustomerID;"));
        db->checkQuery(QStringLiteral("SELECT * FROM [Order Details] -- the lines"));

        const auto numberOf = [&](const char* sql) {
            const auto failure = failureOf([&] { db->checkQuery(QLatin1String(sql)); });
            return failure ? failure->number() : 0;
        };
        QCOMPARE(numberOf("SELECT Nickname FROM Customers"), DataError::ParameterNotOptional);
        QCOMPARE(numberOf("SELEC * FROM Customers"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("SELECT * FROM Clients"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("SELECT 1; SELECT 2"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("  -- nothing\n"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("DELETE FROM Customers"), DataError::ErrorsInCommand);
        const auto failure =
            failureOf([&] { db->checkQuery(QStringLiteral("SELECT Nickname FROM Customers")); });
        QVERIFY(failure->description().contains(QLatin1String("Nickname")));
        QCOMPARE(contentsOf(copy), contentsOf(kSample));
    }

    void unusableFilesAreRefusedByName() {
        TestEnvironment env;
        const QString missing = env.path(QStringLiteral("missing.db"));
        const QString damaged = env.path(QStringLiteral("damaged.db"));
        QByteArray noise(8192, '\0');
        QRandomGenerator random(20260203);
        for (char& byte : noise)
            byte = static_cast<char>(random.bounded(256));
        env.writeFile(damaged, noise);
        for (const QString& path : {missing, damaged, env.path(QStringLiteral("program"))}) {
            const auto failure = failureOf([&] { openSqliteFile(path); });
            QVERIFY2(failure, qPrintable(path));
            QCOMPARE(failure->number(), DataError::GeneralFailure);
            QVERIFY2(failure->description().contains(QFileInfo(path).fileName()),
                     qPrintable(failure->description()));
        }
        QCOMPARE(contentsOf(damaged), noise);
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(failureOf([] { openSqliteFile({}); })->number(), DataError::GeneralFailure);
    }

    void readingWritesNothing() {
        TestEnvironment env;
        const QString folder = env.path(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(folder));
        const QString copy = folder + QStringLiteral("/shop.db");
        QVERIFY(QFile::copy(kSample, copy));
        const QDateTime modified = QFileInfo(copy).lastModified();
        {
            const auto db = openSqliteFile(copy);
            for (const TableInfo& table : db->tables())
                db->columns(table.name);
            db->primaryKeys({});
            for (const char* sql : {"DELETE FROM Users", "DROP TABLE Orders",
                                    "INSERT INTO Users (LoginName, Password) VALUES ('x', 'y')",
                                    "SELECT * FROM Users"})
                failureOf([&] { db->checkQuery(QLatin1String(sql)); });
        }
        QCOMPARE(contentsOf(copy), contentsOf(kSample));
        QCOMPARE(QFileInfo(copy).lastModified(), modified);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("shop.db")});
    }

    void schemaReadsSeeOtherWriters() {
        TestEnvironment env;
        const QString path = env.path(QStringLiteral("live.db"));
        QCOMPARE(writeDatabase(path, "CREATE TABLE a (x INTEGER PRIMARY KEY)"), QString());
        const auto db = openSqliteFile(path);
        QCOMPARE(describe(db->tables()), QStringList{QStringLiteral("a [TABLE]")});
        QCOMPARE(writeDatabase(path, "ALTER TABLE a ADD COLUMN y VARCHAR(9); "
                                     "CREATE TABLE b (k1 TEXT, k2 TEXT, PRIMARY KEY (k2, k1))"),
                 QString());
        QCOMPARE(describe(db->tables()),
                 (QStringList{QStringLiteral("a [TABLE]"), QStringLiteral("b [TABLE]")}));
        QCOMPARE(describe(db->columns(QStringLiteral("a"))),
                 (QStringList{QStringLiteral("x 3"), QStringLiteral("y 130 (9)")}));
        // Key order is the declared one, not the column order.
        QCOMPARE(describe(db->primaryKeys(QStringLiteral("b"))),
                 (QStringList{QStringLiteral("b.k2"), QStringLiteral("b.k1")}));
        db->checkQuery(QStringLiteral("SELECT y FROM a"));
    }

    // --- ODBC without servers --------------------------------------------------

    void unknownSourcesAndDriversAreGeneralFailures() {
        for (const char* text : {"DSN=NoSuchSourceForTessaline", "DRIVER={No Such Driver};X=1"}) {
            const auto failure = failureOf([&] { openConnection(QLatin1String(text)); });
            QVERIFY2(failure, text);
            QCOMPARE(failure->number(), DataError::GeneralFailure);
            QVERIFY(!failure->description().isEmpty());
        }
    }

    // --- PostgreSQL and MariaDB ------------------------------------------------

    void serverSchemaOfEveryTypeFamily_data() { serverRows(); }
    void serverSchemaOfEveryTypeFamily() {
        REQUIRE_SERVICES();
        QFETCH(QString, connection);
        QFETCH(Dialect, dialect);
        SqlSession session(connection);
        QStringList expected;
        if (dialect == Dialect::PostgreSQL) {
            SETUP(
                session,
                (QStringList{
                    QStringLiteral("DROP VIEW IF EXISTS kinds_view"),
                    QStringLiteral("DROP TABLE IF EXISTS kinds"),
                    QStringLiteral("CREATE TABLE kinds (id integer NOT NULL, small_n smallint, "
                                   "big_n bigint NOT NULL, real_n real, double_n double precision, "
                                   "price numeric(10,2), flag boolean, day date, clock time, "
                                   "moment timestamp, code char(10), short_text varchar(255), "
                                   "long_text varchar(256), memo text, picture bytea, guid uuid, "
                                   "\"Unit Price\" numeric(8,2), PRIMARY KEY (big_n, id))"),
                    QStringLiteral("CREATE VIEW kinds_view AS SELECT id, memo FROM kinds")}));
            expected = QStringList{QStringLiteral("id 3"),
                                   QStringLiteral("small_n 2"),
                                   QStringLiteral("big_n 20"),
                                   QStringLiteral("real_n 4"),
                                   QStringLiteral("double_n 5"),
                                   QStringLiteral("price 131"),
                                   QStringLiteral("flag 11"),
                                   QStringLiteral("day 133"),
                                   QStringLiteral("clock 134"),
                                   QStringLiteral("moment 135"),
                                   QStringLiteral("code 130 (10)"),
                                   QStringLiteral("short_text 130 (255)"),
                                   QStringLiteral("long_text 130 (256)"),
                                   QStringLiteral("memo 130 long"),
                                   QStringLiteral("picture 205"),
                                   QStringLiteral("guid 72"),
                                   QStringLiteral("Unit Price 131")};
        } else {
            SETUP(session,
                  (QStringList{
                      QStringLiteral("DROP VIEW IF EXISTS kinds_view"),
                      QStringLiteral("DROP TABLE IF EXISTS kinds"),
                      QStringLiteral("DROP TABLE IF EXISTS tessaline_bench.elsewhere_only"),
                      QStringLiteral(
                          "CREATE TABLE kinds (id INT NOT NULL, tiny_n TINYINT, small_n SMALLINT, "
                          "big_n BIGINT NOT NULL, real_n FLOAT, double_n DOUBLE, "
                          "price DECIMAL(10,2), flag BIT(1), day DATE, clock TIME, "
                          "moment DATETIME, code CHAR(10), short_text VARCHAR(255), "
                          "long_text VARCHAR(256), memo TEXT, picture BLOB, raw BINARY(16), "
                          "`Unit Price` DECIMAL(8,2), PRIMARY KEY (big_n, id))"),
                      QStringLiteral("CREATE VIEW kinds_view AS SELECT id, memo FROM kinds"),
                      // Another database on the same server, which the login can see too.
                      QStringLiteral("CREATE TABLE tessaline_bench.elsewhere_only (a INT)")}));
            expected = QStringList{QStringLiteral("id 3"),
                                   QStringLiteral("tiny_n 16"),
                                   QStringLiteral("small_n 2"),
                                   QStringLiteral("big_n 20"),
                                   QStringLiteral("real_n 4"),
                                   QStringLiteral("double_n 5"),
                                   QStringLiteral("price 131"),
                                   QStringLiteral("flag 11"),
                                   QStringLiteral("day 133"),
                                   QStringLiteral("clock 134"),
                                   QStringLiteral("moment 135"),
                                   QStringLiteral("code 130 (10)"),
                                   QStringLiteral("short_text 130 (255)"),
                                   QStringLiteral("long_text 130 (256)"),
                                   QStringLiteral("memo 130 long"),
                                   QStringLiteral("picture 205"),
                                   QStringLiteral("raw 128"),
                                   QStringLiteral("Unit Price 131")};
        }
        OPEN_SERVER(db, connection);
        QCOMPARE(describe(db->columns(QStringLiteral("kinds"))), expected);
        QCOMPARE(describe(db->columns(QStringLiteral("kinds_view"))),
                 (QStringList{QStringLiteral("id 3"), QStringLiteral("memo 130 long")}));

        const QStringList tables = describe(db->tables());
        QVERIFY2(tables.contains(QStringLiteral("kinds [TABLE]")), qPrintable(tables.join(u',')));
        QVERIFY2(tables.contains(QStringLiteral("kinds_view [VIEW]")),
                 qPrintable(tables.join(u',')));
        for (const QString& table : tables)
            QVERIFY2(!table.startsWith(QLatin1String("elsewhere_only")) &&
                         !table.startsWith(QLatin1String("session_status")),
                     qPrintable(table));

        // Key order is the declared one, not the column order.
        const QStringList key{QStringLiteral("kinds.big_n"), QStringLiteral("kinds.id")};
        QCOMPARE(describe(db->primaryKeys(QStringLiteral("kinds"))), key);
        const QStringList allKeys = describe(db->primaryKeys({}));
        QVERIFY2(allKeys.join(u',').contains(key.join(u',')), qPrintable(allKeys.join(u',')));
        QVERIFY(db->primaryKeys(QStringLiteral("kinds_view")).empty());
    }

    void serverNamesWithPatternCharactersAndBlanks_data() { serverRows(); }
    void serverNamesWithPatternCharactersAndBlanks() {
        REQUIRE_SERVICES();
        QFETCH(QString, connection);
        QFETCH(Dialect, dialect);
        SqlSession session(connection);
        const QString quoted = dialect == Dialect::PostgreSQL ? QStringLiteral("\"Order Lines\"")
                                                              : QStringLiteral("`Order Lines`");
        const QString unitPrice = dialect == Dialect::PostgreSQL ? QStringLiteral("\"Unit Price\"")
                                                                 : QStringLiteral("`Unit Price`");
        SETUP(
            session,
            (QStringList{QStringLiteral("DROP TABLE IF EXISTS line_items"),
                         QStringLiteral("DROP TABLE IF EXISTS lineXitems"),
                         QStringLiteral("DROP TABLE IF EXISTS ") + quoted,
                         // "_" matches any one letter in a catalog pattern.
                         QStringLiteral("CREATE TABLE lineXitems (other_a INT, other_b INT)"),
                         QStringLiteral("CREATE TABLE line_items (item INT PRIMARY KEY)"),
                         QStringLiteral("CREATE TABLE ") + quoted + QStringLiteral(" (line INT, ") +
                             unitPrice + QStringLiteral(" DECIMAL(8,2), PRIMARY KEY (line))")}));
        OPEN_SERVER(db, connection);
        QCOMPARE(describe(db->columns(QStringLiteral("line_items"))),
                 QStringList{QStringLiteral("item 3")});
        QCOMPARE(describe(db->primaryKeys(QStringLiteral("line_items"))),
                 QStringList{QStringLiteral("line_items.item")});
        QCOMPARE(describe(db->columns(QStringLiteral("Order Lines"))),
                 (QStringList{QStringLiteral("line 3"), QStringLiteral("Unit Price 131")}));
        QCOMPARE(describe(db->primaryKeys(QStringLiteral("Order Lines"))),
                 QStringList{QStringLiteral("Order Lines.line")});
    }

    void serverQueriesAreCheckedWithoutRunning_data() { serverRows(); }
    void serverQueriesAreCheckedWithoutRunning() {
        REQUIRE_SERVICES();
        QFETCH(QString, connection);
        SqlSession session(connection);
        SETUP(session, (QStringList{QStringLiteral("DROP TABLE IF EXISTS probe_rows"),
                                    QStringLiteral("CREATE TABLE probe_rows (id INT PRIMARY KEY, "
                                                   "label VARCHAR(20))"),
                                    QStringLiteral("INSERT INTO probe_rows VALUES (1, 'kept')")}));
        OPEN_SERVER(db, connection);
        // The server says what it is, whatever its driver is called.
        QFETCH(Dialect, dialect);
        QCOMPARE(classifyDatabaseName(db->databaseName()),
                 std::optional<std::int32_t>(dialect == Dialect::PostgreSQL ? 8 : 6));
        db->checkQuery(
            QStringLiteral("SELECT id, label FROM probe_rows WHERE id > 0 ORDER BY label"));
        const auto numberOf = [&](const char* sql) {
            const auto failure = failureOf([&] { db->checkQuery(QLatin1String(sql)); });
            return failure ? failure->number() : 0;
        };
        QCOMPARE(numberOf("SELECT nickname FROM probe_rows"), DataError::ParameterNotOptional);
        QCOMPARE(numberOf("SELEC id FROM probe_rows"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("SELECT id FROM probe_rows WHERE"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("SELECT id FROM no_such_rows"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("INSERT INTO probe_rows VALUES (2, 'added')"),
                 DataError::ErrorsInCommand);
        QCOMPARE(numberOf("DELETE FROM probe_rows"), DataError::ErrorsInCommand);
        QCOMPARE(numberOf("UPDATE probe_rows SET label = 'changed'"), DataError::ErrorsInCommand);
        // Still usable after failures, and nothing was changed.
        db->checkQuery(QStringLiteral("SELECT * FROM probe_rows"));
        QCOMPARE(session.count(QStringLiteral("probe_rows")), 1);
        QCOMPARE(session.count(QStringLiteral("probe_rows WHERE label = 'kept'")), 1);
    }

    void wrongPasswordIsRefused_data() {
        QTest::addColumn<QString>("connection");
        QTest::newRow("PostgreSQL") << serviceValue("TESSALINE_TEST_PG_DSN");
        QTest::newRow("MariaDB") << serviceValue("TESSALINE_TEST_MARIA_DSN");
    }
    void wrongPasswordIsRefused() {
        REQUIRE_SERVICES();
        QFETCH(QString, connection);
        const QString login =
            withLogin(QStringLiteral("DSN=") + connection, QStringLiteral("not-the-password"));
        const auto failure = failureOf([&] { openConnection(login); });
        QVERIFY(failure);
        QCOMPARE(failure->number(), DataError::GeneralFailure);
        // The driver's own words, naming the login it refused.
        QVERIFY2(failure->description().contains(serviceValue("TESSALINE_TEST_USER")),
                 qPrintable(failure->description()));
    }

    void unreachableServersFailWithinTheTimeLimit_data() {
        QTest::addColumn<QString>("connection");
        QTest::newRow("PostgreSQL") << serviceValue("TESSALINE_TEST_PG_DRIVER");
        QTest::newRow("MariaDB") << serviceValue("TESSALINE_TEST_MARIA_DRIVER");
        QTest::newRow("MySQL driver name") << serviceValue("TESSALINE_TEST_MYSQL_DRIVER");
    }
    void unreachableServersFailWithinTheTimeLimit() {
        REQUIRE_SERVICES();
        QFETCH(QString, connection);
        const SilentServer silent;
        ConnectOptions options;
        options.timeoutSeconds = 2;
        for (const quint16 port : {closedPort(), silent.port()}) {
            const QString target = withLogin(withPort(connection, port));
            QElapsedTimer clock;
            clock.start();
            const auto failure = failureOf([&] { openConnection(target, options); });
            // A bound far above the limit: only a connection that hangs fails here.
            QVERIFY2(clock.elapsed() < 20000, qPrintable(target));
            QVERIFY2(failure, qPrintable(target));
            QCOMPARE(failure->number(), DataError::GeneralFailure);
        }
    }

    void driverWithoutUnicodeReportsNarrowText() {
        REQUIRE_SERVICES();
        QString connection = withLogin(serviceValue("TESSALINE_TEST_PG_DRIVER"));
        connection.replace(QLatin1String("PostgreSQL Unicode"), QLatin1String("PostgreSQL ANSI"));
        SqlSession session(connection);
        SETUP(session, (QStringList{QStringLiteral("DROP TABLE IF EXISTS narrow_text"),
                                    QStringLiteral("CREATE TABLE narrow_text (\"Größe\" char(4), "
                                                   "label varchar(300), note text)")}));
        OPEN_SERVER(db, connection);
        QCOMPARE(describe(db->columns(QStringLiteral("narrow_text"))),
                 (QStringList{QStringLiteral("Größe 129 (4)"), QStringLiteral("label 129 (300)"),
                              QStringLiteral("note 129 long")}));
    }
};

QTEST_GUILESS_MAIN(DatabasesTest)
#include "tst_databases.moc"
