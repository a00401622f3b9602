#include "datasource/connectionbuilder.h"

#include "foundation/paths.h"
#include "project/projectsession.h"

namespace ordwick {

std::int32_t classifyDataFile(const QString& path, std::int32_t current) {
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".db")) || lower.endsWith(QLatin1String(".sqlite")) ||
        lower.endsWith(QLatin1String(".sqlite3")))
        return FamilySqlite;
    const QString extension = path.right(4).toUpper();
    if (extension == QLatin1String(".MDB"))
        return FamilyAccess;
    if (extension == QLatin1String(".XLS"))
        return FamilyExcel;
    if (extension == QLatin1String(".DBF"))
        return FamilyDbase;
    if (extension == QLatin1String(".TXT") || extension == QLatin1String(".CSV"))
        return FamilyText;
    return current;
}

std::int32_t classifyDriver(const QString& driverName) {
    if (driverName == QLatin1String("Microsoft Access Driver (*.mdb)"))
        return FamilyAccess;
    if (driverName == QLatin1String("Microsoft Text Driver (*.txt; *.csv)"))
        return FamilyText;
    if (driverName == QLatin1String("Microsoft dBase Driver (*.dbf)"))
        return FamilyDbase;
    if (driverName == QLatin1String("Microsoft Excel Driver (*.xls)"))
        return FamilyExcel;
    if (driverName == QLatin1String("SQL Server"))
        return FamilySqlServer;
    if (driverName.left(10) == QLatin1String("MySQL ODBC"))
        return FamilyMySql;
    const QString name = driverName.toLower();
    const auto has = [&name](const char* word) { return name.contains(QLatin1String(word)); };
    if (has("sqlite"))
        return FamilySqlite;
    if (has("postgres") || has("psqlodbc"))
        return FamilyPostgres;
    if (has("mysql") || has("mariadb"))
        return FamilyMySql;
    if (has("sql server") || has("sqlsrv") || has("sql native client"))
        return FamilySqlServer;
    if (has("oracle"))
        return FamilyOracle;
    if (has("access driver") || has("*.mdb"))
        return FamilyAccess;
    if (has("excel driver"))
        return FamilyExcel;
    if (has("text driver"))
        return FamilyText;
    if (has("dbase driver"))
        return FamilyDbase;
    return FamilyOtherSql;
}

std::optional<std::int32_t> classifyDatabaseName(const QString& productName) {
    const QString name = productName.toLower();
    const auto has = [&name](const char* word) { return name.contains(QLatin1String(word)); };
    if (has("postgres"))
        return FamilyPostgres;
    if (has("mysql") || has("mariadb"))
        return FamilyMySql;
    if (has("sql server"))
        return FamilySqlServer;
    if (has("oracle"))
        return FamilyOracle;
    if (has("sqlite"))
        return FamilySqlite;
    if (name == QLatin1String("access"))
        return FamilyAccess;
    return std::nullopt;
}

namespace {

QString fileConnectionString(const Project& p) {
    const QString folder = GetFolderPath(p.DatabaseName);
    switch (p.DatasourceType) {
    case FamilyAccess:
        return QStringLiteral("Driver={Microsoft Access Driver (*.mdb)}; ") +
               QStringLiteral("DBQ=") + p.DatabaseName + QStringLiteral("; ") +
               QStringLiteral("DriverId=25; ") + QStringLiteral("FIL=MS Access; ") +
               QStringLiteral("MaxBufferSize=2048; ") + QStringLiteral("PageTimeout=5; ") +
               QStringLiteral("UID=") + p.DBLogin + QStringLiteral("; ") + QStringLiteral("PWD=") +
               p.DBPassword;
    case FamilyExcel:
        return QStringLiteral("Driver={Microsoft Excel Driver (*.xls)}; ") +
               QStringLiteral("DriverId=790; ") + QStringLiteral("MaxBufferSize=2048; ") +
               QStringLiteral("PageTimeout=5; ") + QStringLiteral("DBQ=") + p.DatabaseName +
               QStringLiteral("; ") + QStringLiteral("DefaultDir=") + folder;
    case FamilyDbase:
        return QStringLiteral("Driver={Microsoft dBASE Driver (*.dbf)}; ") +
               QStringLiteral("DriverId=277; ") + QStringLiteral("MaxBufferSize=2048; ") +
               QStringLiteral("PageTimeout=5; ") + QStringLiteral("DBQ=") + folder;
    case FamilyText:
        return QStringLiteral("Driver={Microsoft Text Driver (*.txt; *.csv)}; ") +
               QStringLiteral("DBQ=") + folder + QStringLiteral("; ") +
               QStringLiteral("MaxBufferSize=2048; ") + QStringLiteral("PageTimeout=5; ") +
               QStringLiteral("Extensions=asc,csv,tab,txt");
    case FamilySqlite:
        return QStringLiteral("Driver={SQLite3}; ") + QStringLiteral("Database=") + p.DatabaseName;
    default:
        return {};
    }
}

} // namespace

QString BuildConnectionString(const Project& project, std::int32_t projectOrigin,
                              const QString& typedConnectionString) {
    // After a save the stored string is the one the table list was read with,
    // so a saved project is treated like an opened one.
    if (projectOrigin != OriginNew && !project.ConnectionString.isEmpty())
        return project.ConnectionString;
    switch (project.DatasourceStatus) {
    case DatasourceFile:
        return fileConnectionString(project);
    case DatasourceDsn:
        return QStringLiteral("DSN=") + project.DatabaseName + QStringLiteral("; ") +
               QStringLiteral("UID=") + project.DBLogin + QStringLiteral("; ") +
               QStringLiteral("PWD=") + project.DBPassword;
    case DatasourceConnection:
        return typedConnectionString.trimmed();
    default:
        return {};
    }
}

QString jetKeyConnectionString(const QString& databaseFile, const QString& login,
                               const QString& password) {
    return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0; ") + QStringLiteral("Data Source=") +
           databaseFile + QStringLiteral("; ") + QStringLiteral("User Id=") + login +
           QStringLiteral("; ") + QStringLiteral("Password=") + password;
}

} // namespace ordwick
