// How fast the wizard learns a schema: lists the tables and reads the columns of
// a 200-column table in a database of 1,000 tables, on SQLite and on PostgreSQL
// (through psqlODBC), and prints the median of 11 runs of each step.
//
//   eval "$(bash scripts/test-services.sh start)"
//   build/bench/bench_schema
//   bash scripts/test-services.sh stop
//
// The SQLite database is made in a temporary folder. The PostgreSQL one is the
// benchmark database of the test services (TESSALINE_TEST_PG_BENCH_DSN), filled
// on the first run and kept for later ones. Without the test services only the
// SQLite half runs.
#include "datasource/connections.h"
#include "foundation/runtimeerror.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>
#include <vector>

using namespace ordwick;

namespace {

constexpr int kRuns = 11;
constexpr int kTables = 1000;
constexpr int kWideColumns = 200;

// Every table but one small; the last one wide.
QStringList schemaStatements() {
    QStringList statements;
    for (int i = 1; i < kTables; ++i) {
        statements.append(QStringLiteral("CREATE TABLE t%1 (id INTEGER PRIMARY KEY, name "
                                         "VARCHAR(50), price NUMERIC(10,2), added DATE, note TEXT)")
                              .arg(i, 4, 10, QLatin1Char('0')));
    }
    QStringList columns{QStringLiteral("id INTEGER PRIMARY KEY")};
    for (int c = 1; c < kWideColumns; ++c) {
        static const char* const kinds[] = {"VARCHAR(40)", "INTEGER", "NUMERIC(12,2)", "DATE",
                                            "TEXT"};
        columns.append(QStringLiteral("c%1 %2").arg(c).arg(QLatin1String(kinds[c % 5])));
    }
    statements.append(QStringLiteral("CREATE TABLE wide (") + columns.join(QStringLiteral(", ")) +
                      QLatin1Char(')'));
    return statements;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsOf(const std::function<void()>& step) {
    QElapsedTimer clock;
    clock.start();
    step();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void measure(const char* source, const std::function<std::unique_ptr<DataConnection>()>& open) {
    std::vector<double> connecting;
    std::vector<double> listing;
    std::vector<double> reading;
    std::vector<double> keys;
    std::size_t tableCount = 0;
    std::size_t columnCount = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::unique_ptr<DataConnection> db;
        connecting.push_back(millisecondsOf([&] { db = open(); }));
        listing.push_back(millisecondsOf([&] { tableCount = db->tables().size(); }));
        reading.push_back(
            millisecondsOf([&] { columnCount = db->columns(QStringLiteral("wide")).size(); }));
        keys.push_back(millisecondsOf([&] { db->primaryKeys(QStringLiteral("wide")); }));
    }
    std::printf("%-10s  open %8.2f ms   list %zu tables %8.2f ms   read %zu columns %8.2f ms   "
                "key of one table %8.2f ms\n",
                source, median(connecting), tableCount, median(listing), columnCount,
                median(reading), median(keys));
}

void benchSqlite() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bench.db"));
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const QString script =
        QStringLiteral("BEGIN;") + schemaStatements().join(u';') + QStringLiteral(";COMMIT;");
    char* message = nullptr;
    if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
        std::fprintf(stderr, "SQLite set-up failed: %s\n", message);
    sqlite3_free(message);
    sqlite3_close(db);
    measure("SQLite", [&] { return openSqliteFile(path); });
}

// Statements through the driver manager directly, for the set-up only.
class Session {
public:
    explicit Session(const QString& connection) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_environment);
        SQLSetEnvAttr(m_environment, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_environment, &m_connection);
        QByteArray text = connection.toUtf8();
        m_connected = SQL_SUCCEEDED(
            SQLDriverConnect(m_connection, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                             SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    }
    ~Session() {
        if (m_connected)
            SQLDisconnect(m_connection);
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
        SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool connected() const { return m_connected; }

    bool run(const QString& sql, long long* value = nullptr) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &statement);
        QByteArray text = sql.toUtf8();
        SQLRETURN rc = SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        if (value && SQL_SUCCEEDED(rc)) {
            SQLBIGINT number = 0;
            SQLLEN indicator = 0;
            rc = SQLFetch(statement);
            if (SQL_SUCCEEDED(rc))
                rc = SQLGetData(statement, 1, SQL_C_SBIGINT, &number, sizeof number, &indicator);
            *value = number;
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    }

private:
    SQLHENV m_environment = SQL_NULL_HENV;
    SQLHDBC m_connection = SQL_NULL_HDBC;
    bool m_connected = false;
};

void benchPostgres() {
    const QString dsn = qEnvironmentVariable("TESSALINE_TEST_PG_BENCH_DSN");
    if (dsn.isEmpty()) {
        std::printf("PostgreSQL  skipped: start scripts/test-services.sh first\n");
        return;
    }
    const QString connection = QStringLiteral("DSN=%1;UID=%2;PWD=%3")
                                   .arg(dsn, qEnvironmentVariable("TESSALINE_TEST_USER"),
                                        qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
    {
        Session session(connection);
        if (!session.connected()) {
            std::fprintf(stderr, "PostgreSQL: cannot connect with %s\n", qPrintable(dsn));
            return;
        }
        long long existing = 0;
        session.run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"),
                    &existing);
        if (existing != kTables) {
            std::fprintf(stderr, "PostgreSQL: creating %d tables...\n", kTables);
            const QStringList statements = schemaStatements();
            bool ok =
                session.run(QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"));
            for (qsizetype i = 0; ok && i < statements.size(); i += 100)
                ok = session.run(statements.mid(i, 100).join(u';'));
            if (!ok) {
                std::fprintf(stderr, "PostgreSQL: set-up failed\n");
                return;
            }
        }
    }
    measure("PostgreSQL", [&] { return openConnection(connection); });
}

} // namespace

int main() {
    try {
        benchSqlite();
        benchPostgres();
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "failed: %s\n", error.what());
        return 1;
    }
    return 0;
}
