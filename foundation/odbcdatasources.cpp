#include "foundation/odbcdatasources.h"

#include <QByteArray>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

namespace ordwick {

namespace {

// The driver manager keeps one configuration mode for the whole process; every
// other user of it expects the mode it had, so it is put back on every path out.
class SystemConfigMode {
public:
    SystemConfigMode() {
        UWORD mode = ODBC_BOTH_DSN;
        if (SQLGetConfigMode(&mode))
            m_previous = mode;
        SQLSetConfigMode(ODBC_SYSTEM_DSN);
    }
    ~SystemConfigMode() { SQLSetConfigMode(m_previous); }
    SystemConfigMode(const SystemConfigMode&) = delete;
    SystemConfigMode& operator=(const SystemConfigMode&) = delete;

private:
    UWORD m_previous = ODBC_BOTH_DSN;
};

class EnvironmentHandle {
public:
    EnvironmentHandle() {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_handle))) {
            m_handle = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(m_handle, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
    }
    ~EnvironmentHandle() {
        if (m_handle != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, m_handle);
    }
    EnvironmentHandle(const EnvironmentHandle&) = delete;
    EnvironmentHandle& operator=(const EnvironmentHandle&) = delete;

    SQLHENV get() const { return m_handle; }

private:
    SQLHENV m_handle = SQL_NULL_HENV;
};

// Names and values of odbc.ini are bytes to the driver manager; this system
// writes its configuration files in UTF-8.
QString fromOdbc(const char* text) {
    return QString::fromUtf8(text);
}

constexpr const char* kOdbcIni = "odbc.ini";
// The driver manager reads lines of at most 1000 bytes, so no name or value is
// longer. A free stretch larger than a name at the end of a list of names
// proves nothing was cut from it.
constexpr int kLongestName = 1024;
constexpr int kLongestValue = 1024;
// Beyond this the driver manager is not cutting but misbehaving; take what it gave.
constexpr qsizetype kLargestBuffer = 1 << 20;

bool isReservedSection(const QString& name) {
    return name.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("ODBC Data Sources"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::vector<OdbcDataSource> systemDataSources() {
    std::vector<OdbcDataSource> sources;
    const SystemConfigMode mode;
    const EnvironmentHandle environment;
    if (environment.get() == SQL_NULL_HENV)
        return sources;
    SQLCHAR name[kLongestName + 1];
    SQLCHAR driver[kLongestName + 1];
    SQLUSMALLINT direction = SQL_FETCH_FIRST_SYSTEM;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT driverLength = 0;
        const SQLRETURN result = SQLDataSources(environment.get(), direction, name, sizeof name,
                                                &nameLength, driver, sizeof driver, &driverLength);
        if (!SQL_SUCCEEDED(result))
            break;
        direction = SQL_FETCH_NEXT;
        OdbcDataSource source{fromOdbc(reinterpret_cast<const char*>(name)),
                              fromOdbc(reinterpret_cast<const char*>(driver))};
        if (!isReservedSection(source.name))
            sources.push_back(std::move(source));
    }
    return sources;
}

QString dataSourceAttribute(const QString& dataSource, const QString& attribute) {
    if (dataSource.isEmpty() || attribute.isEmpty() || isReservedSection(dataSource))
        return {};
    const QByteArray section = dataSource.toUtf8();
    const QByteArray entry = attribute.toUtf8();
    const SystemConfigMode mode;
    // One call with room for the longest value the driver manager reads: it
    // keeps each answer for a while and serves it to larger buffers as well,
    // so a value cut by a small buffer would stay cut for that long.
    QByteArray buffer(kLongestValue + 1, '\0');
    SQLGetPrivateProfileString(section.constData(), entry.constData(), "", buffer.data(),
                               static_cast<int>(buffer.size()), kOdbcIni);
    return fromOdbc(buffer.constData());
}

QStringList dataSourceAttributeNames(const QString& dataSource) {
    QStringList names;
    if (dataSource.isEmpty() || isReservedSection(dataSource))
        return names;
    const QByteArray section = dataSource.toUtf8();
    const SystemConfigMode mode;
    QByteArray buffer(4 * kLongestName, '\0');
    int length = 0;
    for (;;) {
        length = SQLGetPrivateProfileString(section.constData(), nullptr, "", buffer.data(),
                                            static_cast<int>(buffer.size()), kOdbcIni);
        if (length < 0)
            return names;
        if (length + kLongestName + 2 < static_cast<int>(buffer.size()) ||
            buffer.size() >= kLargestBuffer) {
            break;
        }
        buffer.fill('\0', buffer.size() * 2);
    }
    // The names follow each other, each ended by a NUL.
    const char* data = buffer.constData();
    const char* end = data + length;
    while (data < end && *data != '\0') {
        const QByteArray name(data);
        names.append(fromOdbc(name.constData()));
        data += name.size() + 1;
    }
    return names;
}

} // namespace ordwick

namespace ordwick {

QStringList installedDrivers() {
    QStringList drivers;
    const EnvironmentHandle environment;
    if (environment.get() == SQL_NULL_HENV)
        return drivers;
    SQLCHAR description[kLongestName + 1];
    SQLCHAR attributes[kLongestValue + 1];
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT descriptionLength = 0;
        SQLSMALLINT attributesLength = 0;
        if (!SQL_SUCCEEDED(SQLDrivers(environment.get(), direction, description, sizeof description,
                                      &descriptionLength, attributes, sizeof attributes,
                                      &attributesLength)))
            break;
        direction = SQL_FETCH_NEXT;
        drivers.append(fromOdbc(reinterpret_cast<const char*>(description)));
    }
    return drivers;
}

} // namespace ordwick
