#include "datasource/connections.h"
#include "foundation/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace ordwick {

namespace {

struct SqliteColumnType {
    int dataType = adEmpty;
    std::optional<qint64> maxLength;
};

bool isOneOf(const QString& word, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (word == QLatin1String(name))
            return true;
    }
    return false;
}

// SQLite keeps any declared type and only derives an affinity from it. The
// codes follow what an ODBC driver makes of the same declarations: the common
// type names keep their exact meaning, every other name falls to the type of
// its affinity, in SQLite's own order of rules (so "FLOATING POINT" is an
// integer and "STRING" is numeric, exactly as SQLite stores them). REAL is an
// 8-byte float in SQLite, hence adDouble. Text without a declared length
// reports the longest text the database accepts, which marks it as long text.
SqliteColumnType sqliteColumnType(const QString& declared, qint64 longest) {
    const QString upper = declared.simplified().toUpper();
    const qsizetype open = upper.indexOf(u'(');
    const QString base = (open < 0 ? upper : upper.left(open)).trimmed();
    static const QRegularExpression firstNumber(QStringLiteral("^\\(\\s*(\\d+)"));
    qint64 length = 0;
    if (open >= 0) {
        const QRegularExpressionMatch match = firstNumber.match(upper.mid(open));
        if (match.hasMatch())
            length = match.captured(1).toLongLong();
    }
    if (base.isEmpty())
        return {adWChar, longest};
    if (isOneOf(base, {"BIGINT", "INT8", "UNSIGNED BIG INT"}))
        return {adBigInt, {}};
    if (isOneOf(base, {"SMALLINT", "INT2"}))
        return {adSmallInt, {}};
    if (base == QLatin1String("TINYINT"))
        return {adTinyInt, {}};
    if (isOneOf(base, {"BOOLEAN", "BOOL", "BIT"}))
        return {adBoolean, {}};
    if (base == QLatin1String("DATE"))
        return {adDBDate, {}};
    if (base == QLatin1String("TIME"))
        return {adDBTime, {}};
    if (isOneOf(base, {"DATETIME", "TIMESTAMP"}))
        return {adDBTimeStamp, {}};
    if (base.contains(QLatin1String("INT")))
        return {adInteger, {}};
    if (base.contains(QLatin1String("TEXT")) || base.contains(QLatin1String("CLOB")))
        return {adWChar, longest};
    if (base.contains(QLatin1String("CHAR")))
        return {adWChar, length > 0 ? length : longest};
    if (base.contains(QLatin1String("BLOB")))
        return {adBinary, {}};
    if (base.contains(QLatin1String("REAL")) || base.contains(QLatin1String("FLOA")) ||
        base.contains(QLatin1String("DOUB")))
        return {adDouble, {}};
    return {adNumeric, {}};
}

QString text(const unsigned char* value) {
    return value ? QString::fromUtf8(reinterpret_cast<const char*>(value)) : QString();
}

// One compiled statement, finalized on every way out.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        const int rc = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr);
        if (rc != SQLITE_OK)
            throw RuntimeError(DataError::GeneralFailure, QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QString& value) {
        const QByteArray bytes = value.toUtf8();
        sqlite3_bind_text(m_statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
    }
    // True while there is a row; a failure (a file damaged past its first page,
    // a lock held too long) is a failure of the source.
    bool next() {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw RuntimeError(DataError::GeneralFailure,
                           QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_statement))));
    }
    QString text(int column) const {
        return ordwick::text(sqlite3_column_text(m_statement, column));
    }
    int integer(int column) const { return sqlite3_column_int(m_statement, column); }

private:
    sqlite3_stmt* m_statement = nullptr;
};

