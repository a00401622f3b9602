#include "preview/database.h"

#include "datasource/connectionstring.h"
#include "preview/desktopconnection.h"
#include "preview/odbcconnection.h"
#include "preview/sqliteconnection.h"

#include <utility>

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

namespace {

class HeldRowStream final : public RowStream {
public:
    explicit HeldRowStream(QList<QVariantList> rows) : m_rows(std::move(rows)) {}

    QList<QVariantList> next(int max, QString&) override {
        const qsizetype count = qMin<qsizetype>(max, m_rows.size() - m_next);
        QList<QVariantList> batch = m_rows.mid(m_next, count);
        m_next += count;
        return batch;
    }

private:
    const QList<QVariantList> m_rows;
    qsizetype m_next = 0;
};

} // namespace

std::unique_ptr<RowStream> heldRows(QueryResult& result) {
    if (!result.error.isEmpty() || result.columns.isEmpty())
        return nullptr;
    return std::make_unique<HeldRowStream>(std::exchange(result.rows, {}));
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

// The drivers of desktop files that only exist on Windows and that no reader
// of this program reads.
bool isUnreadDesktopSource(const QString& connectionString) {
    const QString driver = connectionStringValue(connectionString, QStringLiteral("Driver"));
    const QString provider = connectionStringValue(connectionString, QStringLiteral("Provider"));
    return driver.startsWith(QLatin1String("Microsoft Visual FoxPro Driver"),
                             Qt::CaseInsensitive) ||
           driver.startsWith(QLatin1String("Microsoft Paradox Driver"), Qt::CaseInsensitive) ||
           provider.startsWith(QLatin1String("Microsoft.Jet"), Qt::CaseInsensitive) ||
           provider.startsWith(QLatin1String("Microsoft.ACE"), Qt::CaseInsensitive);
}

} // namespace

std::unique_ptr<DataConnection> openDataConnection(const QString& connectionString,
                                                   SourceCopies& copies, QString& error) {
    if (connectionString.trimmed().isEmpty()) {
        error = QStringLiteral("The connection string is empty.");
        return nullptr;
    }
    if (const std::optional<DesktopSource> source = desktopSource(connectionString))
        return DesktopConnection::open(*source, copies, error);
    if (isUnreadDesktopSource(connectionString)) {
        error = QStringLiteral(
            "The preview cannot open this data source: its connection string names a Windows "
            "desktop driver whose files the preview does not read (it reads Access databases, "
            "Excel workbooks and folders of dBase and text tables). Try this site on IIS.");
        return nullptr;
    }
    const QString driver = connectionStringValue(connectionString, QStringLiteral("Driver"));
    if (driver.contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return SqliteConnection::open(
            connectionStringValue(connectionString, QStringLiteral("Database")), error);
    // As ADO does, the pairs are handed on without the blanks around them:
    // some drivers read " PWD" as a key of its own and lose the password.
    return OdbcConnection::open(ConnectionString(connectionString).normalized(), error);
}

} // namespace ordwick::preview
