#include "datasource/accessdates.h"
#include "datasource/accessfilequery.h"
#include "datasource/connections.h"
#include "datasource/schemamirror.h"
#include "datasource/schemamirrorprocess.h"
#include "foundation/runtimeerror.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mdbtools.h>
#include <memory>

namespace ordwick {

QVariant accessDateValue(double stored) {
    // Access keeps dates from the year 100 to 9999, within 3,000,000 days of
    // its day zero; anything further is damage, and no whole number of days.
    constexpr double kFurthestDay = 3'000'000;
    if (!std::isfinite(stored) || std::fabs(stored) > kFurthestDay)
        return {};
    const double days = std::trunc(stored);
    const double fraction = std::fabs(stored - days);
    const auto milliseconds = static_cast<qint64>(std::llround(fraction * 86400000.0));
    const QDate day = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    if (!day.isValid())
        return {};
    return QDateTime(day, QTime(0, 0)).addMSecs(milliseconds);
}

namespace {

struct HandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableDefFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TableDef = std::unique_ptr<MdbTableDef, TableDefFreer>;

// Index type of a table's primary key; 2 marks the entries relationships add.
constexpr unsigned char kPrimaryKeyIndex = 1;
// Memo text longer than this is cut when a row is read; each column's buffer
// is this large.
constexpr size_t kRowBindSize = 256 * 1024;
// Saved queries refer to each other; a chain this deep can only be a loop.
constexpr int kDeepestQueryChain = 16;

template <typename T> T* element(GPtrArray* array, guint index) {
    return static_cast<T*>(g_ptr_array_index(array, index));
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The codes the desktop ODBC driver reports for the engine's field types.
ColumnInfo columnInfo(const MdbHandle& mdb, const MdbColumn& column) {
    const QString name = QString::fromUtf8(column.name);
    switch (column.col_type) {
    case MDB_BOOL:
        return {name, adBoolean, std::nullopt};
    case MDB_BYTE:
        return {name, adTinyInt, std::nullopt};
    case MDB_INT:
        return {name, adSmallInt, std::nullopt};
    case MDB_LONGINT: // AutoNumber too
        return {name, adInteger, std::nullopt};
    case MDB_MONEY:
    case MDB_NUMERIC:
        return {name, adNumeric, std::nullopt};
    case MDB_FLOAT:
        return {name, adSingle, std::nullopt};
    case MDB_DOUBLE:
        return {name, adDouble, std::nullopt};
    case MDB_DATETIME:
        return {name, adDBTimeStamp, std::nullopt};
    case MDB_TEXT:
        // Jet 4 and later store text as UTF-16: the size is in bytes.
        return {name, adWChar,
                mdb.f->jet_version == MDB_VER_JET3 ? column.col_size : column.col_size / 2};
    case MDB_MEMO:
        return {name, adWChar, kLongTextLength};
    case MDB_REPID:
        return {name, adGUID, std::nullopt};
    case MDB_COMPLEX:
        // Attachments and multi-valued fields: the row holds the long key of
        // its values in a hidden table.
        return {name, adInteger, std::nullopt};
    default: // MDB_BINARY, MDB_OLE
        return {name, adBinary, std::nullopt};
    }
}

// What one call sees of the database. The catalog is read afresh for every
// call, and its entries live until the next read.
class Snapshot {
public:
    Snapshot(MdbHandle* mdb, const QString& shown) : m_mdb(mdb), m_shown(shown) {
        GPtrArray* catalog = mdb_read_catalog(mdb, MDB_ANY);
        if (!catalog)
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("The list of objects in the Access database \"%1\" "
                                              "cannot be read; the file may be damaged.")
                                   .arg(shown));
        for (guint i = 0; i < catalog->len; ++i) {
            MdbCatalogEntry* entry = element<MdbCatalogEntry>(catalog, i);
            if (entry->object_type == MDB_TABLE)
                m_tables.push_back(entry);
            else if (entry->object_type == MDB_QUERY)
                m_queryEntries.push_back(entry);
        }
    }

    // Sorted the way ODBC drivers sort their table lists: by type, then name.
    std::vector<TableInfo> list() {
        std::vector<TableInfo> result;
        for (MdbCatalogEntry* entry : m_tables) {
            const QString name = QString::fromUtf8(entry->object_name);
            const bool system = mdb_is_system_table(entry) ||
                                name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive);
            result.push_back(
                {name, system ? QStringLiteral("SYSTEM TABLE") : QStringLiteral("TABLE")});
        }
        for (const SavedQuery& query : queries()) {
            if (query.isView())
                result.push_back({query.name, QStringLiteral("VIEW")});
        }
        std::stable_sort(result.begin(), result.end(), [](const TableInfo& a, const TableInfo& b) {
            if (a.type != b.type)
                return a.type < b.type;
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
        return result;
    }

    MdbCatalogEntry* table(const QString& name) const {
        for (MdbCatalogEntry* entry : m_tables) {
            if (sameName(QString::fromUtf8(entry->object_name), name))
                return entry;
        }
        return nullptr;
    }

    const SavedQuery* selectQuery(const QString& name) {
        for (const SavedQuery& query : queries()) {
            if (query.kind == SavedQuery::Select && sameName(query.name, name))
                return &query;
        }
        return nullptr;
    }

    // The table definition with its columns (and, on request, its indexes).
    TableDef read(MdbCatalogEntry* entry, bool withIndexes) const {
        TableDef table(mdb_read_table(entry));
        const bool columnsRead = table && mdb_read_columns(table.get());
        // mdb_read_indices() answers nothing useful; what it read is in the table.
        if (columnsRead && withIndexes)
            mdb_read_indices(table.get());
        if (!columnsRead || (withIndexes && !table->indices))
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("The table \"%1\" in the Access database \"%2\" "
                                              "cannot be read; the file may be damaged.")
                                   .arg(QString::fromUtf8(entry->object_name), m_shown));
        return table;
    }

    std::vector<ColumnInfo> tableColumns(MdbCatalogEntry* entry) const {
        const TableDef table = read(entry, false);
        std::vector<ColumnInfo> result;
        for (guint i = 0; i < table->columns->len; ++i)
            result.push_back(columnInfo(*m_mdb, *element<MdbColumn>(table->columns, i)));
        return result;
    }

    // A table's or select query's columns; a query's inputs are read once per
    // snapshot however often the queries built on them name them.
    std::optional<std::vector<ColumnInfo>> sourceColumns(const QString& name, int depth = 0) {
        const QString key = name.toCaseFolded();
        if (const auto known = m_sourceColumns.find(key); known != m_sourceColumns.end())
            return known->second;
        std::optional<std::vector<ColumnInfo>> result;
        if (MdbCatalogEntry* entry = table(name)) {
            result = tableColumns(entry);
        } else if (const SavedQuery* query = selectQuery(name);
                   query && depth < kDeepestQueryChain) {
            result = savedQueryColumns(*query, [this, depth](const QString& source) {
                return sourceColumns(source, depth + 1);
            });
        }
        if (result)
            m_sourceColumns[key] = *result;
        return result;
    }

    const std::vector<MdbCatalogEntry*>& tableEntries() const { return m_tables; }

    // Every row of a table. mdbtools hands each value over as text; dates are
    // asked for in ISO form and booleans as numbers so that they read back
    // whatever the locale.
    TableRows rows(MdbCatalogEntry* entry) const {
        mdb_set_date_fmt(m_mdb, "%Y-%m-%d %H:%M:%S");
        mdb_set_shortdate_fmt(m_mdb, "%Y-%m-%d");
        mdb_set_boolean_fmt_numbers(m_mdb);
        mdb_set_bind_size(m_mdb, kRowBindSize);
        const TableDef table = read(entry, false);
        TableRows result;
        const guint count = table->columns->len;
        std::vector<std::vector<char>> values(count, std::vector<char>(kRowBindSize + 1));
        std::vector<int> lengths(count, 0);
        std::vector<int> kinds(count, 0);
        for (guint i = 0; i < count; ++i) {
            const MdbColumn& column = *element<MdbColumn>(table->columns, i);
            result.columns.push_back(columnInfo(*m_mdb, column));
            kinds[i] = column.col_type;
            mdb_bind_column(table.get(), static_cast<int>(i + 1), values[i].data(), &lengths[i]);
        }
        mdb_rewind_table(table.get());
        while (mdb_fetch_row(table.get())) {
            QVariantList row;
            row.reserve(static_cast<qsizetype>(count));
            for (guint i = 0; i < count; ++i) {
                const int length = std::clamp(lengths[i], 0, static_cast<int>(kRowBindSize));
                if (kinds[i] == MDB_OLE || length == 0) {
                    // Pictures and documents stored in the row are not shown
                    // by the pages; a false boolean comes back as nothing.
                    row.append(kinds[i] == MDB_BOOL ? QVariant(false) : QVariant());
                    continue;
                }
                const QByteArray bytes(values[i].data(), length);
                const MdbColumn& column = *element<MdbColumn>(table->columns, i);
                if (kinds[i] == MDB_DATETIME && column.cur_value_len == 8)
                    row.append(
                        accessDateValue(mdb_get_double(m_mdb->pg_buf, column.cur_value_start)));
                else if (kinds[i] == MDB_BINARY)
                    row.append(bytes);
                else
                    row.append(fieldValue(result.columns[i].dataType, QString::fromUtf8(bytes)));
            }
            result.rows.push_back(std::move(row));
        }
        return result;
    }

private:
    const std::vector<SavedQuery>& queries() {
        if (!m_queries)
            m_queries = readSavedQueries();
        return *m_queries;
    }

    // The saved queries, in catalog order. A database whose query definitions
    // cannot be read still shows its tables, only no views.
    std::vector<SavedQuery> readSavedQueries() const {
        MdbCatalogEntry* entry = table(QStringLiteral("MSysQueries"));
        if (!entry || m_queryEntries.empty())
            return {};
        std::map<unsigned long, SavedQuery> byObject;
        for (MdbCatalogEntry* query : m_queryEntries)
            byObject[query->table_pg].name = QString::fromUtf8(query->object_name);

        TableDef table(mdb_read_table(entry));
        if (!table || !mdb_read_columns(table.get()))
            return {};
        enum Field { ObjectId, Attribute, Name1, Name2, Expression, Flag, FieldCount };
        constexpr std::array<const char*, FieldCount> names = {"ObjectId", "Attribute",  "Name1",
                                                               "Name2",    "Expression", "Flag"};
        std::array<std::vector<char>, FieldCount> values;
        std::array<int, FieldCount> lengths{};
        for (int field = 0; field < FieldCount; ++field) {
            values[field].resize(m_mdb->bind_size + 1);
            QByteArray name(names[field]);
            if (mdb_bind_column_by_name(table.get(), name.data(), values[field].data(),
                                        &lengths[field]) < 0)
                return {};
        }
        const auto text = [&](int field) {
            return QString::fromUtf8(values[field].data(), std::max(lengths[field], 0));
        };
        mdb_rewind_table(table.get());
        while (mdb_fetch_row(table.get())) {
            // An object's id is its catalog number with the type in the top byte.
            const auto id = static_cast<unsigned long>(text(ObjectId).toLongLong()) & 0xFFFFFFu;
            const auto query = byObject.find(id);
            if (query == byObject.end())
                continue;
            SavedQuery& saved = query->second;
            const int flag = text(Flag).toInt();
            switch (text(Attribute).toInt()) {
            case 1:
                saved.kind = flag;
                break;
            case 2:
                saved.hasParameters = true;
                break;
            case 3:
                saved.allFields = (flag & 1) != 0;
                break;
            case 5:
                saved.inputs.push_back({text(Name1), text(Name2)});
                break;
            case 6:
                saved.outputs.push_back({text(Expression), text(Name1)});
                break;
            default:
                break;
            }
        }
        std::vector<SavedQuery> result;
        for (MdbCatalogEntry* query : m_queryEntries)
            result.push_back(std::move(byObject[query->table_pg]));
        return result;
    }

    MdbHandle* m_mdb;
    QString m_shown;
    std::vector<MdbCatalogEntry*> m_tables;
    std::vector<MdbCatalogEntry*> m_queryEntries;
    std::optional<std::vector<SavedQuery>> m_queries;
    std::map<QString, std::vector<ColumnInfo>> m_sourceColumns;
};

// Every question opens the file in a child process: mdbtools can loop, abort
// or allocate without end on a damaged file, and must not take the program
// with it.
class AccessFile final : public DataConnection {
public:
    explicit AccessFile(const QString& path) : m_path(path), m_shown(shownPath(path)) {
        if (path.isEmpty())
            throw RuntimeError(DataError::GeneralFailure,
                               QStringLiteral("No Access database file was named."));
        const QFileInfo info(path);
        if (!info.exists())
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The Access database \"%1\" does not exist.").arg(m_shown));
        QFile probe(info.absoluteFilePath());
        if (!info.isFile() || !probe.open(QIODevice::ReadOnly))
            throw RuntimeError(
                DataError::GeneralFailure,
                QStringLiteral("The Access database \"%1\" cannot be read.").arg(m_shown));
        // Every call starts from the catalog: a file without a readable one
        // is refused now rather than at the first question.
        read([](Snapshot&) { return QByteArray(); });
    }

