#include "preview/sourcecopy.h"

#include "datasource/connections.h"
#include "datasource/dataconnection.h"
#include "datasource/schemamirror.h"
#include "foundation/runtimeerror.h"
#include "preview/datevalues.h"
#include "preview/jetsql.h"
#include "preview/sqliteconnection.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <map>
#include <sqlite3.h>

namespace ordwick::preview {

namespace {

constexpr int kMostTablesPerStatement = 32;

// What changes when a file of the source is saved: names, sizes and times.
QString stampOf(const DesktopSource& source) {
    const QFileInfo info(source.path);
    QString stamp;
    const auto add = [&stamp](const QFileInfo& file) {
        stamp += file.fileName() + u'|' + QString::number(file.size()) + u'|' +
                 QString::number(file.lastModified().toMSecsSinceEpoch()) + u'\n';
    };
    if (info.isDir()) {
        for (const QFileInfo& file :
             QDir(source.path).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
            add(file);
    } else {
        add(info);
    }
    return stamp;
}

// A declared type that runSqlite() reads back as the column's ADO type, and
// whose SQLite affinity keeps the values as they were copied.
QString declaredTypeOf(const ColumnInfo& column) {
    switch (column.dataType) {
    case adBoolean:
        return QStringLiteral("BOOLEAN");
    case adTinyInt:
        return QStringLiteral("TINYINT");
    case adSmallInt:
        return QStringLiteral("SMALLINT");
    case adInteger:
        return QStringLiteral("INTEGER");
    case adBigInt:
        return QStringLiteral("BIGINT");
    case adSingle:
        return QStringLiteral("SINGLE");
    case adDouble:
        return QStringLiteral("DOUBLE");
    case adCurrency:
        return QStringLiteral("CURRENCY");
    case adNumeric:
    case adVarNumeric:
        return QStringLiteral("NUMERIC");
    case adDate:
    case adDBTimeStamp:
        return QStringLiteral("DATETIME");
    case adDBDate:
        return QStringLiteral("DATE");
    case adDBTime:
        return QStringLiteral("TIME");
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
        return QStringLiteral("BLOB");
    default:
        // Jet compares and sorts text without regard to case.
        return column.maxLength.value_or(0) > kShortTextLength
                   ? QStringLiteral("TEXT COLLATE NOCASE")
                   : QStringLiteral("NVARCHAR COLLATE NOCASE");
    }
}

QString quoted(QString name) {
    name.replace(u'"', QLatin1String("\"\""));
    return u'"' + name + u'"';
}

void bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        sqlite3_bind_int(statement, index, value.toBool() ? 1 : 0);
        return;
    case QMetaType::Int:
    case QMetaType::LongLong:
        sqlite3_bind_int64(statement, index, value.toLongLong());
        return;
    case QMetaType::Double:
        sqlite3_bind_double(statement, index, value.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
        return;
    }
    default:
        break;
    }
    QString text;
    if (value.metaType().id() == QMetaType::QDate)
        text = value.toDate().toString(Qt::ISODate);
    else if (value.metaType().id() == QMetaType::QDateTime)
        text = storedDateText(value.toDateTime());
    else
        text = value.toString();
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

void jetLike(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL ||
        sqlite3_value_type(values[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto text = [](sqlite3_value* value) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                 sqlite3_value_bytes(value));
    };
    // like(pattern, text) is how SQLite spells "text LIKE pattern".
    sqlite3_result_int(context, jetsql::like(text(values[0]), text(values[1])) ? 1 : 0);
}

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::unique_ptr<ordwick::DataConnection> openReader(const DesktopSource& source) {
    switch (source.kind) {
    case DesktopSource::Kind::Access:
        return openAccessFile(source.path, {}, {});
    case DesktopSource::Kind::Excel:
        return openExcelFile(source.path);
    case DesktopSource::Kind::Dbase:
        return openDbaseFolder(source.path);
    case DesktopSource::Kind::Text:
        break;
    }
    return openTextFolder(source.path);
}

} // namespace

std::shared_ptr<SourceCopy> SourceCopies::copyOf(const DesktopSource& source, QString& error) {
    const QString key = QString::number(static_cast<int>(source.kind)) + u'|' +
                        QFileInfo(source.path).absoluteFilePath();
    const QString stamp = stampOf(source);
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_copies.find(key);
        if (found != m_copies.end() && found->second.stamp == stamp)
            return found->second.copy;
    }
    std::shared_ptr<SourceCopy> copy = SourceCopy::make(source, error);
    if (!copy)
        return nullptr;
    const std::lock_guard lock(m_mutex);
    m_copies[key] = {stamp, copy};
    return copy;
}

