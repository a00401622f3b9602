#include "preview/sqliteconnection.h"

#include "preview/datevalues.h"

#include <QFileInfo>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>

namespace ordwick::preview {

namespace {

// The ADO type of a column from its declared type, as the SQLite ODBC driver
// reports it.
int declaredType(const char* declared, int storage) {
    const QString type = QString::fromUtf8(declared ? declared : "").toUpper();
    if (type.isEmpty()) {
        switch (storage) {
        case SQLITE_INTEGER:
            return adotype::Integer;
        case SQLITE_FLOAT:
            return adotype::Double;
        case SQLITE_BLOB:
            return adotype::LongVarBinary;
        default:
            return adotype::VarWChar;
        }
    }
    if (type.contains(QLatin1String("BOOL")) || type == QLatin1String("BIT"))
        return adotype::Boolean;
    if (type == QLatin1String("TINYINT"))
        return adotype::TinyInt;
    if (type == QLatin1String("SMALLINT"))
        return adotype::SmallInt;
    if (type == QLatin1String("SINGLE"))
        return adotype::Single;
    if (type.contains(QLatin1String("BIGINT")))
        return adotype::BigInt;
    if (type.contains(QLatin1String("INT")))
        return adotype::Integer;
    if (type.contains(QLatin1String("TIMESTAMP")) || type.contains(QLatin1String("DATETIME")))
        return adotype::DbTimeStamp;
    if (type.contains(QLatin1String("DATE")))
        return adotype::DbDate;
    if (type.contains(QLatin1String("TIME")))
        return adotype::DbTime;
    if (type.contains(QLatin1String("CHAR")) && type.contains(QLatin1String("VAR")))
        return adotype::VarWChar;
    if (type.contains(QLatin1String("CHAR")))
        return adotype::WChar;
    if (type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("CLOB")))
        return adotype::LongVarWChar;
    if (type.contains(QLatin1String("BLOB")) || type.contains(QLatin1String("BINARY")))
        return adotype::LongVarBinary;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")))
        return adotype::Double;
    if (type.contains(QLatin1String("MONEY")) || type.contains(QLatin1String("CURRENCY")))
        return adotype::Currency;
    if (type.contains(QLatin1String("DEC")) || type.contains(QLatin1String("NUM")))
        return adotype::Numeric;
    return adotype::VarWChar;
}

QVariant columnValue(sqlite3_stmt* statement, int column, int adoType) {
    const int storage = sqlite3_column_type(statement, column);
    if (storage == SQLITE_NULL)
        return QVariant::fromValue(nullptr);
    if (storage == SQLITE_BLOB) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(statement, column));
    }
    switch (adoType) {
    case adotype::Boolean:
        return sqlite3_column_int64(statement, column) != 0;
    case adotype::DbDate:
    case adotype::DbTime:
    case adotype::DbTimeStamp: {
        const QString text = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
        const QDateTime when = parseStoredDate(text);
        return when.isValid() ? QVariant(when) : QVariant(text);
    }
    default:
        break;
    }
    if (storage == SQLITE_INTEGER) {
        const qint64 value = sqlite3_column_int64(statement, column);
        if (value >= INT_MIN && value <= INT_MAX)
            return static_cast<int>(value);
        return static_cast<double>(value);
    }
    if (storage == SQLITE_FLOAT)
        return sqlite3_column_double(statement, column);
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

