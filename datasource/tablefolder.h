#pragma once

#include "datasource/dataconnection.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <vector>

namespace ordwick {

// A source whose tables are the files of one folder (dBase tables, text
// tables): listing, finding a table's file and the query check are the same
// for all of them; reading a file's columns is each kind's own.
class TableFolder : public DataConnection {
public:
    std::vector<TableInfo> tables() override;
    // Such folders have no keys; asking about a table that is not there fails.
    std::vector<KeyColumn> primaryKeys(const QString& table) override;
    void checkQuery(const QString& sql) override;

protected:
    struct Kind {
        QString what;         // "dBase tables", in messages about the folder
        QString tableWords;   // "dBase table", in messages about one table
        QStringList patterns; // the files that are tables
        bool nameWithSuffix;  // the table is named by the whole file name
    };

    // Throws RuntimeError (GeneralFailure) when the folder is not there.
    TableFolder(const QString& folder, Kind kind);

    QString tableName(const QFileInfo& file) const;
    // The file of a table, by its table name or its file name.
    QFileInfo fileOf(const QString& table) const;
    const QString& shownFolder() const { return m_shown; }

private:
    std::vector<QFileInfo> files() const;

    QString m_folder;
    QString m_shown;
    Kind m_kind;
};

} // namespace ordwick
