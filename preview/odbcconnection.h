// A connection through unixODBC: data source names and driver strings.
#pragma once

#include "preview/database.h"

#include <sql.h>

namespace ordwick::preview {

class OdbcConnection final : public DataConnection {
public:
    static std::unique_ptr<DataConnection> open(const QString& connectionString, QString& error);
    ~OdbcConnection() override;

    QueryResult execute(const QString& sql, const QList<QueryParameter>& parameters) override;
    std::unique_ptr<RowStream> stream(const QString& sql, const QList<QueryParameter>& parameters,
                                      QueryResult& head) override;
    QString transaction(const QString& step) override;
    bool readyForReuse() override;

private:
    OdbcConnection(SQLHENV environment, SQLHDBC connection)
        : m_environment(environment), m_connection(connection) {}

    SQLHENV m_environment;
    SQLHDBC m_connection;
    bool m_inTransaction = false;
};

} // namespace ordwick::preview
