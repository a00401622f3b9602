#pragma once

#include <QString>

namespace ordwick::test {

// Runs one statement on an ODBC data source (a connection string); false when
// connecting or running it failed.
bool executeOnOdbc(const QString& connection, const QString& statement);

} // namespace ordwick::test
