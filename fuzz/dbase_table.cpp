// The dBase reader: what shapelib gives back for any table, with any memo
// file beside it, reads without a crash, every row has a value for each
// column, and the columns read alone are the rows' columns.
//
// Input: two bytes (big-endian) with the length of the table, the top bit
// set for a FoxPro memo file (.fpt) instead of a dBase one (.dbt); the
// table; the memo file, if anything is left.
#include "datasource/connections.h"
#include "foundation/runtimeerror.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"

#include <QDir>
#include <QFile>

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "dbase_table";

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes) == bytes.size(),
            kTarget, [&] { return QStringLiteral("cannot write %1").arg(path); });
}

} // namespace

void dbaseTable(const QByteArray& data) {
    if (data.size() < 2)
        return;
    const auto head = static_cast<unsigned char>(data.at(0));
    const bool foxPro = (head & 0x80) != 0;
    const qsizetype tableLength = ((head & 0x7F) << 8) | static_cast<unsigned char>(data.at(1));
    const QByteArray table = data.mid(2, tableLength);
    const QByteArray memo = data.mid(2 + tableLength);

    const QString folder = scratchFolder() + QStringLiteral("/dbase");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/table.dbf"), table);
    if (!memo.isEmpty())
        writeFile(folder + (foxPro ? QStringLiteral("/table.fpt") : QStringLiteral("/table.dbt")),
                  memo);

    const std::unique_ptr<DataConnection> connection = openDbaseFolder(folder);
    TableRows rows;
    std::vector<ColumnInfo> columns;
    try {
        columns = connection->columns(QStringLiteral("table"));
        rows = connection->readRows(QStringLiteral("table"));
    } catch (const RuntimeError&) {
        return; // a damaged table, reported as such
    }
    bool same = columns.size() == rows.columns.size();
    for (size_t i = 0; same && i < columns.size(); ++i)
        same = columns[i].name == rows.columns[i].name &&
               columns[i].dataType == rows.columns[i].dataType &&
               columns[i].maxLength == rows.columns[i].maxLength;
    require(same, kTarget,
            [&] { return QStringLiteral("the columns read alone differ from the rows' columns"); });
    for (const QVariantList& row : rows.rows)
        require(row.size() == static_cast<qsizetype>(rows.columns.size()), kTarget, [&] {
            return QStringLiteral("a row of %1 values for %2 columns")
                .arg(row.size())
                .arg(rows.columns.size());
        });
}

} // namespace ordwick::fuzz