int bindParameter(sqlite3_stmt* statement, int index, const QueryParameter& parameter) {
    const QVariant& value = parameter.value;
    if (value.isNull() || !value.isValid())
        return sqlite3_bind_null(statement, index);
    switch (parameter.type) {
    case adotype::Boolean:
        return sqlite3_bind_int(statement, index, value.toBool() ? 1 : 0);
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::TinyInt:
    case adotype::BigInt:
        return sqlite3_bind_int64(statement, index, static_cast<sqlite3_int64>(value.toDouble()));
    case adotype::Single:
    case adotype::Double:
    case adotype::Currency:
    case adotype::Numeric:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case adotype::Date:
    case adotype::DbDate:
    case adotype::DbTime:
    case adotype::DbTimeStamp:
        if (value.metaType().id() == QMetaType::QDateTime) {
            const QByteArray text = storedDateText(value.toDateTime()).toUtf8();
            return sqlite3_bind_text(statement, index, text.constData(),
                                     static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        break;
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::LongVarBinary: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(statement, index, bytes.constData(),
                                 static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    default:
        break;
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text(statement, index, text.constData(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
}

} // namespace

std::unique_ptr<DataConnection> SqliteConnection::open(const QString& path, QString& error) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        error = QStringLiteral("[SQLite] The database file '%1' does not exist.").arg(path);
        return nullptr;
    }
    sqlite3* db = nullptr;
    const int status =
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (status != SQLITE_OK) {
        error = QStringLiteral("[SQLite] %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    // Mapped, a file's pages are read where the system already holds them
    // instead of being copied into each connection's own cache; a count or
    // a page far into a big table then costs little once the file is warm.
    sqlite3_exec(db, "PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
    return std::unique_ptr<DataConnection>(new SqliteConnection(db, path, identityOf(path)));
}

SqliteConnection::FileIdentity SqliteConnection::identityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

bool SqliteConnection::readyForReuse() {
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return sqlite3_get_autocommit(m_db) && m_identity != FileIdentity{} &&
           identityOf(m_path) == m_identity;
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close(m_db);
}

namespace {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

QString lastError(sqlite3* db) {
    return QStringLiteral("[SQLite] %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
}

// A statement prepared and bound, its column names in head; null with
// head.error set when it cannot run, or null with affected 0 for a text of
// nothing but blanks or a comment.
StatementPtr prepared(sqlite3* db, const QString& sql, const QList<QueryParameter>& parameters,
                      QueryResult& head) {
    sqlite3_stmt* raw = nullptr;
    const QByteArray text = sql.toUtf8();
    const int status =
        sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &raw, nullptr);
    StatementPtr statement(raw);
    if (status != SQLITE_OK) {
        head.error = lastError(db);
        return nullptr;
    }
    if (!statement) {
        head.affected = 0;
        return nullptr;
    }
    const int expected = sqlite3_bind_parameter_count(statement.get());
    if (expected != parameters.size()) {
        head.error = QStringLiteral("[SQLite] The statement has %1 parameter markers but %2 "
                                    "parameters were given.")
                         .arg(expected)
                         .arg(parameters.size());
        return nullptr;
    }
    for (int i = 0; i < expected; ++i)
        bindParameter(statement.get(), i + 1, parameters.at(i));
    const int columns = sqlite3_column_count(statement.get());
    for (int c = 0; c < columns; ++c)
        head.columns.append(QString::fromUtf8(sqlite3_column_name(statement.get(), c)));
    return statement;
}

// The ADO types of a statement's columns: from the first row when there is
// one (a column without a declared type takes its value's), else as declared.
QList<int> columnTypes(sqlite3_stmt* statement, bool onRow) {
    QList<int> types;
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c)
        types.append(declaredType(sqlite3_column_decltype(statement, c),
                                  onRow ? sqlite3_column_type(statement, c) : SQLITE_TEXT));
    return types;
}

QVariantList currentRow(sqlite3_stmt* statement, const QList<int>& types) {
    QVariantList row;
    row.reserve(types.size());
    for (int c = 0; c < types.size(); ++c)
        row.append(columnValue(statement, c, types.at(c)));
    return row;
}

// The rows of a statement that has stepped onto its first row (or its end).
class SqliteRowStream final : public RowStream {
public:
    SqliteRowStream(sqlite3* db, StatementPtr statement, QList<int> types, int status)
        : m_db(db), m_statement(std::move(statement)), m_types(std::move(types)), m_status(status) {
    }

    QList<QVariantList> next(int max, QString& error) override {
        QList<QVariantList> rows;
        while (m_status == SQLITE_ROW && rows.size() < max) {
            rows.append(currentRow(m_statement.get(), m_types));
            m_status = sqlite3_step(m_statement.get());
        }
        if (m_status != SQLITE_ROW && m_status != SQLITE_DONE)
            error = lastError(m_db);
        return rows;
    }

private:
    sqlite3* m_db;
    StatementPtr m_statement;
    const QList<int> m_types;
    int m_status;
};

} // namespace

std::unique_ptr<RowStream> streamSqlite(sqlite3* db, const QString& sql,
                                        const QList<QueryParameter>& parameters,
                                        QueryResult& head) {
    StatementPtr statement = prepared(db, sql, parameters, head);
    if (!statement)
        return nullptr;
    const int status = sqlite3_step(statement.get());
    if (status != SQLITE_ROW && status != SQLITE_DONE) {
        head.columns.clear();
        head.error = lastError(db);
        return nullptr;
    }
    head.types = columnTypes(statement.get(), status == SQLITE_ROW);
    if (head.columns.isEmpty()) {
        head.affected = sqlite3_changes(db);
        return nullptr;
    }
    return std::make_unique<SqliteRowStream>(db, std::move(statement), head.types, status);
}

QueryResult runSqlite(sqlite3* db, const QString& sql, const QList<QueryParameter>& parameters) {
    QueryResult result;
    if (const std::unique_ptr<RowStream> rows = streamSqlite(db, sql, parameters, result))
        readAllRows(*rows, result);
    return result;
}

std::unique_ptr<RowStream> SqliteConnection::stream(const QString& sql,
                                                    const QList<QueryParameter>& parameters,
                                                    QueryResult& head) {
    return streamSqlite(m_db, sql, parameters, head);
}

QueryResult SqliteConnection::execute(const QString& sql, const QList<QueryParameter>& parameters) {
    return runSqlite(m_db, sql, parameters);
}

QString SqliteConnection::transaction(const QString& step) {
    const QByteArray sql = step == QLatin1String("begin")    ? "BEGIN"
                           : step == QLatin1String("commit") ? "COMMIT"
                                                             : "ROLLBACK";
    if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return QStringLiteral("[SQLite] %1").arg(QString::fromUtf8(sqlite3_errmsg(m_db)));
    return {};
}

void SqliteConnection::interrupt() {
    sqlite3_interrupt(m_db);
}

} // namespace ordwick::preview