    std::vector<TableInfo> tables() override {
        return unpacked<TableInfo>(read([](Snapshot& current) { return packed(current.list()); }));
    }

    std::vector<ColumnInfo> columns(const QString& table) override {
        return unpacked<ColumnInfo>(read([&](Snapshot& current) {
            if (std::optional<std::vector<ColumnInfo>> columns = current.sourceColumns(table))
                return packed(*columns);
            throw notFound(table);
        }));
    }

    std::vector<KeyColumn> primaryKeys(const QString& table) override {
        return unpacked<KeyColumn>(
            read([&](Snapshot& current) { return packed(keysOf(current, table)); }));
    }

    // Tables only: a saved query would need the engine's SQL to run.
    TableRows readRows(const QString& table) override {
        return unpackedRows(read([&](Snapshot& current) {
            MdbCatalogEntry* entry = current.table(table);
            if (!entry)
                throw notFound(table);
            return packedRows(current.rows(entry));
        }));
    }

    void checkQuery(const QString& sql) override {
        read([&](Snapshot& current) {
            std::vector<TableSchema> schema;
            for (const TableInfo& table : current.list()) {
                try {
                    if (std::optional<std::vector<ColumnInfo>> columns =
                            current.sourceColumns(table.name))
                        schema.push_back({table.name, std::move(*columns)});
                } catch (const RuntimeError&) {
                    // Left out, as readSchema() does.
                }
            }
            checkStatement(schema, sql);
            return QByteArray();
        });
    }

private:
    QByteArray read(const std::function<QByteArray(Snapshot&)>& question) const {
        return readInChildProcess(
            [&] {
                const std::unique_ptr<MdbHandle, HandleCloser> mdb(
                    mdb_open(QFile::encodeName(QFileInfo(m_path).absoluteFilePath()).constData(),
                             MDB_NOFLAGS));
                if (!mdb)
                    throw RuntimeError(DataError::GeneralFailure,
                                       QStringLiteral("The file \"%1\" is not an Access "
                                                      "database, or it is damaged.")
                                           .arg(m_shown));
                Snapshot current(mdb.get(), m_shown);
                return question(current);
            },
            QStringLiteral("The Access database \"%1\" is damaged: reading it failed.")
                .arg(m_shown));
    }

