// The tables of a desktop data source (an Access database, an Excel workbook,
// a folder of dBase or text tables) copied into an in-memory SQLite database,
// where the pages' queries run. Nothing is ever written back to the source.
#pragma once

#include "preview/database.h"

#include <QSet>
#include <QString>
#include <map>
#include <memory>
#include <mutex>

struct sqlite3;

namespace ordwick {
class DataConnection;
}

namespace ordwick::preview {

// Which reader opens the source, and what messages call it.
struct DesktopSource {
    enum class Kind { Access, Excel, Dbase, Text };
    Kind kind = Kind::Access;
    QString path; // the file, or the folder of the tables
    QString what; // "the Access database", for messages
};

class SourceCopy {
public:
    // A fresh copy, its tables copied in as statements name them; null with
    // error set when the source cannot be opened.
    static std::shared_ptr<SourceCopy> make(const DesktopSource& source, QString& error);

    ~SourceCopy();
    SourceCopy(const SourceCopy&) = delete;
    SourceCopy& operator=(const SourceCopy&) = delete;

    // Runs a statement already in SQLite's words, first copying in each table
    // it names that is not copied yet. Only reading statements get here.
    QueryResult run(const QString& sql, const QList<QueryParameter>& parameters);

private:
    SourceCopy(sqlite3* db, std::unique_ptr<ordwick::DataConnection> reader,
               const DesktopSource& source);
    // Copies one table in; an error text, empty on success.
    QString load(const QString& table);

    std::mutex m_mutex; // one statement at a time, as SQLite's handle needs
    sqlite3* m_db;
    std::unique_ptr<ordwick::DataConnection> m_reader;
    DesktopSource m_source;
};

// The copies a site's pages read, kept between requests and dropped with the
// site. A copy made before a file of the source last changed is replaced, so
// a page sees what a new request to the driver would.
class SourceCopies {
public:
    std::shared_ptr<SourceCopy> copyOf(const DesktopSource& source, QString& error);

private:
    struct Kept {
        QString stamp; // the source's files when the copy was made
        std::shared_ptr<SourceCopy> copy;
    };
    std::mutex m_mutex;
    std::map<QString, Kept> m_copies;
};

} // namespace ordwick::preview
