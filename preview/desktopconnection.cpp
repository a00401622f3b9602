#include "preview/desktopconnection.h"

#include "preview/jetsql.h"

#include <QDir>

namespace ordwick::preview {

namespace {

bool startsWith(const QString& text, const char* prefix) {
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

} // namespace

std::optional<DesktopSource> desktopSource(const QString& connectionString) {
    const QString driver = connectionStringValue(connectionString, QStringLiteral("Driver"));
    const QString provider = connectionStringValue(connectionString, QStringLiteral("Provider"));
    QString file = connectionStringValue(connectionString, QStringLiteral("DBQ"));
    DesktopSource source;
    if (startsWith(provider, "Microsoft.Jet.OLEDB") ||
        startsWith(provider, "Microsoft.ACE.OLEDB")) {
        // The OLE DB providers open Access databases unless told otherwise.
        const QString properties =
            connectionStringValue(connectionString, QStringLiteral("Extended Properties"));
        if (!properties.isEmpty() && !startsWith(properties, "MS Access"))
            return std::nullopt;
        source = {DesktopSource::Kind::Access,
                  connectionStringValue(connectionString, QStringLiteral("Data Source")),
                  QStringLiteral("the Access database")};
    } else if (startsWith(driver, "Microsoft Access Driver")) {
        source = {DesktopSource::Kind::Access, file, QStringLiteral("the Access database")};
    } else if (startsWith(driver, "Microsoft Excel Driver")) {
        source = {DesktopSource::Kind::Excel, file, QStringLiteral("the Excel workbook")};
    } else if (startsWith(driver, "Microsoft dBase Driver")) {
        if (file.isEmpty())
            file = connectionStringValue(connectionString, QStringLiteral("DefaultDir"));
        source = {DesktopSource::Kind::Dbase, file, QStringLiteral("the folder of dBase tables")};
    } else if (startsWith(driver, "Microsoft Text Driver")) {
        if (file.isEmpty())
            file = connectionStringValue(connectionString, QStringLiteral("DefaultDir"));
        source = {DesktopSource::Kind::Text, file, QStringLiteral("the folder of text files")};
    } else {
        return std::nullopt;
    }
    if (!source.path.isEmpty())
        source.what += QStringLiteral(" \"%1\"").arg(QDir::toNativeSeparators(source.path));
    return source;
}

std::unique_ptr<DataConnection> DesktopConnection::open(const DesktopSource& source,
                                                        SourceCopies& copies, QString& error) {
    std::shared_ptr<SourceCopy> copy = copies.copyOf(source, error);
    if (!copy)
        return nullptr;
    return std::unique_ptr<DataConnection>(new DesktopConnection(std::move(copy), source));
}

QueryResult DesktopConnection::execute(const QString& sql,
                                       const QList<QueryParameter>& parameters) {
    const QString verb = jetsql::changingVerb(sql);
    if (!verb.isEmpty()) {
        QueryResult refused;
        refused.error =
            QStringLiteral("[Preview] The preview opens %1 read-only, and this page tried to "
                           "change it (%2). Nothing was written. Adding, editing and deleting "
                           "records there works on IIS; in the preview it works on SQLite, "
                           "PostgreSQL and MariaDB sources.")
                .arg(m_source.what, verb);
        return refused;
    }
    return m_copy->run(jetsql::toSqlite(sql), parameters);
}

std::unique_ptr<RowStream> DesktopConnection::stream(const QString& sql,
                                                     const QList<QueryParameter>& parameters,
                                                     QueryResult& head) {
    head = execute(sql, parameters);
    return heldRows(head);
}

QString DesktopConnection::transaction(const QString&) {
    return {};
}

} // namespace ordwick::preview
