// A connection through unixODBC: data source names and driver strings.
#pragma once

#include "preview/database.h"

#include <mutex>
#include <set>
#include <sql.h>

namespace ordwick::preview {

// The open statements of a connection, so that another thread can cancel them.
class LiveStatements {
public:
    void add(SQLHSTMT statement);
    // Before the statement is freed: a cancel never reaches a freed handle.
    void remove(SQLHSTMT statement);
    void cancelAll();

private:
    std::mutex m_mutex;
    std::set<SQLHSTMT> m_statements;
};

class OdbcConnection final : public DataConnection {
public:
    static std::unique_ptr<DataConnection> open(const QString& connectionString, QString& error);
    ~OdbcConnection() override;

    QueryResult execute(const QString& sql, const QList<QueryParameter>& parameters) override;
    std::unique_ptr<RowStream> stream(const QString& sql, const QList<QueryParameter>& parameters,
                                      QueryResult& head) override;
    QString transaction(const QString& step) override;
    bool readyForReuse() override;
    void interrupt() override;

private:
    OdbcConnection(SQLHENV environment, SQLHDBC connection)
        : m_environment(environment), m_connection(connection) {}

    SQLHENV m_environment;
    SQLHDBC m_connection;
    bool m_inTransaction = false;
    LiveStatements m_live;
};

} // namespace ordwick::preview