    std::vector<KeyColumn> keysOf(Snapshot& current, const QString& table) const {
        std::vector<MdbCatalogEntry*> entries;
        if (table.isEmpty()) {
            entries = current.tableEntries();
            std::stable_sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) {
                return QString::fromUtf8(a->object_name)
                           .compare(QString::fromUtf8(b->object_name), Qt::CaseInsensitive) < 0;
            });
        } else if (MdbCatalogEntry* entry = current.table(table)) {
            entries.push_back(entry);
        } else if (current.selectQuery(table)) {
            return {}; // a view has no key of its own
        } else {
            throw notFound(table);
        }
        std::vector<KeyColumn> result;
        for (MdbCatalogEntry* entry : entries) {
            const TableDef definition = current.read(entry, true);
            const QString name = QString::fromUtf8(entry->object_name);
            for (guint i = 0; i < definition->indices->len; ++i) {
                const MdbIndex* index = element<MdbIndex>(definition->indices, i);
                if (index->index_type != kPrimaryKeyIndex)
                    continue;
                for (unsigned key = 0; key < index->num_keys && key < MDB_MAX_IDX_COLS; ++key) {
                    const int column = index->key_col_num[key] - 1;
                    if (column >= 0 && static_cast<guint>(column) < definition->columns->len)
                        result.push_back(
                            {name, QString::fromUtf8(
                                       element<MdbColumn>(definition->columns, column)->name)});
                }
                break;
            }
        }
        return result;
    }

    RuntimeError notFound(const QString& table) const {
        return RuntimeError(DataError::GeneralFailure,
                            QStringLiteral("The Access database \"%1\" has no table or query "
                                           "named \"%2\".")
                                .arg(m_shown, table));
    }

    QString m_path;
    QString m_shown;
};

} // namespace

// A database password does not keep mdbtools out (Jet keeps it beside the data,
// and an encrypted page is decoded with a key kept in the file), so the user
// name and password of the connection string are not needed.
std::unique_ptr<DataConnection> openAccessFile(const QString& path, const QString&,
                                               const QString&) {
    return std::make_unique<AccessFile>(path);
}

} // namespace ordwick
