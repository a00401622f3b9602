// A SQLite file opened directly, for connection strings of the SQLite driver.
#pragma once

#include "preview/database.h"

struct sqlite3;

namespace ordwick::preview {

// Runs one statement on an open database: rows with the ADO types their
// declared column types stand for, or the number of rows changed.
QueryResult runSqlite(sqlite3* db, const QString& sql, const QList<QueryParameter>& parameters);
// The same, its rows read when they are wanted (see DataConnection::stream).
std::unique_ptr<RowStream> streamSqlite(sqlite3* db, const QString& sql,
                                        const QList<QueryParameter>& parameters, QueryResult& head);

class SqliteConnection final : public DataConnection {
public:
    static std::unique_ptr<DataConnection> open(const QString& path, QString& error);
    ~SqliteConnection() override;

    QueryResult execute(const QString& sql, const QList<QueryParameter>& parameters) override;
    std::unique_ptr<RowStream> stream(const QString& sql, const QList<QueryParameter>& parameters,
                                      QueryResult& head) override;
    QString transaction(const QString& step) override;
    // Not when the file was replaced or removed since it was opened: the
    // connection would still read the old one.
    bool readyForReuse() override;
    void interrupt() override;

private:
    struct FileIdentity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    static FileIdentity identityOf(const QString& path);

    SqliteConnection(sqlite3* db, QString path, FileIdentity identity)
        : m_db(db), m_path(std::move(path)), m_identity(identity) {}
    sqlite3* m_db;
    const QString m_path;
    const FileIdentity m_identity;
};

} // namespace ordwick::preview
