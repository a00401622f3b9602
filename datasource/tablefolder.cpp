#include "datasource/tablefolder.h"

#include "datasource/schemamirror.h"
#include "foundation/runtimeerror.h"

#include <QDir>
#include <utility>

namespace ordwick {

TableFolder::TableFolder(const QString& folder, Kind kind)
    : m_folder(folder), m_shown(shownPath(folder)), m_kind(std::move(kind)) {
    if (folder.isEmpty())
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("No folder of %1 was named.").arg(m_kind.what));
    if (!QFileInfo(folder).isDir())
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("The folder \"%1\" does not exist.").arg(m_shown));
}

std::vector<TableInfo> TableFolder::tables() {
    std::vector<TableInfo> result;
    for (const QFileInfo& file : files())
        result.push_back({tableName(file), QStringLiteral("TABLE")});
    return result;
}

std::vector<KeyColumn> TableFolder::primaryKeys(const QString& table) {
    if (!table.isEmpty())
        fileOf(table);
    return {};
}

void TableFolder::checkQuery(const QString& sql) {
    checkStatement(readSchema(*this), sql);
}

QString TableFolder::tableName(const QFileInfo& file) const {
    return driverObjectName(m_kind.nameWithSuffix ? file.fileName() : file.completeBaseName());
}

std::vector<QFileInfo> TableFolder::files() const {
    const QDir folder(m_folder);
    if (!folder.exists())
        throw RuntimeError(DataError::GeneralFailure,
                           QStringLiteral("The folder \"%1\" does not exist.").arg(m_shown));
    const QFileInfoList found =
        folder.entryInfoList(m_kind.patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
    return {found.begin(), found.end()};
}

QFileInfo TableFolder::fileOf(const QString& table) const {
    for (const QFileInfo& file : files()) {
        if (tableName(file).compare(table, Qt::CaseInsensitive) == 0 ||
            (m_kind.nameWithSuffix && file.fileName().compare(table, Qt::CaseInsensitive) == 0))
            return file;
    }
    throw RuntimeError(DataError::GeneralFailure,
                       QStringLiteral("The folder \"%1\" has no %2 \"%3\".")
                           .arg(m_shown, m_kind.tableWords, table));
}

} // namespace ordwick