class SqliteFile final : public DataConnection {
public:
    explicit SqliteFile(const QString& path) {
        const QFileInfo info(path);
        if (path.isEmpty())
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("No database file was named."));
        const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
        if (!info.exists())
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The database file \"%1\" does not exist.").arg(shown));
        if (!info.isFile())
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("\"%1\" is not a database file.").arg(shown));
        // An absolute path is never taken for a URI or ":memory:". Read-only:
        // the wizard only looks, and the user's file must stay exactly as it was.
        // (A database in WAL mode still gets SQLite's shared-memory and log
        // files beside it, as with any reader; the database itself is untouched.)
        const QByteArray name = QFile::encodeName(info.absoluteFilePath());
        const int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        if (rc != SQLITE_OK) {
            const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                        : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close(m_db);
            m_db = nullptr;
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The database file \"%1\" cannot be opened: %2").arg(shown, reason));
        }
        // Opening reads nothing yet; the first page decides whether this is a
        // database at all.
        char* message = nullptr;
        if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &message) !=
            SQLITE_OK) {
            const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
            sqlite3_free(message);
            sqlite3_close(m_db);
            m_db = nullptr;
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("The file \"%1\" is not a usable SQLite database: %2")
                                   .arg(shown, reason));
        }
    }
    ~SqliteFile() override { sqlite3_close(m_db); }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    QString databaseName() const override { return QStringLiteral("SQLite"); }

    std::vector<TableInfo> tables() override {
        // Sorted the way ODBC drivers sort their table lists: by type, then name.
        Statement query(m_db, "SELECT name, CASE WHEN name LIKE 'sqlite\\_%' ESCAPE '\\' "
                              "THEN 'SYSTEM TABLE' WHEN type = 'view' THEN 'VIEW' ELSE 'TABLE' END "
                              "AS kind FROM sqlite_master WHERE type IN ('table', 'view') "
                              "ORDER BY kind, name");
        std::vector<TableInfo> result;
        while (query.next())
            result.push_back({query.text(0), query.text(1)});
        return result;
    }

    std::vector<ColumnInfo> columns(const QString& table) override {
        // hidden = 1 marks the hidden columns of virtual tables, which a plain
        // SELECT * does not return; generated columns (2, 3) are ordinary to a reader.
        Statement query(m_db, "SELECT name, type FROM pragma_table_xinfo(?1) WHERE hidden <> 1 "
                              "ORDER BY cid");
        query.bind(1, table);
        const qint64 longest = sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, -1);
        std::vector<ColumnInfo> result;
        while (query.next()) {
            const SqliteColumnType type = sqliteColumnType(query.text(1), longest);
            result.push_back({query.text(0), type.dataType, type.maxLength});
        }
        return result;
    }

    std::vector<KeyColumn> primaryKeys(const QString& table) override {
        Statement query(m_db, "SELECT m.name, p.name FROM sqlite_master AS m "
                              "JOIN pragma_table_xinfo(m.name) AS p "
                              "WHERE m.type = 'table' AND p.pk > 0 "
                              "AND (?1 = '' OR m.name = ?1 COLLATE NOCASE) "
                              "ORDER BY m.name, p.pk");
        query.bind(1, table);
        std::vector<KeyColumn> result;
        while (query.next())
            result.push_back({query.text(0), query.text(1)});
        return result;
    }

    void checkQuery(const QString& sql) override {
        const QByteArray bytes = sql.toUtf8();
        const char* rest = bytes.constData();
        const char* end = rest + bytes.size();
        int statements = 0;
        int columns = 0;
        // Compiling is all: a read-only connection that never steps a statement
        // cannot change the file, whatever the statement says.
        while (rest < end) {
            sqlite3_stmt* statement = nullptr;
            const char* tail = nullptr;
            const int rc =
                sqlite3_prepare_v2(m_db, rest, static_cast<int>(end - rest), &statement, &tail);
            if (rc != SQLITE_OK) {
                const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
                sqlite3_finalize(statement);
                const bool unknownName = message.startsWith(QLatin1String("no such column"));
                throw RuntimeError(unknownName ? DataError::ParameterNotOptional
                                               : DataError::ErrorsInCommand,
                                   message);
            }
            // Blanks, comments and lone semicolons compile to no statement.
            if (statement && ++statements == 1)
                columns = sqlite3_column_count(statement);
            sqlite3_finalize(statement);
            if (tail == rest)
                break;
            rest = tail;
        }
        if (statements > 1)
            throw RuntimeError(DataError::ErrorsInCommand,
                               QStringLiteral("The query holds more than one statement."));
        // Only a statement with a result can be the rows of the application.
        if (columns == 0)
            throw RuntimeError(DataError::ErrorsInCommand,
                               QStringLiteral("The statement returns no rows."));
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

std::unique_ptr<DataConnection> openSqliteFile(const QString& path) {
    return std::make_unique<SqliteFile>(path);
}

} // namespace ordwick