std::shared_ptr<SourceCopy> SourceCopy::make(const DesktopSource& source, QString& error) {
    std::unique_ptr<ordwick::DataConnection> reader;
    try {
        reader = openReader(source);
    } catch (const RuntimeError& failure) {
        error = QStringLiteral("[Preview] %1").arg(failure.description());
        return nullptr;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        error = QStringLiteral("[Preview] No memory is left to read %1.").arg(source.what);
        sqlite3_close(db);
        return nullptr;
    }
    // A page's statement may only read: no attached files, and the copy's own
    // tables are written by load() alone.
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, jetLike,
                            nullptr, nullptr);
    exec(db, "PRAGMA query_only = ON");
    return std::shared_ptr<SourceCopy>(new SourceCopy(db, std::move(reader), source));
}

SourceCopy::SourceCopy(sqlite3* db, std::unique_ptr<ordwick::DataConnection> reader,
                       const DesktopSource& source)
    : m_db(db), m_reader(std::move(reader)), m_source(source) {}

SourceCopy::~SourceCopy() {
    sqlite3_close(m_db);
}

QueryResult SourceCopy::run(const QString& sql, const QList<QueryParameter>& parameters) {
    const std::lock_guard lock(m_mutex);
    static const QString missing = QStringLiteral("no such table: ");
    for (int attempt = 0;; ++attempt) {
        QueryResult result = runSqlite(m_db, sql, parameters);
        const qsizetype at = result.error.indexOf(missing);
        if (at < 0 || attempt == kMostTablesPerStatement)
            return result;
        QString table = result.error.mid(at + missing.size());
        if (table.startsWith(QLatin1String("main.")))
            table.remove(0, 5);
        const QString problem = load(table);
        if (!problem.isEmpty()) {
            result.error = problem;
            return result;
        }
    }
}

QString SourceCopy::load(const QString& table) {
    TableRows rows;
    try {
        rows = m_reader->readRows(table);
    } catch (const RuntimeError& failure) {
        return QStringLiteral("[Preview] %1").arg(failure.description());
    }
    if (rows.columns.empty())
        return QStringLiteral("[Preview] The table \"%1\" of %2 has no columns.")
            .arg(table, m_source.what);
    QStringList columns;
    QStringList markers;
    for (const ColumnInfo& column : rows.columns) {
        columns.append(quoted(column.name) + u' ' + declaredTypeOf(column));
        markers.append(QStringLiteral("?"));
    }
    const auto failed = [this, &table]() {
        const QString message =
            QStringLiteral("[Preview] The table \"%1\" of %2 cannot be read: %3")
                .arg(table, m_source.what, QString::fromUtf8(sqlite3_errmsg(m_db)));
        exec(m_db, "ROLLBACK");
        exec(m_db, "PRAGMA query_only = ON");
        return message;
    };
    exec(m_db, "PRAGMA query_only = OFF");
    exec(m_db, "BEGIN");
    const QByteArray create = QStringLiteral("CREATE TABLE %1 (%2)")
                                  .arg(quoted(table), columns.join(QLatin1String(", ")))
                                  .toUtf8();
    if (!exec(m_db, create.constData()))
        return failed();
    const QByteArray insert = QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                  .arg(quoted(table), markers.join(QLatin1String(", ")))
                                  .toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, insert.constData(), static_cast<int>(insert.size()), &statement,
                           nullptr) != SQLITE_OK)
        return failed();
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(statement, sqlite3_finalize);
    for (const QVariantList& row : rows.rows) {
        for (int c = 0; c < static_cast<int>(rows.columns.size()); ++c)
            bindValue(statement, c + 1, c < row.size() ? row.at(c) : QVariant());
        if (sqlite3_step(statement) != SQLITE_DONE)
            return failed();
        sqlite3_reset(statement);
    }
    if (!exec(m_db, "COMMIT"))
        return failed();
    exec(m_db, "PRAGMA query_only = ON");
    return {};
}

} // namespace ordwick::preview
