#include "preview/database.h"

#include "preview/odbcconnection.h"
#include "preview/sqliteconnection.h"

namespace ordwick::preview {

void readAllRows(RowStream& rows, QueryResult& result) {
    QString error;
    for (;;) {
        QList<QVariantList> batch = rows.next(4096, error);
        if (batch.isEmpty() || !error.isEmpty())
            break;
        result.rows.append(std::move(batch));
    }
    if (!error.isEmpty()) {
        result.error = error;
        result.rows.clear();
    }
}

QString connectionStringValue(const QString& connectionString, const QString& key) {
    qsizetype i = 0;
    const qsizetype n = connectionString.size();
    while (i < n) {
        while (i < n && (connectionString[i] == QLatin1Char(';') || connectionString[i].isSpace()))
            ++i;
        const qsizetype equals = connectionString.indexOf(QLatin1Char('='), i);
        if (equals < 0)
            break;
        const QString name = connectionString.mid(i, equals - i).trimmed();
        i = equals + 1;
        while (i < n && connectionString[i] == QLatin1Char(' '))
            ++i;
        QString value;
        if (i < n && connectionString[i] == QLatin1Char('{')) {
            const qsizetype close = connectionString.indexOf(QLatin1Char('}'), i + 1);
            value = connectionString.mid(i + 1, (close < 0 ? n : close) - i - 1);
            i = close < 0 ? n : close + 1;
            while (i < n && connectionString[i] != QLatin1Char(';'))
                ++i;
        } else {
            const qsizetype semicolon = connectionString.indexOf(QLatin1Char(';'), i);
            value = connectionString.mid(i, (semicolon < 0 ? n : semicolon) - i).trimmed();
            i = semicolon < 0 ? n : semicolon;
        }
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

namespace {

// The drivers of desktop files that only exist on Windows.
bool isDesktopSource(const QString& connectionString) {
    const QString driver = connectionStringValue(connectionString, QStringLiteral("Driver"));
    const QString provider = connectionStringValue(connectionString, QStringLiteral("Provider"));
    static const QStringList desktopDrivers = {QStringLiteral("Microsoft Access Driver"),
                                               QStringLiteral("Microsoft Excel Driver"),
                                               QStringLiteral("Microsoft dBase Driver"),
                                               QStringLiteral("Microsoft Text Driver"),
                                               QStringLiteral("Microsoft Visual FoxPro Driver"),
                                               QStringLiteral("Microsoft Paradox Driver")};
    for (const QString& name : desktopDrivers) {
        if (driver.startsWith(name, Qt::CaseInsensitive))
            return true;
    }
    return provider.startsWith(QLatin1String("Microsoft.Jet"), Qt::CaseInsensitive) ||
           provider.startsWith(QLatin1String("Microsoft.ACE"), Qt::CaseInsensitive);
}

} // namespace

std::unique_ptr<DataConnection> openDataConnection(const QString& connectionString,
                                                   QString& error) {
    if (connectionString.trimmed().isEmpty()) {
        error = QStringLiteral("The connection string is empty.");
        return nullptr;
    }
    if (isDesktopSource(connectionString)) {
        error = QStringLiteral(
            "The preview cannot open this data source yet: its connection string names a "
            "Windows desktop driver (Access, Excel, dBase or text files). Preview the site of "
            "a SQLite, PostgreSQL or MariaDB source, or try this site on IIS.");
        return nullptr;
    }
    const QString driver = connectionStringValue(connectionString, QStringLiteral("Driver"));
    if (driver.contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return SqliteConnection::open(
            connectionStringValue(connectionString, QStringLiteral("Database")), error);
    return OdbcConnection::open(connectionString, error);
}

} // namespace ordwick::preview
