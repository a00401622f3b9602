#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace ordwick {

// The data sources the ODBC driver manager (unixODBC) knows. Everything goes
// through the driver manager's own calls, so its configuration rules hold here
// too: ODBCSYSINI names the folder of odbc.ini and odbcinst.ini, the driver
// manager reads that variable once per process, and it keeps the attribute
// values it has read for about 20 seconds (the list of data sources and of
// attribute names is read afresh every time).

struct OdbcDataSource {
    QString name;
    QString driver; // the data source's "Driver" entry, as the driver manager reports it
};

// The system data sources, in the order the driver manager gives them. The
// sections "ODBC" (driver manager settings) and "ODBC Data Sources" (an index
// some tools write) are not data sources and are left out.
std::vector<OdbcDataSource> systemDataSources();

// One attribute of a system data source (e.g. "Driver", "Database"), or the
// empty text when the data source or the attribute is missing.
QString dataSourceAttribute(const QString& dataSource, const QString& attribute);

// The attribute names of a system data source in file order; empty when it is missing.
QStringList dataSourceAttributeNames(const QString& dataSource);

// The ODBC drivers unixODBC knows (odbcinst.ini), by name.
QStringList installedDrivers();

} // namespace ordwick
