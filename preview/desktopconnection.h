// Connection strings of the Windows desktop drivers (Access, Excel, dBase and
// text files): the pages' queries run read-only on a copy of the tables made
// by the program's own readers.
#pragma once

#include "preview/database.h"
#include "preview/sourcecopy.h"

#include <optional>

namespace ordwick::preview {

// The source a connection string of a desktop driver names; empty for any
// other connection string.
std::optional<DesktopSource> desktopSource(const QString& connectionString);

class DesktopConnection final : public DataConnection {
public:
    // Reads through the site's copy of the source.
    static std::unique_ptr<DataConnection> open(const DesktopSource& source, SourceCopies& copies,
                                                QString& error);

    // A statement that would change data is refused, and nothing is written.
    QueryResult execute(const QString& sql, const QList<QueryParameter>& parameters) override;
    // The copy is in memory and small next to a server's tables, so its rows
    // are read whole and handed out from there.
    std::unique_ptr<RowStream> stream(const QString& sql, const QList<QueryParameter>& parameters,
                                      QueryResult& head) override;
    // Accepted: with nothing ever written there is nothing to commit or undo.
    QString transaction(const QString& step) override;

private:
    DesktopConnection(std::shared_ptr<SourceCopy> copy, DesktopSource source)
        : m_copy(std::move(copy)), m_source(std::move(source)) {}

    std::shared_ptr<SourceCopy> m_copy;
    DesktopSource m_source;
};

} // namespace ordwick::preview
