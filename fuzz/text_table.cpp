// The text-table reader: any file reads, every row has a value for each
// column, the column names are unique, and the columns read alone are the
// ones the rows were read with.
#include "datasource/connections.h"
#include "foundation/runtimeerror.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace ordwick::fuzz {

void textTable(const QByteArray& data) {
    constexpr char kTarget[] = "text_table";
    // The first byte picks the delimiter: tab for a .tab file, else a comma.
    const bool tabs = !data.isEmpty() && (data.at(0) & 1);
    const QString folder = scratchFolder() + QStringLiteral("/texttable");
    QDir().mkpath(folder);
    const QString file = tabs ? QStringLiteral("table.tab") : QStringLiteral("table.csv");
    QFile::remove(folder + QStringLiteral("/table.tab"));
    QFile::remove(folder + QStringLiteral("/table.csv"));
    {
        QFile out(folder + QLatin1Char('/') + file);
        const QByteArray table = data.mid(1);
        require(out.open(QIODevice::WriteOnly) && out.write(table) == table.size(), kTarget,
                [&] { return QStringLiteral("cannot write the table"); });
    }
    const std::unique_ptr<DataConnection> connection = openTextFolder(folder);
    const std::vector<TableInfo> tables = connection->tables();
    require(tables.size() == 1, kTarget,
            [&] { return QStringLiteral("%1 tables listed").arg(tables.size()); });
    const TableRows rows = connection->readRows(tables.front().name);
    QSet<QString> names;
    for (const ColumnInfo& column : rows.columns) {
        require(!column.name.isEmpty(), kTarget,
                [&] { return QStringLiteral("a column without a name"); });
        names.insert(column.name.toCaseFolded());
    }
    require(names.size() == static_cast<qsizetype>(rows.columns.size()), kTarget,
            [&] { return QStringLiteral("two columns of one name"); });
    for (const QVariantList& row : rows.rows)
        require(row.size() == static_cast<qsizetype>(rows.columns.size()), kTarget, [&] {
            return QStringLiteral("a row of %1 values for %2 columns")
                .arg(row.size())
                .arg(rows.columns.size());
        });
    // The column types come from the first 1000 rows, so with fewer rows the
    // columns read alone are the same.
    if (rows.rows.size() < 1000) {
        const std::vector<ColumnInfo> columns = connection->columns(tables.front().name);
        bool same = columns.size() == rows.columns.size();
        for (size_t i = 0; same && i < columns.size(); ++i)
            same = columns[i].name == rows.columns[i].name &&
                   columns[i].dataType == rows.columns[i].dataType &&
                   columns[i].maxLength == rows.columns[i].maxLength;
        require(same, kTarget, [&] {
            return QStringLiteral("the columns read alone differ from the rows' columns");
        });
    }
}

} // namespace ordwick::fuzz
