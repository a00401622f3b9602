#include "datasource/dataconnection.h"

#include "datasource/connections.h"
#include "datasource/connectionstring.h"
#include "foundation/runtimeerror.h"

namespace ordwick {

namespace {

bool isDriver(const QString& driver, const char* name) {
    return driver.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

} // namespace

TableRows DataConnection::readRows(const QString& table) {
    throw RuntimeError(DataError::GeneralFailure,
                       QStringLiteral("The rows of \"%1\" are read through the source's own "
                                      "driver, not by this program.")
                           .arg(table));
}

std::unique_ptr<DataConnection> openConnection(const QString& connectionString,
                                               const ConnectOptions& options) {
    const ConnectionString parts(connectionString);
    const QString provider = parts.value(QStringLiteral("PROVIDER"));
    if (provider.startsWith(QLatin1String("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive)) {
        return openAccessFile(parts.value(QStringLiteral("Data Source")),
                              parts.value(QStringLiteral("User Id")),
                              parts.value(QStringLiteral("Password")));
    }
    // The desktop drivers' strings name files and folders this program reads
    // itself; no ODBC driver needs to be installed for them.
    const QString driver = parts.value(QStringLiteral("DRIVER"));
    if (isDriver(driver, "Microsoft Access Driver (*.mdb)")) {
        return openAccessFile(parts.value(QStringLiteral("DBQ")),
                              parts.value(QStringLiteral("UID")),
                              parts.value(QStringLiteral("PWD")));
    }
    if (isDriver(driver, "Microsoft Excel Driver (*.xls)"))
        return openExcelFile(parts.value(QStringLiteral("DBQ")));
    if (isDriver(driver, "Microsoft dBASE Driver (*.dbf)"))
        return openDbaseFolder(parts.value(QStringLiteral("DBQ")));
    if (isDriver(driver, "Microsoft Text Driver (*.txt; *.csv)"))
        return openTextFolder(parts.value(QStringLiteral("DBQ")));
    if (isDriver(driver, "SQLite3"))
        return openSqliteFile(parts.value(QStringLiteral("Database")));
    return openOdbc(parts.normalized(), options);
}

} // namespace ordwick
